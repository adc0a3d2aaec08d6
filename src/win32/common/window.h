// The base of every window of both programs: it owns the window handle and the window
// procedure that routes each message to its object.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// What a window class looks like; its procedure is always Window's.
struct WindowClass {
  const wchar_t* name;
  HICON icon = nullptr;
  HICON smallIcon = nullptr;
  const wchar_t* menu = nullptr;  // the class menu's resource name, if any
};

class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // nullptr before creation and from WM_NCDESTROY on.
  HWND Hwnd() const { return hwnd_; }

 protected:
  Window() = default;
  // Detaches a window that outlives its object: its messages go to DefWindowProc. The
  // derived class destroys its window in its own destructor, while it can still answer.
  virtual ~Window();

  // Registers a class whose windows route their messages to Window objects. A class
  // registered before counts as success: tests make windows more than once.
  static bool Register(HINSTANCE instance, const WindowClass& windowClass);

  // CreateWindowEx with this object receiving the window's messages, WM_NCCREATE
  // included; Hwnd() is set from then on. nullptr when the system refused.
  HWND CreateFor(DWORD exStyle, const wchar_t* className, const std::wstring& caption, DWORD style, int x,
                 int y, SIZE frame, HMENU menu, HINSTANCE instance);

  // One message; what DefWindowProc would do is Default().
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
  }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
};

}  // namespace win32
