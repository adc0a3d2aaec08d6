// Form1's real window: the class, its controls, fonts, tooltips, menu and Timer1, and
// the Window interface of the reminder's logic. The window procedure only routes each
// message to one handler of reminder::Form1.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "reminder/form1.h"
#include "reminder/ui_platform.h"
#include "win32/common/dpi.h"
#include "win32/common/window.h"

namespace win32::reminder {

class Form1Window final : public win32::Window, public ::reminder::Window {
 public:
  static constexpr wchar_t kClassName[] = L"LumaretForm1";
  static constexpr UINT_PTR kTimer1 = 1;

  // `timerMilliseconds` is Timer1's interval: 10 s in the program, shorter in tests.
  Form1Window(HINSTANCE instance, UINT timerMilliseconds);
  ~Form1Window() override;
  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;

  // Creates the window hidden, with its controls, and starts Timer1. false when
  // the window system refused.
  bool Create();
  // The logic that receives the window's events; set before any message can reach it.
  void Attach(::reminder::Form1& form) { form_ = &form; }

  HWND Control(int id) const { return GetDlgItem(Hwnd(), id); }
  HWND ToolTip() const { return toolTip_; }
  HACCEL Accelerators() const { return accelerators_; }
  // DPI of the monitor the window is on, for its layout and fonts. Positions and
  // Bounds() use the screen's (system) DPI throughout, as the Screen interface does,
  // so the settings file's twips mean the same place on every monitor.
  int DpiX() const { return dpi_.x; }
  int DpiY() const { return dpi_.y; }

  // --- reminder::Window ---
  ::reminder::WindowHandle Handle() const override;
  std::uint32_t IconHandle() const override;
  std::string Caption() const override;
  ::reminder::TwipsRect Bounds() const override;
  void SetLeft(std::int32_t left) override;
  void SetTop(std::int32_t top) override;
  void Show() override;
  void Hide() override;
  void Restore() override;
  void Focus() override;
  void RequestClose() override;
  void ShowChoices(const ::reminder::Choices& choices) override;
  void ShowVerse(const store::VerseRecord& record) override;
  void SetNextVerseToolTip(const std::string& text) override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  void OnCreate();
  void OnCommand(int id);
  void OnClose();
  void OnDestroy();
  void OnActivate(bool active);
  LRESULT OnDrawItem(const DRAWITEMSTRUCT& item);
  // WM_DPICHANGED: the window moved to a monitor of another scale.
  void OnDpiChanged(Dpi dpi, const RECT& suggested);

  // The fonts at the window's DPI, replacing any made before.
  void MakeFonts();
  // The controls at their twips boxes at the window's DPI.
  void LayOutControls();
  // Sizes the frame so the client area is exactly the layout's, whatever the menu
  // bar and rounding did.
  void FitClientArea();
  HWND CreateLabel(int id, const char* text, int left, int top, int width, int height);
  // Options > "Reminder Interval", one item for each interval of the table.
  void AddIntervalMenu(HMENU menu);
  void CreateToolTips();
  void AddToolTip(HWND button, const std::string& text);
  int ToPixelsX(int twips) const;
  int ToPixelsY(int twips) const;

  HINSTANCE instance_;
  UINT timerMilliseconds_;
  HWND toolTip_ = nullptr;
  HWND focus_ = nullptr;  // the button that had the focus when the window was deactivated
  HACCEL accelerators_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  HFONT headingFont_ = nullptr;
  HFONT verseFont_ = nullptr;
  HFONT buttonFont_ = nullptr;
  UINT taskbarCreated_ = 0;
  Dpi dpi_{96, 96};
  Dpi screenDpi_{96, 96};
  ::reminder::Form1* form_ = nullptr;
};

}  // namespace win32::reminder
