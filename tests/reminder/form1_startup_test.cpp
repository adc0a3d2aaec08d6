// Start-up, the close handler, File > Exit and the end of the session.
#include <gtest/gtest.h>

#include <algorithm>

#include "jet/errors.h"
#include "reminder_fixture.h"

namespace reminder::test {
namespace {

using StartupTest = ReminderTest;

TEST_F(StartupTest, AMissingStoreShowsOneCriticalMessageAndEndsWithoutIconOrSettings) {
  fake.files.files.erase(kStorePath);
  MakeForm(NumberedRows(3));
  EXPECT_EQ(form->Form_Initialize(), StartupResult::kEnd);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Database Not Found!");
  EXPECT_EQ(fake.messages.shown[0].title, "DATABASE MISSING!");
  EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::kCritical);
  EXPECT_EQ(form->State().ExitRequested, -1);
  EXPECT_EQ(fake.files.currentFolder, "C:\\Lumaret");
  EXPECT_EQ(Ini(), "(none)");
  EXPECT_TRUE(fake.notifyIcon.messages.empty());
  EXPECT_EQ(cursor->refreshCalls, 0);
}

TEST_F(StartupTest, ASecondCopyBeepsOnceAndEndsWithoutTouchingAnything) {
  fake.files.files[kIniPath] = " 3 \r\n 100 \r\n 200 \r\n 240 \r\n 1 \r\n";
  fake.instance.anotherRunning = true;
  EXPECT_EQ(Start(), StartupResult::kEnd);
  EXPECT_EQ(fake.beeper.beeps, 1);
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_FALSE(fake.window.visible);
  EXPECT_EQ(cursor->refreshCalls, 0);
  EXPECT_EQ(fake.files.writes, 0);
  EXPECT_EQ(Ini(), " 3 \r\n 100 \r\n 200 \r\n 240 \r\n 1 \r\n");
  EXPECT_TRUE(fake.notifyIcon.messages.empty());
}

TEST_F(StartupTest, AStoreThatWillNotOpenShowsTheFatalMessageAndLeavesTheSettingsAlone) {
  fake.files.files[kIniPath] = " 1 \r\n";
  MakeForm(NumberedRows(3));
  cursor->refreshFailures = 1;
  cursor->refreshError = jet::MakeError(jet::kErrUnrecognizedFormat, "Unrecognized database format.");
  EXPECT_EQ(Start(), StartupResult::kEnd);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "FATAL ERROR 3343 - Unrecognized database format.  loading database");
  EXPECT_EQ(fake.messages.shown[0].title, "Database error");
  EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::kExclamation);
  EXPECT_EQ(cursor->refreshCalls, 1);
  EXPECT_EQ(fake.files.writes, 0);
  EXPECT_FALSE(fake.window.visible);
  EXPECT_FALSE(fake.pointer.Busy());
}

TEST_F(StartupTest, AStoreNotReadyYetIsOpenedAgainAfterPumpingMessages) {
  MakeForm(NumberedRows(3));
  cursor->refreshFailures = 3;
  cursor->refreshError = jet::MakeError(91, "Object variable or With block variable not set");
  EXPECT_EQ(Start(), StartupResult::kGoOn);
  EXPECT_EQ(cursor->refreshCalls, 4);
  EXPECT_GE(fake.pump.calls, 3);
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_EQ(fake.window.verse.book, "Book1");
}

TEST_F(StartupTest, AStoreLockedByTheEditorIsRetriedOnlyForAFewSecondsThenReported) {
  MakeForm(NumberedRows(3));
  cursor->refreshFailures = 1000000;
  cursor->refreshError = jet::MakeError(jet::kErrLocked, "Couldn't lock file.");
  const std::uint64_t started = fake.clock.milliseconds;
  EXPECT_EQ(Start(), StartupResult::kEnd);
  EXPECT_GT(cursor->refreshCalls, 1);
  EXPECT_GE(fake.clock.milliseconds - started, Form1::kRetryMilliseconds);
  EXPECT_LT(fake.clock.milliseconds - started, 2 * Form1::kRetryMilliseconds);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "FATAL ERROR 3218 - Couldn't lock file.  loading database");
}

