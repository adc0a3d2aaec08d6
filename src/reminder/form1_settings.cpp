// Form1: SaveINI and LoadINI, the settings file verse.ini beside the program.
#include <limits>

#include "reminder/form1.h"
#include "reminder/runtime_errors.h"
#include "reminder/settings_file.h"

namespace reminder {

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt16Min = std::numeric_limits<std::int16_t>::min();
constexpr std::int64_t kInt16Max = std::numeric_limits<std::int16_t>::max();

bool ObjectNotSet(int number) { return number == kErrObjectNotSet; }

bool Overlaps(const TwipsRect& a, const TwipsRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

}  // namespace

std::string Form1::SettingsPath() const { return JoinPath(platform_.program.Folder(), kSettingsFile); }

void Form1::SaveINI() {
  platform_.pointer.SetBusy(true);
  const TwipsRect bounds = platform_.window.Bounds();
  Settings settings;
  settings.position = data1_.Position();
  settings.top = bounds.top;
  settings.left = bounds.left;
  settings.reminderMinutes = choices_.reminderMinutes;
  settings.autoStart = choices_.autoStart ? 1 : 0;
  // Written whole beside the old file, so a failure leaves the old settings intact.
  const jet::Status written = platform_.files.WriteFileAtomically(SettingsPath(), FormatSettings(settings));
  if (!written.ok()) {
    platform_.messages.Show("Error saving .ini data in " + platform_.program.Folder() + "\r\n" + "Error #" +
                                std::to_string(written.error().number) + " - " + written.error().description,
                            "Error!", MessageIcon::kExclamation);
  }
  platform_.pointer.SetBusy(false);
}

void Form1::LoadINI() {
  platform_.pointer.SetBusy(true);
  const jet::Result<std::string> text = platform_.files.ReadFile(SettingsPath());
  if (!text.ok()) {
    LoadFirstRun();
    platform_.pointer.SetBusy(false);
    return;
  }
  SettingsReader reader(text.value());
  bool positionApplied = false;
  const jet::Status loaded = [&]() -> jet::Status {
    JET_ASSIGN(const std::int64_t position, reader.Next(kInt32Min, kInt32Max));
    JET_TRY(RetryWhile([&] { return data1_.Move(static_cast<int>(position)); }, ObjectNotSet));
    JET_ASSIGN(const std::int64_t top, reader.Next(kInt32Min, kInt32Max));
    platform_.window.SetTop(static_cast<std::int32_t>(top));
    positionApplied = true;
    JET_ASSIGN(const std::int64_t left, reader.Next(kInt32Min, kInt32Max));
    platform_.window.SetLeft(static_cast<std::int32_t>(left));
    JET_ASSIGN(const std::int64_t minutes, reader.Next(kInt16Min, kInt16Max));
    choices_.reminderMinutes = static_cast<std::int16_t>(minutes);
    JET_ASSIGN(const std::int64_t autoStart, reader.Next(kInt32Min, kInt32Max));
    // The choice is what the file says; the registry is not touched.
    choices_.autoStart = autoStart != 0;
    return jet::Ok();
  }();
  platform_.window.ShowChoices(choices_);
  // A short file stops reading silently; whatever was read before stays applied.
  if (!loaded.ok() && loaded.error().number != kErrInputPastEnd) {
    platform_.messages.Show("Error " + std::to_string(loaded.error().number) + "- " +
                                loaded.error().description + " loading .INI",
                            kProgramTitle, MessageIcon::kNone);
  }
  if (positionApplied) KeepOnAMonitor();
  platform_.pointer.SetBusy(false);
}

void Form1::LoadFirstRun() {
  CentreWindow();
  ApplyAutoStart(true);
}

void Form1::CentreWindow() {
  const TwipsRect bounds = platform_.window.Bounds();
  platform_.window.SetLeft(platform_.screen.Width() / 2 - bounds.width / 2);
  platform_.window.SetTop(platform_.screen.Height() / 2 - bounds.height / 2);
}

void Form1::KeepOnAMonitor() {
  const TwipsRect bounds = platform_.window.Bounds();
  const std::vector<TwipsRect> monitors = platform_.screen.Monitors();
  if (monitors.empty()) return;  // nothing known to test against: keep what was read
  for (const TwipsRect& monitor : monitors) {
    if (Overlaps(bounds, monitor)) return;
  }
  // A monitor that held the window has gone; it would be unreachable.
  CentreWindow();
}

}  // namespace reminder
