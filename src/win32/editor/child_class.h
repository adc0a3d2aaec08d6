// Window classes for the editor's own child controls (the button strip and the
// navigation bar). They keep their state on the window, not in a Window object: a child
// is made by CreateWindowEx with its parent, which Window::CreateFor does not take.
#pragma once

#include <windows.h>

namespace win32::editor {

// Registers `name` with `procedure` and a background of the system colour `background`
// (a COLOR_ index); a class registered before counts as success.
bool RegisterChildClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, int background);

}  // namespace win32::editor
