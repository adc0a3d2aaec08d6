// The About box window: creation from the twips layout, painting, keys, timer and closing.
#include "win32/about/about_window.h"

#include <commctrl.h>

#include <cmath>
#include <utility>

#include "verse/about_resources.h"
#include "win32/common/text.h"

namespace win32::about {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

}  // namespace

AboutWindow::AboutWindow(HINSTANCE instance) : instance_(instance) {}

AboutWindow::~AboutWindow() { Unload(); }

bool AboutWindow::Load() {
  if (Hwnd() != nullptr) return true;
  if (!Register(instance_, WindowClass{kClassName})) return false;
  screenDpi_ = dpi_ = ScreenDpi();
  RECT frame{0, 0, TwipsToPixels(kClientWidth, dpi_.x), TwipsToPixels(kClientHeight, dpi_.y)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  // WM_CREATE makes the controls.
  const SIZE size{frame.right - frame.left, frame.bottom - frame.top};
  return CreateFor(kExStyle, kClassName, Wide(kCaption), kStyle, 0, 0, size, nullptr, instance_) != nullptr;
}

void AboutWindow::Unload() {
  if (Hwnd() != nullptr) DestroyWindow(Hwnd());  // the timer goes with the window
}

::reminder::WindowHandle AboutWindow::Handle() const {
  return static_cast<::reminder::WindowHandle>(reinterpret_cast<UINT_PTR>(Hwnd()));
}

void AboutWindow::SetCopyrightCaption(const std::string& text) {
  SetWindowTextW(copyrightLbl_, Wide(text).c_str());
}

void AboutWindow::SetVersionCaption(const std::string& text) {
  SetWindowTextW(versionLbl_, Wide(text).c_str());
}

void AboutWindow::Move(std::int32_t left, std::int32_t top) {
  SetWindowPos(Hwnd(), nullptr, TwipsToPixels(left, screenDpi_.x), TwipsToPixels(top, screenDpi_.y), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AboutWindow::Show() { ShowWindow(Hwnd(), SW_SHOWNORMAL); }

void AboutWindow::Refresh() {
  RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void AboutWindow::Focus() { SetFocus(command1_); }

void AboutWindow::BringToFront() {
  if (IsIconic(Hwnd())) ShowWindow(Hwnd(), SW_RESTORE);
  // HWND_TOP keeps a topmost window in the top layer.
  SetWindowPos(Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(Hwnd());
}

void AboutWindow::StartTimer(std::uint32_t milliseconds) {
  SetTimer(Hwnd(), kTimer1Id, milliseconds, nullptr);
}

LRESULT AboutWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate();
    case WM_PAINT: return OnPaint();
    case WM_SETFOCUS: return OnSetFocus();
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND: return OnCommand(LOWORD(wParam));
    case WM_KEYDOWN: return OnKey(wParam);
    case WM_SYSCHAR: return OnSysChar(wParam);
    case WM_TIMER: return OnTimer(wParam);
    case WM_CLOSE: return OnClose();
    case WM_NCDESTROY: return OnNcDestroy();
    case WM_DPICHANGED: return OnDpiChanged(DpiOf(wParam), *reinterpret_cast<const RECT*>(lParam));
    default: return Default(message, wParam, lParam);
  }
}

// Enter, Esc and Alt+G on the button itself: it has the focus, and the program's message
// loop need not run IsDialogMessage for the box.
LRESULT CALLBACK AboutWindow::Command1Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
  auto* self = reinterpret_cast<AboutWindow*>(data);
  if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) return self->OnKey(wParam);
  if (message == WM_SYSCHAR && (wParam == 'g' || wParam == 'G')) return self->OnSysChar(wParam);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT AboutWindow::OnCreate() {
  MakeFonts();
  picture_ = LoadPictureResource(instance_, IDR_ABOUT_PICTURE);

  SendMessageW(Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_), FALSE);
  // In creation order; the tab order follows it and only the button is a tab stop.
  command1_ = AddControl(L"BUTTON", Wide(kCommand1Caption).c_str(), BS_DEFPUSHBUTTON | WS_TABSTOP, kCommand1,
                         windowFont_, kCommand1Id);
  copyrightLbl_ = AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kCopyrightLbl, windowFont_);
  versionLbl_ = AddControl(L"STATIC", Wide(kVersionInitialCaption).c_str(),
                           SS_CENTER | SS_NOPREFIX | WS_BORDER, kVersionLbl, versionFont_);
  label1_ = AddControl(L"STATIC", Wide(kLabel1Caption).c_str(), SS_LEFT | SS_NOPREFIX, kLabel1, label1Font_);
  if (command1_ == nullptr || copyrightLbl_ == nullptr || versionLbl_ == nullptr || label1_ == nullptr) {
    return -1;  // CreateWindowEx fails and the box stays closed
  }
  SetWindowSubclass(command1_, Command1Proc, 1, reinterpret_cast<DWORD_PTR>(this));
  return 0;
}