TEST_F(StartupTest, ShowsTheFirstRowOnTopWithTheIconRecordFilled) {
  fake.files.files[kIniPath] = " 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n";
  EXPECT_EQ(Start(), StartupResult::kGoOn);
  EXPECT_TRUE(fake.window.visible);
  EXPECT_EQ(fake.window.verse.book, "Book1");
  EXPECT_EQ(fake.window.toolTips.back(), "Verse 1");
  ASSERT_FALSE(fake.order.calls.empty());
  const auto& onTop = fake.order.calls.back();
  EXPECT_EQ(onTop.window, FakeWindow::kHandle);
  EXPECT_EQ(onTop.insertAfter, -1);
  EXPECT_EQ(onTop.flags, 3u);
  EXPECT_EQ(onTop.x + onTop.y + onTop.cx + onTop.cy, 0);
  EXPECT_EQ(fake.log.back(), "Topmost");
  EXPECT_FALSE(fake.pointer.Busy());
  EXPECT_TRUE(fake.pointer.changes.front());

  const TrayIconRecord& icon = form->State().TrayIcon;
  EXPECT_EQ(icon.cbSize, 88u);
  EXPECT_EQ(icon.hWnd, FakeWindow::kHandle);
  EXPECT_EQ(icon.hIcon, FakeWindow::kIcon);
  EXPECT_EQ(icon.uCallbackMessage, 512u);
  EXPECT_EQ(std::string(icon.szTip.data(), 8), std::string("Lumaret") + '\0');
  EXPECT_EQ(form->State().InTray, 0);
  EXPECT_TRUE(fake.notifyIcon.messages.empty());
}

TEST_F(StartupTest, TheCloseBoxSavesAndHidesIntoTheNotificationArea) {
  StartWith(" 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n");
  fake.window.RequestClose();
  EXPECT_FALSE(fake.window.destroyed);
  EXPECT_FALSE(fake.window.visible);
  EXPECT_EQ(fake.files.writes, 1);
  EXPECT_EQ(form->State().InTray, -1);
  EXPECT_TRUE(fake.notifyIcon.present);
  EXPECT_EQ(fake.log, (Log{"RequestClose", "NoTopmost", "Hide", "IconAdd"}));
}

TEST_F(StartupTest, FileExitSavesClosesTheAboutBoxRemovesTheIconAndEnds) {
  StartWith(" 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n");
  form->MinimizeCMD_Click();
  fake.about.open = true;
  fake.log.clear();
  form->FileExitMnu_Click();
  EXPECT_EQ(form->State().ExitRequested, -1);
  EXPECT_TRUE(fake.window.destroyed);
  EXPECT_FALSE(fake.about.open);
  EXPECT_FALSE(fake.notifyIcon.present);
  EXPECT_EQ(fake.files.writes, 1);
  EXPECT_EQ(fake.log, (Log{"RequestClose", "IconDelete", "AboutClose", "NoTopmost", "Destroyed"}));
}

TEST_F(StartupTest, LogOffSavesAndLetsTheWindowCloseInsteadOfHiding) {
  StartWith(" 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n");
  EXPECT_TRUE(form->Form_QueryEndSession());
  EXPECT_EQ(fake.files.writes, 1);
  fake.window.RequestClose();
  EXPECT_TRUE(fake.window.destroyed);
  EXPECT_EQ(form->State().InTray, 0);
  EXPECT_EQ(std::count(fake.log.begin(), fake.log.end(), "Hide"), 0);
}

TEST_F(StartupTest, ACancelledLogOffGoesBackToHidingOnClose) {
  StartWith(" 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n");
  EXPECT_TRUE(form->Form_QueryEndSession());
  form->Form_EndSession(false);
  fake.window.RequestClose();
  EXPECT_FALSE(fake.window.destroyed);
  EXPECT_EQ(form->State().InTray, -1);
}

TEST_F(StartupTest, TheEndOfTheSessionRemovesAnIconLeftInTheNotificationArea) {
  StartWith(" 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n");
  form->MinimizeCMD_Click();
  EXPECT_TRUE(form->Form_QueryEndSession());
  form->Form_EndSession(true);
  EXPECT_FALSE(fake.notifyIcon.present);
}

}  // namespace
}  // namespace reminder::test
