// The data control's navigation bar: first, previous, next and last buttons at the ends
// and the caption between them. It holds no data; it passes its button clicks on to its
// parent as WM_COMMAND with the ids IDC_NAV_FIRST ... IDC_NAV_LAST.
#pragma once

#include <windows.h>

namespace win32::editor {

inline constexpr wchar_t kNavBarClass[] = L"LumaretNavBar";

// Registers the window class; safe to call more than once.
bool RegisterNavBarClass(HINSTANCE instance);

// The caption is the bar's window text: set it with SetWindowText (or WM_SETTEXT), read
// it with WM_GETTEXT. WM_SETFONT sets the caption's font.

}  // namespace win32::editor
