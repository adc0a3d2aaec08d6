// Message boxes, the mouse pointer, window order, the notification icon, the clipboard,
// the screen and the message pump on Win32.
#include "win32/reminder/ui_platform_win32.h"

#include <shellapi.h>

#include <cstring>

#include "win32/common/dpi.h"
#include "win32/common/late_dll.h"
#include "win32/common/text.h"

namespace win32::reminder {

namespace {

bool pointerBusy = false;

}  // namespace

// --- Message boxes ---

void Win32MessageBoxes::Show(const std::string& text, const std::string& title,
                             ::reminder::MessageIcon icon) {
  UINT style = MB_OK | MB_SETFOREGROUND;
  switch (icon) {
    case ::reminder::MessageIcon::kCritical: style |= MB_ICONHAND; break;
    case ::reminder::MessageIcon::kExclamation: style |= MB_ICONEXCLAMATION; break;
    case ::reminder::MessageIcon::kInformation: style |= MB_ICONASTERISK; break;
    case ::reminder::MessageIcon::kNone: break;
  }
  HWND owner = owner_.Hwnd();
  // Without a window (before it loads) the box must still come above other programs.
  if (owner == nullptr) style |= MB_TOPMOST;
  MessageBoxW(owner, Wide(text).c_str(), Wide(title).c_str(), style);
}

// --- Mouse pointer ---

bool PointerBusy() { return pointerBusy; }

void Win32MousePointer::SetBusy(bool on) {
  pointerBusy = on;
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(on ? 32514 : 32512)));  // IDC_WAIT, IDC_ARROW
}

// --- Window order ---

void Win32WindowOrder::SetWindowPos(::reminder::WindowHandle window, std::int32_t insertAfter, int x, int y,
                                    int cx, int cy, std::uint32_t flags) {
  ::SetWindowPos(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window)),
                 reinterpret_cast<HWND>(static_cast<std::intptr_t>(insertAfter)), x, y, cx, cy, flags);
}

// --- Notification icon ---

bool Win32NotifyIcon::ShellNotifyIcon(std::uint32_t message, const std::array<std::uint8_t, 88>& record) {
  // The record starts with cbSize 88, so the shell reads only those bytes; the rest of
  // the larger structure is there for alignment and stays zero.
  NOTIFYICONDATAA data{};
  static_assert(sizeof data >= 88);
  std::memcpy(&data, record.data(), record.size());
  static const auto notify = LateFunction<decltype(Shell_NotifyIconA)>(L"shell32.dll", "Shell_NotifyIconA");
  return notify != nullptr && notify(message, &data) != FALSE;
}

// --- Clipboard ---

bool Win32Clipboard::SetText(const std::string& text) {
  const std::string ansi = Ansi(text);
  if (!OpenClipboard(owner_.Hwnd())) return false;
  bool ok = EmptyClipboard() != FALSE;
  if (ok) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, ansi.size() + 1);
    void* bytes = memory != nullptr ? GlobalLock(memory) : nullptr;
    if (bytes != nullptr) {
      std::memcpy(bytes, ansi.c_str(), ansi.size() + 1);
      GlobalUnlock(memory);
    }
    // On success the clipboard owns the memory.
    ok = bytes != nullptr && SetClipboardData(CF_TEXT, memory) != nullptr;
    if (!ok && memory != nullptr) GlobalFree(memory);
  }
  CloseClipboard();
  return ok;
}

// --- Screen ---

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    const Dpi dpi = ScreenDpi();
    reinterpret_cast<std::vector<::reminder::TwipsRect>*>(list)->push_back(
        {PixelsToTwips(r.left, dpi.x), PixelsToTwips(r.top, dpi.y), PixelsToTwips(r.right - r.left, dpi.x),
         PixelsToTwips(r.bottom - r.top, dpi.y)});
  }
  return TRUE;
}

}  // namespace

std::int32_t Win32Screen::Width() const {
  return PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), ScreenDpi().x);
}

std::int32_t Win32Screen::Height() const {
  return PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), ScreenDpi().y);
}

std::vector<::reminder::TwipsRect> Win32Screen::Monitors() const {
  std::vector<::reminder::TwipsRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

// --- Message pump ---

void Win32EventPump::Dispatch(MSG& message) const {
  HWND main = window_.Hwnd();
  // The keyboard table and the dialog keys belong to the main window and its buttons
  // only, never to a message box or another window of the program.
  if (main != nullptr && (message.hwnd == main || IsChild(main, message.hwnd))) {
    if (TranslateAcceleratorW(main, window_.Accelerators(), &message)) return;
    if (IsDialogMessageW(main, &message)) return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32EventPump::DoEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the end of the program to the main loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Dispatch(message);
  }
}

}  // namespace win32::reminder
