// What another process's windows show: a message box's text and icon, and a picture
// of a window taken from the screen.
#pragma once

#include <windows.h>

#include <string>

namespace win32::editor::test {

// The message text of a standard message box (its text static), as UTF-8.
std::string MessageBoxText(HWND box);
// The box's icon static (SS_ICON), visible or not; null when there is none.
HWND MessageBoxIcon(HWND box);
// The message box icons (the IDI_ numbers).
enum class SystemIcon { kError = 32513, kQuestion = 32514, kWarning = 32515, kInformation = 32516 };

// Whether `iconStatic` is visible and its pixels on the screen are the system icon
// drawn over the same background. Icon handles do not cross processes under wine, so
// the picture is compared instead.
bool ShowsSystemIcon(HWND iconStatic, SystemIcon icon);
// Saves the window's rectangle of the screen as a 24-bit BMP file at `path` (UTF-8).
bool SaveWindowPicture(HWND window, const std::string& path);

}  // namespace win32::editor::test
