// tovimar.exe: makes its own folder current, opens the verse store beside it and runs
// EditFrm's window until it closes. No arguments, no environment.
#include <windows.h>
// commctrl.h needs the types from windows.h.
#include <commctrl.h>

#include <string>

#include "jet/file.h"
#include "store/jet_verse_table.h"
#include "store/store_file.h"
#include "store/verse_recordset.h"
#include "win32/editor/edit_window.h"
#include "win32/editor/program_version_win32.h"

namespace {

// The store is named relative to the current folder, so the program's own folder must be
// current also when the reminder, a shortcut or a shell started it from elsewhere.
void MakeProgramFolderCurrent() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return;
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return;
  path.resize(slash == 2 && path[1] == L':' ? slash + 1 : slash);  // keep "C:\" for the root
  SetCurrentDirectoryW(path.c_str());
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int showCommand) {
  MakeProgramFolderCurrent();
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  store::JetVerseTable table(jet::SystemFileSystem(), store::kStoreFileName);
  store::VerseRecordset datPrimaryRS(table);
  const tovimar::FileProgramVersion version;
  tovimar::EditWindow window(datPrimaryRS, version);
  if (!window.Create(instance, showCommand)) return 1;

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (window.PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
