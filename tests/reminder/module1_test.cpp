// Hiding into the notification area, the icon's mouse events, "&Amen" and the
// start-with-Windows registration.
#include "reminder/module1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "platform_contract.h"
#include "reminder_fixture.h"

namespace reminder::test {
namespace {

constexpr char kSettings[] = " 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n";

class TrayTest : public ReminderTest {
 protected:
  void SetUp() override { StartWith(kSettings); }
};

TEST_F(TrayTest, HideToTrayDropsTopmostHidesAddsTheIconAndSetsInTray) {
  form->MinimizeCMD_Click();
  EXPECT_EQ(fake.log, (Log{"NoTopmost", "Hide", "IconAdd"}));
  const auto& order = fake.order.calls.back();
  EXPECT_EQ(order.window, FakeWindow::kHandle);
  EXPECT_EQ(order.insertAfter, -2);
  EXPECT_EQ(order.flags, 3u);
  EXPECT_EQ(form->State().InTray, -1);
  EXPECT_EQ(fake.notifyIcon.messages.back(), 0u);
  const auto& bytes = fake.notifyIcon.lastRecord;
  EXPECT_EQ(bytes[0], 88);
  EXPECT_EQ(std::string(bytes.begin() + 24, bytes.begin() + 32), std::string("Lumaret") + '\0');
  EXPECT_EQ(bytes[87], ' ');
}

TEST_F(TrayTest, ALeftPressOnTheIconShowsTheWindowInOrder) {
  form->MinimizeCMD_Click();
  fake.log.clear();
  form->Form_MouseMove(513);
  EXPECT_EQ(fake.log, (Log{"Restore", "Show", "IconDelete", "Focus", "Topmost"}));
  EXPECT_EQ(form->State().InTray, 0);
  EXPECT_TRUE(fake.window.visible);
  EXPECT_FALSE(fake.notifyIcon.present);
}

TEST_F(TrayTest, OtherIconEventsLeaveTheWindowHidden) {
  form->MinimizeCMD_Click();
  fake.log.clear();
  // Plain move, left release, left double click, right press and release, middle press.
  for (int message : {512, 514, 515, 516, 517, 518, 519}) form->Form_MouseMove(message);
  EXPECT_TRUE(fake.log.empty());
  EXPECT_FALSE(fake.window.visible);
  EXPECT_EQ(form->State().InTray, -1);
}

TEST_F(TrayTest, ALeftDoubleClickShowsTheWindowThroughItsFirstPressOnly) {
  form->MinimizeCMD_Click();
  fake.log.clear();
  for (int message : {513, 514, 515, 514}) form->Form_MouseMove(message);
  EXPECT_EQ(std::count(fake.log.begin(), fake.log.end(), "Show"), 1);
  EXPECT_TRUE(fake.window.visible);
}

TEST_F(TrayTest, MouseMovesOverTheShownWindowDoNothingWhateverTheirPosition) {
  for (int x : {0, 100, 512, 513, 7000}) form->Form_MouseMove(x);
  EXPECT_TRUE(fake.log.empty());
}

TEST_F(TrayTest, ANewNotificationAreaGetsTheIconAgainOnlyWhileHidden) {
  form->TaskbarCreated();
  EXPECT_TRUE(fake.notifyIcon.messages.empty());
  form->MinimizeCMD_Click();
  fake.notifyIcon.present = false;  // the shell restarted
  form->TaskbarCreated();
  EXPECT_TRUE(fake.notifyIcon.present);
  EXPECT_EQ(fake.notifyIcon.messages, (std::vector<std::uint32_t>{0, 0}));
}

TEST_F(TrayTest, AmenUnderStartupOnlyEndsTheProgramInsteadOfHiding) {
  form->IntervalMnu_Click(4);
  fake.about.open = true;
  fake.files.writes = 0;
  fake.log.clear();
  form->MinimizeCMD_Click();
  EXPECT_EQ(form->State().ExitRequested, -1);
  EXPECT_TRUE(fake.window.destroyed);
  EXPECT_FALSE(fake.about.open);
  EXPECT_EQ(fake.files.writes, 1);
  EXPECT_EQ(form->State().InTray, 0);
  EXPECT_EQ(fake.log, (Log{"AboutClose", "RequestClose", "IconDelete", "AboutClose", "NoTopmost", "Destroyed"}));
}

TEST_F(TrayTest, AmenWithNineHundredNinetyNineMinutesFromAShortFileEndsTheProgram) {
  StartWith(" 0 \r\n 2880 \r\n 4800 \r\n 999 \r\n");
  EXPECT_EQ(fake.window.IntervalShown(), 4);
  form->MinimizeCMD_Click();
  EXPECT_TRUE(fake.window.destroyed);
}

class AutoStartTest : public ReminderTest {
 protected:
  void SetUp() override { StartWith(kSettings); }
  Module1& module() { return form->Module(); }
};

TEST_F(AutoStartTest, OnWritesTheProgramsFullPathWithItsZeroCounted) {
  EXPECT_EQ(module().SetAutoStart(-1), 0);
  const auto& value = fake.registry.values.at(kRunPath);
  EXPECT_EQ(value.type, 1u);
  EXPECT_EQ(value.data, std::string("C:\\Lumaret\\verse.exe") + '\0');
  EXPECT_EQ(value.data.size(), 21u);
  EXPECT_TRUE(fake.registry.openKeys.empty());
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(AutoStartTest, AnyNonZeroValueCountsAsOn) {
  EXPECT_EQ(module().SetAutoStart(1), 0);
  EXPECT_EQ(fake.registry.values.count(kRunPath), 1u);
}

TEST_F(AutoStartTest, APathWithASpaceIsWrittenInQuotes) {
  fake.program.folder = "C:\\Program Files\\Lumaret";
  EXPECT_EQ(module().SetAutoStart(-1), 0);
  EXPECT_EQ(fake.registry.values.at(kRunPath).data, std::string("\"C:\\Program Files\\Lumaret\\verse.exe\"") + '\0');
}

TEST(FakePlatformTest, TheFakesKeepTheContractsOfTheRealServices) {
  FakePlatform fake;
  CheckRegistryContract(fake.registry, Registry::kCurrentUser, "Software\\Lumaret\\Contract");
  fake.files.folders.insert("C:\\Lumaret");
  CheckFileSystemContract(fake.files, "C:\\Lumaret");
  CheckClockContract(fake.clock);
}

// Start with Windows turned over by its menu item, against every combination of a
// machine key and a user key that may refuse changes and may hold the value already.
struct AutoStartCase {
  const char* name;
  bool turnOn;
  bool machineRefuses, userRefuses;
  bool inMachine, inUser;        // before
  const char* message;           // "" for none
  bool machineAfter, userAfter;  // the check mark and the saved setting show either
};

void PrintTo(const AutoStartCase& c, std::ostream* out) { *out << c.name; }

constexpr char kNotWritten[] = "Error 1 setting registry autorun ...";
constexpr char kNotRemoved[] = "Error 2 setting registry autorun ...";

constexpr AutoStartCase kAutoStartCases[] = {
    {"OnMachineWritable", true, false, false, false, false, "", true, false},
    {"OnOnlyMachineWritable", true, false, true, false, false, "", true, false},
    {"OnMachineRefusedFallsBackToUser", true, true, false, false, false, "", false, true},
    {"OnBothRefused", true, true, true, false, false, kNotWritten, false, false},
    {"OnMachineWritableDropsTheUsersOldCopy", true, false, false, false, true, "", true, false},
    {"OnMachineRefusedButHoldingItAddsNoCopy", true, true, false, true, false, "", true, false},
    {"OffBothWritableRemovesBoth", false, false, false, true, true, "", false, false},
    {"OffBothWritableFromMachine", false, false, false, true, false, "", false, false},
    {"OffBothWritableFromUser", false, false, false, false, true, "", false, false},
    {"OffBothWritableNowhere", false, false, false, false, false, "", false, false},
    {"OffMachineRefusedHoldingIt", false, true, false, true, false, kNotRemoved, true, false},
    {"OffMachineRefusedBothHoldingIt", false, true, false, true, true, kNotRemoved, true, false},
    {"OffMachineRefusedUserHoldsIt", false, true, false, false, true, "", false, false},
    {"OffMachineRefusedNowhere", false, true, false, false, false, "", false, false},
    {"OffUserRefusedHoldingIt", false, false, true, false, true, kNotRemoved, false, true},
    {"OffUserRefusedBothHoldingIt", false, false, true, true, true, kNotRemoved, false, true},
    {"OffUserRefusedMachineHoldsIt", false, false, true, true, false, "", false, false},
    {"OffUserRefusedNowhere", false, false, true, false, false, "", false, false},
    {"OffBothRefusedBothHoldingIt", false, true, true, true, true, kNotRemoved, true, true},
    {"OffBothRefusedMachineHoldsIt", false, true, true, true, false, kNotRemoved, true, false},
    {"OffBothRefusedUserHoldsIt", false, true, true, false, true, kNotRemoved, false, true},
    {"OffBothRefusedNowhere", false, true, true, false, false, "", false, false},
};

class AutoStartMenuTest : public ReminderTest, public ::testing::WithParamInterface<AutoStartCase> {};

TEST_P(AutoStartMenuTest, TheRegistryTheMessageTheCheckMarkAndTheSavedSettingAgree) {
  const AutoStartCase& c = GetParam();
  StartWith(c.turnOn ? " 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 0 \r\n" : kSettings);
  // Both Run keys exist, as on every Windows: a refused key is opened, not missing.
  for (const std::string value : {kRunPath, kUserRunPath}) {
    fake.registry.keys.insert(value.substr(0, value.rfind('|')));
  }
  const FakeRegistry::Value command{1, std::string("C:\\Lumaret\\verse.exe") + '\0'};
  if (c.inMachine) fake.registry.values[kRunPath] = command;
  if (c.inUser) fake.registry.values[kUserRunPath] = command;
  if (c.machineRefuses) fake.registry.readOnlyRoots.insert(Registry::kLocalMachine);
  if (c.userRefuses) fake.registry.readOnlyRoots.insert(Registry::kCurrentUser);

  form->OptionsAutoStartMnu_Click();

  EXPECT_EQ(fake.registry.values.count(kRunPath), c.machineAfter ? 1u : 0u);
  EXPECT_EQ(fake.registry.values.count(kUserRunPath), c.userAfter ? 1u : 0u);
  if (c.userAfter && !c.inUser) {
    EXPECT_EQ(fake.registry.values.at(kUserRunPath).data, command.data);
  }
  const std::string message = fake.messages.shown.empty() ? "" : fake.messages.shown[0].text;
  EXPECT_EQ(message, c.message);
  EXPECT_LE(fake.messages.shown.size(), 1u);
  const bool registered = c.machineAfter || c.userAfter;
  EXPECT_EQ(fake.window.shown->autoStart, registered);
  EXPECT_EQ(Ini().substr(Ini().size() - 5), registered ? " 1 \r\n" : " 0 \r\n");
  EXPECT_TRUE(fake.registry.openKeys.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryRefusal, AutoStartMenuTest, ::testing::ValuesIn(kAutoStartCases),
                         [](const ::testing::TestParamInfo<AutoStartCase>& param) { return param.param.name; });

TEST_F(AutoStartTest, AKeyThatCannotBeCreatedGivesCodeOneAndTriesNothingElse) {
  fake.registry.createError = 6;
  EXPECT_EQ(module().SetAutoStart(-1), 1);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Error 1 setting registry autorun ...");
  EXPECT_EQ(fake.messages.shown[0].title, "Lumaret");
  EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::kNone);
  // The machine's key, a look whether it holds the value already, then the user's key.
  EXPECT_EQ(fake.log, (Log{"RegCreateKey", "RegOpenKey", "RegCreateKey", "Message Lumaret"}));
}

TEST_F(AutoStartTest, AFailedWriteGivesCodeTwoAndStillClosesTheKey) {
  fake.registry.setError = 6;
  EXPECT_EQ(module().SetAutoStart(-1), 2);
  EXPECT_EQ(fake.messages.shown.at(0).text, "Error 2 setting registry autorun ...");
  EXPECT_TRUE(fake.registry.openKeys.empty());
}

TEST_F(AutoStartTest, FourFailedClosesGiveCodeThreeWithMessagesPumpedBetweenAndNoSecondKey) {
  fake.registry.setError = 6;
  fake.registry.closeFailures = 4;
  const int pumped = fake.pump.calls;
  EXPECT_EQ(module().SetAutoStart(-1), 3);
  EXPECT_EQ(fake.registry.closeCalls, 4);
  EXPECT_EQ(fake.pump.calls - pumped, 3);
  EXPECT_EQ(fake.messages.shown.at(0).text, "Error 3 setting registry autorun ...");
}

TEST_F(AutoStartTest, FourFailedClosesGiveCodeThreeAfterASuccessfulWriteOrRemovalToo) {
  fake.registry.closeFailures = 4;
  EXPECT_EQ(module().WriteRegString(Registry::kLocalMachine, kRunKey, kRunValue, "x"), 3);
  fake.registry.closeFailures = 4;
  EXPECT_EQ(module().DeleteRegValue(Registry::kLocalMachine, kRunKey, kRunValue), 3);
  EXPECT_TRUE(fake.registry.values.empty());
  EXPECT_EQ(fake.registry.closeCalls, 8);
}

TEST_F(AutoStartTest, AKeyClosedAtTheFourthAttemptIsSuccess) {
  fake.registry.closeFailures = 3;
  EXPECT_EQ(module().SetAutoStart(-1), 0);
  EXPECT_EQ(fake.registry.closeCalls, 4);
  EXPECT_TRUE(fake.messages.shown.empty());
}

}  // namespace
}  // namespace reminder::test
