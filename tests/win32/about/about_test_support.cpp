// The owner window and message pump of the About box tests.
#include "about_test_support.h"

namespace win32::about::test {

namespace {

constexpr wchar_t kOwnerClass[] = L"LumaretAboutTestOwner";

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

OwnerWindow::OwnerWindow(int left, int top) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = OwnerProc;
  wc.hInstance = instance;
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  wc.lpszClassName = kOwnerClass;
  RegisterClassW(&wc);  // a second fixture finds it registered
  hwnd_ = CreateWindowExW(0, kOwnerClass, L"Lumaret", WS_OVERLAPPEDWINDOW, left, top, 482, 380, nullptr,
                          nullptr, instance, nullptr);
  if (hwnd_ == nullptr) return;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  // The main window lives in the top layer while it is shown.
  ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  PumpMessages();
}

OwnerWindow::~OwnerWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  PumpMessages();
}

::reminder::TwipsRect OwnerWindow::Bounds() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  const Dpi dpi = ScreenDpi();
  return {PixelsToTwips(r.left, dpi.x), PixelsToTwips(r.top, dpi.y), PixelsToTwips(r.right - r.left, dpi.x),
          PixelsToTwips(r.bottom - r.top, dpi.y)};
}

void PumpMessages(HWND dialog) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (dialog != nullptr && IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace win32::about::test
