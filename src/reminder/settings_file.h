// The text format of verse.ini: one number per line, sign-space form, CR LF.
#pragma once

#include <cstdint>
#include <string>

#include "jet/result.h"

namespace reminder {

// The five values of the settings file, in file order.
struct Settings {
  std::int32_t position = 0;  // Data1's current row, -1 without one
  std::int32_t top = 0;       // window top edge, twips
  std::int32_t left = 0;      // window left edge, twips
  std::int16_t reminderMinutes = 0;
  std::int16_t autoStart = 0;  // 1 with "&Start with Windows" ticked, else 0
};

// The whole file: each number as a sign character (space or "-"), its digits,
// one space and CR LF.
std::string FormatSettings(const Settings& settings);

// One number as a line of the file, " 12 \r\n" or "-15 \r\n".
std::string FormatSettingsLine(std::int64_t value);

// Reads numbers field by field as the runtime's Input statement does: leading
// spaces are skipped, a number ends at a space, a comma or the line's end.
class SettingsReader {
 public:
  explicit SettingsReader(std::string text) : text_(std::move(text)) {}

  // The next field as a number within [minimum, maximum]. Failures: 62 past the
  // end of the text, 6 for a number outside the range, 13 for a field that is not
  // a number. An empty field reads as 0; a fraction rounds half to even.
  jet::Result<std::int64_t> Next(std::int64_t minimum, std::int64_t maximum);

 private:
  std::string text_;
  std::size_t at_ = 0;
};

}  // namespace reminder
