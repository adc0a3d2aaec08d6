// Next Verse, the position tooltip and Copy.
#include <gtest/gtest.h>

#include "reminder_fixture.h"

namespace reminder::test {
namespace {

constexpr char kSettings[] = " 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n";

class VerseTest : public ReminderTest {
 protected:
  // Starts on the first of `rows`.
  void StartOn(std::vector<store::VerseRecord> rows, const std::string& settings = kSettings) {
    fake.files.files[kIniPath] = settings;
    MakeForm(std::move(rows));
    ASSERT_EQ(Start(), StartupResult::kGoOn);
    fake.window.toolTips.clear();
    fake.files.writes = 0;
  }

  std::vector<std::string> Books() const {
    std::vector<std::string> books;
    for (const auto& row : cursor->Rows()) books.push_back(row.book);
    return books;
  }
};

store::VerseRecord Row(std::string book, std::string text, std::string chapter = "1",
                       std::string verses = "1") {
  return {std::move(book), std::move(chapter), std::move(verses), std::move(text), false};
}

TEST_F(VerseTest, StepsToTheNextRowAndSavesItsPositionOnce) {
  StartOn(NumberedRows(3));
  form->NewVerseCMD_Click();
  EXPECT_EQ(fake.window.verse.book, "Book2");
  EXPECT_EQ(fake.window.toolTips, (std::vector<std::string>{"Verse 2"}));
  EXPECT_EQ(fake.files.writes, 1);
  EXPECT_EQ(Ini().substr(0, 4), " 1 \r");
}

TEST_F(VerseTest, WrapsFromTheLastRowToTheFirstDeletingNothing) {
  StartOn(NumberedRows(3), " 2 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n");
  ASSERT_EQ(fake.window.verse.book, "Book3");
  form->NewVerseCMD_Click();
  EXPECT_EQ(fake.window.verse.book, "Book1");
  EXPECT_EQ(cursor->Rows().size(), 3u);
  EXPECT_EQ(fake.window.toolTips, (std::vector<std::string>{"Verse 0", "Verse 1"}));
  EXPECT_EQ(Ini().substr(0, 4), " 0 \r");
}

TEST_F(VerseTest, DeletesARowWhoseBookOrTextIsEmptyOrOnlySpacesAndShowsTheFirstRow) {
  const store::VerseRecord blanks[] = {Row("", "Text"), Row("   ", "Text"), Row("Mark", ""),
                                       Row("Mark", "    ")};
  for (const auto& blank : blanks) {
    FakePlatform platform;
    platform.files.files[kStorePath] = "store";
    platform.files.files[kIniPath] = kSettings;
    FakeVerseCursor data1({Row("John", "First"), blank, Row("Luke", "Third")});
    Form1 window(platform.platform, data1);
    ASSERT_EQ(window.Form_Initialize(), StartupResult::kGoOn);
    ASSERT_EQ(window.Form_Load(), StartupResult::kGoOn);
    platform.window.toolTips.clear();
    window.NewVerseCMD_Click();
    ASSERT_EQ(data1.Rows().size(), 2u) << "[" << blank.book << "][" << blank.verseTxt << "]";
    EXPECT_EQ(data1.Rows()[1].book, "Luke");
    EXPECT_EQ(platform.window.verse.book, "John");
    EXPECT_EQ(platform.window.toolTips.back(), "Verse 1");
    EXPECT_EQ(platform.files.files[kIniPath].substr(0, 4), " 0 \r");
    EXPECT_TRUE(platform.messages.shown.empty());
  }
}

TEST_F(VerseTest, KeepsRowsWithLeadingSpacesOrWithoutChapterAndVerses) {
  StartOn({Row("John", "First"), Row("  Mark", "  x"), Row("Luke", "Third", "", "")});
  form->NewVerseCMD_Click();
  EXPECT_EQ(fake.window.verse.book, "  Mark");
  form->NewVerseCMD_Click();
  EXPECT_EQ(fake.window.verse.book, "Luke");
  EXPECT_EQ(cursor->Rows().size(), 3u);
}

TEST_F(VerseTest, TwoBlankRowsInARowAreDeletedOnePerVisit) {
  StartOn({Row("John", "First"), Row("", "a"), Row("", "b"), Row("Luke", "Last")});
  form->NewVerseCMD_Click();
  EXPECT_EQ(Books(), (std::vector<std::string>{"John", "", "Luke"}));
  EXPECT_EQ(fake.window.verse.book, "John");
  form->NewVerseCMD_Click();
  EXPECT_EQ(Books(), (std::vector<std::string>{"John", "Luke"}));
  EXPECT_EQ(fake.window.verse.book, "John");
  form->NewVerseCMD_Click();
  EXPECT_EQ(fake.window.verse.book, "Luke");
}

TEST_F(VerseTest, OnAReadOnlyStoreBlankRowsStayAndAreSteppedOverSilently) {
  StartOn({Row("John", "First"), Row("", "a"), Row("Mark", ""), Row("Luke", "Last")});
  cursor->readOnly = true;
  std::vector<std::string> shown;
  for (int i = 0; i < 3; ++i) {
    form->NewVerseCMD_Click();
    shown.push_back(fake.window.verse.book + "@" + Ini().substr(0, 3));
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"Luke@ 3 ", "John@ 0 ", "Luke@ 3 "}));
  EXPECT_EQ(cursor->Rows().size(), 4u);
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_EQ(fake.files.writes, 3);
}

