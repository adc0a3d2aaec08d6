// tovimar.exe: the editor program. It takes no arguments and reads no environment.
#include <windows.h>

#include "win32/editor/editor_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  return win32::editor::RunEditor(instance, showCommand);
}
