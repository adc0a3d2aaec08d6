// The in-memory verse table used by the store and editor tests.
#include "support/fake_verse_table.h"

#include <algorithm>
#include <utility>

#include "jet/code_page.h"
#include "jet/errors.h"
#include "store/store_file.h"
#include "store/verse_schema.h"

namespace support {

std::string Summary(const store::VerseRecord& row) {
  return row.book + " " + row.chapter + ":" + row.verses + " " + row.verseTxt + (row.read ? "+" : "");
}

std::string Summary(const std::vector<store::VerseRecord>& rows) {
  std::string text;
  for (const store::VerseRecord& row : rows) text += (text.empty() ? "" : ", ") + Summary(row);
  return text;
}

FakeVerseTable::FakeVerseTable(const std::vector<store::VerseRecord>& rows) {
  for (const auto& record : rows) AddByOtherProgram(record);
}

jet::Result<std::vector<store::StoredVerse>> FakeVerseTable::ReadAll() {
  if (auto failure = std::exchange(failure_, std::nullopt)) return *failure;
  return rows_;
}

jet::Result<jet::RowId> FakeVerseTable::Insert(const store::VerseRecord& values) {
  JET_TRY(CheckValues(values));
  AddByOtherProgram(values);
  return rows_.back().id;
}

jet::Status FakeVerseTable::Update(jet::RowId id, const store::VerseRecord& asRead,
                                   const store::VerseRecord& values) {
  store::StoredVerse* row = Find(id);
  JET_TRY(CheckRow(row, asRead));
  JET_TRY(CheckValues(values));
  row->record = values;
  return jet::Ok();
}

jet::Status FakeVerseTable::Delete(jet::RowId id, const store::VerseRecord& asRead) {
  store::StoredVerse* row = Find(id);
  JET_TRY(CheckRow(row, asRead));
  JET_TRY(CheckValues({}));
  rows_.erase(rows_.begin() + (row - rows_.data()));
  return jet::Ok();
}

std::vector<store::VerseRecord> FakeVerseTable::Records() const {
  std::vector<store::VerseRecord> records;
  for (const auto& row : rows_) records.push_back(row.record);
  return records;
}

// In the real table's order: the file's code page, then whether the file can be
// written, then the column sizes, through the engine's own encoder, so the fake refuses
// exactly what the file refuses.
jet::Status FakeVerseTable::CheckValues(const store::VerseRecord& values) const {
  const std::pair<const std::string*, std::size_t> columns[] = {{&values.book, store::kBookLength},
                                                                {&values.chapter, store::kChapterLength},
                                                                {&values.verses, store::kVersesLength},
                                                                {&values.verseTxt, SIZE_MAX}};
  std::size_t longest = 0;  // over its column's size
  for (const auto& [text, size] : columns) {
    JET_ASSIGN(jet::Bytes bytes, jet::EncodeCp1252(*text));
    if (bytes.size() > size) longest = bytes.size();
  }
  if (readOnly_) {
    return jet::MakeError(jet::kErrReadOnly,
                          "'" + std::string(store::kStoreFileName) + "' is open for reading only.");
  }
  if (longest > 0) {
    return jet::MakeError(jet::kErrFieldTooSmall,
                          "The field is too small to accept the amount of data you attempted to add.");
  }
  return jet::Ok();
}

jet::Status FakeVerseTable::CheckRow(const store::StoredVerse* row, const store::VerseRecord& asRead) const {
  if (row == nullptr) {
    return jet::MakeError(jet::kErrRecordDeleted,
                          "The verse was removed by another program after you read it; nothing was saved.");
  }
  if (row->record != asRead) {
    return jet::MakeError(jet::kErrWriteConflict,
                          "The verse was changed by another program after you read it; nothing was saved.");
  }
  return jet::Ok();
}

store::StoredVerse* FakeVerseTable::Find(jet::RowId id) {
  auto found = std::ranges::find_if(rows_, [&](const store::StoredVerse& row) { return row.id == id; });
  return found == rows_.end() ? nullptr : &*found;
}

}  // namespace support