void AboutWindow::MakeFonts() {
  for (HFONT* font : {&windowFont_, &versionFont_, &label1Font_}) {
    if (*font != nullptr) DeleteObject(*font);
  }
  windowFont_ = MakeFont(kWindowFont);
  versionFont_ = MakeFont(kVersionFont);
  label1Font_ = MakeFont(kLabel1Font);
  for (const auto& [control, font] :
       {std::pair{command1_, windowFont_}, std::pair{copyrightLbl_, windowFont_},
        std::pair{versionLbl_, versionFont_}, std::pair{label1_, label1Font_}}) {
    if (control != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

void AboutWindow::LayOutControls() {
  for (const auto& [control, rect] :
       {std::pair{command1_, kCommand1}, std::pair{copyrightLbl_, kCopyrightLbl},
        std::pair{versionLbl_, kVersionLbl}, std::pair{label1_, kLabel1}}) {
    const RECT r = PixelRect(rect);
    MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  }
}

LRESULT AboutWindow::OnDpiChanged(Dpi dpi, const RECT& suggested) {
  if (dpi.x <= 0 || dpi.y <= 0) return 0;
  dpi_ = dpi;
  MakeFonts();
  LayOutControls();
  // The client area keeps the layout's size in twips, whatever the frame's rounding.
  FollowDpiChange(Hwnd(), suggested, TwipsToPixels(kClientWidth, dpi_.x),
                  TwipsToPixels(kClientHeight, dpi_.y));
  return 0;
}

// The window passes the focus on to its button, also when it is activated again: the
// button is its only control that takes the focus.
LRESULT AboutWindow::OnSetFocus() {
  if (command1_ != nullptr) SetFocus(command1_);
  return 0;
}

LRESULT AboutWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Hwnd(), &paint);
  // Picture1: a flat one-pixel border round the picture.
  const RECT box = PixelRect(kPicture1);
  FrameRect(dc, &box, GetSysColorBrush(COLOR_WINDOWFRAME));
  if (!picture_.Empty()) {
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture_.Bitmap());
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, box.left + 1, box.top + 1, box.right - box.left - 2, box.bottom - box.top - 2, memory, 0,
               0, picture_.Width(), picture_.Height(), SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  // Line1 under the product name.
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  MoveToEx(dc, TwipsToPixels(kLine1.x1, dpi_.x), TwipsToPixels(kLine1.y1, dpi_.y), nullptr);
  LineTo(dc, TwipsToPixels(kLine1.x2, dpi_.x), TwipsToPixels(kLine1.y2, dpi_.y));
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  EndPaint(Hwnd(), &paint);
  return 0;
}

// VersionLbl draws in the highlight colour on the highlight-text colour, the inverse of
// selected text; the other labels keep the window's colours.
LRESULT AboutWindow::OnCtlColorStatic(HDC dc, HWND control) {
  if (control != versionLbl_) {
    return Default(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  }
  SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
  SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_HIGHLIGHTTEXT));
}

LRESULT AboutWindow::OnCommand(int id) {
  if (id == kCommand1Id || id == IDCANCEL) Command1_Click();
  return 0;
}

LRESULT AboutWindow::OnKey(WPARAM key) {
  if (key == VK_RETURN || key == VK_ESCAPE) Command1_Click();
  return 0;
}

LRESULT AboutWindow::OnSysChar(WPARAM character) {
  if (character == 'g' || character == 'G') {
    Command1_Click();
    return 0;
  }
  return Default(WM_SYSCHAR, character, 0);
}

LRESULT AboutWindow::OnTimer(UINT_PTR id) {
  if (id != kTimer1Id) return 0;
  KillTimer(Hwnd(), kTimer1Id);  // it never ticks twice
  if (form_ != nullptr) {
    form_->Timer1_Timer();
  } else {
    Unload();
  }
  return 0;
}

LRESULT AboutWindow::OnClose() {
  if (form_ != nullptr) {
    form_->Form_Unload();
  } else {
    Unload();
  }
  return 0;
}

LRESULT AboutWindow::OnNcDestroy() {
  RemoveWindowSubclass(command1_, Command1Proc, 1);
  command1_ = copyrightLbl_ = versionLbl_ = label1_ = nullptr;
  for (HFONT* font : {&windowFont_, &versionFont_, &label1Font_}) {
    if (*font != nullptr) DeleteObject(*font);
    *font = nullptr;
  }
  picture_ = Picture();
  return Default(WM_NCDESTROY, 0, 0);
}

void AboutWindow::Command1_Click() {
  if (form_ != nullptr) {
    form_->Command1_Click();
  } else {
    Unload();
  }
}

HWND AboutWindow::AddControl(const wchar_t* className, const wchar_t* caption, DWORD style,
                             const ::reminder::TwipsRect& rect, HFONT font, int id) {
  const RECT r = PixelRect(rect);
  HWND control = CreateWindowExW(0, className, caption, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, Hwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  if (control != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

HFONT AboutWindow::MakeFont(const Font& font) const {
  return CreatePointFont(Wide(font.face).c_str(), static_cast<int>(std::lround(font.points * 100)), dpi_.y,
                         font.bold ? FW_BOLD : FW_NORMAL, ANSI_CHARSET);
}

RECT AboutWindow::PixelRect(const ::reminder::TwipsRect& rect) const {
  const int left = TwipsToPixels(rect.left, dpi_.x);
  const int top = TwipsToPixels(rect.top, dpi_.y);
  return RECT{left, top, left + TwipsToPixels(rect.width, dpi_.x), top + TwipsToPixels(rect.height, dpi_.y)};
}

}  // namespace win32::about
