// The in-memory verse table used by the store and editor tests.
#include "support/fake_verse_table.h"

#include <algorithm>
#include <utility>

#include "jet/code_page.h"
#include "jet/errors.h"
#include "store/verse_schema.h"

namespace support {

bool SameRecord(const store::VerseRecord& a, const store::VerseRecord& b) { return a == b; }

FakeVerseTable::FakeVerseTable(const std::vector<store::VerseRecord>& rows) {
  for (const auto& record : rows) rows_.push_back({NextId(), record});
}

jet::Result<std::vector<store::StoredVerse>> FakeVerseTable::ReadAll() {
  if (auto failure = TakeFailure(Operation::kReadAll)) return *failure;
  return rows_;
}

jet::Result<jet::RowId> FakeVerseTable::Insert(const store::VerseRecord& values) {
  if (auto failure = TakeFailure(Operation::kInsert)) return *failure;
  JET_TRY(CheckWritable(values));
  rows_.push_back({NextId(), values});
  ++writeCount_;
  return rows_.back().id;
}

jet::Status FakeVerseTable::Update(jet::RowId id, const store::VerseRecord& asRead, const store::VerseRecord& values) {
  if (auto failure = TakeFailure(Operation::kUpdate)) return *failure;
  // In the real table's order: the row first, then the values, then the file.
  auto row = Find(id);
  JET_TRY(CheckUnchanged(row, asRead));
  JET_TRY(CheckWritable(values));
  row->record = values;
  ++writeCount_;
  return jet::Ok();
}

jet::Status FakeVerseTable::Delete(jet::RowId id, const store::VerseRecord& asRead) {
  if (auto failure = TakeFailure(Operation::kDelete)) return *failure;
  auto row = Find(id);
  JET_TRY(CheckUnchanged(row, asRead));
  JET_TRY(CheckWritable({}));
  rows_.erase(row);
  ++writeCount_;
  return jet::Ok();
}

void FakeVerseTable::FailNext(Operation operation, jet::Error error) {
  failOperation_ = operation;
  failError_ = std::move(error);
}

void FakeVerseTable::ChangeByOtherProgram(std::size_t index, const store::VerseRecord& values) {
  rows_.at(index).record = values;
}

void FakeVerseTable::DeleteByOtherProgram(std::size_t index) {
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
}

void FakeVerseTable::AddByOtherProgram(const store::VerseRecord& values) { rows_.push_back({NextId(), values}); }

std::vector<store::VerseRecord> FakeVerseTable::Records() const {
  std::vector<store::VerseRecord> records;
  for (const auto& row : rows_) records.push_back(row.record);
  return records;
}

std::optional<jet::Error> FakeVerseTable::TakeFailure(Operation operation) {
  if (failOperation_ != operation) return std::nullopt;
  failOperation_.reset();
  return failError_;
}

// The file's code page and column sizes: the engine's own encoder, so the fake refuses
// exactly what the file refuses.
jet::Status FakeVerseTable::CheckWritable(const store::VerseRecord& values) const {
  const std::pair<const std::string*, std::size_t> columns[] = {{&values.book, store::kBookLength},
                                                                {&values.chapter, store::kChapterLength},
                                                                {&values.verses, store::kVersesLength},
                                                                {&values.verseTxt, SIZE_MAX}};
  for (const auto& [text, size] : columns) {
    JET_ASSIGN(jet::Bytes bytes, jet::EncodeCp1252(*text));
    if (bytes.size() > size) {
      return jet::MakeError(jet::kErrFieldTooSmall,
                            "The field is too small to accept the amount of data you attempted to add.");
    }
  }
  if (readOnly_) return jet::MakeError(jet::kErrReadOnly, "Cannot update. Database or object is read-only.");
  return jet::Ok();
}

jet::Status FakeVerseTable::CheckUnchanged(std::vector<store::StoredVerse>::iterator row,
                                           const store::VerseRecord& asRead) const {
  if (row == rows_.end()) {
    return jet::MakeError(jet::kErrRecordDeleted,
                          "The verse was removed by another program after you read it; nothing was saved.");
  }
  if (row->record != asRead) {
    return jet::MakeError(jet::kErrWriteConflict,
                          "The verse was changed by another program after you read it; nothing was saved.");
  }
  return jet::Ok();
}

std::vector<store::StoredVerse>::iterator FakeVerseTable::Find(jet::RowId id) {
  return std::ranges::find_if(rows_, [&](const store::StoredVerse& row) { return row.id == id; });
}

jet::RowId FakeVerseTable::NextId() {
  // Like the file, ids are never reused within one test.
  return jet::RowId{nextPage_++, 0};
}

}  // namespace support
