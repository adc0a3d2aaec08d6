// SaveINI and LoadINI against the settings file beside the program.
#include <gtest/gtest.h>

#include "reminder_fixture.h"

namespace reminder::test {
namespace {

using SettingsTest = ReminderTest;

// The window of the fakes is 7350 x 5670 twips on a 28800 x 16200 screen.
constexpr std::int32_t kCentredLeft = 28800 / 2 - 7350 / 2;
constexpr std::int32_t kCentredTop = 16200 / 2 - 5670 / 2;
constexpr std::int32_t kCreatedLeft = 1200;
constexpr std::int32_t kCreatedTop = 900;

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

// What LoadINI applies from each kind of file: the row, the window's edges, the interval
// in force and the one ticked, "&Start with Windows", and the message for a bad line.
struct LoadCase {
  const char* ini;
  int rows;
  const char* message;  // "" for none; shown with the title "Lumaret" and no icon
  int position;         // -1: no current row
  std::int32_t top, left;
  std::int16_t minutes;
  int interval;
  bool autoStart;
};
constexpr std::int32_t kT = kCreatedTop, kL = kCreatedLeft;
const LoadCase kLoadCases[] = {
    {"", 5, "", 0, kT, kL, 0, 1, true},  // no first run: nothing applied, the design's choices
    {" 2 \r\n 3000 \r\n 4000 \r\n", 5, "", 2, 3000, 4000, 0, 1, true},
    {" 0 \r\n 3000 \r\n 4000 \r\n 45 \r\n 1 \r\n", 5, "", 0, 3000, 4000, 45, 0, true},
    {" 0 \r\n 3000 \r\n 4000 \r\n 30 \r\n 1 \r\n", 5, "", 0, 3000, 4000, 30, 0, true},
    {" 0 \r\n 3000 \r\n 4000 \r\n 60 \r\n 0 \r\n", 5, "", 0, 3000, 4000, 60, 1, false},
    {" 0 \r\n 3000 \r\n 4000 \r\n 240 \r\n 2 \r\n", 5, "", 0, 3000, 4000, 240, 2, true},
    {" 0 \r\n 3000 \r\n 4000 \r\n 480 \r\n 1 \r\n", 5, "", 0, 3000, 4000, 480, 3, true},
    {" 0 \r\n 3000 \r\n 4000 \r\n 999 \r\n 1 \r\n", 5, "", 0, 3000, 4000, 999, 4, true},
    {" 0 \r\n 3000 \r\n 4000 \r\n 0 \r\n 1 \r\n", 5, "", 0, 3000, 4000, 0, 0, true},
    {" 1 \r\n 3000 \r\n 4000 \r\n 32768 \r\n 0 \r\n", 5, "Error 6- Overflow loading .INI", 1, 3000, 4000, 0,
     1, true},
    {" 0 \r\n top \r\n 4000 \r\n 60 \r\n 1 \r\n", 5, "Error 13- Type mismatch loading .INI", 0, kT, kL, 0, 1,
     true},
    {" 3 \r\n 3000 \r\n 4000 \r\n 480 \r\n 0 \r\n", 0, "Error 3021- No current record. loading .INI", -1, kT,
     kL, 0, 1, true},
    {"-1 \r\n 3000 \r\n 4000 \r\n 240 \r\n 1 \r\n", 5, "", -1, 3000, 4000, 240, 2, true},
    {" 12 \r\n 3000 \r\n 4000 \r\n 480 \r\n 1 \r\n", 5, "", -1, 3000, 4000, 480, 3, true},
    // Partly on the screen (350 by 670 twips): kept. Outside every monitor: centred.
    {" 0 \r\n-5000 \r\n-7000 \r\n 60 \r\n 1 \r\n", 5, "", 0, -5000, -7000, 60, 1, true},
    {" 0 \r\n 3000 \r\n-40000 \r\n 60 \r\n 1 \r\n", 5, "", 0, kCentredTop, kCentredLeft, 60, 1, true},
    {" 0 \r\n 3000 \r\n 28800 \r\n 60 \r\n 1 \r\n", 5, "", 0, kCentredTop, kCentredLeft, 60, 1, true},
};

TEST_F(SettingsTest, EachKindOfFileAppliesWhatItHoldsUpToItsFirstBadLine) {
  for (const LoadCase& c : kLoadCases) {
    SCOPED_TRACE(c.ini);
    FakePlatform platform;
    platform.files.files[kStorePath] = "store";
    platform.files.files[kIniPath] = c.ini;
    FakeVerseCursor data1(NumberedRows(c.rows));
    Form1 window(platform.platform, data1);
    ASSERT_EQ(window.Form_Initialize(), StartupResult::kGoOn);
    ASSERT_EQ(window.Form_Load(), StartupResult::kGoOn);
    if (*c.message == '\0') {
      EXPECT_TRUE(platform.messages.shown.empty());
    } else {
      ASSERT_EQ(platform.messages.shown.size(), 1u);
      EXPECT_EQ(platform.messages.shown[0].text, c.message);
      EXPECT_EQ(platform.messages.shown[0].title, "Lumaret");
      EXPECT_EQ(platform.messages.shown[0].icon, MessageIcon::kNone);
    }
    EXPECT_EQ(data1.HasCurrent() ? data1.Position() : -1, c.position);
    EXPECT_EQ(platform.window.bounds.top, c.top);
    EXPECT_EQ(platform.window.bounds.left, c.left);
    EXPECT_EQ(window.ReminderMinutes(), c.minutes);
    EXPECT_EQ(platform.window.IntervalShown(), c.interval);
    EXPECT_EQ(platform.window.shown->autoStart, c.autoStart);
    EXPECT_TRUE(platform.registry.values.empty()) << "the file's choice, not the registry's";
    EXPECT_FALSE(platform.pointer.Busy());
  }
}

TEST_F(SettingsTest, NegativeEdgesOnAMonitorLeftOfThePrimaryAreKeptAndWrittenBack) {
  fake.screen.monitors.push_back({-28800, -2000, 28800, 16200});
  StartWith(" 0 \r\n-300 \r\n-7000 \r\n 60 \r\n 1 \r\n");
  EXPECT_EQ(fake.window.bounds.top, -300);
  EXPECT_EQ(fake.window.bounds.left, -7000);
  form->SaveINI();
  EXPECT_EQ(Ini(), " 0 \r\n-300 \r\n-7000 \r\n 60 \r\n 1 \r\n");
}

TEST_F(SettingsTest, MinusOneLeavesNoCurrentRowUntilNextVerse) {
  StartWith("-1 \r\n 3000 \r\n 4000 \r\n 240 \r\n 1 \r\n");
  EXPECT_EQ(fake.window.toolTips.back(), "Verse 0");
  form->NewVerseCMD_Click();
  EXPECT_EQ(fake.window.verse.book, "Book1");
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
}  // namespace reminder::test
