// The reminder's About box for Form1: AboutFrm over the Win32 window and the program's
// version resource, behind the AboutBox interface of the platform.
#pragma once

#include <windows.h>

#include "reminder/about_frm.h"
#include "win32/about/about_window.h"
#include "win32/about/resource_version.h"

namespace win32::about {

class AboutBoxWin32 : public ::reminder::AboutBox {
 public:
  // `instance` holds the picture resource and the version resource; the references are
  // the main window Form1 and the shell's window order and message pump, and outlive this.
  AboutBoxWin32(HINSTANCE instance, ::reminder::Window& mainWindow, ::reminder::WindowOrder& order,
                ::reminder::EventPump& pump);
  AboutBoxWin32(const AboutBoxWin32&) = delete;
  AboutBoxWin32& operator=(const AboutBoxWin32&) = delete;

  void Show() override { form_.Show(); }
  void Close() override { form_.Close(); }

  AboutWindow& View() { return window_; }
  ::reminder::AboutFrm& Form() { return form_; }

 private:
  AboutWindow window_;
  ResourceVersion version_;
  ::reminder::AboutFrm form_;
};

}  // namespace win32::about
