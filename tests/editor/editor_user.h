// A recording stand-in for EditFrm's window (edit_view_contract.h holds it to the real
// one), and the user at that window over any verse table.
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
  std::string FieldText(int index) const override { return fields.contains(index) ? fields.at(index) : ""; }
  void SetFieldText(int index, const std::string& text) override { fields[index] = text; }
  void SetReadChecked(bool checked) override { readChecked = checked; }
  void SetDataCaption(const std::string& text) override { caption = text; }
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
  bool readChecked = false, unloaded = false, pointerReset = false;
  std::string caption;
  std::vector<std::string> boxes;  // as edit_view_contract.h writes them
  std::deque<bool> answers;        // to the next questions; No once they run out
};

using support::Summary;

// Whether `text` starts with `pattern`, where "*" in the pattern stands for any text.
inline bool Matches(const char* text, const char* pattern) {
  if (*pattern == '*') return Matches(text, pattern + 1) || (*text != 0 && Matches(text + 1, pattern));
  return *pattern == 0 || (*text == *pattern && Matches(text + 1, pattern + 1));
}

class EditorUser {
 public:
  explicit EditorUser(store::VerseTable& table) : rs_(table), frm_(view, rs_, version_) { frm_.Form_Load(); }

  // Commands separated by "; ": "type N TEXT" (into txtFields(N)), "check" (the hidden
  // Read box changes anyway), "yes" (the next question is answered Yes), "close" (File >
  // Exit, then the window's end if it unloaded), the buttons and the Help menu.
  void Do(const std::string& commands) {
    for (std::size_t at = 0, end = 0; at < commands.size(); at = end + 2) {
      end = std::min(commands.find("; ", at), commands.size());
      const std::string command = commands.substr(at, end - at);
      if (command.starts_with("type ")) {
        view.fields[command[5] - '0'] = command.substr(7);
      } else {
        EXPECT_TRUE(commands_.contains(command)) << command;
        if (commands_.contains(command)) commands_.at(command)();
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

// "closed " once the window unloaded, the caption, the row the boxes show, then the number
// of boxes so far and each of them.
inline std::string Answer(const EditorUser& user) {
  const FakeEditView& v = user.view;
  std::string reply = (v.unloaded ? "closed " : "") + v.caption + " | " +
                      Summary({v.FieldText(kBookField), v.FieldText(kChapterField), v.FieldText(kVersesField),
                               v.FieldText(kVerseTxtField), v.readChecked}) +
                      " #" + std::to_string(v.boxes.size());
  for (const std::string& box : v.boxes) reply += " / " + box;
  return reply;
}

}  // namespace editor::test
