// Helpers for the Windows tests of the reminder: reading windows (also of another
// process), waiting while messages are pumped, the shipped store's rows and the
// settings file.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "store/verse_cursor.h"

namespace win32::reminder::test {

// The shipped store, as a path wine can open.
std::string ShippedStorePath();

// The first `count` rows of the store at `path`, in the cursor's order.
std::vector<store::VerseRecord> StoreRows(const std::string& path, int count);

// A window's text as UTF-8, by WM_GETTEXT (marshalled across processes).
std::string WindowText(HWND window);
// The class name of a window.
std::string ClassName(HWND window);

// Pumps this thread's messages until `done` is true or `milliseconds` have passed.
bool WaitFor(const std::function<bool()>& done, DWORD milliseconds = 10000);

// The visible top-level window of class `className` that belongs to process `pid`.
HWND FindProcessWindow(DWORD pid, const char* className, bool visibleOnly = true);

bool IsTopmost(HWND window);

// The text of the clipboard's CF_TEXT, or "<none>".
std::string ClipboardText();

// A whole file's bytes, or "<missing>".
std::string FileBytes(const std::string& path);
bool FileExists(const std::string& path);
void CopyFileTo(const std::string& from, const std::string& to);

// The five numbers of a settings file, or an empty list when it does not exist.
std::vector<long> SettingsNumbers(const std::string& path);

// The Run value "Lumaret2" under `root`, or "<absent>".
std::string RunValue(HKEY root = HKEY_LOCAL_MACHINE);
// Writes the value under the user's Run key, as a run without administrator rights does.
void SetUserRunValue(const std::string& command);
// Removes the value from the machine's and the user's Run key.
void DeleteRunValue();

// Saves the screen area of `window` (frame included) as a 24-bit BMP file.
bool SaveWindowBitmap(HWND window, const std::string& path);

}  // namespace win32::reminder::test
