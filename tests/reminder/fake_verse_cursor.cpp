#include "fake_verse_cursor.h"

#include "jet/errors.h"

namespace reminder::test {
namespace {
jet::Status NoCurrentRecord() { return jet::MakeError(jet::kErrNoCurrentRecord, "No current record."); }
}  // namespace

void FakeVerseCursor::Stand(Place place, int index) {
  if (index >= static_cast<int>(rows_.size()) && place == Place::kOnRow) place = Place::kPastLast;
  place_ = place;
  index_ = index;
  asRead_ = onRow() ? rows_[static_cast<std::size_t>(index_)] : store::VerseRecord{};
  if (rowChanged_) rowChanged_();
}

jet::Status FakeVerseCursor::Refresh() {
  ++refreshCalls;
  if (refreshFailures > 0) {  // as the real cursor: what it showed is dropped, unannounced
    --refreshFailures, place_ = Place::kClosed, asRead_ = {};
    return refreshError;
  }
  Stand(Place::kOnRow, 0);
  return jet::Ok();
}

jet::Status FakeVerseCursor::MoveNext() {
  if (place_ == Place::kClosed || place_ == Place::kPastLast) return NoCurrentRecord();
  // After a delete the row that followed the deleted one now has its index.
  Stand(Place::kOnRow, place_ == Place::kBeforeFirst ? 0 : place_ == Place::kOnRow ? index_ + 1 : index_);
  return jet::Ok();
}

jet::Status FakeVerseCursor::MoveFirst() {
  if (place_ == Place::kClosed) return NoCurrentRecord();
  Stand(Place::kOnRow, 0);  // the real cursor notifies its failed move too
  return rows_.empty() ? NoCurrentRecord() : jet::Ok();
}

jet::Status FakeVerseCursor::Move(int rows) {
  if (moveNotReady > 0 && moveNotReady--)
    return jet::MakeError(91, "Object variable or With block variable not set");
  if (!onRow()) return NoCurrentRecord();
  const long target = static_cast<long>(index_) + rows;
  Stand(target < 0 ? Place::kBeforeFirst : Place::kOnRow, target < 0 ? index_ : static_cast<int>(target));
  return jet::Ok();
}

jet::Status FakeVerseCursor::DeleteCurrent() {
  if (!onRow()) return NoCurrentRecord();
  if (rows_[static_cast<std::size_t>(index_)] != asRead_)
    return jet::MakeError(jet::kErrWriteConflict, "Changed.");
  if (readOnly) return jet::MakeError(jet::kErrReadOnly, "'verse97.mdb' is open for reading only.");
  rows_.erase(rows_.begin() + index_);
  Stand(Place::kDeleted, index_);
  return jet::Ok();
}

}  // namespace reminder::test
