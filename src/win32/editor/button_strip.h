// picButtons: a plain strip that holds the command buttons and passes their clicks on to
// the window that owns it. It has no behaviour of its own.
#pragma once

#include <windows.h>

namespace win32::editor {

inline constexpr wchar_t kButtonStripClass[] = L"LumaretButtonStrip";

// Registers the window class; safe to call more than once. Create the strip with
// WS_EX_CONTROLPARENT so that Tab moves into its buttons.
bool RegisterButtonStripClass(HINSTANCE instance);

}  // namespace win32::editor
