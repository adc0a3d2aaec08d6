// A recording stand-in for the EditFrm window and the program's version numbers.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "editor/edit_view.h"

namespace editor {

struct ShownMessage {
  std::string text;
  std::string title;
  MessageIcon icon = MessageIcon::kNone;
};

class FakeEditView : public EditView {
 public:
  std::string FieldText(int index) const override {
    auto found = fields.find(index);
    return found == fields.end() ? std::string() : found->second;
  }
  void SetFieldText(int index, const std::string& text) override { fields[index] = text; }
  void SetReadChecked(bool checked) override { readChecked = checked; }
  void SetDataCaption(const std::string& caption) override { captions.push_back(caption); }
  void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
    messages.push_back({text, title, icon});
  }
  bool AskYesNo(const std::string& text, const std::string& title) override {
    questions.push_back({text, title, MessageIcon::kNone});
    if (answers.empty()) return false;
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
  }
  void Unload() override { unloaded = true; }
  void ResetMousePointer() override { pointerReset = true; }

  // The user types into a text box.
  void Type(int index, const std::string& text) { fields[index] = text; }
  std::string caption() const { return captions.empty() ? std::string() : captions.back(); }

  std::map<int, std::string> fields;
  bool readChecked = false;
  std::vector<std::string> captions;
  std::vector<ShownMessage> messages;
  std::vector<ShownMessage> questions;
  // The user's next answers to AskYesNo, Yes as true; No once they run out.
  std::deque<bool> answers;
  bool unloaded = false;
  bool pointerReset = false;
};

class FakeProgramVersion : public ProgramVersion {
 public:
  explicit FakeProgramVersion(VersionNumbers numbers) : numbers_(numbers) {}
  VersionNumbers Numbers() const override { return numbers_; }

 private:
  VersionNumbers numbers_;
};

}  // namespace editor
