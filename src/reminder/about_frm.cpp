// AboutFrm: loading, placing and unloading the About box and its always-on-top handover.
#include "reminder/about_frm.h"

namespace reminder {

namespace {

// The copyright sign U+00A9 (character 169 of the Windows ANSI code page), in UTF-8.
constexpr char kCopyrightSign[] = "\xC2\xA9";

}  // namespace

AboutFrm::AboutFrm(Window& mainWindow, WindowOrder& order, EventPump& pump, AboutView& view,
                   const VersionSource& version)
    : mainWindow_(mainWindow), order_(order), pump_(pump), view_(view), version_(version) {}

std::string AboutFrm::CopyrightText() {
  return std::string("Copyright ") + kCopyrightSign + " 2026 The Lumaret project\r\n" +
         "Free to copy and to give away.\r\n" + "\r\n" + "See Help for more information";
}

std::string AboutFrm::VersionText(const ProgramVersion& version) {
  return "Version " + std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
         std::to_string(version.revision);
}

void AboutFrm::Show() {
  if (open_) {
    // Already loaded: the load steps do not run again and Timer1 keeps its time.
    view_.BringToFront();
    return;
  }
  Form_Load();
}

void AboutFrm::Close() { Unload(); }

void AboutFrm::Command1_Click() { Unload(); }

void AboutFrm::Timer1_Timer() { Unload(); }

void AboutFrm::Form_Unload() { Unload(); }

void AboutFrm::Form_Load() {
  if (!view_.Load()) return;  // the box reports nothing
  open_ = true;

  view_.SetCopyrightCaption(CopyrightText());
  if (auto version = version_.Version(); version.ok()) {
    view_.SetVersionCaption(VersionText(version.value()));
  }
  // Without version numbers the label keeps its initial caption, "Version".

  const TwipsRect main = mainWindow_.Bounds();
  view_.Move(main.left, main.top + kTopOffsetTwips);

  // Each pump may run a click on the button or the end of the program, which unload the
  // box; the remaining steps must then not make a closed box topmost or start its timer.
  pump_.DoEvents();
  if (!open_) return;
  view_.Show();
  pump_.DoEvents();
  if (!open_) return;
  view_.Refresh();
  pump_.DoEvents();
  if (!open_) return;
  view_.Focus();

  // The main window gives up the top layer so that the box can have it.
  order_.SetWindowPos(mainWindow_.Handle(), WindowOrder::kNoTopmost, 0, 0, 0, 0, WindowOrder::kNoMoveNoSize);
  order_.SetWindowPos(view_.Handle(), WindowOrder::kTopmost, 0, 0, 0, 0, WindowOrder::kNoMoveNoSize);
  view_.StartTimer(kTimerMilliseconds);
}

void AboutFrm::Unload() {
  if (!open_) return;
  open_ = false;  // first: the steps below may pump messages that ask again
  order_.SetWindowPos(view_.Handle(), WindowOrder::kNoTopmost, 0, 0, 0, 0, WindowOrder::kNoMoveNoSize);
  // Back on top; this does not show a main window that is hidden in the notification area.
  order_.SetWindowPos(mainWindow_.Handle(), WindowOrder::kTopmost, 0, 0, 0, 0, WindowOrder::kNoMoveNoSize);
  view_.Unload();
}

}  // namespace reminder
