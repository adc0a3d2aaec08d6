// Fuzz target: the settings file's reader as LoadINI uses it, on text a user may
// have edited by hand. Whatever it accepts must come back unchanged when written
// out and read again.
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "reminder/settings_file.h"

namespace {

struct Range {
  std::int64_t minimum;
  std::int64_t maximum;
};

// LoadINI's fields in file order: position, top, left, minutes, autostart.
constexpr Range kFields[] = {
    {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()},
    {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()},
    {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()},
    {std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()},
    {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  reminder::SettingsReader reader(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<std::int64_t> read;
  for (const Range& field : kFields) {
    auto value = reader.Next(field.minimum, field.maximum);
    if (!value.ok()) break;
    if (*value < field.minimum || *value > field.maximum) std::abort();  // a value outside its range
    read.push_back(*value);
  }
  // What was read, written as SaveINI writes it, must read back the same.
  std::string written;
  for (std::int64_t value : read) written += reminder::FormatSettingsLine(value);
  reminder::SettingsReader again(written);
  for (std::size_t i = 0; i < read.size(); ++i) {
    auto value = again.Next(kFields[i].minimum, kFields[i].maximum);
    if (!value.ok() || *value != read[i]) std::abort();
  }
  return 0;
}
