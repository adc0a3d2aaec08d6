// Form1: the reminder timer, the interval menu and the chimes item.
#include <algorithm>
#include <limits>

#include "reminder/form1.h"

namespace reminder {

namespace {

constexpr std::uint64_t kMillisecondsPerMinute = 60000;

// The minute of the hour from "hh:mm:ss"; -1 when the text is not in that form.
int MinuteOf(const std::string& timeOfDay) {
  if (timeOfDay.size() < 5) return -1;
  const char tens = timeOfDay[3];
  const char ones = timeOfDay[4];
  if (tens < '0' || tens > '5' || ones < '0' || ones > '9') return -1;
  return (tens - '0') * 10 + (ones - '0');
}

}  // namespace

void Form1::Timer1_Timer() {
  const std::uint64_t now = platform_.clock.Milliseconds();
  const std::uint64_t elapsed = now - lastTickMilliseconds_;
  lastTickMilliseconds_ = now;
  if (choices_.reminderMinutes == 0) {
    // First run: settle on thirty minutes, which creates the settings file.
    IntervalMnu_Click(0);
    return;
  }
  const int minute = MinuteOf(platform_.clock.TimeOfDay());
  if (minute < 0) return;

  // Ticks ten seconds apart see every change of minute. A longer gap is the
  // computer's sleep: its minutes count at once, at most one interval's worth.
  const std::uint64_t bound = static_cast<std::uint64_t>(std::max<int>(choices_.reminderMinutes, 1));
  int counted = static_cast<int>(std::min<std::uint64_t>(elapsed / kMillisecondsPerMinute, bound));
  if (minute != lastMinute_) {
    // Every change of minute counts, so an hour is sixty counted minutes.
    lastMinute_ = static_cast<std::int16_t>(minute);
    if (lastMinute_ == 0 && choices_.chimes) platform_.beeper.Beep();
    counted = std::max(counted, 1);
  }
  if (counted == 0 && !reminderHeld_) return;
  minuteCounter_ = static_cast<std::int16_t>(
      std::min<int>(minuteCounter_ + counted, std::numeric_limits<std::int16_t>::max()));
  if (minuteCounter_ < choices_.reminderMinutes) return;

  // Not in the middle of a film, a presentation or a game: the reminder waits.
  reminderHeld_ = platform_.userState.FullScreenBusy();
  if (reminderHeld_) return;
  minuteCounter_ = 0;
  if (choices_.chimes && state_.InTray != kFalse) platform_.beeper.Beep();
  ShowReminder();
}

void Form1::ShowReminder() { module1_.ShowFromTray(platform_.window); }

void Form1::IntervalMnu_Click(std::int16_t index) {
  ChooseInterval(index);
  SaveINI();
}

void Form1::ChooseInterval(int index) {
  choices_.reminderMinutes = IntervalAt(index).minutes;
  platform_.window.ShowChoices(choices_);
}

void Form1::HourlyChimeMNU_Click() {
  choices_.chimes = !choices_.chimes;
  platform_.window.ShowChoices(choices_);
}

}  // namespace reminder
