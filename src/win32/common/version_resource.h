// A module file's version resource, read with the version API.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace win32 {

// The numbers a program shows as "Version major.minor.revision".
struct FileVersion {
  std::uint16_t major;
  std::uint16_t minor;
  std::uint16_t revision;
};

// From the VS_FIXEDFILEINFO of `file`'s version resource: major and minor from the high
// and low words of the file version's first half, the revision from the low word of its
// second half. Empty when the file has no version resource.
std::optional<FileVersion> ReadFileVersion(const std::wstring& file);

// One string of the file's version resource, e.g. "ProductName", in the US English
// Unicode block (040904b0), as UTF-8; empty when it is missing.
std::string VersionString(const std::wstring& file, const std::wstring& name);

}  // namespace win32
