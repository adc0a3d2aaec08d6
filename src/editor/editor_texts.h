// The fixed texts of the editor: titles, the caption, and the About and Notes messages.
#pragma once

#include <string>

#include "editor/edit_view.h"

namespace editor {

inline constexpr const char* kProgramTitle = "Tovimar";
inline constexpr const char* kAboutTitle = "About...";
inline constexpr const char* kNotesTitle = "Notes...";
inline constexpr const char* kDataErrorPrefix = "Data error event hit err:";
inline constexpr const char* kRecordCaptionPrefix = "Record: ";
// Asked after a write of typed changes failed and its error was shown: Yes gives the
// changes up, No keeps them and the user where they are.
inline constexpr const char* kGiveUpOnCloseQuestion =
    "Your changes could not be saved.\r\n\r\nClose Tovimar and give them up? Choose No to go back to them.";
inline constexpr const char* kGiveUpOnMoveQuestion =
    "The changes to this verse could not be saved.\r\n\r\nGive them up and move on? Choose No to stay on "
    "this verse.";

// "Record: " and the position in decimal, with a minus sign when negative.
std::string RecordCaption(int absolutePosition);
// The About message: name and version, the two-line rights notice, an empty line and
// the pointer to the Notes.
std::string AboutText(const VersionNumbers& version);
// The Notes message: two paragraphs separated by one empty line.
std::string NotesText();

}  // namespace editor
