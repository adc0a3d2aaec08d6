// Where a module's file is: the program's own folder holds its store and its help.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// The full path of `module`'s file (nullptr: the program); empty when the system fails.
std::wstring ModuleFileName(HMODULE module = nullptr);

// The folder part of `path`, "." when it has none; a drive's root keeps its backslash
// ("C:\"), for it is no folder without it.
std::wstring FolderOf(const std::wstring& path);

}  // namespace win32
