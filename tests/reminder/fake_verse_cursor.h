// A data-control cursor over a vector of verse rows, following the control's moves.
// tests/store/verse_cursor_contract_test.cpp holds it to the real cursor's behaviour.
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

  std::vector<store::VerseRecord>& Rows() { return rows_; }
  std::vector<store::VerseRecord> Records() const { return rows_; }
  // Another program changes a row, adds one, or removes one after the current row (a
  // removal before it would leave Position() counting as the real cursor does not).
  void ChangeByOtherProgram(std::size_t index, const store::VerseRecord& values) { rows_.at(index) = values; }
  void RemoveByOtherProgram(std::size_t index) {
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
  }
  void AddByOtherProgram(const store::VerseRecord& values) { rows_.push_back(values); }
  // Deletes fail with 3027 as on a read-only store.
  bool readOnly = false;
  void SetReadOnly(bool value) { readOnly = value; }
  void FailNextRead(jet::Error error) { refreshFailures = 1, refreshError = std::move(error); }
  // The next Refresh calls fail with this error, as many times as given.
  int refreshFailures = 0;
  jet::Error refreshError;
  // The next Move calls fail with 91, as many times as given.
  int moveNotReady = 0;
  int refreshCalls = 0;

 private:
  // Closed: never refreshed, or the last Refresh failed; nothing moves until one works.
  enum class Place { kClosed, kBeforeFirst, kOnRow, kPastLast, kDeleted };
  bool onRow() const { return place_ == Place::kOnRow; }
  // Stands at `place`: takes the current row as read and notifies.
  void Stand(Place place, int index);

  std::vector<store::VerseRecord> rows_;
  Place place_ = Place::kClosed;
  int index_ = 0;
  store::VerseRecord asRead_;  // the current row as it was read
  std::function<void()> rowChanged_;
};

}  // namespace reminder::test
