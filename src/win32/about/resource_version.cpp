// The About box's version source over the module's version resource.
#include "win32/about/resource_version.h"

#include "jet/errors.h"
#include "win32/common/module_path.h"
#include "win32/common/version_resource.h"

namespace win32::about {

jet::Result<::reminder::ProgramVersion> ResourceVersion::Version() const {
  const auto version = ReadFileVersion(ModuleFileName(module_));
  if (!version) return jet::MakeError(1813, "The program has no version resource");
  return ::reminder::ProgramVersion{version->major, version->minor, version->revision};
}

}  // namespace win32::about
