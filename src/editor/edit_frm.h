// EditFrm: the editor window's logic. The Win32 shell turns each window message into
// one call of a handler below and implements EditView; the rows live in datPrimaryRS.
#pragma once

#include <functional>

#include "editor/edit_view.h"
#include "jet/result.h"
#include "store/verse_recordset.h"

namespace editor {

// The window keeps no record state of its own. Before every data operation the text
// boxes are read into the current row (the binding), and after every completed move
// the row is shown and the caption set.
class EditFrm {
 public:
  // Subscribes to datPrimaryRS's notifications for the window's lifetime.
  EditFrm(EditView& view, store::VerseRecordset& datPrimaryRS, const ProgramVersion& version);
  ~EditFrm();
  EditFrm(const EditFrm&) = delete;
  EditFrm& operator=(const EditFrm&) = delete;

  // WM_CREATE: the data control opens its record source and shows the first row.
  void Form_Load();
  // WM_CLOSE (close box) and File > Exit: writes pending edits as leaving the row
  // would. When that write fails the error is shown and the user is asked whether to
  // give the edits up and close; returns false (the window stays open, the edits with
  // it) only when the user chose to stay.
  bool Form_QueryUnload();
  // WM_DESTROY.
  void Form_Unload();

  // The four buttons. A failing step ends the command with its description shown.
  void cmdAdd_Click();
  void cmdUpdate_Click();
  void cmdDelete_Click();
  void cmdRefresh_Click();

  // The data control's navigation bar (first, previous, next, last). When writing the
  // row's edits fails, the error is shown and the user may give them up and move on.
  void datPrimaryRS_Navigate(store::NavButton button);

  void FileExitMnu_Click();
  void HelpAboutMnu_Click();
  void HelpNotesMnu_Click();

 private:
  // The recordset's notifications.
  void datPrimaryRS_Error(const jet::Error& error);
  void datPrimaryRS_MoveComplete();
  void datPrimaryRS_WillChangeRecord(store::ChangeReason reason, int rows);

  // Runs a command's steps; a failure shows its description in a plain "Tovimar" box.
  void Guard(const std::function<jet::Status()>& steps);
  // Reads the text boxes into the current row.
  void PushFields();
  // Shows the current row (empty fields without one).
  void ShowCurrentRow();

  EditView& view_;
  store::VerseRecordset& datPrimaryRS_;
  const ProgramVersion& version_;
};

}  // namespace editor
