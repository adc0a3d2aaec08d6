// The window-system services of the reminder's logic, implemented on Win32.
#pragma once

#include <windows.h>

#include "reminder/system_platform.h"
#include "reminder/ui_platform.h"
#include "win32/reminder/form1_window.h"

namespace win32::reminder {

// Message boxes owned by the main window while it exists, so they stay above it.
class Win32MessageBoxes final : public ::reminder::MessageBoxes {
 public:
  explicit Win32MessageBoxes(const Form1Window& owner) : owner_(owner) {}
  void Show(const std::string& text, const std::string& title, ::reminder::MessageIcon icon) override;

 private:
  const Form1Window& owner_;
};

// true while the logic has asked for the hourglass; the window's WM_SETCURSOR asks.
bool PointerBusy();

class Win32MousePointer final : public ::reminder::MousePointer {
 public:
  void SetBusy(bool busy) override;
};

class Win32WindowOrder final : public ::reminder::WindowOrder {
 public:
  void SetWindowPos(::reminder::WindowHandle window, std::int32_t insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;
};

// Shell_NotifyIconA, given exactly the 88 bytes of the record.
class Win32NotifyIcon final : public ::reminder::NotifyIcon {
 public:
  bool ShellNotifyIcon(std::uint32_t message, const std::array<std::uint8_t, 88>& record) override;
};

// CF_TEXT in the ANSI code page, owned by the main window.
class Win32Clipboard final : public ::reminder::Clipboard {
 public:
  explicit Win32Clipboard(const Form1Window& owner) : owner_(owner) {}
  bool SetText(const std::string& text) override;

 private:
  const Form1Window& owner_;
};

// The primary screen and the monitors, in twips at the screen's DPI.
class Win32Screen final : public ::reminder::Screen {
 public:
  std::int32_t Width() const override;
  std::int32_t Height() const override;
  std::vector<::reminder::TwipsRect> Monitors() const override;
};

// One pass of the program's message loop; also DoEvents. The main window's
// accelerators and dialog keys (Tab, Esc, Enter) are translated here.
class Win32EventPump final : public ::reminder::EventPump {
 public:
  explicit Win32EventPump(const Form1Window& window) : window_(window) {}
  void DoEvents() override;
  // Translates and dispatches one message taken from the queue.
  void Dispatch(MSG& message) const;

 private:
  const Form1Window& window_;
};

}  // namespace win32::reminder