TEST_F(VerseTest, FromPastTheLastRowTheRecoveryShowsTheFirstRow) {
  StartOn(NumberedRows(3), " 7 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n");
  ASSERT_FALSE(cursor->HasCurrent());
  form->NewVerseCMD_Click();
  EXPECT_EQ(fake.window.verse.book, "Book1");
  EXPECT_EQ(fake.window.toolTips.back(), "Verse 1");
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(VerseTest, AnEmptyTableEndsTheClickWithoutLoopingAndStillSaves) {
  fake.files.files[kIniPath] = kSettings;
  MakeForm({});
  ASSERT_EQ(Start(), StartupResult::kGoOn);  // the move to position 0 is reported at load
  fake.messages.shown.clear();
  form->NewVerseCMD_Click();
  EXPECT_FALSE(cursor->HasCurrent());
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_EQ(Ini().substr(0, 5), "-1 \r\n");
  EXPECT_FALSE(fake.window.destroyed);
}

TEST_F(VerseTest, DeletingTheOnlyRowLeavesAnEmptyTableAndEmptyTexts) {
  StartOn({Row(" ", "blank")}, "-1 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n");
  form->NewVerseCMD_Click();
  EXPECT_TRUE(cursor->Rows().empty());
  EXPECT_EQ(fake.window.verse.book, "");
  EXPECT_EQ(fake.window.toolTips.back(), "Verse 0");
  EXPECT_EQ(Ini().substr(0, 5), "-1 \r\n");
}

TEST_F(VerseTest, TheTooltipFollowsEveryRowChangeOfADelete) {
  StartOn({Row("John", "First"), Row("Mark", "Second"), Row("", "blank")});
  form->NewVerseCMD_Click();
  form->NewVerseCMD_Click();
  EXPECT_EQ(fake.window.toolTips, (std::vector<std::string>{"Verse 2", "Verse 3", "Verse 0", "Verse 1"}));
}

TEST_F(VerseTest, CopyPutsTheHeadingAndTheTextOnTheClipboard) {
  const std::pair<store::VerseRecord, const char*> cases[] = {
      {Row("John", "For God so loved the world", "3", "16-17"), "John 3:16-17\r\nFor God so loved the world"},
      {Row("John", "", "3", "16"), "John 3:16\r\n"},  // no text: it ends with the line break
  };
  for (const auto& [row, copied] : cases) {
    StartOn({row});
    form->EditCopyMnu_Click();
    EXPECT_EQ(fake.clipboard.text, copied);
  }
}

TEST_F(VerseTest, CopyWithTheClipboardHeldElsewhereLeavesItAndSaysNothing) {
  StartOn(NumberedRows(1));
  fake.clipboard.locked = true;
  form->EditCopyMnu_Click();
  EXPECT_EQ(fake.clipboard.text, "(previous)");
  EXPECT_TRUE(fake.messages.shown.empty());
}

}  // namespace
}  // namespace reminder::test
