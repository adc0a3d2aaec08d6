// The editor program put together, and its message loop.
#include "win32/editor/editor_app.h"

// commctrl.h needs the types from windows.h.
#include <commctrl.h>

#include <string>

#include "jet/file.h"
#include "store/jet_verse_table.h"
#include "store/store_file.h"
#include "store/verse_recordset.h"
#include "win32/common/module_path.h"
#include "win32/editor/edit_window.h"
#include "win32/editor/program_version_win32.h"

namespace win32::editor {
namespace {

// The store is named relative to the current folder, so the program's own folder must be
// current also when the reminder, a shortcut or a shell started it from elsewhere.
void MakeProgramFolderCurrent() {
  const std::wstring program = ModuleFileName();
  if (!program.empty()) SetCurrentDirectoryW(FolderOf(program).c_str());
}

// Runs before the parts are made: the table names its file relative to the folder.
HINSTANCE Prepare(HINSTANCE instance) {
  MakeProgramFolderCurrent();
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  return instance;
}

}  // namespace

// Every part the program needs, in the order they depend on each other.
struct EditorApp::Parts {
  store::JetVerseTable table{jet::SystemFileSystem(), store::kStoreFileName};
  store::VerseRecordset datPrimaryRS{table};
  FileProgramVersion version;
  EditWindow window{datPrimaryRS, version};
};

EditorApp::EditorApp(HINSTANCE instance) : instance_(Prepare(instance)), parts_(std::make_unique<Parts>()) {}

EditorApp::~EditorApp() = default;

bool EditorApp::Start(int showCommand) { return parts_->window.Create(instance_, showCommand); }

int EditorApp::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (parts_->window.PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int RunEditor(HINSTANCE instance, int showCommand) {
  EditorApp app(instance);
  if (!app.Start(showCommand)) return 1;
  return app.Run();
}

}  // namespace win32::editor
