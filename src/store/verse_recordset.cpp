// The editor's recordset: snapshot, current row, pending edits and optimistic writes.
#include "store/verse_recordset.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

#include "jet/errors.h"

namespace store {
namespace {

constexpr std::array kEditableColumns = {VerseColumn::kBook, VerseColumn::kChapter, VerseColumn::kVerses,
                                         VerseColumn::kVerseTxt};

// Works for both const and mutable records.
template <typename Record>
auto& Field(Record& record, VerseColumn column) {
  switch (column) {
    case VerseColumn::kBook:
      return record.book;
    case VerseColumn::kChapter:
      return record.chapter;
    case VerseColumn::kVerses:
      return record.verses;
    case VerseColumn::kVerseTxt:
      break;
  }
  return record.verseTxt;
}

bool SameText(const VerseRecord& a, const VerseRecord& b) {
  return std::ranges::all_of(kEditableColumns, [&](VerseColumn c) { return Field(a, c) == Field(b, c); });
}

jet::Error NoCurrentRecord() {
  return jet::MakeError(jet::kErrNoCurrentRecord,
                        "Either BOF or EOF is True, or the current record has been deleted. "
                        "The requested operation requires a current record.");
}

}  // namespace

VerseRecordset::VerseRecordset(VerseTable& table) : table_(table) {}

void VerseRecordset::SetErrorHandler(std::function<void(const jet::Error&)> handler) {
  onError_ = std::move(handler);
}

void VerseRecordset::SetMoveCompleteHandler(std::function<void()> handler) {
  onMoveComplete_ = std::move(handler);
}

void VerseRecordset::SetWillChangeRecordHandler(std::function<void(ChangeReason, int rows)> handler) {
  onWillChangeRecord_ = std::move(handler);
}

jet::Status VerseRecordset::Open() {
  auto stored = table_.ReadAll();
  if (!stored.ok()) {
    rows_.clear();
    place_ = Place::kEof;
    index_ = 0;
    Report(stored.error());
    return stored.error();
  }
  rows_.clear();
  for (auto& verse : stored.value()) {
    rows_.push_back(Row{verse.id, verse.record, verse.record, RowState::kClean});
  }
  MoveTo(rows_.empty() ? Place::kEof : Place::kRow, 0);
  return jet::Ok();
}

jet::Status VerseRecordset::Refresh() {
  JET_TRY(UpdateBatch());
  JET_ASSIGN(std::vector<StoredVerse> stored, table_.ReadAll());
  rows_.clear();
  for (auto& verse : stored) {
    rows_.push_back(Row{verse.id, verse.record, verse.record, RowState::kClean});
  }
  MoveTo(rows_.empty() ? Place::kEof : Place::kRow, 0);
  return jet::Ok();
}

jet::Status VerseRecordset::Navigate(NavButton button) {
  // With no rows there is nowhere to go; the bar just stays as it is.
  if (rows_.empty()) return jet::Ok();
  jet::Status status;
  switch (button) {
    case NavButton::kFirst:
      status = MoveFirst();
      break;
    case NavButton::kLast:
      status = MoveLast();
      break;
    case NavButton::kNext:
      status = MoveNext();
      if (status.ok() && place_ == Place::kEof) status = MoveLast();
      break;
    case NavButton::kPrevious:
      status = MovePrevious();
      if (status.ok() && place_ == Place::kBof) status = MoveFirst();
      break;
  }
  if (!status.ok()) Report(status.error());
  return status;
}

jet::Status VerseRecordset::Close() {
  jet::Status status = UpdateBatch();
  if (!status.ok()) Report(status.error());
  return status;
}

jet::Status VerseRecordset::AddNew() {
  JET_TRY(WriteCurrent());
  if (onWillChangeRecord_) onWillChangeRecord_(ChangeReason::kAddNew, 1);
  rows_.push_back(Row{std::nullopt, VerseRecord{}, VerseRecord{}, RowState::kAdded});
  MoveTo(Place::kRow, rows_.size() - 1);
  return jet::Ok();
}

jet::Status VerseRecordset::Delete() {
  if (place_ != Place::kRow) return NoCurrentRecord();
  Row& row = rows_[index_];
  if (onWillChangeRecord_) onWillChangeRecord_(ChangeReason::kDelete, 1);
  if (row.id.has_value()) {
    jet::Status status = table_.Delete(*row.id, row.asRead);
    // A row another program removed first is gone as the user wanted.
    if (!status.ok() && status.error().number != jet::kErrRecordDeleted) {
      jet::Error error = status.error();
      if (error.number == jet::kErrWriteConflict) {
        TakeOverStoredRow(row);
        error.description += " Delete again to remove it as it is now.";
      }
      return error;
    }
  }
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index_));
  place_ = Place::kDeleted;  // no move has completed: nothing to notify yet
  return jet::Ok();
}

