// The reminder program put together: the Win32 services, the store's cursor, Form1's
// logic and its window, start-up and the message loop.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "reminder/form1.h"
#include "win32/reminder/form1_window.h"
#include "win32/reminder/system_platform_win32.h"

namespace win32::reminder {

// What a test build may replace. The shipped program uses the defaults throughout:
// it takes no arguments and reads no environment.
struct ReminderOptions {
  UINT timerMilliseconds = ::reminder::Form1::kTimerMilliseconds;
  ::reminder::Clock* clock = nullptr;            // null: the local time of day
  ::reminder::ProgramInfo* program = nullptr;    // null: this program file's folder and name
  ::reminder::NotifyIcon* notifyIcon = nullptr;  // null: Shell_NotifyIconA
  std::wstring mutexName = Win32InstanceCheck::kMutexName;
};

class ReminderApp {
 public:
  ReminderApp(HINSTANCE instance, const ReminderOptions& options);
  ~ReminderApp();
  ReminderApp(const ReminderApp&) = delete;
  ReminderApp& operator=(const ReminderApp&) = delete;

  // The start-up steps: Form_Initialize, creating the window, Form_Load. false when
  // the program ends here (no store, a second copy, a store that does not open).
  bool Start();
  // Runs the message loop until the window is gone; returns the exit code.
  int Run();

  ::reminder::Form1& Form();
  Form1Window& Window();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// Start() and Run() for WinMain.
int RunReminder(HINSTANCE instance, const ReminderOptions& options);

}  // namespace win32::reminder
