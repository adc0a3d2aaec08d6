// Reads VS_FIXEDFILEINFO from the running program's file.
#include "win32/editor/program_version_win32.h"

#include <windows.h>

#include <string>
#include <vector>

#include "tovimar_version.h"

namespace win32::editor {

FileProgramVersion::FileProgramVersion()
    : numbers_{TOVIMAR_VERSION_MAJOR, TOVIMAR_VERSION_MINOR, TOVIMAR_VERSION_REVISION} {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return;
  path.resize(length);
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) return;
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoSize = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || info == nullptr ||
      infoSize < sizeof(VS_FIXEDFILEINFO)) {
    return;
  }
  numbers_.major = HIWORD(info->dwFileVersionMS);
  numbers_.minor = LOWORD(info->dwFileVersionMS);
  numbers_.revision = LOWORD(info->dwFileVersionLS);
}

}  // namespace win32::editor
