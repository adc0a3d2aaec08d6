// The reminder timer's minute counting, the interval menu and the chimes.
#include <gtest/gtest.h>

#include "reminder_fixture.h"

namespace reminder::test {
namespace {

class TimerTest : public ReminderTest {
 protected:
  // Starts with `minutes` as the stored interval at hh:mm:ss of the fake clock.
  void StartAt(int hours, int minutes, int seconds, int interval) {
    fake.clock.SetTime(hours, minutes, seconds);
    StartWith(" 0 \r\n 2880 \r\n 4800 \r\n " + std::to_string(interval) + " \r\n 1 \r\n");
  }

  // Ticks until the hidden window is shown again; returns false after `limit` ticks.
  bool TickUntilShown(int limit = 6 * 60 * 24) {
    for (int i = 0; i < limit; ++i) {
      Tick();
      if (fake.window.visible) return true;
    }
    return false;
  }

  std::string Now() const { return fake.clock.TimeOfDay(); }
};

TEST_F(TimerTest, TheFirstTickWithNoIntervalSetsThirtyMinutesSavesAndCountsNothing) {
  StartAt(10, 20, 30, 0);
  Tick();
  EXPECT_EQ(form->ReminderMinutes(), 30);
  EXPECT_EQ(fake.window.IntervalShown(), 0);
  EXPECT_EQ(fake.files.writes, 1);
  EXPECT_EQ(Ini(), " 0 \r\n 2880 \r\n 4800 \r\n 30 \r\n 1 \r\n");
  EXPECT_EQ(form->MinuteCounter(), 0);
  EXPECT_EQ(form->LastMinute(), 0);
  Tick();
  EXPECT_EQ(form->MinuteCounter(), 1);
  EXPECT_EQ(form->LastMinute(), 20);
}

TEST_F(TimerTest, StartedAtTenTwentyThirtyTheThirtiethChangeOfMinuteBringsTheWindowBack) {
  StartAt(10, 20, 30, 30);
  Tick();
  EXPECT_EQ(form->MinuteCounter(), 1);  // the first tick counts at once
  form->MinimizeCMD_Click();
  ASSERT_FALSE(fake.window.visible);
  ASSERT_TRUE(TickUntilShown());
  EXPECT_EQ(Now(), "10:49:00");
  EXPECT_EQ(form->MinuteCounter(), 0);
  EXPECT_EQ(form->State().InTray, 0);
  EXPECT_FALSE(fake.notifyIcon.present);
  EXPECT_EQ(fake.order.calls.back().insertAfter, -1);
}

TEST_F(TimerTest, WithOneHourEveryChangeOfMinuteCountsSoRemindersComeSixtyMinutesApart) {
  StartAt(9, 31, 30, 60);
  form->MinimizeCMD_Click();
  ASSERT_TRUE(TickUntilShown());
  EXPECT_EQ(Now(), "10:30:00");
  form->MinimizeCMD_Click();
  ASSERT_TRUE(TickUntilShown());
  EXPECT_EQ(Now(), "11:30:00");
}

TEST_F(TimerTest, AnHourBoundaryBeepsOnceWhetherShownOrHidden) {
  StartAt(10, 58, 30, 240);
  TickMinutes(3);
  EXPECT_EQ(fake.beeper.beeps, 1);
  form->MinimizeCMD_Click();
  TickMinutes(60);
  EXPECT_EQ(fake.beeper.beeps, 2);
  EXPECT_FALSE(fake.window.visible);
}

TEST_F(TimerTest, AnHourBoundaryThatAlsoEndsTheIntervalWhileHiddenBeepsTwice) {
  StartAt(10, 30, 30, 30);  // counts from 10:30, so the 30th count falls on 11:00
  form->MinimizeCMD_Click();
  fake.log.clear();
  ASSERT_TRUE(TickUntilShown());
  EXPECT_EQ(Now(), "10:59:00");
  EXPECT_EQ(fake.beeper.beeps, 1);  // the reminder chime only
  fake.beeper.beeps = 0;

  StartAt(10, 31, 30, 30);
  form->MinimizeCMD_Click();
  fake.log.clear();
  ASSERT_TRUE(TickUntilShown());
  EXPECT_EQ(Now(), "11:00:00");
  EXPECT_EQ(fake.beeper.beeps, 2);
  EXPECT_EQ(fake.log, (Log{"Beep", "Beep", "Restore", "Show", "IconDelete", "Focus", "Topmost"}));
}

TEST_F(TimerTest, WithChimesOffNothingBeepsAndTheWindowStillComesBack) {
  StartAt(10, 31, 30, 30);
  form->HourlyChimeMNU_Click();
  EXPECT_FALSE(fake.window.shown->chimes);
  EXPECT_EQ(fake.files.writes, 0);  // the chimes are not stored
  form->MinimizeCMD_Click();
  ASSERT_TRUE(TickUntilShown());
  EXPECT_EQ(fake.beeper.beeps, 0);
  form->HourlyChimeMNU_Click();
  EXPECT_TRUE(fake.window.shown->chimes);
}

TEST_F(TimerTest, AnIntervalEndingWhileShownRestoresAndFocusesWithoutAReminderBeep) {
  StartAt(10, 5, 30, 30);
  fake.log.clear();
  TickMinutes(30);
  EXPECT_EQ(fake.beeper.beeps, 0);
  EXPECT_EQ(fake.log, (Log{"Restore", "Show", "IconDelete", "Focus", "Topmost"}));
}

TEST_F(TimerTest, AShorterIntervalChosenLateFiresAtTheNextCountedMinute) {
  StartAt(10, 5, 30, 240);
  form->MinimizeCMD_Click();
  TickMinutes(100);
  ASSERT_FALSE(fake.window.visible);
  ASSERT_EQ(form->MinuteCounter(), 101);  // 10:05 and the hundred changes up to 11:45
  form->IntervalMnu_Click(0);
  EXPECT_EQ(form->MinuteCounter(), 101);
  ASSERT_TRUE(TickUntilShown(6));
  EXPECT_EQ(form->MinuteCounter(), 0);
}

TEST_F(TimerTest, TheReminderShowsTheVerseThatWasShowingWhenHidden) {
  StartAt(10, 5, 30, 30);
  form->NewVerseCMD_Click();
  form->MinimizeCMD_Click();
  ASSERT_TRUE(TickUntilShown());
  EXPECT_EQ(fake.window.verse.book, "Book2");
  EXPECT_EQ(cursor->Position(), 1);
}

TEST_F(TimerTest, EightHoursOfTicksAcrossMidnightBringOneReminderAtTheEighthHour) {
  StartAt(20, 0, 30, 480);
  form->MinimizeCMD_Click();
  int reminders = 0;
  std::string at;
  for (int i = 0; i < 6 * 60 * 9; ++i) {
    Tick();
    if (fake.window.visible) {
      ++reminders;
      at = Now();
      form->MinimizeCMD_Click();
    }
  }
  EXPECT_EQ(reminders, 1);
  // Minute 00 at start-up equals LastMinute's first value, so counting starts at 20:01.
  EXPECT_EQ(at, "04:00:00");
  EXPECT_EQ(fake.beeper.beeps, 9 + 1);  // 21:00 to 05:00 hourly, and the reminder at 04:00
}

TEST_F(TimerTest, AReminderDueDuringAFullScreenProgramWaitsForItsEndButTheHourlyChimeDoesNot) {
  StartAt(10, 31, 30, 30);
  form->MinimizeCMD_Click();
  fake.userState.fullScreen = true;
  ASSERT_FALSE(TickUntilShown(6 * 60));  // due at 11:00, held for an hour
  EXPECT_EQ(Now(), "11:31:30");
  EXPECT_EQ(fake.beeper.beeps, 1);  // the chime at 11:00, and no reminder beep
  Tick();
  EXPECT_FALSE(fake.window.visible);
  fake.userState.fullScreen = false;
  fake.log.clear();
  Tick();  // 11:31:50, within the same minute: the first tick after the end
  EXPECT_TRUE(fake.window.visible);
  EXPECT_EQ(fake.log, (Log{"Beep", "Restore", "Show", "IconDelete", "Focus", "Topmost"}));
  EXPECT_EQ(form->MinuteCounter(), 0);
  form->MinimizeCMD_Click();
  ASSERT_TRUE(TickUntilShown());
  EXPECT_EQ(Now(), "12:01:00");  // the next interval counts from the reminder
}

TEST_F(TimerTest, AfterASleepTheMinutesAsleepCountAtOnceUpToOneInterval) {
  StartAt(22, 10, 30, 60);
  form->MinimizeCMD_Click();
  TickMinutes(5);
  ASSERT_EQ(form->MinuteCounter(), 6);
  fake.clock.Advance(8 * 3600 * 1000);  // asleep until 06:15:30: no ticks
  form->Timer1_Timer();                 // the first tick after the resume
  EXPECT_TRUE(fake.window.visible);
  EXPECT_EQ(form->MinuteCounter(), 0);
  form->MinimizeCMD_Click();
  ASSERT_TRUE(TickUntilShown());
  EXPECT_EQ(Now(), "07:15:00");

  // A short sleep counts its minutes without a reminder.
  form->MinimizeCMD_Click();
  fake.clock.Advance(20 * 60 * 1000);
  form->Timer1_Timer();
  EXPECT_FALSE(fake.window.visible);
  EXPECT_EQ(form->MinuteCounter(), 20);
}

TEST_F(TimerTest, EachIntervalItemSetsItsMinutesTicksOnlyItselfAndSaves) {
  StartAt(10, 0, 0, 60);
  const std::int16_t minutes[] = {30, 60, 240, 480, 999};
  for (std::int16_t index = 0; index < 5; ++index) {
    fake.files.writes = 0;
    form->IntervalMnu_Click(index);
    EXPECT_EQ(form->ReminderMinutes(), minutes[index]);
    EXPECT_EQ(fake.window.IntervalShown(), index);
    EXPECT_EQ(fake.files.writes, 1);
    EXPECT_EQ(Ini().substr(21), " " + std::to_string(minutes[index]) + " \r\n 1 \r\n");
  }
}

TEST_F(TimerTest, AnUnknownIntervalIndexMeansThirtyMinutes) {
  StartAt(10, 0, 0, 60);
  form->IntervalMnu_Click(7);
  EXPECT_EQ(form->ReminderMinutes(), 30);
  EXPECT_EQ(fake.window.IntervalShown(), 0);
}

TEST_F(TimerTest, TicksWithinOneMinuteCountOnlyOnce) {
  StartAt(10, 20, 0, 30);
  for (int i = 0; i < 5; ++i) Tick();  // 10:20:10 to 10:20:50
  EXPECT_EQ(form->MinuteCounter(), 1);
  Tick();  // 10:21:00
  EXPECT_EQ(form->MinuteCounter(), 2);
  EXPECT_EQ(form->LastMinute(), 21);
}

}  // namespace
}  // namespace reminder::test
