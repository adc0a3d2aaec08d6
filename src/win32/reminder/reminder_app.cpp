// The reminder program put together, and its message loop.
#include "win32/reminder/reminder_app.h"

#include "store/data1.h"
#include "win32/about/about_box.h"
#include "win32/reminder/ui_platform_win32.h"

namespace win32::reminder {

// Every part the program needs, in the order they depend on each other.
struct ReminderApp::Parts {
  Parts(HINSTANCE instance, const ReminderOptions& options)
      : window(instance, options.timerMilliseconds),
        messages(window),
        clipboard(window),
        instanceCheck(options.mutexName),
        pump(window),
        about(instance, window, order, pump),
        data1(jet::SystemFileSystem(), ".\\verse97.mdb"),
        platform{messages,
                 pointer,
                 window,
                 order,
                 options.notifyIcon != nullptr ? *options.notifyIcon : notifyIcon,
                 clipboard,
                 about,
                 screen,
                 registry,
                 shell,
                 options.clock != nullptr ? *options.clock : clock,
                 beeper,
                 options.program != nullptr ? *options.program : program,
                 instanceCheck,
                 pump,
                 files,
                 userState},
        form(platform, data1) {
    window.Attach(form);
  }

  Form1Window window;
  Win32MessageBoxes messages;
  Win32MousePointer pointer;
  Win32WindowOrder order;
  Win32NotifyIcon notifyIcon;
  Win32Clipboard clipboard;
  Win32Screen screen;
  Win32Registry registry;
  Win32Shell shell;
  Win32Clock clock;
  Win32Beeper beeper;
  Win32ProgramInfo program;
  Win32InstanceCheck instanceCheck;
  Win32EventPump pump;
  about::AboutBoxWin32 about;
  Win32FileSystem files;
  Win32UserNotificationState userState;
  store::Data1 data1;
  ::reminder::Platform platform;
  ::reminder::Form1 form;
};

ReminderApp::ReminderApp(HINSTANCE instance, const ReminderOptions& options)
    : parts_(std::make_unique<Parts>(instance, options)) {}

ReminderApp::~ReminderApp() = default;

::reminder::Form1& ReminderApp::Form() { return parts_->form; }
Form1Window& ReminderApp::Window() { return parts_->window; }

bool ReminderApp::Start() {
  if (parts_->form.Form_Initialize() == ::reminder::StartupResult::kEnd) return false;
  if (!parts_->window.Create()) return false;
  return parts_->form.Form_Load() == ::reminder::StartupResult::kGoOn;
}

int ReminderApp::Run() {
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    parts_->pump.Dispatch(message);
  }
}

int RunReminder(HINSTANCE instance, const ReminderOptions& options) {
  ReminderApp app(instance, options);
  if (!app.Start()) return 0;
  return app.Run();
}

}  // namespace win32::reminder
