// The reminder's data control for its tests: the real cursor over a store in memory,
// with knobs for the failures a test cannot have the file make.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "store/data1.h"
#include "support/fake_verse_table.h"

namespace reminder::test {

class FakeVerseCursor : public store::VerseCursor {
 public:
  explicit FakeVerseCursor(std::vector<store::VerseRecord> rows = {});

  jet::Status Refresh() override;
  jet::Status MoveNext() override { return cursor_->MoveNext(); }
  jet::Status MoveFirst() override { return cursor_->MoveFirst(); }
  jet::Status Move(int rows) override;
  jet::Status DeleteCurrent() override;
  int Position() const override { return cursor_->Position(); }
  bool HasCurrent() const override { return cursor_->HasCurrent(); }
  const store::VerseRecord& Current() const override { return cursor_->Current(); }
  void SetRowChanged(std::function<void()> handler) override;

  // The rows as stored; rows set here are what the next Refresh finds.
  std::vector<store::VerseRecord>& Rows() { return rows_; }

  bool readOnly = false;    // deletes fail with 3027
  int refreshFailures = 0;  // the next Refresh calls fail with refreshError
  jet::Error refreshError;
  int moveNotReady = 0;  // the next Move calls fail with 91
  int refreshCalls = 0;

 private:
  void Reopen();  // a new cursor that has read nothing yet

  std::vector<store::VerseRecord> rows_;
  std::unique_ptr<support::FakeVerseTable> store_;
  std::unique_ptr<store::Data1> cursor_;
  std::function<void()> rowChanged_;
};

}  // namespace reminder::test
