// A store file made read-only under wine for as long as a test needs it, as a user's
// read-only file is. Tests may run as root, for whom the read-only attribute (file
// permissions under wine) stops nothing, so the file is also made immutable by the
// Unix chattr, which wine starts for a command line that names a Unix program.
#pragma once

#include <windows.h>

#include <string>

namespace win32::test {

// Sets or clears the read-only state of `path` (UTF-8) and waits up to five seconds
// until opening it for writing fails (or works again); false when it did not.
inline bool MakeReadOnly(const std::string& path, bool on) {
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0)),
                    L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  wide.resize(wide.size() - 1);
  SetFileAttributesW(wide.c_str(), on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
  // Where the file is on the Unix side, as wine's kernel32 tells it.
  using UnixName = char*(CDECL*)(LPCWSTR);
  auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  char* unixPath = unixName != nullptr ? unixName(wide.c_str()) : nullptr;
  if (unixPath != nullptr) {
    // Unix paths here are plain ASCII (the test folders' names).
    std::wstring command = std::wstring(L"/usr/bin/chattr ") + (on ? L"+i " : L"-i ");
    for (const char* c = unixPath; *c != '\0'; ++c)
      command += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    HeapFree(GetProcessHeap(), 0, unixPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // The Unix process cannot be waited for: the file is watched instead.
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info)) {
      CloseHandle(info.hThread);
      CloseHandle(info.hProcess);
    }
  }
  for (int waited = 0; waited <= 5000; waited += 50) {
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if ((file == INVALID_HANDLE_VALUE) == on) return true;
    Sleep(50);
  }
  return false;
}

// Keeps the store read-only for its lifetime, so that a failing test still leaves a
// file that can be removed.
class ReadOnlyStore {
 public:
  explicit ReadOnlyStore(std::string path) : path_(std::move(path)), made_(MakeReadOnly(path_, true)) {}
  ~ReadOnlyStore() { MakeReadOnly(path_, false); }
  ReadOnlyStore(const ReadOnlyStore&) = delete;
  ReadOnlyStore& operator=(const ReadOnlyStore&) = delete;
  bool made() const { return made_; }

 private:
  std::string path_;
  bool made_;
};

}  // namespace win32::test
