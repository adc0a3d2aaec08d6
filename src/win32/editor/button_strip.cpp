// The button strip's window procedure: it forwards the buttons' notifications.
#include "win32/editor/button_strip.h"

#include "win32/editor/child_class.h"

namespace win32::editor {
namespace {

LRESULT CALLBACK ButtonStripProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: return SendMessageW(GetParent(hwnd), WM_COMMAND, wParam, lParam);
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

bool RegisterButtonStripClass(HINSTANCE instance) {
  return RegisterChildClass(instance, kButtonStripClass, ButtonStripProc, COLOR_BTNFACE);
}

}  // namespace win32::editor
