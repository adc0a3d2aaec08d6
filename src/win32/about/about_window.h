// The About box window: the picture with its border, "Lumaret" with the line under it,
// the copyright and version labels and "&God Bless!". Events go to AboutFrm.
#pragma once

#include <windows.h>

#include <string>

#include "reminder/about_frm.h"
#include "win32/about/about_layout.h"
#include "win32/about/about_picture.h"
#include "win32/common/dpi.h"
#include "win32/common/window.h"

namespace win32::about {

class AboutWindow : public Window, public ::reminder::AboutView {
 public:
  static constexpr wchar_t kClassName[] = L"LumaretAboutFrm";
  static constexpr UINT_PTR kTimer1Id = 1;
  static constexpr int kCommand1Id = IDOK;  // Enter in a dialog loop sends IDOK, Esc IDCANCEL

  // `instance` holds the picture resource IDR_ABOUT_PICTURE.
  explicit AboutWindow(HINSTANCE instance);
  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;
  ~AboutWindow() override;

  // Where the window's events go; set before the first Load.
  void SetForm(::reminder::AboutFrm* form) { form_ = form; }

  bool Load() override;
  void Unload() override;
  ::reminder::WindowHandle Handle() const override;
  void SetCopyrightCaption(const std::string& text) override;
  void SetVersionCaption(const std::string& text) override;
  void Move(std::int32_t left, std::int32_t top) override;
  void Show() override;
  void Refresh() override;
  void Focus() override;
  void BringToFront() override;
  void StartTimer(std::uint32_t milliseconds) override;

  // For tests and the shell.
  HWND Command1() const { return command1_; }
  const Picture& Picture1() const { return picture_; }

 private:
  static LRESULT CALLBACK Command1Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  LRESULT OnCreate();
  LRESULT OnSetFocus();
  LRESULT OnPaint();
  LRESULT OnCtlColorStatic(HDC dc, HWND control);
  LRESULT OnCommand(int id);
  LRESULT OnKey(WPARAM key);
  LRESULT OnSysChar(WPARAM character);
  LRESULT OnTimer(UINT_PTR id);
  LRESULT OnClose();
  LRESULT OnNcDestroy();
  // WM_DPICHANGED: the box moved to a monitor of another scale.
  LRESULT OnDpiChanged(Dpi dpi, const RECT& suggested);

  // The fonts at dpi_, replacing any made before, set on the window and its controls.
  void MakeFonts();
  // The controls at their twips boxes at dpi_.
  void LayOutControls();

  void Command1_Click();
  HWND AddControl(const wchar_t* className, const wchar_t* caption, DWORD style,
                  const ::reminder::TwipsRect& rect, HFONT font, int id = 0);
  HFONT MakeFont(const Font& font) const;
  RECT PixelRect(const ::reminder::TwipsRect& rect) const;

  HINSTANCE instance_;
  ::reminder::AboutFrm* form_ = nullptr;
  HWND command1_ = nullptr;
  HWND copyrightLbl_ = nullptr;
  HWND versionLbl_ = nullptr;
  HWND label1_ = nullptr;
  HFONT windowFont_ = nullptr;
  HFONT versionFont_ = nullptr;
  HFONT label1Font_ = nullptr;
  Picture picture_;
  // The monitor's DPI, for the layout and the fonts; positions use the screen's DPI,
  // as the main window's twips do.
  Dpi dpi_{96, 96};
  Dpi screenDpi_{96, 96};
};

}  // namespace win32::about
