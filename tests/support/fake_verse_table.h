// An in-memory verse table for tests: optimistic writes like the real one, a code page
// and column sizes like the file's, and hooks that play another program or a failure.
// tests/store/verse_table_contract_test.cpp holds it to the real table's behaviour.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "store/verse_table.h"

namespace store {
// How GoogleTest shows a verse row in a failure message.
inline void PrintTo(const VerseRecord& r, std::ostream* os) {
  *os << "{" << r.book << " " << r.chapter << ":" << r.verses << " " << r.verseTxt.substr(0, 30)
      << (r.read ? " read" : "") << "}";
}
}  // namespace store

namespace support {

// A row as one line to compare, "book chapter:verses text" with "+" when read; rows
// joined by ", ".
std::string Summary(const store::VerseRecord& row);
std::string Summary(const std::vector<store::VerseRecord>& rows);

class FakeVerseTable : public store::VerseTable {
 public:
  explicit FakeVerseTable(const std::vector<store::VerseRecord>& rows = {});

  jet::Result<std::vector<store::StoredVerse>> ReadAll() override;
  jet::Result<jet::RowId> Insert(const store::VerseRecord& values) override;
  jet::Status Update(jet::RowId id, const store::VerseRecord& asRead,
                     const store::VerseRecord& values) override;
  jet::Status Delete(jet::RowId id, const store::VerseRecord& asRead) override;

  // Every later write fails with 3027, as on a file opened read-only.
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  // The next ReadAll fails with `error`; later ones work again.
  void FailNextRead(jet::Error error) { failure_ = std::move(error); }

  // Another program changes, removes or adds a row (index in table order).
  void ChangeByOtherProgram(std::size_t index, const store::VerseRecord& values) {
    rows_.at(index).record = values;
  }
  void RemoveByOtherProgram(std::size_t index) {
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
  }
  void AddByOtherProgram(const store::VerseRecord& values) {
    rows_.push_back({jet::RowId{nextPage_++, 0}, values});
  }

  const std::vector<store::StoredVerse>& rows() const { return rows_; }
  std::vector<store::VerseRecord> Records() const;

 private:
  // In the real table's order: the row (3167 gone, 3197 changed), then the values, then the file.
  jet::Status CheckRow(const store::StoredVerse* row, const store::VerseRecord& asRead) const;
  jet::Status CheckValues(const store::VerseRecord& values) const;
  store::StoredVerse* Find(jet::RowId id);

  std::vector<store::StoredVerse> rows_;
  bool readOnly_ = false;
  std::optional<jet::Error> failure_;
  std::uint32_t nextPage_ = 10;  // like the file, ids are never reused within one test
};

}  // namespace support
