// Reads the version resource of a module file with the version API.
#include "win32/common/version_resource.h"

#include <vector>

#include "win32/common/text.h"

namespace win32 {

namespace {

// The version resource of `file`, or empty when it has none.
std::vector<BYTE> VersionBlock(const std::wstring& file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  std::vector<BYTE> block(size);
  if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, block.data())) block.clear();
  return block;
}

}  // namespace

std::optional<FileVersion> ReadFileVersion(const std::wstring& file) {
  std::vector<BYTE> block = VersionBlock(file);
  void* data = nullptr;
  UINT length = 0;
  if (block.empty() || !VerQueryValueW(block.data(), L"\\", &data, &length) || data == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
  return FileVersion{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
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
  return Utf8(std::wstring_view(static_cast<const wchar_t*>(data), length - 1));
}

}  // namespace win32
