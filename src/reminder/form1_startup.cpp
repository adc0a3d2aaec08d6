// Form1: start-up, the close handler, File > Exit and the end of the session.
#include "jet/errors.h"
#include "reminder/form1.h"
#include "reminder/runtime_errors.h"

namespace reminder {

Form1::Form1(Platform& platform, store::VerseCursor& data1)
    : platform_(platform),
      data1_(data1),
      module1_(platform, state_),
      lastTickMilliseconds_(platform.clock.Milliseconds()) {
  data1_.SetRowChanged([this] { Data1_Reposition(); });
}

jet::Status Form1::RetryWhile(const std::function<jet::Status()>& step,
                              const std::function<bool(int)>& retry) {
  const std::uint64_t start = platform_.clock.Milliseconds();
  for (;;) {
    jet::Status status = step();
    if (status.ok() || !retry(status.error().number)) return status;
    if (platform_.clock.Milliseconds() - start >= kRetryMilliseconds) return status;
    platform_.pump.DoEvents();
    platform_.clock.Sleep(kRetryPauseMilliseconds);
  }
}

StartupResult Form1::Form_Initialize() {
  const std::string folder = platform_.program.Folder();
  (void)platform_.files.SetCurrentFolder(folder);
  if (platform_.files.FileExists(JoinPath(folder, kStoreFile))) return StartupResult::kGoOn;
  platform_.messages.Show("Database Not Found!", "DATABASE MISSING!", MessageIcon::kCritical);
  state_.ExitRequested = kTrue;
  return StartupResult::kEnd;
}

namespace {

// A store that is not ready yet, or is held for a moment by the editor.
bool StoreBusy(int number) {
  return number == kErrObjectNotSet || number == jet::kErrFileInUse || number == jet::kErrLocked ||
         number == jet::kErrLockedByUser;
}

}  // namespace

StartupResult Form1::Form_Load() {
  platform_.pointer.SetBusy(true);
  if (platform_.instance.AnotherInstanceRunning()) {
    platform_.beeper.Beep();
    return StartupResult::kEnd;
  }
  Window& window = platform_.window;
  state_.TrayIcon.Fill(window.Handle(), window.IconHandle(), window.Caption());

  const jet::Status opened = RetryWhile([this] { return data1_.Refresh(); }, StoreBusy);
  if (!opened.ok()) {
    platform_.messages.Show("FATAL ERROR " + std::to_string(opened.error().number) + " - " +
                                opened.error().description + "  loading database",
                            "Database error", MessageIcon::kExclamation);
    platform_.pointer.SetBusy(false);
    return StartupResult::kEnd;
  }
  platform_.pump.DoEvents();
  LoadINI();
  platform_.pointer.SetBusy(false);
  window.Show();
  window.Focus();
  platform_.order.SetWindowPos(window.Handle(), WindowOrder::kTopmost, 0, 0, 0, 0,
                               WindowOrder::kNoMoveNoSize);
  return StartupResult::kGoOn;
}

bool Form1::Form_QueryUnload() {
  SaveINI();
  // While the session ends the window must close, or hiding would hold log-off up.
  if (state_.ExitRequested == kFalse && !sessionEnding_) {
    module1_.HideToTray(platform_.window);
    return false;
  }
  platform_.notifyIcon.ShellNotifyIcon(NotifyIcon::kDelete, state_.TrayIcon.Bytes());
  platform_.about.Close();
  platform_.order.SetWindowPos(platform_.window.Handle(), WindowOrder::kNoTopmost, 0, 0, 0, 0,
                               WindowOrder::kNoMoveNoSize);
  return true;
}

bool Form1::Form_QueryEndSession() {
  SaveINI();
  sessionEnding_ = true;
  return true;
}

void Form1::Form_EndSession(bool ending) {
  if (!ending) {
    sessionEnding_ = false;
    return;
  }
  platform_.notifyIcon.ShellNotifyIcon(NotifyIcon::kDelete, state_.TrayIcon.Bytes());
}

void Form1::FileExitMnu_Click() {
  state_.ExitRequested = kTrue;
  platform_.window.RequestClose();
}

}  // namespace reminder
