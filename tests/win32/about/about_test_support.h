// Test doubles of the reminder's Win32 services for the About box: a plain owner window
// standing in for Form1, SetWindowPos, and a message pump.
#pragma once

#include <windows.h>

#include <string>

#include "reminder/system_platform.h"
#include "reminder/ui_platform.h"
#include "win32/common/dpi.h"

namespace win32::about::test {

inline ::reminder::WindowHandle ToHandle(HWND hwnd) {
  return static_cast<::reminder::WindowHandle>(reinterpret_cast<UINT_PTR>(hwnd));
}
inline HWND ToHwnd(::reminder::WindowHandle handle) {
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
}

inline bool IsTopmost(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// A plain top-level window in Form1's place: only its handle and bounds matter to the box.
class OwnerWindow : public ::reminder::Window {
 public:
  OwnerWindow(int left, int top);
  ~OwnerWindow() override;
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;

  HWND Hwnd() const { return hwnd_; }
  ::reminder::WindowHandle Handle() const override { return ToHandle(hwnd_); }
  std::uint32_t IconHandle() const override { return 0; }
  std::string Caption() const override { return "Lumaret"; }
  ::reminder::TwipsRect Bounds() const override;
  void SetLeft(std::int32_t) override {}
  void SetTop(std::int32_t) override {}
  void Show() override {}
  void Hide() override {}
  void Restore() override {}
  void Focus() override {}
  void RequestClose() override {}
  void ShowChoices(const ::reminder::Choices&) override {}
  void ShowVerse(const store::VerseRecord&) override {}
  void SetNextVerseToolTip(const std::string&) override {}

 private:
  HWND hwnd_ = nullptr;
};

class Win32Order : public ::reminder::WindowOrder {
 public:
  void SetWindowPos(::reminder::WindowHandle window, std::int32_t insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override {
    ::SetWindowPos(ToHwnd(window), reinterpret_cast<HWND>(static_cast<INT_PTR>(insertAfter)), x, y, cx, cy,
                   flags);
  }
};

// Runs every pending message of the thread. With `dialog` set, the loop first offers
// each message to IsDialogMessage for that window, as a dialog-aware program loop does.
void PumpMessages(HWND dialog = nullptr);

class Win32Pump : public ::reminder::EventPump {
 public:
  void DoEvents() override { PumpMessages(); }
};

}  // namespace win32::about::test
