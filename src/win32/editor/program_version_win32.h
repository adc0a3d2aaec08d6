// The editor's version numbers, read from the program file's own version resource.
#pragma once

#include "editor/edit_view.h"

namespace win32::editor {

// Major, minor and revision as the file version "major.minor.0.revision" holds them.
class FileProgramVersion final : public ::editor::ProgramVersion {
 public:
  // Reads the resource once; a file without one gives the numbers it was built with.
  FileProgramVersion();
  ::editor::VersionNumbers Numbers() const override { return numbers_; }

 private:
  ::editor::VersionNumbers numbers_;
};

}  // namespace win32::editor
