// EditFrm's handlers: the record commands with their failure guard, the data control's
// notifications, closing, and the Help menu.
#include "editor/edit_frm.h"

#include <array>

#include "editor/editor_texts.h"

namespace editor {
namespace {

struct Binding {
  int field;
  store::VerseColumn column;
};

constexpr std::array<Binding, 4> kBindings = {{
    {kBookField, store::VerseColumn::kBook},
    {kChapterField, store::VerseColumn::kChapter},
    {kVersesField, store::VerseColumn::kVerses},
    {kVerseTxtField, store::VerseColumn::kVerseTxt},
}};

}  // namespace

EditFrm::EditFrm(EditView& view, store::VerseRecordset& datPrimaryRS, const ProgramVersion& version)
    : view_(view), datPrimaryRS_(datPrimaryRS), version_(version) {
  datPrimaryRS_.SetErrorHandler([this](const jet::Error& error) { datPrimaryRS_Error(error); });
  datPrimaryRS_.SetMoveCompleteHandler([this] { datPrimaryRS_MoveComplete(); });
  datPrimaryRS_.SetWillChangeRecordHandler(
      [this](store::ChangeReason reason, int rows) { datPrimaryRS_WillChangeRecord(reason, rows); });
}

EditFrm::~EditFrm() {
  datPrimaryRS_.SetErrorHandler(nullptr);
  datPrimaryRS_.SetMoveCompleteHandler(nullptr);
  datPrimaryRS_.SetWillChangeRecordHandler(nullptr);
}

void EditFrm::Form_Load() {
  view_.SetDataCaption(" ");
  // A failure has already been shown through the data error notification; the window
  // stays open without rows.
  if (!datPrimaryRS_.Open().ok()) ShowCurrentRow();
}

bool EditFrm::Form_QueryUnload() {
  PushFields();
  if (datPrimaryRS_.Close().ok()) return true;
  // The error has been shown. A store that cannot be written, or a value no column
  // takes, would otherwise keep the window open for ever: the user decides.
  if (view_.AskYesNo(kGiveUpOnCloseQuestion, kProgramTitle)) return true;
  ShowCurrentRow();
  return false;
}

void EditFrm::Form_Unload() { view_.ResetMousePointer(); }

void EditFrm::cmdAdd_Click() {
  Guard([this] {
    PushFields();
    return datPrimaryRS_.AddNew();
  });
}

void EditFrm::cmdUpdate_Click() {
  Guard([this] {
    PushFields();
    return datPrimaryRS_.UpdateBatch();
  });
}

void EditFrm::cmdDelete_Click() {
  Guard([this]() -> jet::Status {
    // Read first so that a refused delete leaves the typed text where it was.
    PushFields();
    JET_TRY(datPrimaryRS_.Delete());
    JET_TRY(datPrimaryRS_.MoveNext());
    if (datPrimaryRS_.Eof()) JET_TRY(datPrimaryRS_.MoveLast());
    return jet::Ok();
  });
}

void EditFrm::cmdRefresh_Click() {
  Guard([this] {
    PushFields();
    return datPrimaryRS_.Refresh();
  });
}

void EditFrm::datPrimaryRS_Navigate(store::NavButton button) {
  PushFields();
  // A failed move with edits still pending failed writing them; without a way to give
  // them up the user could never leave a row that cannot be written.
  if (!datPrimaryRS_.Navigate(button).ok() && datPrimaryRS_.HasPendingChanges() &&
      view_.AskYesNo(kGiveUpOnMoveQuestion, kProgramTitle)) {
    datPrimaryRS_.CancelUpdate();
    (void)datPrimaryRS_.Navigate(button);  // a failure has been shown
  }
  ShowCurrentRow();
}

void EditFrm::FileExitMnu_Click() {
  if (Form_QueryUnload()) view_.Unload();
}

void EditFrm::HelpAboutMnu_Click() {
  view_.ShowMessage(AboutText(version_.Numbers()), kAboutTitle, MessageIcon::kInformation);
}

void EditFrm::HelpNotesMnu_Click() { view_.ShowMessage(NotesText(), kNotesTitle, MessageIcon::kQuestion); }

void EditFrm::datPrimaryRS_Error(const jet::Error& error) {
  view_.ShowMessage(kDataErrorPrefix + error.description, kProgramTitle, MessageIcon::kNone);
}

void EditFrm::datPrimaryRS_MoveComplete() {
  ShowCurrentRow();
  view_.SetDataCaption(RecordCaption(datPrimaryRS_.AbsolutePosition()));
}

void EditFrm::datPrimaryRS_WillChangeRecord(store::ChangeReason /*reason*/, int /*rows*/) {
  // Every change is accepted: the editor checks no field.
}

void EditFrm::Guard(const std::function<jet::Status()>& steps) {
  jet::Status status = steps();
  if (status.ok()) return;
  view_.ShowMessage(status.error().description, kProgramTitle, MessageIcon::kNone);
  // A refused write can bring in another program's values for the untouched columns.
  ShowCurrentRow();
}

void EditFrm::PushFields() {
  if (!datPrimaryRS_.HasCurrent()) return;  // with no row the boxes are bound to nothing
  for (const Binding& binding : kBindings) {
    if (!datPrimaryRS_.SetField(binding.column, view_.FieldText(binding.field)).ok()) return;
  }
}

void EditFrm::ShowCurrentRow() {
  const store::VerseRecord& row = datPrimaryRS_.Current();
  view_.SetFieldText(kBookField, row.book);
  view_.SetFieldText(kChapterField, row.chapter);
  view_.SetFieldText(kVersesField, row.verses);
  view_.SetFieldText(kVerseTxtField, row.verseTxt);
  view_.SetReadChecked(row.read);
}

}  // namespace editor
