// Fuzz target: the settings file's reader as LoadINI uses it, on text a user may have
// edited by hand. Whatever it accepts must come back unchanged when written out and read again.
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "reminder/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // LoadINI's fields in file order: position, top, left, minutes, autostart.
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min(),
                         kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t kFields[][2] = {
      {kMin, kMax}, {kMin, kMax}, {kMin, kMax}, {-32768, 32767}, {kMin, kMax}};
  reminder::SettingsReader reader(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<std::int64_t> read;
  std::string written;  // what was read, as SaveINI writes it
  for (const auto& field : kFields) {
    auto value = reader.Next(field[0], field[1]);
    if (!value.ok()) break;
    if (*value < field[0] || *value > field[1]) std::abort();
    read.push_back(*value);
    written += reminder::FormatSettingsLine(*value);
  }
  reminder::SettingsReader again(written);
  for (std::size_t i = 0; i < read.size(); ++i) {
    auto value = again.Next(kFields[i][0], kFields[i][1]);
    if (!value.ok() || *value != read[i]) std::abort();
  }
  return 0;
}
