// The operating-system services the reminder's logic uses: registry, clock, beep,
// the program's own identity, the single-instance check, the message pump and files.
#pragma once

#include <cstdint>
#include <string>

#include "jet/result.h"

namespace reminder {

// The 8-bit (A) registry functions. Each returns the Win32 error code, 0 on success.
class Registry {
 public:
  using Key = std::uintptr_t;                        // an HKEY
  static constexpr Key kCurrentUser = 0x80000001u;   // HKEY_CURRENT_USER
  static constexpr Key kLocalMachine = 0x80000002u;  // HKEY_LOCAL_MACHINE
  static constexpr std::uint32_t kRegSz = 1;         // REG_SZ
  static constexpr std::int32_t kFileNotFound = 2;   // ERROR_FILE_NOT_FOUND: no such key or value
  static constexpr std::int32_t kAccessDenied = 5;   // ERROR_ACCESS_DENIED

  virtual ~Registry() = default;
  // RegCreateKeyA: opens `path` under `root`, creating it when missing.
  virtual std::int32_t CreateKey(Key root, const std::string& path, Key* result) = 0;
  // RegOpenKeyA: opens an existing key with whatever access the user has (reading
  // at least); *result is 0 on failure, kFileNotFound when the key does not exist.
  virtual std::int32_t OpenKey(Key root, const std::string& path, Key* result) = 0;
  // RegQueryValueExA without a buffer: 0 when the value exists, kFileNotFound when not.
  virtual std::int32_t QueryValue(Key key, const std::string& name) = 0;
  // RegSetValueExA with reserved 0. `data` holds the exact bytes to store, for
  // REG_SZ the text with its terminating zero, and data.size() is the length
  // passed. The text is UTF-8; a shell whose code page differs converts it and
  // counts the zero again.
  virtual std::int32_t SetValueEx(Key key, const std::string& name, std::uint32_t type,
                                  const std::string& data) = 0;
  // RegDeleteValueA. A key opened without the right to change it refuses
  // (kAccessDenied) whether or not the value exists.
  virtual std::int32_t DeleteValue(Key key, const std::string& name) = 0;
  // RegCloseKey.
  virtual std::int32_t CloseKey(Key key) = 0;
};

// ShellExecuteA: hands a file to the Windows shell without waiting for it.
class Shell {
 public:
  static constexpr int kShowNormal = 1;  // SW_SHOWNORMAL

  virtual ~Shell() = default;
  // Arguments as ShellExecuteA takes them (texts UTF-8; parameters an empty text,
  // never a null pointer). Returns the shell's result, above 32 on success.
  virtual std::intptr_t ShellExecute(std::uint32_t window, const std::string& operation,
                                     const std::string& file, const std::string& parameters,
                                     const std::string& folder, int showCommand) = 0;
};

// Local time and waiting.
class Clock {
 public:
  virtual ~Clock() = default;
  // The local time of day as "hh:mm:ss", 24-hour clock.
  virtual std::string TimeOfDay() const = 0;
  // A steadily increasing count of milliseconds that goes on while the computer
  // sleeps, for bounding retries and for the minutes that passed asleep.
  virtual std::uint64_t Milliseconds() const = 0;
  // Waits about `milliseconds` without processing window messages.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// What the user is doing, as the shell tells programs that want to interrupt.
class UserNotificationState {
 public:
  virtual ~UserNotificationState() = default;
  // true while a full-screen program, a presentation or a game holds the screen: a
  // window coming on top now would interrupt it.
  virtual bool FullScreenBusy() = 0;
};

// The system's default beep.
class Beeper {
 public:
  virtual ~Beeper() = default;
  virtual void Beep() = 0;
};

// Where the program lives.
class ProgramInfo {
 public:
  virtual ~ProgramInfo() = default;
  // The folder of the program file, without a trailing backslash unless it is a
  // drive's root ("C:\"), as UTF-8.
  virtual std::string Folder() const = 0;
  // The program file's name without its extension ("verse").
  virtual std::string ExeName() const = 0;
};

// Tells whether another copy of the program is already running.
class InstanceCheck {
 public:
  virtual ~InstanceCheck() = default;
  // Called once at load; true when a copy started earlier still runs.
  virtual bool AnotherInstanceRunning() = 0;
};

// The message pump (DoEvents): runs every pending window message of the program,
// so other handlers may run in between.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void DoEvents() = 0;
};

// Files. Failures carry the numbers and descriptions of the program's runtime:
// 53 "File not found", 70 "Permission denied", 75 "Path/File access error",
// 76 "Path not found", 61 "Disk full", 57 "Device I/O error".
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Makes `folder` the current folder.
  virtual jet::Status SetCurrentFolder(const std::string& folder) = 0;
  // true when `path` names an ordinary file (not a folder).
  virtual bool FileExists(const std::string& path) const = 0;
  // The whole content of a file, as bytes.
  virtual jet::Result<std::string> ReadFile(const std::string& path) const = 0;
  // Writes `bytes` to a new file beside `path` and replaces `path` with it only
  // once it is complete and flushed. On failure `path` is left as it was and the
  // new file is removed.
  virtual jet::Status WriteFileAtomically(const std::string& path, const std::string& bytes) = 0;
};

}  // namespace reminder
