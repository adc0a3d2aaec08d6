// The reminder's data control for its tests: the real cursor over a store in memory,
// with knobs for the failures a test cannot have the file make.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "jet/errors.h"
#include "store/data1.h"
#include "support/fake_verse_table.h"

namespace reminder::test {

class FakeVerseCursor : public store::VerseCursor {
 public:
  explicit FakeVerseCursor(std::vector<store::VerseRecord> rows = {}) : rows_(std::move(rows)) { Reopen(); }

  jet::Status Refresh() override {
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
  jet::Status MoveNext() override { return cursor_->MoveNext(); }
  jet::Status MoveFirst() override { return cursor_->MoveFirst(); }
  jet::Status Move(int rows) override {
    if (moveNotReady > 0 && moveNotReady--)
      return jet::MakeError(91, "Object variable or With block variable not set");
    return cursor_->Move(rows);
  }
  jet::Status DeleteCurrent() override {
    if (readOnly && HasCurrent())
      return jet::MakeError(jet::kErrReadOnly, "'verse97.mdb' is open for reading only.");
    const jet::Status status = cursor_->DeleteCurrent();
    rows_ = store_->Records();
    return status;
  }
  int Position() const override { return cursor_->Position(); }
  bool HasCurrent() const override { return cursor_->HasCurrent(); }
  const store::VerseRecord& Current() const override { return cursor_->Current(); }
  void SetRowChanged(std::function<void()> handler) override {
    rowChanged_ = std::move(handler);
    cursor_->SetRowChanged(rowChanged_);
  }

  // The rows as stored; rows set here are what the next Refresh finds.
  std::vector<store::VerseRecord>& Rows() { return rows_; }

  bool readOnly = false;    // deletes fail with 3027
  int refreshFailures = 0;  // the next Refresh calls fail with refreshError
  jet::Error refreshError;
  int moveNotReady = 0;  // the next Move calls fail with 91
  int refreshCalls = 0;

 private:
  void Reopen() {  // a new cursor that has read nothing yet
    cursor_ = std::make_unique<store::Data1>(store_->files(), store::kStoreFileName);
    cursor_->SetRowChanged(rowChanged_);
  }

  std::vector<store::VerseRecord> rows_;
  std::unique_ptr<support::FakeVerseTable> store_ = std::make_unique<support::FakeVerseTable>(rows_);
  std::unique_ptr<store::Data1> cursor_;
  std::function<void()> rowChanged_;
};

}  // namespace reminder::test
