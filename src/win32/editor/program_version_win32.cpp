// The numbers of the running program's version resource.
#include "win32/editor/program_version_win32.h"

#include "tovimar/tovimar_version.h"
#include "win32/common/module_path.h"
#include "win32/common/version_resource.h"

namespace win32::editor {

FileProgramVersion::FileProgramVersion()
    : numbers_{TOVIMAR_VERSION_MAJOR, TOVIMAR_VERSION_MINOR, TOVIMAR_VERSION_REVISION} {
  if (const std::optional<FileVersion> file = ReadFileVersion(ModuleFileName())) {
    numbers_ = {file->major, file->minor, file->revision};
  }
}

}  // namespace win32::editor
