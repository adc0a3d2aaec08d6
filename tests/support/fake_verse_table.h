// An in-memory verse table for tests: optimistic writes like the real one, a code page
// and column sizes like the file's, and hooks that play another program or a failure.
// tests/store/verse_table_contract_test.cpp holds it to the real table's behaviour.
#pragma once


#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jet/result.h"
#include "store/verse_table.h"

namespace support {

bool SameRecord(const store::VerseRecord& a, const store::VerseRecord& b);

class FakeVerseTable : public store::VerseTable {
 public:
  enum class Operation { kReadAll, kInsert, kUpdate, kDelete };

  FakeVerseTable() = default;
  explicit FakeVerseTable(const std::vector<store::VerseRecord>& rows);

  jet::Result<std::vector<store::StoredVerse>> ReadAll() override;
  jet::Result<jet::RowId> Insert(const store::VerseRecord& values) override;
  jet::Status Update(jet::RowId id, const store::VerseRecord& asRead, const store::VerseRecord& values) override;
  jet::Status Delete(jet::RowId id, const store::VerseRecord& asRead) override;

  // Every later write fails with 3027, as on a file opened read-only.
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  // The next call of `operation` fails with `error`; later calls work again.
  void FailNext(Operation operation, jet::Error error);

  // Another program changes, removes or adds a row (index in table order).
  void ChangeByOtherProgram(std::size_t index, const store::VerseRecord& values);
  void DeleteByOtherProgram(std::size_t index);
  void AddByOtherProgram(const store::VerseRecord& values);

  const std::vector<store::StoredVerse>& rows() const { return rows_; }
  std::vector<store::VerseRecord> Records() const;
  int writeCount() const { return writeCount_; }

 private:
  std::optional<jet::Error> TakeFailure(Operation operation);
  jet::Status CheckWritable(const store::VerseRecord& values) const;
  // 3167 when the row is gone, 3197 when it no longer holds what the caller read.
  jet::Status CheckUnchanged(std::vector<store::StoredVerse>::iterator row, const store::VerseRecord& asRead) const;
  std::vector<store::StoredVerse>::iterator Find(jet::RowId id);
  jet::RowId NextId();

  std::vector<store::StoredVerse> rows_;
  bool readOnly_ = false;
  std::optional<Operation> failOperation_;
  jet::Error failError_;
  std::uint32_t nextPage_ = 10;
  int writeCount_ = 0;
};

}  // namespace support
