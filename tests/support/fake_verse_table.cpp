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

jet::Result<std::vector<store::StoredVerse>> FakeVerseTable::ReadAll() {
  if (auto failure = std::exchange(failure_, std::nullopt)) return *failure;
  return rows_;
}

jet::Result<jet::RowId> FakeVerseTable::Insert(const store::VerseRecord& values) {
  JET_TRY(Check(nullptr, nullptr, values));
  AddByOtherProgram(values);
  return rows_.back().id;
}

jet::Status FakeVerseTable::Update(jet::RowId id, const store::VerseRecord& asRead,
                                   const store::VerseRecord& values) {
  JET_TRY(Check(&id, &asRead, values));
  found_->record = values;
  return jet::Ok();
}

jet::Status FakeVerseTable::Delete(jet::RowId id, const store::VerseRecord& asRead) {
  JET_TRY(Check(&id, &asRead, {}));
  rows_.erase(found_);
  return jet::Ok();
}

std::vector<store::VerseRecord> FakeVerseTable::Records() const {
  std::vector<store::VerseRecord> records;
  for (const auto& row : rows_) records.push_back(row.record);
  return records;
}

// In the real table's order: the row (removed, then changed), the code page, whether the
// file can be written, the column sizes; encoded as the engine encodes them.
jet::Status FakeVerseTable::Check(jet::RowId* id, const store::VerseRecord* asRead,
                                  const store::VerseRecord& values) {
  if (id != nullptr) {
    found_ = std::ranges::find_if(rows_, [&](const store::StoredVerse& row) { return row.id == *id; });
    if (found_ == rows_.end()) {
      return jet::MakeError(jet::kErrRecordDeleted,
                            "The verse was removed by another program after you read it; nothing was saved.");
    }
    if (found_->record != *asRead) {
      return jet::MakeError(jet::kErrWriteConflict,
                            "The verse was changed by another program after you read it; nothing was saved.");
    }
  }
  bool tooLong = false;
  for (const auto& [text, size] : {std::pair{&values.book, store::kBookLength},
                                   {&values.chapter, store::kChapterLength},
                                   {&values.verses, store::kVersesLength},
                                   {&values.verseTxt, SIZE_MAX}}) {
    JET_ASSIGN(jet::Bytes bytes, jet::EncodeCp1252(*text));
    tooLong = tooLong || bytes.size() > size;
  }
  if (readOnly_) {
    return jet::MakeError(jet::kErrReadOnly,
                          "'" + std::string(store::kStoreFileName) + "' is open for reading only.");
  }
  if (tooLong) {
    return jet::MakeError(jet::kErrFieldTooSmall,
                          "The field is too small to accept the amount of data you attempted to add.");
  }
  return jet::Ok();
}

}  // namespace support
