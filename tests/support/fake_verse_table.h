// The real verse table over a store held in memory, with hooks that play another program
// or a failure: what sits on a table is tested against the real table's behaviour, with
// no file on disk and no second implementation to keep in step with it.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "jet/file_memory.h"
#include "jet/integrity.h"
#include "jet/new_database.h"
#include "store/jet_verse_table.h"
#include "store/store_file.h"
#include "store/verse_schema.h"
#include "support/read_only_file_system.h"

namespace store {
inline void PrintTo(const VerseRecord& r, std::ostream* os) {
  *os << "{" << r.book << " " << r.chapter << ":" << r.verses << " " << r.verseTxt.substr(0, 30)
      << (r.read ? " read" : "") << "}";
}
}  // namespace store

namespace support {

// "book chapter:verses text", "+" when read; rows joined by ", ".
inline std::string Summary(const store::VerseRecord& row) {
  return row.book + " " + row.chapter + ":" + row.verses + " " + row.verseTxt + (row.read ? "+" : "");
}
inline std::string Summary(const std::vector<store::VerseRecord>& rows) {
  std::string text;
  for (const store::VerseRecord& row : rows) text += (text.empty() ? "" : ", ") + Summary(row);
  return text;
}

// A hook that cannot do its part throws, which fails the test that called it.
class FakeVerseTable : public store::VerseTable {
 public:
  explicit FakeVerseTable(const std::vector<store::VerseRecord>& rows = {}) {
    Must(jet::CreateDatabase(memory_, path_, store::VerseTableSchema().value(), 46000.5));
    for (const auto& record : rows) AddByOtherProgram(record);
  }

  jet::Result<std::vector<store::StoredVerse>> ReadAll() override {
    if (auto failure = std::exchange(failure_, std::nullopt)) return *failure;
    return table_->ReadAll();
  }
  jet::Result<jet::RowId> Insert(const store::VerseRecord& values) override { return table_->Insert(values); }
  jet::Status Update(jet::RowId id, const store::VerseRecord& asRead,
                     const store::VerseRecord& values) override {
    return table_->Update(id, asRead, values);
  }
  jet::Status Delete(jet::RowId id, const store::VerseRecord& asRead) override {
    return table_->Delete(id, asRead);
  }

  // The table is opened again, on a store that can or cannot be written.
  void SetReadOnly(bool readOnly) {
    isReadOnly_ = readOnly;
    table_ = std::make_unique<store::JetVerseTable>(files(), path_);
  }
  // The next read fails with `error`, as a store that cannot be opened fails.
  void FailNextRead(jet::Error error) { failure_ = std::move(error); }
  // Damages versetbl's definition page: every read from now on fails as a damaged file fails.
  void Damage() {
    auto opened = store::OpenStore(memory_, path_);
    Must(opened);
    const std::uint32_t page = opened->def.page;
    opened->db.reset();
    memory_.Bytes(path_)[page * 2048] = 0x7F;
  }
  // Another program changes, removes or adds a row (index in table order).
  void ChangeByOtherProgram(std::size_t i, const store::VerseRecord& values) {
    Must(other_.Update(rows().at(i).id, rows().at(i).record, values));
  }
  void RemoveByOtherProgram(std::size_t i) { Must(other_.Delete(rows().at(i).id, rows().at(i).record)); }
  void AddByOtherProgram(const store::VerseRecord& values) { Must(other_.Insert(values)); }

  std::vector<store::StoredVerse> rows() const {  // as stored now
    auto rows = other_.ReadAll();
    Must(rows);
    return *rows;
  }
  std::vector<store::VerseRecord> Records() const {
    std::vector<store::VerseRecord> records;
    for (const auto& row : rows()) records.push_back(row.record);
    return records;
  }
  // What the integrity check finds wrong in the file; "" when sound.
  std::string Findings() {
    auto findings = jet::CheckIntegrity(memory_, path_);
    Must(findings);
    std::string text;
    for (const auto& f : *findings) text += "page " + std::to_string(f.page) + ": " + f.text + "\n";
    return text;
  }
  // The folder holding the store, and the file system the table now reads it through.
  jet::MemoryFileSystem& memory() { return memory_; }
  jet::FileSystem& files() { return isReadOnly_ ? static_cast<jet::FileSystem&>(readOnly_) : memory_; }

 private:
  template <typename T>
  static void Must(const jet::Result<T>& result) {
    if (!result.ok()) throw std::runtime_error(result.error().description);
  }

  const std::string path_ = store::kStoreFileName;
  jet::MemoryFileSystem memory_;
  ReadOnlyFileSystem readOnly_{memory_};
  bool isReadOnly_ = false;
  mutable store::JetVerseTable other_{memory_, path_};
  std::unique_ptr<store::JetVerseTable> table_ = std::make_unique<store::JetVerseTable>(memory_, path_);
  std::optional<jet::Error> failure_;
};

}  // namespace support
