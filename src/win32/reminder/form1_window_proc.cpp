// Form1's window procedure: each message goes to one handler, and each command of the
// menu, the accelerators and the buttons to one handler of reminder::Form1.
#include <string>

#include "verse/resource_ids.h"
#include "win32/common/text.h"
#include "win32/reminder/form1_window.h"
#include "win32/reminder/ui_platform_win32.h"

namespace win32::reminder {

LRESULT Form1Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    if (form_ != nullptr) form_->TaskbarCreated();
    return 0;
  }
  switch (message) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_COMMAND:
      // Buttons send BN_CLICKED (0), menus 0 and accelerators 1.
      if (HIWORD(wParam) <= 1) OnCommand(LOWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1 && form_ != nullptr) form_->Timer1_Timer();
      return 0;
    case WM_MOUSEMOVE:
      // Also the notification icon's callback: the mouse message number in the low word.
      if (form_ != nullptr) form_->Form_MouseMove(static_cast<int>(LOWORD(lParam)));
      return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_QUERYENDSESSION: return form_ == nullptr || form_->Form_QueryEndSession() ? TRUE : FALSE;
    case WM_ENDSESSION:
      if (form_ != nullptr) form_->Form_EndSession(wParam != FALSE);
      return 0;
    case WM_ACTIVATE: OnActivate(LOWORD(wParam) != WA_INACTIVE); return 0;
    case WM_SETFOCUS: SetFocus(focus_ != nullptr ? focus_ : Control(IDC_MINIMIZE_CMD)); return 0;
    case WM_DRAWITEM: return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_DPICHANGED: OnDpiChanged(DpiOf(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_SETCURSOR:
      if (PointerBusy()) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
        return TRUE;
      }
      break;
    default: break;
  }
  return Default(message, wParam, lParam);
}

void Form1Window::OnCommand(int id) {
  if (form_ == nullptr) return;
  if (id >= IDM_INTERVAL_0 && id < IDM_INTERVAL_0 + static_cast<int>(::reminder::kIntervals.size())) {
    form_->IntervalMnu_Click(static_cast<std::int16_t>(id - IDM_INTERVAL_0));
    return;
  }
  switch (id) {
    case IDC_NEW_VERSE_CMD: form_->NewVerseCMD_Click(); break;
    case IDC_MINIMIZE_CMD:
    case IDCANCEL:  // "&Amen" is the window's cancel button: Esc presses it
      form_->MinimizeCMD_Click();
      break;
    case IDM_FILE_EXIT: form_->FileExitMnu_Click(); break;
    case IDM_EDIT_COPY: form_->EditCopyMnu_Click(); break;
    case IDM_OPTIONS_AUTOSTART: form_->OptionsAutoStartMnu_Click(); break;
    case IDM_HOURLY_CHIME: form_->HourlyChimeMNU_Click(); break;
    case IDM_DATA_EDITOR: form_->DataEditorMnu_Click(); break;
    case IDM_HELP_HELP: form_->HelpHelpMnu_Click(); break;
    case IDM_HELP_ABOUT: form_->HelpAboutMnu_Click(); break;
    default: break;
  }
}

void Form1Window::OnClose() {
  // Every close request, by the close box, Alt+F4, File > Exit or the window system,
  // asks the logic; it hides the window instead unless the program is ending.
  if (form_ != nullptr && !form_->Form_QueryUnload()) return;
  DestroyWindow(Hwnd());
}

void Form1Window::OnDestroy() {
  KillTimer(Hwnd(), kTimer1);
  if (toolTip_ != nullptr) {
    DestroyWindow(toolTip_);
    toolTip_ = nullptr;
  }
  PostQuitMessage(0);
}

void Form1Window::OnActivate(bool active) {
  if (!active) {
    HWND focused = GetFocus();
    if (focused != nullptr && IsChild(Hwnd(), focused)) focus_ = focused;
    return;
  }
  SetFocus(focus_ != nullptr ? focus_ : Control(IDC_MINIMIZE_CMD));
}

LRESULT Form1Window::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_STATIC) return FALSE;
  // The labels draw themselves: fixed boxes, text cut off at their edges, no "&" prefix.
  UINT format = DT_NOPREFIX;
  HFONT font = headingFont_;
  switch (item.CtlID) {
    case IDC_BOOK_LBL:
    case IDC_CHAPTER_LBL: format |= DT_RIGHT | DT_SINGLELINE; break;
    case IDC_VERSE_TXT_LBL:
      format |= DT_LEFT | DT_WORDBREAK;
      font = verseFont_;
      break;
    default: format |= DT_LEFT | DT_SINGLELINE; break;
  }
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  const std::wstring text = WindowText(item.hwndItem);
  HGDIOBJ old = SelectObject(item.hDC, font);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
  RECT box = item.rcItem;
  DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &box, format);
  SelectObject(item.hDC, old);
  return TRUE;
}

}  // namespace win32::reminder
