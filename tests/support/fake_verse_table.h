// An in-memory verse table for tests, held to the real table's behaviour by
// tests/store/verse_table_contract_test.cpp, with hooks that play another program or a failure.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "store/verse_table.h"

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

class FakeVerseTable : public store::VerseTable {
 public:
  explicit FakeVerseTable(const std::vector<store::VerseRecord>& rows = {}) {
    for (const auto& record : rows) AddByOtherProgram(record);
  }

  jet::Result<std::vector<store::StoredVerse>> ReadAll() override;
  jet::Result<jet::RowId> Insert(const store::VerseRecord& values) override;
  jet::Status Update(jet::RowId id, const store::VerseRecord& asRead,
                     const store::VerseRecord& values) override;
  jet::Status Delete(jet::RowId id, const store::VerseRecord& asRead) override;

  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  void FailNextRead(jet::Error error) { failure_ = std::move(error); }
  // Another program changes, removes or adds a row (index in table order).
  void ChangeByOtherProgram(std::size_t i, const store::VerseRecord& values) { rows_.at(i).record = values; }
  void RemoveByOtherProgram(std::size_t i) { rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(i)); }
  void AddByOtherProgram(const store::VerseRecord& values) { rows_.push_back({{nextPage_++, 0}, values}); }

  const std::vector<store::StoredVerse>& rows() const { return rows_; }
  std::vector<store::VerseRecord> Records() const;

 private:
  jet::Status Check(jet::RowId* id, const store::VerseRecord* asRead, const store::VerseRecord& values);

  std::vector<store::StoredVerse> rows_;
  bool readOnly_ = false;
  std::optional<jet::Error> failure_;
  std::uint32_t nextPage_ = 10;                      // like the file's, ids are not reused
  std::vector<store::StoredVerse>::iterator found_;  // the row Check found for Update or Delete
};

}  // namespace support
