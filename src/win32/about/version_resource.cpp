// Reads the version resource of a module file with the version API.
#include "version_resource.h"

#include <vector>

#include "jet/errors.h"

namespace about {

namespace {

// The version resource of `file`, or empty when it has none.
std::vector<BYTE> VersionBlock(const std::wstring& file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  std::vector<BYTE> block(size);
  if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, block.data())) block.clear();
  return block;
}

std::string ToUtf8(const wchar_t* text, int length) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), bytes, nullptr, nullptr);
  return result;
}

}  // namespace

std::wstring ModuleFileName(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut off: try with more room
  }
}

jet::Result<reminder::ProgramVersion> ResourceVersion::Version() const {
  std::vector<BYTE> block = VersionBlock(ModuleFileName(module_));
  void* data = nullptr;
  UINT length = 0;
  if (block.empty() || !VerQueryValueW(block.data(), L"\\", &data, &length) ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return jet::MakeError(1813, "The program has no version resource");
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
  return reminder::ProgramVersion{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                                  LOWORD(fixed->dwFileVersionLS)};
}

std::string VersionString(const std::wstring& file, const std::wstring& name) {
  std::vector<BYTE> block = VersionBlock(file);
  const std::wstring path = L"\\StringFileInfo\\040904b0\\" + name;
  void* data = nullptr;
  UINT length = 0;
  if (block.empty() || !VerQueryValueW(block.data(), path.c_str(), &data, &length) || length == 0) {
    return {};
  }
  // The length counts the terminating zero.
  return ToUtf8(static_cast<const wchar_t*>(data), static_cast<int>(length) - 1);
}

}  // namespace about
