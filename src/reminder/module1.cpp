// Module1's routines: notification-area hiding and the Run-key registration.
#include "reminder/module1.h"

namespace reminder {

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

void Module1::HideToTray(Window& window) {
  platform_.order.SetWindowPos(window.Handle(), WindowOrder::kNoTopmost, 0, 0, 0, 0,
                               WindowOrder::kNoMoveNoSize);
  window.Hide();
  platform_.notifyIcon.ShellNotifyIcon(NotifyIcon::kAdd, state_.TrayIcon.Bytes());
  state_.InTray = kTrue;
}

void Module1::ShowFromTray(Window& window) {
  window.Restore();
  window.Show();
  platform_.notifyIcon.ShellNotifyIcon(NotifyIcon::kDelete, state_.TrayIcon.Bytes());
  window.Focus();
  platform_.order.SetWindowPos(window.Handle(), WindowOrder::kTopmost, 0, 0, 0, 0,
                               WindowOrder::kNoMoveNoSize);
  state_.InTray = kFalse;
}

std::string Module1::AutoStartCommand() const {
  const std::string path = JoinPath(platform_.program.Folder(), platform_.program.ExeName() + ".exe");
  // Unquoted, Windows would take "C:\Program" as the program to run.
  if (path.find(' ') != std::string::npos) return "\"" + path + "\"";
  return path;
}

std::int32_t Module1::SetAutoStart(std::int16_t on) {
  if (on == kFalse) {
    DeleteRegValue(Registry::kLocalMachine, kRunKey, kRunValue);
    return 0;
  }
  const std::int16_t code = WriteRegString(Registry::kLocalMachine, kRunKey, kRunValue, AutoStartCommand());
  if (code != 0) {
    platform_.messages.Show("Error " + std::to_string(code) + " setting registry autorun ...",
                            kProgramTitle, MessageIcon::kNone);
  }
  return code;
}

std::int16_t Module1::WriteRegString(Registry::Key root, const std::string& key, const std::string& name,
                                     const std::string& data) {
  Registry& registry = platform_.registry;
  Registry::Key opened = 0;
  if (registry.CreateKey(root, key, &opened) != 0) return 1;

  std::int16_t result = 0;
  std::string bytes = data;
  bytes.push_back('\0');  // REG_SZ is stored with its terminating zero counted
  if (registry.SetValueEx(opened, name, Registry::kRegSz, bytes) != 0) result = 2;

  for (int attempt = 1; registry.CloseKey(opened) != 0; ++attempt) {
    if (attempt == kCloseAttempts) return 3;
    platform_.pump.DoEvents();
  }
  return result;
}

void Module1::DeleteRegValue(Registry::Key root, const std::string& key, const std::string& name) {
  Registry& registry = platform_.registry;
  Registry::Key opened = 0;
  (void)registry.OpenKey(root, key, &opened);
  (void)registry.DeleteValue(opened, name);
  (void)registry.CloseKey(opened);
}

}  // namespace reminder
