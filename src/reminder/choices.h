// The user's choices on the Options menu: how often the verse comes back, the hourly
// chimes and the start with Windows. Form1 keeps them; the menu shows them.
#pragma once

#include <array>
#include <cstdint>

namespace reminder {

// One item of the menu "Reminder Interval", in menu order.
struct Interval {
  int index;             // the item's place in the menu
  const char* caption;   // the item's text
  std::int16_t minutes;  // between reminders, as the settings file keeps it
};

inline constexpr std::array<Interval, 5> kIntervals{{
    {0, "&Thirty Minutes", 30},
    {1, "&One Hour", 60},
    {2, "&Four Hours", 240},
    {3, "&Eight Hours", 480},
    // The verse once at start-up: "&Amen" then ends the program.
    {4, "&Startup Only", 999},
}};
inline constexpr std::int16_t kStartupOnlyMinutes = kIntervals[4].minutes;

// The item chosen as `index`; the first for an index outside the menu.
constexpr const Interval& IntervalAt(int index) {
  return index >= 0 && index < static_cast<int>(kIntervals.size())
             ? kIntervals[static_cast<std::size_t>(index)]
             : kIntervals[0];
}

// The item that shows `minutes`: its own, or the first for a value no item has (a
// settings file may hold any; the value stays in force all the same).
constexpr const Interval& IntervalShowing(std::int16_t minutes) {
  for (const Interval& interval : kIntervals) {
    if (interval.minutes == minutes) return interval;
  }
  return kIntervals[0];
}

struct Choices {
  // 0 until the first run settles on thirty minutes at the first tick.
  std::int16_t reminderMinutes = 0;
  bool chimes = true;
  bool autoStart = true;
};

}  // namespace reminder
