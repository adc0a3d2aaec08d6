// Form1: "&Amen", the notification icon's mouse events and "&Start with Windows".
#include "reminder/form1.h"

namespace reminder {

void Form1::MinimizeCMD_Click() {
  if (choices_.reminderMinutes == kStartupOnlyMinutes) {
    // "&Startup Only": the verse has been seen for this session; end the program.
    platform_.about.Close();
    state_.ExitRequested = kTrue;
    platform_.window.RequestClose();
    return;
  }
  module1_.HideToTray(platform_.window);
}

void Form1::Form_MouseMove(int x) {
  // While the window shows, these are real mouse moves over it.
  if (state_.InTray == kFalse) return;
  if (x == kMouseLeftButtonDown) module1_.ShowFromTray(platform_.window);
}

void Form1::TaskbarCreated() {
  // The new notification area knows nothing of the old icon.
  if (state_.InTray != kFalse) {
    platform_.notifyIcon.ShellNotifyIcon(NotifyIcon::kAdd, state_.TrayIcon.Bytes());
  }
}

void Form1::OptionsAutoStartMnu_Click() {
  ApplyAutoStart(!choices_.autoStart);
  SaveINI();
}

void Form1::ApplyAutoStart(bool on) {
  (void)module1_.SetAutoStart(on ? kTrue : kFalse);
  // What the registry holds, not what was asked: after a failure the check mark, and
  // the setting saved from it, must still tell whether the program starts at logon.
  choices_.autoStart = module1_.AutoStartRegistered();
  platform_.window.ShowChoices(choices_);
}

}  // namespace reminder
