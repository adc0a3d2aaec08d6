// The editor program put together: its own folder made current, the common controls,
// the verse store's recordset, EditFrm's window and the message loop.
#pragma once

#include <windows.h>

#include <memory>

namespace win32::editor {

class EditorApp {
 public:
  // Makes the program's folder current and sets up the parts; nothing is shown yet.
  explicit EditorApp(HINSTANCE instance);
  ~EditorApp();
  EditorApp(const EditorApp&) = delete;
  EditorApp& operator=(const EditorApp&) = delete;

  // Creates and shows the window, which opens the store; false when it could not be made.
  bool Start(int showCommand);
  // Runs the message loop until the window is gone; returns the exit code.
  int Run();

 private:
  struct Parts;
  HINSTANCE instance_;
  std::unique_ptr<Parts> parts_;
};

// Start() and Run() for WinMain: 1 when the window could not be made.
int RunEditor(HINSTANCE instance, int showCommand);

}  // namespace win32::editor
