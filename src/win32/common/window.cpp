// The window procedure shared by every window: the object's pointer arrives with
// WM_NCCREATE and is kept in the window's user data until WM_NCDESTROY.
#include "win32/common/window.h"

namespace win32 {

Window::~Window() {
  if (hwnd_ != nullptr) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
}

bool Window::Register(HINSTANCE instance, const WindowClass& windowClass) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Procedure;
  wc.hInstance = instance;
  wc.hIcon = windowClass.icon;
  wc.hIconSm = windowClass.smallIcon;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszMenuName = windowClass.menu;
  wc.lpszClassName = windowClass.name;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND Window::CreateFor(DWORD exStyle, const wchar_t* className, const std::wstring& caption, DWORD style,
                       int x, int y, SIZE frame, HMENU menu, HINSTANCE instance) {
  CreateWindowExW(exStyle, className, caption.c_str(), style, x, y, frame.cx, frame.cy, nullptr, menu,
                  instance, this);
  return hwnd_;  // nullptr also when WM_CREATE failed and the window is gone again
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  const LRESULT result = self->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

}  // namespace win32
