// The real verse table over a store held in memory, with hooks that play another program
// or a failure: what sits on a table is tested against the real table's behaviour, with
// no file on disk and no second implementation to keep in step with it.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "jet/file_memory.h"
#include "store/jet_verse_table.h"
#include "support/read_only_file_system.h"

namespace store {
inline void PrintTo(const VerseRecord& r, std::ostream* os) {
  *os << "{" << r.book << " " << r.chapter << ":" << r.verses << " " << r.verseTxt.substr(0, 30)
      << (r.read ? " read" : "") << "}";
}
}  // namespace store

namespace support {

// "book chapter:verses text", "+" when read; rows joined by ", ".
std::string Summary(const store::VerseRecord& row);
std::string Summary(const std::vector<store::VerseRecord>& rows);

// A hook that cannot do its part throws, which fails the test that called it.
class FakeVerseTable : public store::VerseTable {
 public:
  explicit FakeVerseTable(const std::vector<store::VerseRecord>& rows = {});

  jet::Result<std::vector<store::StoredVerse>> ReadAll() override;
  jet::Result<jet::RowId> Insert(const store::VerseRecord& values) override { return table_->Insert(values); }
  jet::Status Update(jet::RowId id, const store::VerseRecord& asRead,
                     const store::VerseRecord& values) override {
    return table_->Update(id, asRead, values);
  }
  jet::Status Delete(jet::RowId id, const store::VerseRecord& asRead) override {
    return table_->Delete(id, asRead);
  }

  // The table is opened again, on a store that can or cannot be written.
  void SetReadOnly(bool readOnly);
  // The next read fails with `error`, as a store that cannot be opened fails.
  void FailNextRead(jet::Error error) { failure_ = std::move(error); }
  // Damages versetbl's definition page: every read from now on fails as a damaged file fails.
  void Damage();
  // Another program changes, removes or adds a row (index in table order).
  void ChangeByOtherProgram(std::size_t i, const store::VerseRecord& values);
  void RemoveByOtherProgram(std::size_t i);
  void AddByOtherProgram(const store::VerseRecord& values);

  const std::vector<store::StoredVerse>& rows() const;  // as stored now
  std::vector<store::VerseRecord> Records() const;
  std::string Findings();  // what the integrity check finds wrong in the file; "" when sound
  // The folder holding the store, and the file system the table now reads it through.
  jet::MemoryFileSystem& memory() { return memory_; }
  jet::FileSystem& files() { return isReadOnly_ ? static_cast<jet::FileSystem&>(readOnly_) : memory_; }

 private:
  jet::MemoryFileSystem memory_;
  ReadOnlyFileSystem readOnly_{memory_};
  bool isReadOnly_ = false;
  std::unique_ptr<store::JetVerseTable> table_, other_;
  std::optional<jet::Error> failure_;
  mutable std::vector<store::StoredVerse> rows_;
};

}  // namespace support
