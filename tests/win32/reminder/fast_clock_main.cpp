// verse_fast_clock.exe: the reminder with a clock whose minute changes on every
// reading and Timer1 ticking every 100 ms, so a test sees the window come back by
// itself within seconds. Only the tests build it; the shipped program has no such seam.
#include <windows.h>

#include <cstdio>

#include "win32/reminder/reminder_app.h"

namespace {

class FastClock final : public ::reminder::Clock {
 public:
  std::string TimeOfDay() const override {
    const int minute = minutes_++;
    char text[16] = {};
    std::snprintf(text, sizeof text, "%02d:%02d:00", (10 + minute / 60) % 24, minute % 60);
    return text;
  }
  std::uint64_t Milliseconds() const override { return real_.Milliseconds(); }
  void Sleep(std::uint32_t milliseconds) override { real_.Sleep(milliseconds); }

 private:
  mutable int minutes_ = 20;
  win32::reminder::Win32Clock real_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  FastClock clock;
  win32::reminder::ReminderOptions options;
  options.clock = &clock;
  options.timerMilliseconds = 100;
  options.mutexName = L"Lumaret.verse.FastClock";
  return win32::reminder::RunReminder(instance, options);
}
