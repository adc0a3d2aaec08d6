// AboutFrm: the reminder's About box. It places itself over the main window, takes the
// always-on-top layer from it while open, and closes after 11.5 seconds or on its button.
#pragma once

#include <cstdint>
#include <string>

#include "jet/result.h"
#include "reminder/system_platform.h"
#include "reminder/ui_platform.h"

namespace reminder {

// The program's version numbers as the About box shows them.
struct ProgramVersion {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t revision = 0;  // the fourth part of the file version; the third is not shown
};

// Where the version numbers come from: the program's version resource on Windows.
class VersionSource {
 public:
  virtual ~VersionSource() = default;
  // The running program's version, or an error when it carries none.
  virtual jet::Result<ProgramVersion> Version() const = 0;
};

// The About window as the logic sees it. It is created by Load and destroyed by Unload.
class AboutView {
 public:
  virtual ~AboutView() = default;
  // Creates the window hidden, with its controls. false when it could not be created; the
  // box then stays closed. The window is not owned by the main window: an owned window
  // follows its owner in and out of the top layer, and the two must change places there.
  virtual bool Load() = 0;
  // Destroys the window with its timer; nothing happens when it is not loaded.
  virtual void Unload() = 0;
  virtual WindowHandle Handle() const = 0;

  virtual void SetCopyrightCaption(const std::string& text) = 0;
  virtual void SetVersionCaption(const std::string& text) = 0;
  // Moves the window's outer top left corner to (left, top), screen twips; size kept.
  virtual void Move(std::int32_t left, std::int32_t top) = 0;
  // Shows the window modeless and activates it.
  virtual void Show() = 0;
  // Repaints the whole window now.
  virtual void Refresh() = 0;
  // Gives the window (its button) the keyboard focus.
  virtual void Focus() = 0;
  // Brings the shown window to the front and activates it, without moving it.
  virtual void BringToFront() = 0;
  // Starts Timer1: the view calls AboutFrm::Timer1_Timer once `milliseconds` have passed.
  virtual void StartTimer(std::uint32_t milliseconds) = 0;
};

class AboutFrm : public AboutBox {
 public:
  static constexpr std::uint32_t kTimerMilliseconds = 11500;
  // The box opens this far below the main window's top edge, at its left edge.
  static constexpr std::int32_t kTopOffsetTwips = 160;

  // All references outlive the form. `mainWindow` is Form1's window.
  AboutFrm(Window& mainWindow, WindowOrder& order, EventPump& pump, AboutView& view,
           const VersionSource& version);
  AboutFrm(const AboutFrm&) = delete;
  AboutFrm& operator=(const AboutFrm&) = delete;

  // Help > "&About": loads and opens the box, or brings an open one to the front
  // without moving it or restarting its time. Reports nothing.
  void Show() override;
  // The end of the program: unloads the box if it is open.
  void Close() override;

  // "&God Bless!" (also Enter and Esc in the box).
  void Command1_Click();
  // Timer1's first and only tick.
  void Timer1_Timer();
  // Every other request to close the box (its close box, Alt+F4): unloads it.
  void Form_Unload();

  bool IsOpen() const { return open_; }

  // The four lines of the copyright label, joined by CR LF; UTF-8.
  static std::string CopyrightText();
  // "Version 2.2.108" for 2.2.0.108.
  static std::string VersionText(const ProgramVersion& version);

 private:
  void Form_Load();
  void Unload();

  Window& mainWindow_;
  WindowOrder& order_;
  EventPump& pump_;
  AboutView& view_;
  const VersionSource& version_;
  bool open_ = false;
};

}  // namespace reminder
