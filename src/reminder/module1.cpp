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
  std::int16_t code = 0;
  if (on == kFalse) {
    // Removed from both keys: the value may be in either from an earlier run.
    code = DeleteRegValue(Registry::kLocalMachine, kRunKey, kRunValue);
    const std::int16_t user = DeleteRegValue(Registry::kCurrentUser, kRunKey, kRunValue);
    if (code == 0) code = user;
  } else {
    const std::string command = AutoStartCommand();
    code = WriteRegString(Registry::kLocalMachine, kRunKey, kRunValue, command);
    if (code == 0) {
      // A copy left under the user's key by an earlier run would start a second
      // reminder at logon.
      (void)DeleteRegValue(Registry::kCurrentUser, kRunKey, kRunValue);
    } else if (code == 1 || code == 2) {
      // Refused: the user's own Run key starts the program at this user's logon just as
      // well, unless an administrator's value under the machine's key already does.
      // After 3 the state of the machine's value is unknown.
      code = HoldsValue(Registry::kLocalMachine) ? 0
                                                 : WriteRegString(Registry::kCurrentUser, kRunKey, kRunValue, command);
    }
  }
  if (code != 0) {
    platform_.messages.Show("Error " + std::to_string(code) + " setting registry autorun ...",
                            kProgramTitle, MessageIcon::kNone);
  }
  return code;
}

bool Module1::AutoStartRegistered() {
  return HoldsValue(Registry::kLocalMachine) || HoldsValue(Registry::kCurrentUser);
}

bool Module1::HoldsValue(Registry::Key root) {
  Registry& registry = platform_.registry;
  Registry::Key opened = 0;
  if (registry.OpenKey(root, kRunKey, &opened) != 0) return false;
  const bool holds = registry.QueryValue(opened, kRunValue) == 0;
  (void)registry.CloseKey(opened);
  return holds;
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
  return CloseKey(opened, result);
}

std::int16_t Module1::DeleteRegValue(Registry::Key root, const std::string& key, const std::string& name) {
  Registry& registry = platform_.registry;
  Registry::Key opened = 0;
  const std::int32_t status = registry.OpenKey(root, key, &opened);
  if (status == Registry::kFileNotFound) return 0;
  if (status != 0) return 1;
  std::int16_t result = 0;
  // A key the user may only read refuses every removal, also of a value that is not
  // there: only a value that is there counts as a failure.
  if (registry.QueryValue(opened, name) != Registry::kFileNotFound) {
    const std::int32_t deleted = registry.DeleteValue(opened, name);
    if (deleted != 0 && deleted != Registry::kFileNotFound) result = 2;
  }
  return CloseKey(opened, result);
}

std::int16_t Module1::CloseKey(Registry::Key opened, std::int16_t result) {
  for (int attempt = 1; platform_.registry.CloseKey(opened) != 0; ++attempt) {
    if (attempt == kCloseAttempts) return 3;
    platform_.pump.DoEvents();
  }
  return result;
}

}  // namespace reminder
