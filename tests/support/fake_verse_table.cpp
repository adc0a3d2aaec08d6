#include "support/fake_verse_table.h"

#include <stdexcept>
#include <utility>

#include "jet/integrity.h"
#include "jet/new_database.h"
#include "store/store_file.h"
#include "store/verse_schema.h"

namespace support {
namespace {

template <typename T>
void Must(const jet::Result<T>& result) {
  if (!result.ok()) throw std::runtime_error(result.error().description);
}

}  // namespace

std::string Summary(const store::VerseRecord& row) {
  return row.book + " " + row.chapter + ":" + row.verses + " " + row.verseTxt + (row.read ? "+" : "");
}

std::string Summary(const std::vector<store::VerseRecord>& rows) {
  std::string text;
  for (const store::VerseRecord& row : rows) text += (text.empty() ? "" : ", ") + Summary(row);
  return text;
}

FakeVerseTable::FakeVerseTable(const std::vector<store::VerseRecord>& rows) {
  Must(jet::CreateDatabase(memory_, store::kStoreFileName, store::VerseTableSchema().value(), 46000.5));
  other_ = std::make_unique<store::JetVerseTable>(memory_, store::kStoreFileName);
  for (const auto& record : rows) AddByOtherProgram(record);
  SetReadOnly(false);
}

jet::Result<std::vector<store::StoredVerse>> FakeVerseTable::ReadAll() {
  if (auto failure = std::exchange(failure_, std::nullopt)) return *failure;
  return table_->ReadAll();
}

void FakeVerseTable::SetReadOnly(bool readOnly) {
  isReadOnly_ = readOnly;
  table_ = std::make_unique<store::JetVerseTable>(files(), store::kStoreFileName);
}

void FakeVerseTable::Damage() {
  auto opened = store::OpenStore(memory_, store::kStoreFileName);
  Must(opened);
  const std::uint32_t page = opened->def.page;
  opened->db.reset();
  memory_.Bytes(store::kStoreFileName)[page * 2048] = 0x7F;
}

void FakeVerseTable::ChangeByOtherProgram(std::size_t i, const store::VerseRecord& values) {
  const store::StoredVerse row = rows().at(i);
  Must(other_->Update(row.id, row.record, values));
}

void FakeVerseTable::RemoveByOtherProgram(std::size_t i) {
  const store::StoredVerse row = rows().at(i);
  Must(other_->Delete(row.id, row.record));
}

void FakeVerseTable::AddByOtherProgram(const store::VerseRecord& values) { Must(other_->Insert(values)); }

const std::vector<store::StoredVerse>& FakeVerseTable::rows() const {
  auto rows = other_->ReadAll();
  Must(rows);
  return rows_ = std::move(*rows);
}

std::vector<store::VerseRecord> FakeVerseTable::Records() const {
  std::vector<store::VerseRecord> records;
  for (const auto& row : rows()) records.push_back(row.record);
  return records;
}

std::string FakeVerseTable::Findings() {
  auto findings = jet::CheckIntegrity(memory_, store::kStoreFileName);
  Must(findings);
  std::string text;
  for (const auto& f : *findings) text += "page " + std::to_string(f.page) + ": " + f.text + "\n";
  return text;
}

}  // namespace support