void VerseRecordset::CancelUpdate() {
  if (place_ != Place::kRow) return;
  Row& row = rows_[index_];
  if (row.state == RowState::kAdded) {
    // Never written (or gone from the store): nothing of it is left.
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index_));
    place_ = Place::kDeleted;
    return;
  }
  row.values = row.asRead;
  row.state = RowState::kClean;
}

jet::Status VerseRecordset::MoveNext() {
  switch (place_) {
    case Place::kEof:
      return NoCurrentRecord();
    case Place::kBof:
      if (rows_.empty()) return NoCurrentRecord();
      MoveTo(Place::kRow, 0);
      return jet::Ok();
    case Place::kRow:
      JET_TRY(WriteCurrent());
      if (index_ + 1 < rows_.size()) {
        MoveTo(Place::kRow, index_ + 1);
      } else {
        MoveTo(Place::kEof, rows_.size());
      }
      return jet::Ok();
    case Place::kDeleted:
      break;
  }
  // index_ already names the row that followed the deleted one.
  if (index_ < rows_.size()) {
    MoveTo(Place::kRow, index_);
  } else {
    MoveTo(Place::kEof, rows_.size());
  }
  return jet::Ok();
}

jet::Status VerseRecordset::MovePrevious() {
  switch (place_) {
    case Place::kBof:
      return NoCurrentRecord();
    case Place::kEof:
      if (rows_.empty()) return NoCurrentRecord();
      MoveTo(Place::kRow, rows_.size() - 1);
      return jet::Ok();
    case Place::kRow:
      JET_TRY(WriteCurrent());
      break;
    case Place::kDeleted:
      break;
  }
  if (index_ > 0) {
    MoveTo(Place::kRow, index_ - 1);
  } else {
    MoveTo(Place::kBof, 0);
  }
  return jet::Ok();
}

jet::Status VerseRecordset::MoveFirst() {
  if (rows_.empty()) return NoCurrentRecord();
  JET_TRY(WriteCurrent());
  MoveTo(Place::kRow, 0);
  return jet::Ok();
}

jet::Status VerseRecordset::MoveLast() {
  if (rows_.empty()) return NoCurrentRecord();
  JET_TRY(WriteCurrent());
  MoveTo(Place::kRow, rows_.size() - 1);
  return jet::Ok();
}

jet::Status VerseRecordset::UpdateBatch() {
  for (Row& row : rows_) {
    JET_TRY(WriteRow(row));
  }
  return jet::Ok();
}

jet::Status VerseRecordset::SetField(VerseColumn column, const std::string& text) {
  if (place_ != Place::kRow) return NoCurrentRecord();
  Row& row = rows_[index_];
  Field(row.values, column) = text;
  if (row.state != RowState::kAdded) {
    // Typing the stored text back leaves nothing to write.
    row.state = SameText(row.values, row.asRead) ? RowState::kClean : RowState::kModified;
  }
  return jet::Ok();
}

