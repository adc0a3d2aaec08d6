// EditFrm over the real recordset and the in-memory table, in a recording window that
// edit_view_contract.h holds to the real one: what the user does, what the window then
// shows, which boxes came up, and what the table holds.
#include "editor/edit_frm.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "editor/edit_view_contract.h"
#include "jet/errors.h"
#include "support/fake_verse_table.h"

namespace editor::test {
namespace {

using support::FakeVerseTable;
using support::Summary;

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

// Whether `text` starts with `pattern`, where "*" in the pattern stands for any text.
bool Matches(const char* text, const char* pattern) {
  if (*pattern == '*') return Matches(text, pattern + 1) || (*text != 0 && Matches(text + 1, pattern));
  return *pattern == 0 || (*text == *pattern && Matches(text + 1, pattern + 1));
}

// The user at EditFrm's window over a verse table.
struct EditorUser {
  explicit EditorUser(store::VerseTable& table) : rs(table) { frm.emplace(view, rs, version).Form_Load(); }

  // Commands separated by "; ": "type N TEXT" (into txtFields(N)), "check" (the hidden
  // Read box changes anyway), "yes" (the next question is answered Yes), "close" (File >
  // Exit, then the window's end if it unloaded), the buttons, the bar and the Help menu.
  void Do(const std::string& commands) {
    static const std::map<std::string, void (EditFrm::*)()> clicks = {
        {"add", &EditFrm::cmdAdd_Click},         {"update", &EditFrm::cmdUpdate_Click},
        {"delete", &EditFrm::cmdDelete_Click},   {"refresh", &EditFrm::cmdRefresh_Click},
        {"about", &EditFrm::HelpAboutMnu_Click}, {"notes", &EditFrm::HelpNotesMnu_Click}};
    static const std::map<std::string, store::NavButton> bar = {{"first", store::NavButton::kFirst},
                                                                {"previous", store::NavButton::kPrevious},
                                                                {"next", store::NavButton::kNext},
                                                                {"last", store::NavButton::kLast}};
    for (std::size_t at = 0, end = 0; at < commands.size(); at = end + 2) {
      end = std::min(commands.find("; ", at), commands.size());
      const std::string command = commands.substr(at, end - at);
      if (command.starts_with("type ")) {
        view.fields[command[5] - '0'] = command.substr(7);
      } else if (command == "check") {
        view.readChecked = !view.readChecked;
      } else if (command == "yes") {
        view.answers.push_back(true);
      } else if (command == "close") {
        frm->FileExitMnu_Click();
        if (view.unloaded) frm->Form_Unload();
      } else if (clicks.contains(command)) {
        (*frm.*clicks.at(command))();
      } else {
        EXPECT_TRUE(bar.contains(command)) << command;
        if (bar.contains(command)) frm->datPrimaryRS_Navigate(bar.at(command));
      }
    }
  }

  // "closed " once the window unloaded, the caption, the row the boxes show, then the
  // number of boxes so far and each of them.
  std::string Answer() const {
    std::string reply =
        (view.unloaded ? "closed " : "") + view.caption + " | " +
        Summary({view.FieldText(kBookField), view.FieldText(kChapterField), view.FieldText(kVersesField),
                 view.FieldText(kVerseTxtField), view.readChecked}) +
        " #" + std::to_string(view.boxes.size());
    for (const std::string& box : view.boxes) reply += " / " + box;
    return reply;
  }

