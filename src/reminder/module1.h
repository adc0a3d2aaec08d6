// Module1: the program-wide values and the routines shared by the reminder's
// handlers: hiding into and showing from the notification area, and the
// start-with-Windows registration.
#pragma once

#include <cstdint>
#include <string>

#include "reminder/platform.h"
#include "reminder/tray_icon.h"

namespace reminder {

// 16-bit booleans as the program keeps them.
constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

// The Run key and value that start the program at logon.
inline constexpr char kRunKey[] = "Software\\microsoft\\windows\\currentversion\\run";
inline constexpr char kRunValue[] = "Lumaret2";
inline constexpr char kProgramTitle[] = "Lumaret";

// The program-wide values.
struct ProgramState {
  std::int16_t ExitRequested = kFalse;  // -1 once the program has decided to end
  std::int16_t InTray = kFalse;         // -1 while the window is hidden in the notification area
  TrayIconRecord TrayIcon;              // filled once at start-up
};

// `folder` + "\" + `name`, without doubling the backslash of a drive's root.
std::string JoinPath(const std::string& folder, const std::string& name);

class Module1 {
 public:
  static constexpr int kCloseAttempts = 4;

  Module1(Platform& platform, ProgramState& state) : platform_(platform), state_(state) {}

  // Drops always-on-top, hides `window`, adds the notification icon, sets InTray.
  void HideToTray(Window& window);
  // Restores and shows `window`, deletes the icon, focuses the window, puts it on
  // top and clears InTray. Also brings an already shown window to the front.
  void ShowFromTray(Window& window);

  // On (any non-zero value): writes the value under the machine's Run key; when that
  // key refuses it (as it does every user without administrator rights), under the
  // current user's Run key instead. Off: removes the value from both keys. Returns 0,
  // or shows "Error n setting registry autorun ..." and returns n: on, the code of
  // the last write tried; off, the first removal that failed.
  std::int32_t SetAutoStart(std::int16_t on);
  // true when the machine's or the current user's Run key holds the value.
  bool AutoStartRegistered();
  // Writes a REG_SZ value. 0 written and closed; 1 the key could not be created or
  // opened; 2 the write failed; 3 closing failed four times.
  std::int16_t WriteRegString(Registry::Key root, const std::string& key, const std::string& name,
                              const std::string& data);
  // Removes a value. 0 the value is not there (removed, or it never was, or neither
  // was the key); 1 the key could not be opened; 2 the value is there and could not
  // be removed; 3 closing failed four times.
  std::int16_t DeleteRegValue(Registry::Key root, const std::string& key, const std::string& name);

  // The command line stored under the Run key: the program's full path, in double
  // quotes when it holds a space.
  std::string AutoStartCommand() const;

 private:
  // Closes `opened`, pumping messages between failed attempts; 3 after the fourth
  // failure, `result` otherwise.
  std::int16_t CloseKey(Registry::Key opened, std::int16_t result);
  bool HoldsValue(Registry::Key root);

  Platform& platform_;
  ProgramState& state_;
};

}  // namespace reminder
