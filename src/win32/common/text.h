// Conversions between the core's UTF-8 text and the texts of the Win32 APIs.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace win32 {

// UTF-8 to UTF-16 for the W functions; invalid bytes become U+FFFD.
std::wstring Wide(std::string_view utf8);
// UTF-16 to UTF-8.
std::string Utf8(std::wstring_view wide);
// UTF-8 to the ANSI code page for the A functions and CF_TEXT; characters the code
// page lacks become its default character.
std::string Ansi(std::string_view utf8);
// The whole text of a window or control of this process.
std::wstring WindowText(HWND hwnd);

}  // namespace win32
