// EditFrm over the real recordset and an in-memory table: commands, the failure guard,
// the caption, the data error message and closing with unsaved edits.
#include "editor/edit_frm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/editor_texts.h"
#include "fake_edit_view.h"
#include "jet/errors.h"
#include "support/fake_verse_table.h"

namespace editor {
namespace {

using store::NavButton;
using store::VerseRecord;
using lumaret::test::FakeVerseTable;

const VerseRecord kJohn{"John", "3", "16", "For God so loved the world", true};
const VerseRecord kPsalm{"Psalm", "23", "1", "The LORD is my shepherd", false};
const VerseRecord kRomans{"Romans", "8", "28", "And we know that all things", true};

constexpr const char* kReadOnly = "Cannot update. Database or object is read-only.";

class EditFrmTest : public ::testing::Test {
 protected:
  explicit EditFrmTest(std::vector<VerseRecord> rows = {kJohn, kPsalm, kRomans})
      : table_(rows), rs_(table_), version_({1, 0, 12}), frm_(view_, rs_, version_) {
    frm_.Form_Load();
  }

  void ExpectShown(const VerseRecord& row) {
    EXPECT_EQ(view_.fields[kBookField], row.book);
    EXPECT_EQ(view_.fields[kChapterField], row.chapter);
    EXPECT_EQ(view_.fields[kVersesField], row.verses);
    EXPECT_EQ(view_.fields[kVerseTxtField], row.verseTxt);
    EXPECT_EQ(view_.readChecked, row.read);
  }

  FakeVerseTable table_;
  store::VerseRecordset rs_;
  FakeEditView view_;
  FakeProgramVersion version_;
  EditFrm frm_;
};

class EditFrmOneRowTest : public EditFrmTest {
 protected:
  EditFrmOneRowTest() : EditFrmTest({kJohn}) {}
};

TEST_F(EditFrmTest, LoadShowsTheFirstRowAndRecordOne) {
  ExpectShown(kJohn);
  EXPECT_EQ(view_.captions, (std::vector<std::string>{" ", "Record: 1"}));
  EXPECT_TRUE(view_.messages.empty());
}

TEST_F(EditFrmTest, EveryMoveOfTheNavigationBarSetsTheCaption) {
  frm_.datPrimaryRS_Navigate(NavButton::kNext);
  EXPECT_EQ(view_.caption(), "Record: 2");
  ExpectShown(kPsalm);
  frm_.datPrimaryRS_Navigate(NavButton::kNext);
  EXPECT_EQ(view_.caption(), "Record: 3");
  frm_.datPrimaryRS_Navigate(NavButton::kNext);
  EXPECT_EQ(view_.caption(), "Record: 3");
  ExpectShown(kRomans);
  frm_.datPrimaryRS_Navigate(NavButton::kFirst);
  EXPECT_EQ(view_.caption(), "Record: 1");
  frm_.datPrimaryRS_Navigate(NavButton::kLast);
  frm_.datPrimaryRS_Navigate(NavButton::kPrevious);
  EXPECT_EQ(view_.caption(), "Record: 2");
  EXPECT_TRUE(view_.messages.empty());
}

TEST_F(EditFrmTest, AddTypeUpdateAndRefreshShowsTheNewRow) {
  frm_.cmdAdd_Click();
  EXPECT_EQ(view_.caption(), "Record: 4");
  ExpectShown(VerseRecord{});
  view_.Type(kBookField, "Micah");
  view_.Type(kChapterField, "6");
  view_.Type(kVersesField, "8");
  view_.Type(kVerseTxtField, "He hath shewed thee, O man, what is good");
  frm_.cmdUpdate_Click();
  ASSERT_EQ(table_.rows().size(), 4u);

  frm_.cmdRefresh_Click();
  EXPECT_EQ(view_.caption(), "Record: 1");
  ExpectShown(kJohn);
  frm_.datPrimaryRS_Navigate(NavButton::kLast);
  EXPECT_EQ(view_.caption(), "Record: 4");
  ExpectShown(VerseRecord{"Micah", "6", "8", "He hath shewed thee, O man, what is good", false});
  EXPECT_TRUE(view_.messages.empty());
}

TEST_F(EditFrmTest, DeleteOnTheLastRowShowsTheNewLastRow) {
  frm_.datPrimaryRS_Navigate(NavButton::kLast);
  frm_.cmdDelete_Click();
  ExpectShown(kPsalm);
  EXPECT_EQ(view_.caption(), "Record: 2");
  EXPECT_EQ(table_.rows().size(), 2u);
  EXPECT_TRUE(view_.messages.empty());
}

TEST_F(EditFrmTest, DeleteOnAnotherRowShowsTheRowThatFollowed) {
  frm_.cmdDelete_Click();
  ExpectShown(kPsalm);
  EXPECT_EQ(view_.caption(), "Record: 1");
  ASSERT_EQ(table_.rows().size(), 2u);
  EXPECT_EQ(table_.rows()[0].record.book, "Psalm");
  EXPECT_TRUE(view_.messages.empty());
}

TEST_F(EditFrmOneRowTest, DeleteOfTheOnlyRowEmptiesTheTableAndShowsTheFailedMoveThroughTheGuard) {
  view_.Type(kBookField, "typed but deleted");
  frm_.cmdDelete_Click();
  EXPECT_TRUE(table_.rows().empty());
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].text.rfind("Either BOF or EOF is True", 0), 0u) << view_.messages[0].text;
  EXPECT_EQ(view_.messages[0].title, "Tovimar");
  EXPECT_EQ(view_.messages[0].icon, MessageIcon::kNone);
  ExpectShown(VerseRecord{});
  EXPECT_EQ(view_.caption(), "Record: -1");
}

