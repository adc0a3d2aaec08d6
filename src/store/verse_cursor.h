// What the reminder window needs of its data control: a cursor over the verse
// table in the table's own order.
#pragma once

#include <functional>

#include "jet/result.h"
#include "store/verse_record.h"

namespace store {

// The reminder's cursor (its data control, Data1). Moves follow the data
// control's rules: moving past the last row leaves no current row (end of file),
// moving before the first leaves no current row (beginning of file), and a move
// with no rows at all, or a next-move from end of file, fails with 3021.
class VerseCursor {
 public:
  virtual ~VerseCursor() = default;

  // Opens the store and makes the first row current (none for an empty table).
  virtual jet::Status Refresh() = 0;
  virtual jet::Status MoveNext() = 0;
  virtual jet::Status MoveFirst() = 0;
  // Moves by `rows` from the current row; negative moves go backwards.
  virtual jet::Status Move(int rows) = 0;
  // Deletes the current row from the table; afterwards there is no current row
  // until the next move.
  virtual jet::Status DeleteCurrent() = 0;

  // Zero-based position of the current row in the table's order; -1 without one.
  virtual int Position() const = 0;
  virtual bool HasCurrent() const = 0;
  // The current row; an empty record without a current row.
  virtual const VerseRecord& Current() const = 0;

  // Called after every change of the current row (the reposition notification).
  virtual void SetRowChanged(std::function<void()> handler) = 0;
};

}  // namespace store
