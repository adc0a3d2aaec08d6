#include "store/jet_verse_table.h"

#include "jet/errors.h"
#include "store/store_file.h"
#include "store/verse_columns.h"

namespace store {
namespace {

jet::Error ChangedMeanwhile() {
  return jet::MakeError(jet::kErrWriteConflict,
                        "The verse was changed by another program after you read it; nothing was saved.");
}

jet::Error RemovedMeanwhile() {
  return jet::MakeError(jet::kErrRecordDeleted,
                        "The verse was removed by another program after you read it; nothing was saved.");
}

}  // namespace

JetVerseTable::JetVerseTable(jet::FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
JetVerseTable::~JetVerseTable() = default;

jet::Status JetVerseTable::EnsureOpen() {
  if (db_) return jet::Ok();
  JET_ASSIGN(OpenedStore opened, OpenStore(fs_, path_));
  def_ = std::move(opened.def);
  db_ = std::move(opened.db);
  return jet::Ok();
}

jet::Result<std::vector<StoredVerse>> JetVerseTable::ReadAll() {
  JET_TRY(EnsureOpen());
  JET_ASSIGN(def_, db_->ReloadTable(def_));
  JET_ASSIGN(VerseColumns columns, VerseColumns::Find(def_));
  JET_ASSIGN(auto stored, db_->ReadAllRows(def_));
  std::vector<StoredVerse> rows;
  rows.reserve(stored.size());
  for (const auto& row : stored) rows.push_back({row.id, columns.ToRecord(row.values)});
  return rows;
}

jet::Result<jet::RowId> JetVerseTable::Insert(const VerseRecord& values) {
  JET_TRY(EnsureOpen());
  JET_ASSIGN(VerseColumns columns, VerseColumns::Find(def_));
  JET_ASSIGN(auto row, columns.ToValues(values, {}));
  return db_->Insert(def_, row);
}

jet::Result<std::vector<jet::Value>> JetVerseTable::CurrentValues(jet::RowId id, const VerseRecord& asRead) {
  std::vector<jet::Value> current;
  {
    jet::ReadScope scope(db_->pager());
    JET_TRY(scope.status());
    auto row = db_->ReadRow(def_, id);
    if (!row.ok()) return row.error().number == jet::kErrRecordDeleted ? RemovedMeanwhile() : row.error();
    JET_ASSIGN(current, db_->RowValues(def_, row->bytes));
  }
  // The engine compares `current` again inside its write lock, so a change made
  // between this read and the write is caught there.
  JET_ASSIGN(VerseColumns columns, VerseColumns::Find(def_));
  if (columns.ToRecord(current) != asRead) return ChangedMeanwhile();
  return current;
}

jet::Status JetVerseTable::Update(jet::RowId id, const VerseRecord& asRead, const VerseRecord& values) {
  JET_TRY(EnsureOpen());
  JET_ASSIGN(auto current, CurrentValues(id, asRead));
  JET_ASSIGN(VerseColumns columns, VerseColumns::Find(def_));
  JET_ASSIGN(auto row, columns.ToValues(values, current));
  return db_->Update(def_, id, current, row);
}

jet::Status JetVerseTable::Delete(jet::RowId id, const VerseRecord& asRead) {
  JET_TRY(EnsureOpen());
  JET_ASSIGN(auto current, CurrentValues(id, asRead));
  return db_->Delete(def_, id, current);
}

}  // namespace store