TEST_F(EditFrmTest, MovingOffAnEditedRowWritesIt) {
  view_.Type(kVerseTxtField, "For God so loved the world, that he gave his only begotten Son");
  EXPECT_EQ(table_.rows()[0].record.verseTxt, kJohn.verseTxt);
  frm_.datPrimaryRS_Navigate(NavButton::kNext);
  EXPECT_EQ(table_.rows()[0].record.verseTxt, "For God so loved the world, that he gave his only begotten Son");
  frm_.datPrimaryRS_Navigate(NavButton::kPrevious);
  EXPECT_EQ(view_.fields[kVerseTxtField], "For God so loved the world, that he gave his only begotten Son");
}

TEST_F(EditFrmTest, AFailingCommandShowsOnlyTheDescription) {
  table_.SetReadOnly(true);
  view_.Type(kBookField, "Jonah");
  frm_.cmdUpdate_Click();
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].text, kReadOnly);
  EXPECT_EQ(view_.messages[0].title, "Tovimar");
  EXPECT_EQ(view_.messages[0].icon, MessageIcon::kNone);
  EXPECT_EQ(view_.fields[kBookField], "Jonah");

  frm_.cmdAdd_Click();
  frm_.cmdRefresh_Click();
  ASSERT_EQ(view_.messages.size(), 3u);
  EXPECT_EQ(view_.messages[1].text, kReadOnly);
  EXPECT_EQ(view_.messages[2].text, kReadOnly);
  EXPECT_EQ(view_.caption(), "Record: 1");
  EXPECT_EQ(view_.fields[kBookField], "Jonah");
}

TEST_F(EditFrmTest, ARefusedDeleteKeepsTheRowAndTheTypedText) {
  table_.SetReadOnly(true);
  view_.Type(kChapterField, "4");
  frm_.cmdDelete_Click();
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].text, kReadOnly);
  EXPECT_EQ(view_.fields[kChapterField], "4");
  EXPECT_EQ(table_.rows().size(), 3u);
}

