// The running program's version numbers for the About box, from its version resource.
#pragma once

#include <windows.h>

#include "reminder/about_frm.h"

namespace win32::about {

class ResourceVersion : public ::reminder::VersionSource {
 public:
  // `module` nullptr: the program file itself.
  explicit ResourceVersion(HMODULE module = nullptr) : module_(module) {}
  jet::Result<::reminder::ProgramVersion> Version() const override;

 private:
  HMODULE module_;
};

}  // namespace win32::about
