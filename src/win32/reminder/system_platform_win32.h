// The operating-system services of the reminder's logic, implemented on Win32.
#pragma once

#include <windows.h>

#include <string>

#include "reminder/system_platform.h"

namespace win32::reminder {

// The A registry functions; key paths and data arrive as UTF-8 and go out in the
// ANSI code page.
class Win32Registry final : public ::reminder::Registry {
 public:
  std::int32_t CreateKey(Key root, const std::string& path, Key* result) override;
  std::int32_t OpenKey(Key root, const std::string& path, Key* result) override;
  std::int32_t QueryValue(Key key, const std::string& name) override;
  std::int32_t SetValueEx(Key key, const std::string& name, std::uint32_t type,
                          const std::string& data) override;
  std::int32_t DeleteValue(Key key, const std::string& name) override;
  std::int32_t CloseKey(Key key) override;
};

class Win32Shell final : public ::reminder::Shell {
 public:
  std::intptr_t ShellExecute(std::uint32_t window, const std::string& operation, const std::string& file,
                             const std::string& parameters, const std::string& folder,
                             int showCommand) override;
};

// The local time of day and the tick count.
class Win32Clock final : public ::reminder::Clock {
 public:
  std::string TimeOfDay() const override;
  std::uint64_t Milliseconds() const override;
  void Sleep(std::uint32_t milliseconds) override;
};

// SHQueryUserNotificationState: busy while a full-screen program, a presentation
// or a game runs.
class Win32UserNotificationState final : public ::reminder::UserNotificationState {
 public:
  bool FullScreenBusy() override;
};

// The system's default beep.
class Win32Beeper final : public ::reminder::Beeper {
 public:
  void Beep() override;
};

// Folder and name of the running program file, from GetModuleFileName.
class Win32ProgramInfo final : public ::reminder::ProgramInfo {
 public:
  Win32ProgramInfo();
  std::string Folder() const override { return folder_; }
  std::string ExeName() const override { return exeName_; }

 private:
  std::string folder_;
  std::string exeName_;
};

// A named mutex held for the life of the program; a second copy finds it taken.
class Win32InstanceCheck final : public ::reminder::InstanceCheck {
 public:
  static constexpr wchar_t kMutexName[] = L"Lumaret.verse.SingleInstance";

  explicit Win32InstanceCheck(std::wstring name = kMutexName) : name_(std::move(name)) {}
  ~Win32InstanceCheck() override;
  Win32InstanceCheck(const Win32InstanceCheck&) = delete;
  Win32InstanceCheck& operator=(const Win32InstanceCheck&) = delete;
  bool AnotherInstanceRunning() override;

 private:
  std::wstring name_;
  HANDLE mutex_ = nullptr;
};

// Files for the settings; failures carry the runtime's numbers (53, 70, 75, 76, 61, 57).
class Win32FileSystem final : public ::reminder::FileSystem {
 public:
  jet::Status SetCurrentFolder(const std::string& folder) override;
  bool FileExists(const std::string& path) const override;
  jet::Result<std::string> ReadFile(const std::string& path) const override;
  jet::Status WriteFileAtomically(const std::string& path, const std::string& bytes) override;
};

// The runtime's failure for a Win32 error code.
jet::Error RuntimeErrorFromWin32(DWORD code);

}  // namespace win32::reminder