bool VerseRecordset::Eof() const { return place_ == Place::kEof || rows_.empty(); }

bool VerseRecordset::Bof() const { return place_ == Place::kBof || rows_.empty(); }

bool VerseRecordset::HasCurrent() const { return place_ == Place::kRow; }

int VerseRecordset::AbsolutePosition() const {
  if (rows_.empty()) return kPosUnknown;
  switch (place_) {
    case Place::kRow:
      return static_cast<int>(index_) + 1;
    case Place::kBof:
      return kPosBof;
    case Place::kEof:
      return kPosEof;
    case Place::kDeleted:
      break;
  }
  return kPosUnknown;
}

const VerseRecord& VerseRecordset::Current() const {
  static const VerseRecord kNone;
  return place_ == Place::kRow ? rows_[index_].values : kNone;
}

bool VerseRecordset::HasPendingChanges() const {
  return std::ranges::any_of(rows_, [](const Row& row) { return row.state != RowState::kClean; });
}

jet::Status VerseRecordset::WriteRow(Row& row) {
  if (row.state == RowState::kClean) return jet::Ok();
  if (onWillChangeRecord_) onWillChangeRecord_(ChangeReason::kUpdate, 1);
  if (row.state == RowState::kAdded) {
    VerseRecord values = row.values;
    values.read = false;  // the column's default; the editor never sets Read
    JET_ASSIGN(jet::RowId id, table_.Insert(values));
    row.id = id;
    row.asRead = values;
    row.values = values;
    row.state = RowState::kClean;
    return jet::Ok();
  }
  VerseRecord values = row.values;
  values.read = row.asRead.read;  // Read is kept exactly as it was read
  jet::Status status = table_.Update(*row.id, row.asRead, values);
  if (!status.ok()) {
    jet::Error error = status.error();
    if (error.number == jet::kErrRecordDeleted) TakeOverRemovedRow(row);
    if (error.number == jet::kErrWriteConflict) TakeOverStoredRow(row);
    if (error.number == jet::kErrRecordDeleted || error.number == jet::kErrWriteConflict) {
      error.description += row.id.has_value()
                               ? " Your changes are still shown; update again to save them over the other change."
                               : " Your changes are still shown; update again to save them as a new row.";
    }
    return error;
  }
  row.asRead = values;
  row.values = values;
  row.state = RowState::kClean;
  return jet::Ok();
}

jet::Status VerseRecordset::WriteCurrent() {
  if (place_ != Place::kRow) return jet::Ok();
  return WriteRow(rows_[index_]);
}

void VerseRecordset::TakeOverStoredRow(Row& row) {
  auto stored = table_.ReadAll();
  if (!stored.ok()) return;  // the next write meets the same conflict and tries again
  auto found = std::ranges::find_if(stored.value(),
                                    [&](const StoredVerse& verse) { return row.id && verse.id == *row.id; });
  if (found == stored.value().end()) {
    TakeOverRemovedRow(row);
    return;
  }
  // Columns the user changed keep the typed text; the others take the stored value.
  VerseRecord merged = found->record;
  for (VerseColumn column : kEditableColumns) {
    if (Field(row.values, column) != Field(row.asRead, column)) {
      Field(merged, column) = Field(row.values, column);
    }
  }
  row.asRead = found->record;
  row.values = merged;
  row.state = SameText(merged, row.asRead) ? RowState::kClean : RowState::kModified;
}

void VerseRecordset::TakeOverRemovedRow(Row& row) {
  // What the user typed becomes a new row; the next write adds it.
  row.id.reset();
  row.values.read = false;
  row.state = RowState::kAdded;
}

void VerseRecordset::MoveTo(Place place, std::size_t index) {
  place_ = place;
  index_ = index;
  if (onMoveComplete_) onMoveComplete_();
}

void VerseRecordset::Report(const jet::Error& error) const {
  if (onError_) onError_(error);
}

}  // namespace store
