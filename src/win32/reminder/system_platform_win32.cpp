// Registry, shell, clock, beep, program identity, single instance and files on Win32.
#include "win32/reminder/system_platform_win32.h"

#include <shellapi.h>
// shellapi.h maps ShellExecute to ShellExecuteA; here it names the interface's method.
#undef ShellExecute

#include <cstdio>
#include <vector>

#include "win32/common/late_dll.h"
#include "win32/common/module_path.h"
#include "win32/common/text.h"

namespace win32::reminder {

namespace {

HKEY AsKey(::reminder::Registry::Key key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

// --- Registry ---

std::int32_t Win32Registry::CreateKey(Key root, const std::string& path, Key* result) {
  HKEY key = nullptr;
  const LONG status = RegCreateKeyA(AsKey(root), Ansi(path).c_str(), &key);
  *result = reinterpret_cast<Key>(key);
  return status;
}

std::int32_t Win32Registry::OpenKey(Key root, const std::string& path, Key* result) {
  HKEY key = nullptr;
  const LONG status = RegOpenKeyA(AsKey(root), Ansi(path).c_str(), &key);
  *result = status == ERROR_SUCCESS ? reinterpret_cast<Key>(key) : 0;
  return status;
}

std::int32_t Win32Registry::QueryValue(Key key, const std::string& name) {
  return RegQueryValueExA(AsKey(key), Ansi(name).c_str(), nullptr, nullptr, nullptr, nullptr);
}

std::int32_t Win32Registry::SetValueEx(Key key, const std::string& name, std::uint32_t type,
                                       const std::string& data) {
  std::string bytes = data;
  if (type == kRegSz) {
    // The text arrives as UTF-8 with its zero; the A function stores ANSI text, and
    // the length it is given counts the zero of the converted text.
    std::string text = data;
    while (!text.empty() && text.back() == '\0') text.pop_back();
    bytes = Ansi(text);
    bytes.push_back('\0');
  }
  return RegSetValueExA(AsKey(key), Ansi(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size()));
}

std::int32_t Win32Registry::DeleteValue(Key key, const std::string& name) {
  return RegDeleteValueA(AsKey(key), Ansi(name).c_str());
}

std::int32_t Win32Registry::CloseKey(Key key) { return RegCloseKey(AsKey(key)); }

// --- Shell ---

std::intptr_t Win32Shell::ShellExecute(std::uint32_t window, const std::string& operation,
                                       const std::string& file, const std::string& parameters,
                                       const std::string& folder, int showCommand) {
  HWND owner = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
  static const auto execute = LateFunction<decltype(ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
  if (execute == nullptr) return 0;  // as ShellExecute's "out of memory"
  const HINSTANCE result = execute(owner, Wide(operation).c_str(), Wide(file).c_str(),
                                   Wide(parameters).c_str(), Wide(folder).c_str(), showCommand);
  return reinterpret_cast<std::intptr_t>(result);
}

// --- Clock and beep ---

std::string Win32Clock::TimeOfDay() const {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char text[16] = {};
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", static_cast<unsigned>(now.wHour),
                static_cast<unsigned>(now.wMinute), static_cast<unsigned>(now.wSecond));
  return text;
}

// Unlike QueryUnbiasedInterruptTime, the tick count goes on while the computer sleeps.
std::uint64_t Win32Clock::Milliseconds() const { return GetTickCount64(); }

void Win32Clock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

void Win32Beeper::Beep() { MessageBeep(MB_OK); }

// --- What the user is doing ---

bool Win32UserNotificationState::FullScreenBusy() {
  QUERY_USER_NOTIFICATION_STATE state{};
  static const auto query =
      LateFunction<decltype(SHQueryUserNotificationState)>(L"shell32.dll", "SHQueryUserNotificationState");
  if (query == nullptr || FAILED(query(&state))) return false;
  // Not QUNS_NOT_PRESENT (locked, screen saver): the reminder is waiting there when
  // the user comes back, which is what it is for.
  return state == QUNS_BUSY || state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE;
}

// --- Program identity and single instance ---

Win32ProgramInfo::Win32ProgramInfo() {
  const std::wstring path = ModuleFileName();
  const std::size_t slash = path.find_last_of(L"\\/");
  const std::wstring folder = FolderOf(path);
  std::wstring file = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const std::size_t dot = file.find_last_of(L'.');
  if (dot != std::wstring::npos) file.resize(dot);
  folder_ = Utf8(folder);
  exeName_ = Utf8(file);
}

Win32InstanceCheck::~Win32InstanceCheck() {
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

bool Win32InstanceCheck::AnotherInstanceRunning() {
  if (mutex_ == nullptr) mutex_ = CreateMutexW(nullptr, FALSE, name_.c_str());
  // The handle is kept either way: the first copy holds the name for its whole life.
  return mutex_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}

// --- Files ---

jet::Error RuntimeErrorFromWin32(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND: return jet::Error{53, "File not found", "win32"};
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH: return jet::Error{76, "Path not found", "win32"};
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return jet::Error{70, "Permission denied", "win32"};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return jet::Error{61, "Disk full", "win32"};
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return jet::Error{75, "Path/File access error", "win32"};
    default: return jet::Error{57, "Device I/O error", "win32"};
  }
}

jet::Status Win32FileSystem::SetCurrentFolder(const std::string& folder) {
  if (!SetCurrentDirectoryW(Wide(folder).c_str())) return RuntimeErrorFromWin32(GetLastError());
  return jet::Ok();
}

bool Win32FileSystem::FileExists(const std::string& path) const {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

jet::Result<std::string> Win32FileSystem::ReadFile(const std::string& path) const {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return RuntimeErrorFromWin32(GetLastError());
  std::string bytes;
  char buffer[4096];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      const DWORD code = GetLastError();
      CloseHandle(file);
      return RuntimeErrorFromWin32(code);
    }
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  CloseHandle(file);
  return bytes;
}

jet::Status Win32FileSystem::WriteFileAtomically(const std::string& path, const std::string& bytes) {
  const std::wstring target = Wide(path);
  const std::wstring temporary = target + L".new";
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return RuntimeErrorFromWin32(GetLastError());
  DWORD written = 0;
  bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  DWORD code = ok ? ERROR_SUCCESS : GetLastError();
  // A short write without an error code means the disk ran out of room.
  if (!ok && code == ERROR_SUCCESS) code = ERROR_DISK_FULL;
  if (ok && !FlushFileBuffers(file)) {
    ok = false;
    code = GetLastError();
  }
  CloseHandle(file);
  if (ok &&
      !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    code = GetLastError();
  }
  if (!ok) {
    DeleteFileW(temporary.c_str());
    return RuntimeErrorFromWin32(code);
  }
  return jet::Ok();
}

}  // namespace win32::reminder
