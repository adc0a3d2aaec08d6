// Reads the version resource of a module file with the version API, which the programs
// load when they first need it (the About box), not before their window shows.
#include "win32/common/version_resource.h"

#include <vector>

#include "win32/common/late_dll.h"
#include "win32/common/text.h"

namespace win32 {

namespace {

// The version resource of `file`, or empty when it has none.
std::vector<BYTE> VersionBlock(const std::wstring& file) {
  static const auto sizeOf =
      LateFunction<decltype(GetFileVersionInfoSizeW)>(L"version.dll", "GetFileVersionInfoSizeW");
  static const auto read = LateFunction<decltype(GetFileVersionInfoW)>(L"version.dll", "GetFileVersionInfoW");
  DWORD ignored = 0;
  const DWORD size = sizeOf != nullptr && read != nullptr ? sizeOf(file.c_str(), &ignored) : 0;
  std::vector<BYTE> block(size);
  if (size == 0 || !read(file.c_str(), 0, size, block.data())) block.clear();
  return block;
}

BOOL QueryValue(std::vector<BYTE>& block, const wchar_t* path, void** data, UINT* length) {
  static const auto query = LateFunction<decltype(VerQueryValueW)>(L"version.dll", "VerQueryValueW");
  return query != nullptr && !block.empty() && query(block.data(), path, data, length);
}

}  // namespace

std::optional<FileVersion> ReadFileVersion(const std::wstring& file) {
  std::vector<BYTE> block = VersionBlock(file);
  void* data = nullptr;
  UINT length = 0;
  if (!QueryValue(block, L"\\", &data, &length) || data == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
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
  if (!QueryValue(block, path.c_str(), &data, &length) || length == 0) {
    return {};
  }
  // The length counts the terminating zero.
  return Utf8(std::wstring_view(static_cast<const wchar_t*>(data), length - 1));
}

}  // namespace win32
