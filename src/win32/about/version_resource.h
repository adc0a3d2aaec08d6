// The running program's version numbers, read from its version resource.
#pragma once

#include <windows.h>

#include <string>

#include "reminder/about_frm.h"

namespace about {

// VersionSource over the VS_FIXEDFILEINFO of a module's version resource: major and minor
// from the high and low words of the file version's first half, the revision from the
// low word of its second half.
class ResourceVersion : public reminder::VersionSource {
 public:
  // `module` nullptr: the program file itself.
  explicit ResourceVersion(HMODULE module = nullptr) : module_(module) {}
  jet::Result<reminder::ProgramVersion> Version() const override;

 private:
  HMODULE module_;
};

// One string of the module file's version resource, e.g. "ProductName", in the US English
// Unicode block (040904b0), as UTF-8; empty when it is missing.
std::string VersionString(const std::wstring& file, const std::wstring& name);

// The full path of `module`'s file (nullptr: the program).
std::wstring ModuleFileName(HMODULE module);

}  // namespace about
