// Writing and reading the settings file's numbers.
#include "reminder/settings_file.h"


#include "reminder/runtime_errors.h"

namespace reminder {

std::string FormatSettingsLine(std::int64_t value) {
  std::string line = value < 0 ? "-" : " ";
  // Magnitude through unsigned arithmetic so the most negative value works too.
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                      : static_cast<std::uint64_t>(value);
  line += std::to_string(magnitude);
  line += " \r\n";
  return line;
}

std::string FormatSettings(const Settings& settings) {
  return FormatSettingsLine(settings.position) + FormatSettingsLine(settings.top) +
         FormatSettingsLine(settings.left) + FormatSettingsLine(settings.reminderMinutes) +
         FormatSettingsLine(settings.autoStart);
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Parses an optional sign, digits and an optional fraction; rounds half to even.
// Returns false for anything else. Saturates far outside every field's range so
// overflow is still detected.
bool ParseNumber(const std::string& field, std::int64_t* value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
  constexpr std::int64_t kSaturate = std::int64_t{1} << 40;
  std::int64_t whole = 0;
  bool anyDigit = false;
  for (; i < field.size() && IsDigit(field[i]); ++i) {
    anyDigit = true;
    if (whole < kSaturate) whole = whole * 10 + (field[i] - '0');
  }
  bool roundUp = false;
  if (i < field.size() && field[i] == '.') {
    ++i;
    std::string fraction;
    for (; i < field.size() && IsDigit(field[i]); ++i) {
      anyDigit = true;
      fraction += field[i];
    }
    if (!fraction.empty()) {
      const bool aboveHalf = fraction[0] > '5' ||
                             (fraction[0] == '5' && fraction.find_first_not_of('0', 1) != std::string::npos);
      const bool exactlyHalf = fraction[0] == '5' && !aboveHalf;
      roundUp = aboveHalf || (exactlyHalf && whole % 2 == 1);
    }
  }
  if (!anyDigit || i != field.size()) return false;
  if (roundUp) ++whole;
  *value = negative ? -whole : whole;
  return true;
}

}  // namespace

jet::Result<std::int64_t> SettingsReader::Next(std::int64_t minimum, std::int64_t maximum) {
  while (at_ < text_.size() && text_[at_] == ' ') ++at_;
  if (at_ >= text_.size()) return RuntimeFailure(kErrInputPastEnd);
  const std::size_t start = at_;
  while (at_ < text_.size() && text_[at_] != ' ' && text_[at_] != ',' && text_[at_] != '\r' &&
         text_[at_] != '\n') {
    ++at_;
  }
  const std::string field = text_.substr(start, at_ - start);
  // The delimiter: trailing spaces, then one comma or one line end.
  while (at_ < text_.size() && text_[at_] == ' ') ++at_;
  if (at_ < text_.size() && text_[at_] == ',') {
    ++at_;
  } else if (at_ < text_.size() && text_[at_] == '\r') {
    ++at_;
    if (at_ < text_.size() && text_[at_] == '\n') ++at_;
  } else if (at_ < text_.size() && text_[at_] == '\n') {
    ++at_;
  }

  std::int64_t value = 0;
  if (!field.empty() && !ParseNumber(field, &value)) return RuntimeFailure(kErrTypeMismatch);
  if (value < minimum || value > maximum) return RuntimeFailure(kErrOverflow);
  return value;
}

}  // namespace reminder
