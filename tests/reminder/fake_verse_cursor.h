// A data-control cursor over a vector of verse rows, held to the real cursor's behaviour
// by tests/store/store_test.cpp.
#pragma once

#include <functional>
#include <vector>

#include "store/verse_cursor.h"

namespace reminder::test {

class FakeVerseCursor : public store::VerseCursor {
 public:
  explicit FakeVerseCursor(std::vector<store::VerseRecord> rows = {}) : rows_(std::move(rows)) {}

  jet::Status Refresh() override;
  jet::Status MoveNext() override;
  jet::Status MoveFirst() override;
  jet::Status Move(int rows) override;
  jet::Status DeleteCurrent() override;
  int Position() const override { return onRow() ? index_ : -1; }
  bool HasCurrent() const override { return onRow(); }
  const store::VerseRecord& Current() const override { return asRead_; }
  void SetRowChanged(std::function<void()> handler) override { rowChanged_ = std::move(handler); }

  // The rows as stored; the tests' own changes to them play another program's. A removal
  // before the current row would leave Position() counting as the real cursor does not.
  std::vector<store::VerseRecord>& Rows() { return rows_; }

  bool readOnly = false;    // deletes fail with 3027
  int refreshFailures = 0;  // the next Refresh calls fail with refreshError
  jet::Error refreshError;
  int moveNotReady = 0;  // the next Move calls fail with 91
  int refreshCalls = 0;

 private:
  // Closed: never refreshed, or the last Refresh failed; nothing moves until one works.
  enum class Place { kClosed, kBeforeFirst, kOnRow, kPastLast, kDeleted };
  bool onRow() const { return place_ == Place::kOnRow; }
  void Stand(Place place, int index);  // takes the row there as read and notifies

  std::vector<store::VerseRecord> rows_;
  Place place_ = Place::kClosed;
  int index_ = 0;
  store::VerseRecord asRead_;
  std::function<void()> rowChanged_;
};

}  // namespace reminder::test
