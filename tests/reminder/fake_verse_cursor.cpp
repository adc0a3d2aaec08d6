// The fake cursor's moves: past the ends leaves no current row; moves without rows fail.
#include "fake_verse_cursor.h"

#include "jet/errors.h"

namespace reminder::test {

namespace {
const store::VerseRecord kNoRecord{};
}

jet::Status FakeVerseCursor::NoCurrentRecord() const {
  return jet::MakeError(jet::kErrNoCurrentRecord, "No current record.");
}

void FakeVerseCursor::Changed() {
  asRead_ = place_ == Place::kOnRow ? rows_[static_cast<std::size_t>(index_)] : kNoRecord;
  ++rowChanges;
  if (rowChanged_) rowChanged_();
}

jet::Status FakeVerseCursor::Refresh() {
  ++refreshCalls;
  if (refreshFailures > 0) {
    --refreshFailures;
    return refreshError;
  }
  place_ = rows_.empty() ? Place::kPastLast : Place::kOnRow;
  index_ = 0;
  Changed();
  return jet::Ok();
}

jet::Status FakeVerseCursor::MoveNext() {
  if (rows_.empty() || place_ == Place::kPastLast) return NoCurrentRecord();
  if (place_ == Place::kBeforeFirst) {
    index_ = 0;
  } else if (place_ == Place::kOnRow) {
    ++index_;
  }
  // After a delete the row that followed the deleted one now has its index.
  place_ = index_ < static_cast<int>(rows_.size()) ? Place::kOnRow : Place::kPastLast;
  Changed();
  return jet::Ok();
}

jet::Status FakeVerseCursor::MoveFirst() {
  if (rows_.empty()) {
    place_ = Place::kPastLast;
    Changed();  // the real cursor notifies its failed move too
    return NoCurrentRecord();
  }
  place_ = Place::kOnRow;
  index_ = 0;
  Changed();
  return jet::Ok();
}

jet::Status FakeVerseCursor::Move(int rows) {
  if (moveNotReady > 0) {
    --moveNotReady;
    return jet::MakeError(91, "Object variable or With block variable not set");
  }
  if (rows_.empty() || place_ != Place::kOnRow) return NoCurrentRecord();
  const long target = static_cast<long>(index_) + rows;
  if (target < 0) {
    place_ = Place::kBeforeFirst;
  } else if (target >= static_cast<long>(rows_.size())) {
    place_ = Place::kPastLast;
  } else {
    index_ = static_cast<int>(target);
  }
  Changed();
  return jet::Ok();
}

jet::Status FakeVerseCursor::DeleteCurrent() {
  if (place_ != Place::kOnRow) return NoCurrentRecord();
  if (rows_[static_cast<std::size_t>(index_)] != asRead_) {
    return jet::MakeError(jet::kErrWriteConflict, "The row was changed by another program after it was read.");
  }
  if (readOnly) return jet::MakeError(jet::kErrReadOnly, "Cannot update. Database or object is read-only.");
  rows_.erase(rows_.begin() + index_);
  place_ = Place::kDeleted;
  Changed();
  return jet::Ok();
}

int FakeVerseCursor::Position() const { return place_ == Place::kOnRow ? index_ : -1; }

bool FakeVerseCursor::HasCurrent() const { return place_ == Place::kOnRow; }

const store::VerseRecord& FakeVerseCursor::Current() const { return asRead_; }

void FakeVerseCursor::ChangeByOtherProgram(std::size_t index, const store::VerseRecord& values) {
  rows_.at(index) = values;
}

void FakeVerseCursor::RemoveByOtherProgram(std::size_t index) {
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace reminder::test
