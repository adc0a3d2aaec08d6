// A recording stand-in for EditFrm's window (edit_view_contract.h holds it to the real
// one), and the user at that window, one command at a time, over any verse table; what
// the window shows and what a table holds, each as one line to compare.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "editor/edit_frm.h"
#include "editor/edit_view.h"
#include "store/verse_recordset.h"
#include "support/fake_verse_table.h"

namespace editor::test {

class FakeEditView : public EditView {
 public:
  std::string FieldText(int index) const override {
    auto found = fields.find(index);
    return found == fields.end() ? std::string() : found->second;
  }
  void SetFieldText(int index, const std::string& text) override { fields[index] = text; }
  void SetReadChecked(bool checked) override { readChecked = checked; }
  void SetDataCaption(const std::string& text) override { caption = text; }
  // Each box as "title|icon|text", icon "i" (information), "?" (question), "!"
  // (warning) or empty; a question starts with "ask ".
  void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
    const char* mark = icon == MessageIcon::kInformation ? "i" : icon == MessageIcon::kQuestion ? "?" : "";
    boxes.push_back(title + "|" + mark + "|" + text);
  }
  bool AskYesNo(const std::string& text, const std::string& title) override {
    boxes.push_back("ask " + title + "|!|" + text);
    const bool yes = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return yes;
  }
  void Unload() override { unloaded = true; }
  void ResetMousePointer() override { pointerReset = true; }

  std::map<int, std::string> fields;
  bool readChecked = false;
  std::string caption;
  std::vector<std::string> boxes;
  // The user's next answers to AskYesNo, Yes as true; No once they run out.
  std::deque<bool> answers;
  bool unloaded = false;
  bool pointerReset = false;
};

using support::Summary;

// Whether `text` starts with `pattern`, where "*" in the pattern stands for any text.
inline bool Matches(const std::string& text, const std::string& pattern) {
  std::size_t at = 0, from = 0;
  for (std::size_t star; (star = pattern.find('*', from)) != std::string::npos; from = star + 1) {
    const std::size_t found = text.find(pattern.substr(from, star - from), at);
    if (found == std::string::npos || (from == 0 && found != 0)) return false;
    at = found + star - from;
  }
  return from == 0 ? text.rfind(pattern, 0) == 0 : text.find(pattern.substr(from), at) != std::string::npos;
}

class EditorUser {
 public:
  explicit EditorUser(store::VerseTable& table) : rs_(table), frm_(view, rs_, version_) { frm_.Form_Load(); }

  // Commands separated by "; ": "type N TEXT" (into txtFields(N)), "check" (the hidden
  // Read box changes anyway), "add", "update", "delete", "refresh", "first", "previous",
  // "next", "last", "yes" (the next question is answered Yes), "close" (File > Exit; the
  // window's end follows when it unloads), "about", "notes".
  void Do(const std::string& commands) {
    for (std::size_t at = 0, end = 0; at < commands.size(); at = end + 2) {
      end = std::min(commands.find("; ", at), commands.size());
      const std::string command = commands.substr(at, end - at);
      if (command.starts_with("type ")) {
        view.fields[command[5] - '0'] = command.substr(7);
      } else if (commands_.contains(command)) {
        commands_.at(command)();
      } else {
        ADD_FAILURE() << "no command '" << command << "'";
      }
    }
  }

  FakeEditView view;

 private:
  const std::map<std::string, std::function<void()>> commands_ = {
      {"check", [this] { view.readChecked = !view.readChecked; }},
      {"yes", [this] { view.answers.push_back(true); }},
      {"add", [this] { frm_.cmdAdd_Click(); }},
      {"update", [this] { frm_.cmdUpdate_Click(); }},
      {"delete", [this] { frm_.cmdDelete_Click(); }},
      {"refresh", [this] { frm_.cmdRefresh_Click(); }},
      {"first", [this] { frm_.datPrimaryRS_Navigate(store::NavButton::kFirst); }},
      {"previous", [this] { frm_.datPrimaryRS_Navigate(store::NavButton::kPrevious); }},
      {"next", [this] { frm_.datPrimaryRS_Navigate(store::NavButton::kNext); }},
      {"last", [this] { frm_.datPrimaryRS_Navigate(store::NavButton::kLast); }},
      {"about", [this] { frm_.HelpAboutMnu_Click(); }},
      {"notes", [this] { frm_.HelpNotesMnu_Click(); }},
      {"close", [this] { frm_.FileExitMnu_Click(), view.unloaded ? frm_.Form_Unload() : void(); }},
  };
  store::VerseRecordset rs_;
  struct : ProgramVersion {
    VersionNumbers Numbers() const override { return {1, 0, 12}; }
  } version_;
  EditFrm frm_;
};

// The editor: "closed" once the window unloaded, the caption, the row the boxes show,
// then the number of boxes so far and each of them.
inline std::string Answer(const EditorUser& user) {
  const FakeEditView& v = user.view;
  std::string reply =
      (v.unloaded ? "closed " : "") + v.caption + " | " +
      Summary(store::VerseRecord{v.FieldText(kBookField), v.FieldText(kChapterField),
                                 v.FieldText(kVersesField), v.FieldText(kVerseTxtField), v.readChecked}) +
      " #" + std::to_string(v.boxes.size());
  for (const std::string& box : v.boxes) reply += " / " + box;
  return reply;
}

}  // namespace editor::test
