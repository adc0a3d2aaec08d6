// verse.exe: the reminder program. It takes no arguments and reads no environment.
#include <windows.h>

#include "win32/reminder/reminder_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return win32::reminder::RunReminder(instance, win32::reminder::ReminderOptions{});
}
