// The in-memory verse table used by the store and editor tests.
#include "support/fake_verse_table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <utility>

#include "jet/errors.h"
#include "store/verse_schema.h"

namespace support {
namespace {

// A memo has no length of its own to refuse.
constexpr std::size_t kMemoLength = std::numeric_limits<std::size_t>::max();

// Characters of Windows-1252 (the file's code page) outside Latin-1's printable range.
constexpr std::array<char32_t, 27> kCp1252Extras = {
    0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x017D, 0x2018,
    0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};

// Decodes UTF-8 into code points; nullopt for malformed text.
std::optional<std::u32string> DecodeUtf8(const std::string& text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      cp = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      cp = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      cp = lead & 0x07u;
    } else {
      return std::nullopt;
    }
    if (i + extra >= text.size()) return std::nullopt;  // cut off inside a character
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (next & 0x3Fu);
    }
    out.push_back(cp);
    i += extra + 1;
  }
  return out;
}

bool InCodePage(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return true;
  return std::ranges::find(kCp1252Extras, cp) != kCp1252Extras.end();
}

}  // namespace

bool SameRecord(const store::VerseRecord& a, const store::VerseRecord& b) {
  return a.book == b.book && a.chapter == b.chapter && a.verses == b.verses && a.verseTxt == b.verseTxt &&
         a.read == b.read;
}

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

jet::Status FakeVerseTable::CheckWritable(const store::VerseRecord& values) const {
  const std::pair<const std::string*, std::size_t> columns[] = {
      {&values.book, store::kBookLength},
      {&values.chapter, store::kChapterLength},
      {&values.verses, store::kVersesLength},
      {&values.verseTxt, kMemoLength}};
  for (const auto& [text, size] : columns) {
    auto decoded = DecodeUtf8(*text);
    if (!decoded || !std::ranges::all_of(*decoded, InCodePage)) {
      return jet::MakeError(jet::kErrCannotEncode,
                            "The text holds characters that the database's code page (Windows-1252) cannot store.");
    }
    if (decoded->size() > size) {
      return jet::MakeError(jet::kErrFieldTooSmall,
                            "The field is too small to accept the amount of data you attempted to add.");
    }
  }
  if (readOnly_) {
    return jet::MakeError(jet::kErrReadOnly, "Cannot update. Database or object is read-only.");
  }
  return jet::Ok();
}

jet::Status FakeVerseTable::CheckUnchanged(std::vector<store::StoredVerse>::iterator row,
                                           const store::VerseRecord& asRead) const {
  if (row == rows_.end()) {
    return jet::MakeError(jet::kErrRecordDeleted,
                          "The verse was removed by another program after you read it; nothing was saved.");
  }
  if (!SameRecord(row->record, asRead)) {
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
