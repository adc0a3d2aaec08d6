// The editor's recordset (datPrimaryRS): a client-side snapshot of versetbl with one
// current row whose edits are held until the user leaves the row or updates.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "jet/result.h"
#include "jet/table_def.h"
#include "store/verse_record.h"
#include "store/verse_table.h"

namespace store {

// The record source the recordset stands for; the columns of VerseRecord.
inline constexpr const char* kEditorRecordSource =
    "select Book,Chapter,Read,Verses,VerseTxt from versetbl";

// The columns the user can change. Read is deliberately absent: the editor keeps it
// as it was read, and a new row gets the column's default (No).
enum class VerseColumn { kBook, kChapter, kVerses, kVerseTxt };

// AbsolutePosition values when there is no current row.
inline constexpr int kPosUnknown = -1;  // no rows at all, or the current row was deleted
inline constexpr int kPosBof = -2;      // before the first row
inline constexpr int kPosEof = -3;      // past the last row

// Why a row is about to change (the WillChangeRecord notification).
enum class ChangeReason { kAddNew, kUpdate, kDelete };

// The navigation bar's buttons. They never move past the first or last row.
enum class NavButton { kFirst, kPrevious, kNext, kLast };

// Rules:
// - The snapshot is taken by Open and Refresh; rows appear in the table's order and
//   rows added here are appended to it.
// - Edits (SetField) stay pending on the current row. Any move off the row, AddNew,
//   Refresh, UpdateBatch and Close write them first, one row at a time. When that write
//   fails the operation is refused, the current row stays and the typed values stay.
// - A write refused because another program changed the row meanwhile (3197) takes the
//   row as it now is, keeping the user's changed columns, so the next write saves them
//   over the other change. One refused because another program removed the row (3167)
//   keeps all the typed values, so the next write saves them as a new row. Either way
//   the refusal is returned, so the user is told before anything is written again.
// - Deleting a row another program removed meanwhile succeeds: it is gone either way.
// - Delete removes the current row at once and leaves no current row: MoveNext then
//   goes to the row that followed it, MovePrevious to the one before it.
// - Recordset operations return their failure; only the data control's own actions
//   (Open, the navigation bar and Close) report failures through the Error notification.
class VerseRecordset {
 public:
  explicit VerseRecordset(VerseTable& table);

  // Notifications. Each may be left unset.
  void SetErrorHandler(std::function<void(const jet::Error&)> handler);
  void SetMoveCompleteHandler(std::function<void()> handler);
  void SetWillChangeRecordHandler(std::function<void(ChangeReason, int rows)> handler);

  // Data control actions.
  // Reads the table and shows the first row. A failure leaves no rows and is reported
  // through the Error notification as well as returned.
  jet::Status Open();
  // Writes pending edits, reads the table again and shows the first row. On failure
  // the old snapshot and position stay.
  jet::Status Refresh();
  // One click on the navigation bar; a failure goes to the Error notification and is
  // returned.
  jet::Status Navigate(NavButton button);
  // The window is closing: writes pending edits as leaving the row would. A failure
  // goes to the Error notification and is returned, so the caller can stay open.
  jet::Status Close();

  // Recordset operations.
  // Writes pending edits, then appends an empty row and makes it current. The row is
  // written when the user leaves it or updates.
  jet::Status AddNew();
  // Gives up the current row's pending edits: it shows again what the store held when
  // it was last read or written. An added row not yet written is dropped, which leaves
  // no current row, as Delete does.
  void CancelUpdate();
  // Removes the current row from the table (an unwritten new row is just dropped).
  // Fails with 3021 without a current row.
  jet::Status Delete();
  // MoveNext may step onto end of file and MovePrevious onto beginning of file; a
  // further step, or MoveFirst/MoveLast without rows, fails with 3021.
  jet::Status MoveNext();
  jet::Status MovePrevious();
  jet::Status MoveFirst();
  jet::Status MoveLast();
  // Writes every row with pending changes; stops at the first failure.
  jet::Status UpdateBatch();

  // Changes one column of the current row; 3021 without a current row. Setting the
  // value the row already has changes nothing.
  jet::Status SetField(VerseColumn column, const std::string& text);

  bool Eof() const;
  bool Bof() const;
  bool HasCurrent() const;
  // 1 for the first row; one of the kPos values without a current row.
  int AbsolutePosition() const;
  int RecordCount() const { return static_cast<int>(rows_.size()); }
  // The current row with its pending edits; an empty record without a current row.
  const VerseRecord& Current() const;
  // Whether any row holds edits or an addition not yet written.
  bool HasPendingChanges() const;

 private:
  enum class RowState { kClean, kModified, kAdded };
  struct Row {
    std::optional<jet::RowId> id;  // none until an added row is written
    VerseRecord asRead;            // as the store held it when last read or written
    VerseRecord values;            // what the user sees, with pending edits
    RowState state = RowState::kClean;
  };
  // kDeleted: the current row was deleted; index_ names the row that followed it.
  enum class Place { kRow, kBof, kEof, kDeleted };

  jet::Status WriteRow(Row& row);
  jet::Status WriteCurrent();
  void TakeOverStoredRow(Row& row);
  void TakeOverRemovedRow(Row& row);
  void MoveTo(Place place, std::size_t index);
  void Report(const jet::Error& error) const;

  VerseTable& table_;
  std::vector<Row> rows_;
  Place place_ = Place::kEof;
  std::size_t index_ = 0;
  std::function<void(const jet::Error&)> onError_;
  std::function<void()> onMoveComplete_;
  std::function<void(ChangeReason, int)> onWillChangeRecord_;
};

}  // namespace store
