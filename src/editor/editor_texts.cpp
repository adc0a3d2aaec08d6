// The editor's fixed texts, joined piece by piece as the messages show them.
#include "editor/editor_texts.h"

namespace editor {
namespace {

// The rights notice; the program file's version resource holds its first line as well.
constexpr const char* kRightsLine1 = "Copyright (C) The Lumaret project. All rights reserved.";
constexpr const char* kRightsLine2 = "Free for personal use; provided as is, without any warranty.";

}  // namespace

std::string RecordCaption(int absolutePosition) {
  return kRecordCaptionPrefix + std::to_string(absolutePosition);
}

std::string AboutText(const VersionNumbers& version) {
  std::string text = "Lumaret Editor V";
  text += std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
          std::to_string(version.revision);
  text += "\r\n";
  text += kRightsLine1;
  text += "\r\n";
  text += kRightsLine2;
  text += "\r\n";
  text += "\r\n";
  text += "See the Notes section for more important details ...";
  return text;
}

std::string NotesText() {
  std::string text;
  text += "Why the King James Version? It's simple, I don't have to ask permission. If there were ";
  text += "a more modern tranlation that was uncopyrighted I would use that, but because there is ";
  text += "not, I can not. You certainly can create your own. ";
  text += "\r\n";
  text += "\r\n";
  text += "Also note that this does not check spelling or check for duplicate entries, so ";
  text += "double check you database from time to time, especially if you are adding a verse to a ";
  text += "larger database. The Database is in Microsoft Access 97 Format";
  return text;
}

}  // namespace editor
