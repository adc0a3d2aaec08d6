// SaveINI and LoadINI against the settings file beside the program.
#include <gtest/gtest.h>

#include "reminder_fixture.h"

namespace reminder::testing {
namespace {

using SettingsTest = ReminderTest;

// The window of the fakes is 7350 x 5670 twips on a 28800 x 16200 screen.
constexpr std::int32_t kCentredLeft = 28800 / 2 - 7350 / 2;
constexpr std::int32_t kCentredTop = 16200 / 2 - 5670 / 2;
constexpr std::int32_t kCreatedLeft = 1200;
constexpr std::int32_t kCreatedTop = 900;

bool OnlyIntervalChecked(const FakeWindow& window, int index) { return window.IntervalShown() == index; }

TEST_F(SettingsTest, AFirstRunCentresTheWindowAndRegistersWithoutAMessageOrAFile) {
  ASSERT_EQ(Start(), StartupResult::kGoOn);
  EXPECT_EQ(fake.window.bounds.left, kCentredLeft);
  EXPECT_EQ(fake.window.bounds.top, kCentredTop);
  EXPECT_TRUE(fake.window.shown->autoStart);
  EXPECT_EQ(fake.registry.values.at(kRunPath).data, std::string("C:\\Lumaret\\verse.exe") + '\0');
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_EQ(Ini(), "(none)");
  EXPECT_EQ(form->ReminderMinutes(), 0);
  EXPECT_FALSE(fake.pointer.Busy());
}

TEST_F(SettingsTest, AnEmptyFileAppliesNothingAndIsNoFirstRun) {
  StartWith("");
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_EQ(fake.window.bounds.left, kCreatedLeft);
  EXPECT_EQ(fake.window.bounds.top, kCreatedTop);
  EXPECT_TRUE(fake.window.shown->autoStart);  // the default, not the registry's
  EXPECT_TRUE(fake.registry.values.empty());
  EXPECT_EQ(cursor->Position(), 0);
  EXPECT_EQ(form->ReminderMinutes(), 0);
}

TEST_F(SettingsTest, AThreeLineFileAppliesPositionTopAndLeftOnly) {
  StartWith(" 2 \r\n 3000 \r\n 4000 \r\n");
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_EQ(cursor->Position(), 2);
  EXPECT_EQ(fake.window.verse.book, "Book3");
  EXPECT_EQ(fake.window.bounds.top, 3000);
  EXPECT_EQ(fake.window.bounds.left, 4000);
  EXPECT_EQ(form->ReminderMinutes(), 0);
  EXPECT_TRUE(OnlyIntervalChecked(fake.window, 0));  // no interval yet: the first run's
}

TEST_F(SettingsTest, AnIntervalOfFortyFiveStaysInForceWithThirtyMinutesTicked) {
  StartWith(" 0 \r\n 3000 \r\n 4000 \r\n 45 \r\n 1 \r\n");
  EXPECT_EQ(form->ReminderMinutes(), 45);
  EXPECT_TRUE(OnlyIntervalChecked(fake.window, 0));
}

TEST_F(SettingsTest, EachKnownIntervalTicksItsOwnItem) {
  const std::pair<const char*, int> cases[] = {{"30", 0}, {"60", 1}, {"240", 2}, {"480", 3}, {"999", 4}, {"0", 0}};
  for (const auto& [minutes, index] : cases) {
    FakePlatform platform;
    platform.files.files[kStorePath] = "store";
    platform.files.files[kIniPath] = std::string(" 0 \r\n 3000 \r\n 4000 \r\n ") + minutes + " \r\n 1 \r\n";
    FakeVerseCursor data1(NumberedRows(2));
    Form1 window(platform.platform, data1);
    ASSERT_EQ(window.Form_Initialize(), StartupResult::kGoOn);
    ASSERT_EQ(window.Form_Load(), StartupResult::kGoOn);
    EXPECT_TRUE(OnlyIntervalChecked(platform.window, index)) << minutes;
  }
}

TEST_F(SettingsTest, AnIntervalAboveTheSixteenBitRangeIsReportedAndStopsTheReading) {
  StartWith(" 1 \r\n 3000 \r\n 4000 \r\n 32768 \r\n 0 \r\n");
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Error 6- Overflow loading .INI");
  EXPECT_EQ(fake.messages.shown[0].title, "Lumaret");
  EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::kNone);
  EXPECT_EQ(cursor->Position(), 1);
  EXPECT_EQ(fake.window.bounds.left, 4000);
  EXPECT_EQ(form->ReminderMinutes(), 0);
  EXPECT_TRUE(fake.window.shown->autoStart);  // line 5 not applied
  EXPECT_TRUE(OnlyIntervalChecked(fake.window, 0));
  EXPECT_FALSE(fake.pointer.Busy());
}

TEST_F(SettingsTest, ALineThatIsNoNumberIsReportedAsATypeMismatch) {
  StartWith(" 0 \r\n top \r\n 4000 \r\n 60 \r\n 1 \r\n");
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Error 13- Type mismatch loading .INI");
  EXPECT_EQ(fake.window.bounds.top, kCreatedTop);
}

TEST_F(SettingsTest, AnyNonZeroAutoStartLineTicksTheItemAndZeroClearsIt) {
  StartWith(" 0 \r\n 3000 \r\n 4000 \r\n 60 \r\n 2 \r\n");
  EXPECT_TRUE(fake.window.shown->autoStart);
  EXPECT_TRUE(fake.registry.values.empty());  // the file's choice, not the registry's

  FakePlatform other;
  other.files.files[kStorePath] = "store";
  other.files.files[kIniPath] = " 0 \r\n 3000 \r\n 4000 \r\n 60 \r\n 0 \r\n";
  FakeVerseCursor data1(NumberedRows(2));
  Form1 window(other.platform, data1);
  ASSERT_EQ(window.Form_Initialize(), StartupResult::kGoOn);
  ASSERT_EQ(window.Form_Load(), StartupResult::kGoOn);
  EXPECT_FALSE(other.window.shown->autoStart);
}

TEST_F(SettingsTest, NegativeEdgesOnAMonitorLeftOfThePrimaryAreKeptAndWrittenBack) {
  fake.screen.monitors.push_back({-28800, -2000, 28800, 16200});
  StartWith(" 0 \r\n-300 \r\n-7000 \r\n 60 \r\n 1 \r\n");
  EXPECT_EQ(fake.window.bounds.top, -300);
  EXPECT_EQ(fake.window.bounds.left, -7000);
  form->SaveINI();
  EXPECT_EQ(Ini(), " 0 \r\n-300 \r\n-7000 \r\n 60 \r\n 1 \r\n");
}

TEST_F(SettingsTest, APartlyVisibleWindowKeepsItsPosition) {
  StartWith(" 0 \r\n-5000 \r\n-7000 \r\n 60 \r\n 1 \r\n");  // 350 by 670 twips still on screen
  EXPECT_EQ(fake.window.bounds.top, -5000);
  EXPECT_EQ(fake.window.bounds.left, -7000);
}

TEST_F(SettingsTest, AWindowOutsideEveryMonitorIsCentredOnThePrimaryScreen) {
  StartWith(" 0 \r\n 3000 \r\n-40000 \r\n 60 \r\n 1 \r\n");
  EXPECT_EQ(fake.window.bounds.left, kCentredLeft);
  EXPECT_EQ(fake.window.bounds.top, kCentredTop);
  EXPECT_EQ(form->ReminderMinutes(), 60);
}

TEST_F(SettingsTest, AWindowJustPastTheRightEdgeIsCentredToo) {
  StartWith(" 0 \r\n 3000 \r\n 28800 \r\n 60 \r\n 1 \r\n");
  EXPECT_EQ(fake.window.bounds.left, kCentredLeft);
}

TEST_F(SettingsTest, MinusOneLeavesNoCurrentRowAndStillAppliesTheRest) {
  StartWith("-1 \r\n 3000 \r\n 4000 \r\n 240 \r\n 1 \r\n");
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_FALSE(cursor->HasCurrent());
  EXPECT_EQ(fake.window.toolTips.back(), "Verse 0");
  EXPECT_EQ(fake.window.bounds.left, 4000);
  EXPECT_EQ(form->ReminderMinutes(), 240);
  form->NewVerseCMD_Click();
  EXPECT_EQ(fake.window.verse.book, "Book1");
}

TEST_F(SettingsTest, APositionPastTheLastRowLeavesNoCurrentRowAndStillAppliesTheRest) {
  StartWith(" 12 \r\n 3000 \r\n 4000 \r\n 480 \r\n 1 \r\n", 5);
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_FALSE(cursor->HasCurrent());
  EXPECT_EQ(fake.window.bounds.top, 3000);
  EXPECT_EQ(form->ReminderMinutes(), 480);
}

TEST_F(SettingsTest, AnEmptyStoreReportsTheRefusedMoveAndAppliesNothingElse) {
  StartWith(" 3 \r\n 3000 \r\n 4000 \r\n 480 \r\n 0 \r\n", 0);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Error 3021- No current record. loading .INI");
  EXPECT_EQ(fake.messages.shown[0].title, "Lumaret");
  EXPECT_EQ(fake.window.bounds.top, kCreatedTop);
  EXPECT_EQ(form->ReminderMinutes(), 0);
  EXPECT_TRUE(fake.window.shown->autoStart);
}

TEST_F(SettingsTest, ACursorNotReadyYetIsMovedAgainAfterPumpingMessages) {
  fake.files.files[kIniPath] = " 2 \r\n 3000 \r\n 4000 \r\n 60 \r\n 1 \r\n";
  MakeForm(NumberedRows(4));
  cursor->moveNotReady = 2;
  ASSERT_EQ(Start(), StartupResult::kGoOn);
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_EQ(cursor->Position(), 2);
}

TEST_F(SettingsTest, SaveWritesTheWorkedExampleByteForByte) {
  StartWith(" 12 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n", 20);
  fake.files.files.erase(kIniPath);
  form->SaveINI();
  EXPECT_EQ(Ini(), " 12 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n");
  EXPECT_EQ(Ini().size(), 33u);
  EXPECT_EQ(fake.pointer.changes.back(), false);
}

TEST_F(SettingsTest, SaveWritesMinusOneWithoutACurrentRowAndZeroWithoutTheCheckMark) {
  StartWith(" 9 \r\n 2880 \r\n 4800 \r\n 30 \r\n 0 \r\n", 3);
  form->SaveINI();
  EXPECT_EQ(Ini(), "-1 \r\n 2880 \r\n 4800 \r\n 30 \r\n 0 \r\n");
}

TEST_F(SettingsTest, SaveInAReadOnlyFolderNamesTheFolderAndKeepsTheOldFile) {
  StartWith(" 1 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n");
  fake.files.readOnlyFolders.insert("C:\\Lumaret");
  form->NewVerseCMD_Click();
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text,
            "Error saving .ini data in C:\\Lumaret\r\nError #75 - Path/File access error");
  EXPECT_EQ(fake.messages.shown[0].title, "Error!");
  EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::kExclamation);
  EXPECT_EQ(Ini(), " 1 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n");
  EXPECT_FALSE(fake.pointer.Busy());
  EXPECT_EQ(cursor->Position(), 2);  // the caller went on
}

TEST_F(SettingsTest, SaveInADriveRootDoesNotDoubleTheBackslash) {
  fake.program.folder = "D:\\";
  fake.files.files["D:\\verse97.mdb"] = "store";
  fake.files.files["D:\\verse.ini"] = " 0 \r\n 10 \r\n 20 \r\n 60 \r\n 1 \r\n";
  MakeForm(NumberedRows(2));
  ASSERT_EQ(Start(), StartupResult::kGoOn);
  form->SaveINI();
  EXPECT_EQ(fake.files.files.count("D:\\\\verse.ini"), 0u);
  EXPECT_EQ(fake.files.writes, 1);
  EXPECT_EQ(fake.window.bounds.left, 20);
}

}  // namespace
}  // namespace reminder::testing
