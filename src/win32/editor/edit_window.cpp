// EditFrm's message handler and the EditView over its controls. Each message goes
// straight to one handler; the record logic stays in EditFrm.
#include "win32/editor/edit_window.h"

#include "tovimar/tovimar_ids.h"
#include "win32/common/dpi.h"
#include "win32/common/text.h"

namespace win32::editor {
namespace {

UINT IconStyle(::editor::MessageIcon icon) {
  switch (icon) {
    case ::editor::MessageIcon::kInformation: return MB_ICONINFORMATION;
    case ::editor::MessageIcon::kQuestion: return MB_ICONQUESTION;
    case ::editor::MessageIcon::kNone: break;
  }
  return 0;
}

}  // namespace

EditWindow::EditWindow(store::VerseRecordset& datPrimaryRS, const ::editor::ProgramVersion& version)
    : frm_(*this, datPrimaryRS, version) {}

EditWindow::~EditWindow() {
  if (Hwnd() != nullptr) DestroyWindow(Hwnd());
  if (font_ != nullptr) DeleteObject(font_);
}

bool EditWindow::PreTranslate(MSG& msg) {
  if (Hwnd() == nullptr) return false;
  if (TranslateAcceleratorW(Hwnd(), accelerators_, &msg) != 0) return true;
  return IsDialogMessageW(Hwnd(), &msg) != 0;
}

LRESULT EditWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate();
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
    case WM_ACTIVATE: OnActivate(LOWORD(wParam) != WA_INACTIVE); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_DPICHANGED: OnDpiChanged(DpiOf(wParam).y, *reinterpret_cast<const RECT*>(lParam)); return 0;
    default: return Default(message, wParam, lParam);
  }
}

// The window loads: the controls exist, then the data control opens and shows row 1.
LRESULT EditWindow::OnCreate() {
  if (!CreateControls()) return -1;
  frm_.Form_Load();
  return 0;
}

// One command id per action, whether it comes from a button, an access key or a menu.
void EditWindow::OnCommand(int id) {
  switch (id) {
    case IDC_CMD_ADD: frm_.cmdAdd_Click(); break;
    case IDC_CMD_UPDATE: frm_.cmdUpdate_Click(); break;
    case IDC_CMD_DELETE: frm_.cmdDelete_Click(); break;
    case IDC_CMD_REFRESH: frm_.cmdRefresh_Click(); break;
    case IDC_NAV_FIRST: frm_.datPrimaryRS_Navigate(store::NavButton::kFirst); break;
    case IDC_NAV_PREVIOUS: frm_.datPrimaryRS_Navigate(store::NavButton::kPrevious); break;
    case IDC_NAV_NEXT: frm_.datPrimaryRS_Navigate(store::NavButton::kNext); break;
    case IDC_NAV_LAST: frm_.datPrimaryRS_Navigate(store::NavButton::kLast); break;
    case IDM_FILE_EXIT: frm_.FileExitMnu_Click(); break;
    case IDM_HELP_ABOUT: frm_.HelpAboutMnu_Click(); break;
    case IDM_HELP_NOTES: frm_.HelpNotesMnu_Click(); break;
    default: break;  // IDOK and IDCANCEL from the dialog keys: the window has no default button
  }
}

// The close box: pending edits are written first; if that fails the window stays
// only when the user chose to keep them.
void EditWindow::OnClose() {
  if (frm_.Form_QueryUnload()) DestroyWindow(Hwnd());
}

void EditWindow::OnDestroy() {
  frm_.Form_Unload();
  PostQuitMessage(0);
}

// Keeps the focus on the field the user was in across message boxes and task switches.
void EditWindow::OnActivate(bool active) {
  if (!active) {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(Hwnd(), focus)) focus_ = focus;
    return;
  }
  SetFocus(focus_ != nullptr && IsWindow(focus_) ? focus_ : txtFields_[::editor::kBookField]);
}

std::string EditWindow::FieldText(int index) const {
  return Utf8(WindowText(txtFields_[static_cast<std::size_t>(index)]));
}

void EditWindow::SetFieldText(int index, const std::string& text) {
  SetWindowTextW(txtFields_[static_cast<std::size_t>(index)], Wide(text).c_str());
}

void EditWindow::SetReadChecked(bool checked) {
  SendMessageW(chkRead_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void EditWindow::SetDataCaption(const std::string& caption) {
  SetWindowTextW(datPrimaryRS_, Wide(caption).c_str());
}

void EditWindow::ShowMessage(const std::string& text, const std::string& title, ::editor::MessageIcon icon) {
  MessageBoxW(Hwnd(), Wide(text).c_str(), Wide(title).c_str(), MB_OK | IconStyle(icon));
}

bool EditWindow::AskYesNo(const std::string& text, const std::string& title) {
  return MessageBoxW(Hwnd(), Wide(text).c_str(), Wide(title).c_str(),
                     MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void EditWindow::Unload() { DestroyWindow(Hwnd()); }

void EditWindow::ResetMousePointer() {
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

}  // namespace win32::editor