  FakeEditView view;
  store::VerseRecordset rs;
  struct : ProgramVersion {
    VersionNumbers Numbers() const override { return {1, 0, 12}; }
  } version;
  std::optional<EditFrm> frm;
};

const std::vector<store::VerseRecord> kRows = {{"John", "3", "16", "For God", true},
                                               {"Psalm", "23", "1", "The LORD", false},
                                               {"Romans", "8", "28", "All things", true}};
const std::string kStart = "John 3:16 For God+, Psalm 23:1 The LORD, Romans 8:28 All things+";
const std::string kHebrew = "\xD7\x99\xD7\x95\xD7\xA0\xD7\x94";  // no character of it in the code page
const std::string kLong(60, '1');                                // too long for the Verses column
const std::string kRefused = "Tovimar||'verse97.mdb' is open for reading only.";
const std::string kDataError = "Tovimar||Data error event hit err:";
const std::string kAskMove = "ask Tovimar|!|The changes to this verse could not be saved.";
const std::string kAskClose =
    "ask Tovimar|!|Your changes could not be saved.\r\n\r\nClose Tovimar and give them up?";

enum class Setup { kNone, kReadOnly, kChangedByOther, kRemovedByOther, kUnopenable };
using enum Setup;

struct Case {
  const char* name;
  Setup setup;
  std::string commands;
  std::string answer;           // what the window then shows and each box, as Answer() gives them
  std::string stored = kStart;  // the table's rows afterwards
};

const Case kCases[] = {
    {"LoadShowsTheFirstRow", kNone, "", "Record: 1 | John 3:16 For God+ #0"},
    {"AddShowsABlankRowAtTheEnd", kNone, "add", "Record: 4 |  :  #0"},
    {"AddedRowIsWrittenAndReadBack", kNone,
     "add; type 0 Micah; type 1 6; type 3 8; type 4 Good; update; refresh",
     "Record: 1 | John 3:16 For God+ #0", kStart + ", Micah 6:8 Good"},
    {"MovingOffAnEditedRowWritesIt", kNone, "type 4 So loved; next; previous",
     "Record: 1 | John 3:16 So loved+ #0",
     "John 3:16 So loved+, Psalm 23:1 The LORD, Romans 8:28 All things+"},
    {"DeleteShowsTheRowThatFollowed", kNone, "delete", "Record: 1 | Psalm 23:1 The LORD #0",
     "Psalm 23:1 The LORD, Romans 8:28 All things+"},
    {"DeleteOfTheLastRowShowsTheNewLast", kNone, "last; delete", "Record: 2 | Psalm 23:1 The LORD #0",
     "John 3:16 For God+, Psalm 23:1 The LORD"},
    {"DeleteOfTheOnlyRowShowsTheFailedMove", kNone, "delete; delete; type 0 gone; delete",
     "Record: -1 |  :  #1 / Tovimar||Either BOF or EOF is True", ""},
    {"TheReadColumnIsNeverTakenFromTheWindow", kNone,
     "check; type 0 Jn; next; check; update; add; type 0 Ruth; first", "Record: 1 | Jn 3:16 For God+ #0",
     "Jn 3:16 For God+, Psalm 23:1 The LORD, Romans 8:28 All things+, Ruth : "},
    {"TextOutsideTheCodePageIsRefusedAndKept", kNone, "type 4 " + kHebrew + "; update",
     "Record: 1 | John 3:16 " + kHebrew + "+ #1 / Tovimar||*code page"},
    {"AnUnwritableAddedRowIsGivenUpOnYes", kNone, "add; type 4 " + kHebrew + "; yes; last",
     "Record: 3 | Romans 8:28 All things+ #2 / " + kDataError + "*code page* / " + kAskMove},
    {"AFailingCommandShowsItsDescriptionAndKeepsTheText", kReadOnly,
     "type 0 Jonah; update; add; refresh; delete",
     "Record: 1 | Jonah 3:16 For God+ #4 / " + kRefused + " / " + kRefused + " / " + kRefused + " / " +
         kRefused},
    {"AFailedWriteOnAMoveAsksAndNoStays", kReadOnly, "type 0 Jonah; next",
     "Record: 1 | Jonah 3:16 For God+ #2 / " + kDataError + "'verse97.mdb' is open* / " + kAskMove},
    {"AFailedWriteOnAMoveAsksAndYesMovesOn", kReadOnly, "type 0 Jonah; yes; next; previous",
     "Record: 1 | John 3:16 For God+ #2 / " + kDataError + "'verse97.mdb' is open* / " + kAskMove},
    {"ARowChangedByAnotherProgramKeepsTheTypedTextForTheSecondUpdate", kChangedByOther,
     "type 4 So loved; update; update",
     "Record: 1 | John 3:16-17 So loved+ #1 / Tovimar||The verse was changed",
     "John 3:16-17 So loved+, Psalm 23:1 The LORD, Romans 8:28 All things+"},
    {"ARowRemovedByAnotherProgramIsSavedAgainOnUpdate", kRemovedByOther, "type 4 So loved; next; update",
     "Record: 1 | John 3:16 So loved #2 / Tovimar||*removed by another program* / ask Tovimar",
     "Psalm 23:1 The LORD, Romans 8:28 All things+, John 3:16 So loved"},
    {"ClosingWritesTheEditsAndUnloads", kNone, "add; type 0 Amos; close", "closed Record: 4 | Amos :  #0",
     kStart + ", Amos : "},
    {"ClosingWithEditsThatCannotBeWrittenAsksAndNoStays", kReadOnly, "type 3 16-18; close",
     "Record: 1 | John 3:16-18 For God+ #2 / " + kDataError + "'verse97.mdb' is open* / " + kAskClose},
    {"ClosingWithEditsThatCannotBeWrittenEndsOnYes", kReadOnly, "type 3 16-18; yes; close",
     "closed Record: 1 | John 3:16-18 For God+ #2 / " + kDataError + "'verse97.mdb' is open* / " + kAskClose},
    {"ClosingWithAValueTheColumnRefusesAsks", kNone, "type 3 " + kLong + "; close",
     "Record: 1 | John 3:" + kLong + " For God+ #2 / " + kDataError + "*too small* / " + kAskClose},
    {"AStoreThatCannotBeOpenedIsShownAndRefreshReadsItLater", kUnopenable, "delete; refresh",
     "Record: -1 |  :  #2 / " + kDataError +
         "Could not find file 'verse97.mdb'. / Tovimar||Either BOF or EOF",
     ""},
    {"HelpShowsAboutAndNotes", kNone, "about; notes",
     "Record: 1 | John 3:16 For God+ #2 / About...|i|Lumaret Editor V1.0.12\r\nCopyright* / "
     "Notes...|?|Why the King James Version?"},
};

class EditFrmTest : public testing::TestWithParam<Case> {};

TEST_P(EditFrmTest, ShowsAndStoresWhatTheUserDid) {
  const Case& c = GetParam();
  FakeVerseTable table(c.setup == kUnopenable ? std::vector<store::VerseRecord>{} : kRows);
  if (c.setup == kUnopenable)
    table.FailNextRead(jet::MakeError(jet::kErrFileNotFound, "Could not find file 'verse97.mdb'."));
  EditorUser user(table);
  table.SetReadOnly(c.setup == kReadOnly);
  if (c.setup == kChangedByOther) table.ChangeByOtherProgram(0, {"John", "3", "16-17", "For God", true});
  if (c.setup == kRemovedByOther) table.RemoveByOtherProgram(0);
  user.Do(c.commands);
  EXPECT_TRUE(Matches(user.Answer().c_str(), c.answer.c_str())) << user.Answer() << "\ndoes not match\n"
                                                                << c.answer;
  EXPECT_EQ(Summary(table.Records()), c.stored);
  EXPECT_EQ(user.view.pointerReset, user.view.unloaded);
}

INSTANTIATE_TEST_SUITE_P(Cases, EditFrmTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& p) { return std::string(p.param.name); });

// The recordset outlives the window: once EditFrm is gone, no notification may reach it.
TEST(EditFrmLifetimeTest, TheRecordsetNoLongerNotifiesAGoneWindow) {
  FakeVerseTable table(kRows);
  EditorUser user(table);
  user.frm.reset();
  user.view.fields.clear();
  EXPECT_TRUE(user.rs.MoveNext().ok());
  EXPECT_TRUE(user.view.fields.empty());
}

TEST(FakeEditViewTest, KeepsTheViewContract) {
  FakeEditView view;
  CheckEditViewContract(
      view, [&] { return view.boxes; },
      [&](std::optional<bool> yes) {
        if (yes) view.answers.push_back(*yes);
      });
}

}  // namespace
}  // namespace editor::test
