// Every outside service of the reminder's logic, bundled for Form1 and Module1.
#pragma once

#include "reminder/system_platform.h"
#include "reminder/ui_platform.h"

namespace reminder {

// References to the shell's implementations; they outlive Form1.
struct Platform {
  MessageBoxes& messages;
  MousePointer& pointer;
  Window& window;
  WindowOrder& order;
  NotifyIcon& notifyIcon;
  Clipboard& clipboard;
  AboutBox& about;
  Screen& screen;
  Registry& registry;
  Shell& shell;
  Clock& clock;
  Beeper& beeper;
  ProgramInfo& program;
  InstanceCheck& instance;
  EventPump& pump;
  FileSystem& files;
  UserNotificationState& userState;
};

}  // namespace reminder