TEST_F(EditFrmTest, AFailedWriteWhileNavigatingShowsTheErrorThenAsksWhetherToGiveTheEditsUp) {
  table_.SetReadOnly(true);
  view_.Type(kBookField, "Jonah");
  frm_.datPrimaryRS_Navigate(NavButton::kNext);  // the user answers No
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].text, std::string("Data error event hit err:") + kReadOnly);
  EXPECT_EQ(view_.messages[0].title, "Tovimar");
  EXPECT_EQ(view_.messages[0].icon, MessageIcon::kNone);
  ASSERT_EQ(view_.questions.size(), 1u);
  EXPECT_EQ(view_.questions[0].text, kGiveUpOnMoveQuestion);
  EXPECT_EQ(view_.questions[0].title, "Tovimar");
  EXPECT_EQ(view_.caption(), "Record: 1");
  EXPECT_EQ(view_.fields[kBookField], "Jonah");

  view_.answers = {true};
  frm_.datPrimaryRS_Navigate(NavButton::kNext);
  EXPECT_EQ(view_.caption(), "Record: 2");
  ExpectShown(kPsalm);
  frm_.datPrimaryRS_Navigate(NavButton::kPrevious);
  ExpectShown(kJohn);
  EXPECT_EQ(view_.questions.size(), 2u);
  EXPECT_EQ(table_.Records(), (std::vector<VerseRecord>{kJohn, kPsalm, kRomans}));
}

TEST_F(EditFrmTest, GivingUpAnAddedRowThatCannotBeWrittenMovesOnWithoutIt) {
  frm_.cmdAdd_Click();
  view_.Type(kVerseTxtField, "\xD7\x91\xD7\xA8");  // Hebrew: no column of the file takes it
  view_.answers = {true};
  frm_.datPrimaryRS_Navigate(NavButton::kLast);
  EXPECT_EQ(view_.caption(), "Record: 3");
  ExpectShown(kRomans);
  EXPECT_EQ(table_.Records().size(), 3u);
}

TEST_F(EditFrmTest, TheReadColumnNeverChangesThroughTheWindow) {
  view_.Type(kBookField, "Jn");
  frm_.datPrimaryRS_Navigate(NavButton::kNext);
  EXPECT_FALSE(view_.readChecked);
  view_.readChecked = true;  // even a check box that somehow changed is not read back
  view_.Type(kBookField, "Ps");
  frm_.cmdUpdate_Click();
  frm_.cmdAdd_Click();
  view_.Type(kBookField, "Ruth");
  frm_.cmdUpdate_Click();
  ASSERT_EQ(table_.rows().size(), 4u);
  EXPECT_TRUE(table_.rows()[0].record.read);
  EXPECT_FALSE(table_.rows()[1].record.read);
  EXPECT_TRUE(table_.rows()[2].record.read);
  EXPECT_FALSE(table_.rows()[3].record.read);
  frm_.datPrimaryRS_Navigate(NavButton::kFirst);
  EXPECT_TRUE(view_.readChecked);
}

TEST_F(EditFrmTest, TextTheCodePageCannotHoldIsRefusedWithADescriptionAndTheStoreIsUnchanged) {
  const auto before = table_.Records();
  const std::string hebrew = "\xD7\x91\xD7\xA8\xD7\x90\xD7\xA9\xD7\x99\xD7\xAA";
  view_.Type(kVerseTxtField, hebrew);
  frm_.cmdUpdate_Click();
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_NE(view_.messages[0].text.find("code page"), std::string::npos) << view_.messages[0].text;
  EXPECT_EQ(view_.messages[0].text.find("Data error"), std::string::npos);
  EXPECT_EQ(view_.fields[kVerseTxtField], hebrew);
  ASSERT_EQ(table_.Records().size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_TRUE(lumaret::test::SameRecord(table_.Records()[i], before[i]));
  }
}

TEST_F(EditFrmTest, ARowChangedByAnotherProgramKeepsTheTypedValues) {
  VerseRecord theirs = kJohn;
  theirs.verses = "16-17";
  table_.ChangeByOtherProgram(0, theirs);
  view_.Type(kVerseTxtField, "God so loved");
  frm_.cmdUpdate_Click();
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].text.rfind("The verse was changed", 0), 0u) << view_.messages[0].text;
  EXPECT_EQ(view_.fields[kVerseTxtField], "God so loved");
  EXPECT_EQ(view_.fields[kVersesField], "16-17");
  EXPECT_EQ(table_.rows()[0].record.verseTxt, kJohn.verseTxt);

  frm_.cmdUpdate_Click();
  EXPECT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(table_.rows()[0].record.verseTxt, "God so loved");
  EXPECT_EQ(table_.rows()[0].record.verses, "16-17");
}

