#include "fake_verse_cursor.h"

#include "jet/errors.h"
#include "store/store_file.h"

namespace reminder::test {

FakeVerseCursor::FakeVerseCursor(std::vector<store::VerseRecord> rows)
    : rows_(std::move(rows)), store_(std::make_unique<support::FakeVerseTable>(rows_)) {
  Reopen();
}

void FakeVerseCursor::Reopen() {
  cursor_ = std::make_unique<store::Data1>(store_->files(), store::kStoreFileName);
  cursor_->SetRowChanged(rowChanged_);
}

void FakeVerseCursor::SetRowChanged(std::function<void()> handler) {
  rowChanged_ = std::move(handler);
  cursor_->SetRowChanged(rowChanged_);
}

jet::Status FakeVerseCursor::Refresh() {
  ++refreshCalls;
  if (refreshFailures > 0) {  // as the real cursor: what it showed is dropped, unannounced
    --refreshFailures;
    Reopen();
    return refreshError;
  }
  if (rows_ != store_->Records()) {
    store_ = std::make_unique<support::FakeVerseTable>(rows_);
    Reopen();
  }
  return cursor_->Refresh();
}

jet::Status FakeVerseCursor::Move(int rows) {
  if (moveNotReady > 0 && moveNotReady--)
    return jet::MakeError(91, "Object variable or With block variable not set");
  return cursor_->Move(rows);
}

jet::Status FakeVerseCursor::DeleteCurrent() {
  if (readOnly && HasCurrent())
    return jet::MakeError(jet::kErrReadOnly, "'verse97.mdb' is open for reading only.");
  const jet::Status status = cursor_->DeleteCurrent();
  rows_ = store_->Records();
  return status;
}

}  // namespace reminder::test
