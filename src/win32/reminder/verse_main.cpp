// verse.exe: the reminder program. It takes no arguments and reads no environment.
#include <windows.h>

#include "reminder_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return verse::RunReminder(instance, verse::ReminderOptions{});
}
