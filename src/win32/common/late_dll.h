// Functions of system DLLs that a program needs only after its window shows: the shell's
// for the notification area and the help, OLE's for the About box's picture. Imported the
// usual way, each DLL, and the several more it brings in under wine, is loaded and set up
// before WinMain runs, and the first paint waits for it.
#pragma once

#include <windows.h>

namespace win32 {

// The function `name` of the system DLL `dll` (one of the known DLLs, which the system
// loads from its own folder only), loading the DLL first if nothing has yet; null if
// either is missing. The DLL stays loaded for the rest of the program.
template <typename Function>
Function* LateFunction(const wchar_t* dll, const char* name) {
  HMODULE module = LoadLibraryW(dll);
  if (module == nullptr) return nullptr;
  // Through void (*)(), which converts to any function pointer without a warning.
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace win32