TEST_F(EditFrmTest, ClosingWritesPendingEditsAndUnloads) {
  view_.Type(kVersesField, "16-18");
  frm_.FileExitMnu_Click();
  EXPECT_TRUE(view_.unloaded);
  EXPECT_EQ(table_.rows()[0].record.verses, "16-18");
  EXPECT_TRUE(view_.messages.empty());
  frm_.Form_Unload();
  EXPECT_TRUE(view_.pointerReset);
}

TEST_F(EditFrmTest, ClosingAnAddedRowWritesIt) {
  frm_.cmdAdd_Click();
  view_.Type(kBookField, "Amos");
  EXPECT_TRUE(frm_.Form_QueryUnload());
  ASSERT_EQ(table_.rows().size(), 4u);
  EXPECT_EQ(table_.rows()[3].record.book, "Amos");
}

// Whatever keeps the edits from being written, closing shows the error, then asks;
// No keeps the window and the typed text, Yes closes without them.
TEST(EditFrmCloseTest, AFailedWriteOnClosingIsShownThenOnlyTheUsersYesGivesTheEditsUp) {
  struct Case {
    const char* what;
    bool readOnly;
    std::string typed;
    const char* error;
  };
  const Case cases[] = {
      {"a store that cannot be written", true, "16-18", kReadOnly},
      {"a value the column refuses", false, std::string(60, '1'), "The field is too small"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeVerseTable table({kJohn});
    table.SetReadOnly(c.readOnly);
    store::VerseRecordset rs(table);
    FakeEditView view;
    FakeProgramVersion version({1, 0, 12});
    EditFrm frm(view, rs, version);
    frm.Form_Load();
    view.Type(kVersesField, c.typed);

    frm.FileExitMnu_Click();  // the user answers No
    EXPECT_FALSE(view.unloaded);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text.rfind(std::string("Data error event hit err:") + c.error, 0), 0u)
        << view.messages[0].text;
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_EQ(view.questions[0].text, kGiveUpOnCloseQuestion);
    EXPECT_EQ(view.questions[0].title, "Tovimar");
    EXPECT_EQ(view.fields[kVersesField], c.typed);

    view.answers = {true};
    EXPECT_TRUE(frm.Form_QueryUnload());
    EXPECT_EQ(view.questions.size(), 2u);
    EXPECT_EQ(table.Records(), std::vector<VerseRecord>{kJohn});
  }
}

TEST_F(EditFrmTest, ClosingWritesTheEditsOnceTheStoreTakesThemAgain) {
  table_.SetReadOnly(true);
  view_.Type(kVersesField, "16-18");
  EXPECT_FALSE(frm_.Form_QueryUnload());
  table_.SetReadOnly(false);
  frm_.FileExitMnu_Click();
  EXPECT_TRUE(view_.unloaded);
  EXPECT_EQ(table_.rows()[0].record.verses, "16-18");
  EXPECT_EQ(view_.questions.size(), 1u);
}

TEST_F(EditFrmTest, ClosingWithNothingPendingWritesNothing) {
  EXPECT_TRUE(frm_.Form_QueryUnload());
  EXPECT_EQ(table_.writeCount(), 0);
}

TEST(EditFrmLoadTest, AStoreThatCannotBeOpenedShowsTheDataErrorAndCommandsThenFail) {
  FakeVerseTable table;
  table.FailNext(FakeVerseTable::Operation::kReadAll,
                 jet::MakeError(jet::kErrFileNotFound, "Could not find file 'verse97.mdb'."));
  store::VerseRecordset rs(table);
  FakeEditView view;
  FakeProgramVersion version({1, 0, 12});
  EditFrm frm(view, rs, version);
  frm.Form_Load();
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "Data error event hit err:Could not find file 'verse97.mdb'.");
  EXPECT_EQ(view.caption(), " ");

  frm.cmdDelete_Click();
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.messages[1].text.rfind("Either BOF or EOF is True", 0), 0u);
  frm.cmdRefresh_Click();  // the file is back: Refresh now reads it
  EXPECT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.caption(), "Record: -1");
}

}  // namespace
}  // namespace editor
