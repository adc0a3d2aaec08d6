// The settings file's number format, written and read back.
#include "reminder/settings_file.h"

#include <gtest/gtest.h>

#include <limits>

namespace reminder::test {
namespace {

TEST(SettingsFile, WritesEachNumberWithItsSignOneSpaceAndCrLf) {
  EXPECT_EQ(FormatSettings({12, -2880, 4800, 60, 1}), " 12 \r\n-2880 \r\n 4800 \r\n 60 \r\n 1 \r\n");
  EXPECT_EQ(FormatSettingsLine(0), " 0 \r\n");
  EXPECT_EQ(FormatSettingsLine(std::numeric_limits<std::int32_t>::min()), "-2147483648 \r\n");
}

// Every field of a text read within a 16-bit or 32-bit range: the numbers, or E and the
// error number (the reader goes on after an error, up to the end of the text, E62).
TEST(SettingsFile, ReadsFieldsAsTheRuntimesInputStatementDoes) {
  const struct {
    const char* text;
    int bits;
    const char* read;
  } cases[] = {
      {" 12 \r\n-2880 \r\n 4800 \r\n", 32, "12 -2880 4800 E62"},
      {"7\r\n  -3\n+45", 32, "7 -3 45 E62"},  // typed by hand: no spaces, a lone line feed
      {"1,2 3\r\n", 32, "1 2 3 E62"},
      {"", 32, "E62"},
      {" 5 \r\n   ", 32, "5 E62"},
      {"\r\n 9 \r\n", 32, "0 9 E62"},
      {"abc\r\n12x\r\n", 32, "E13 E13 E62"},
      {"2880.5 2881.5 10.49 -7.6 2.51 .5", 32, "2880 2882 10 -8 3 0 E62"},  // half to even
      {" 32768 \r\n 32767 \r\n-32768 \r\n-32769 \r\n", 16, "E6 32767 -32768 E6 E62"},
      {" 2147483648 -2147483648 99999999999999999999999", 32, "E6 -2147483648 E6 E62"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::int64_t max = c.bits == 16 ? 32767 : 2147483647;
    SettingsReader reader(c.text);
    std::string read;
    for (int field = 0; field < 8 && read.find("E62") == std::string::npos; ++field) {
      const jet::Result<std::int64_t> next = reader.Next(-max - 1, max);
      read += (read.empty() ? "" : " ") +
              (next.ok() ? std::to_string(next.value()) : "E" + std::to_string(next.error().number));
    }
    EXPECT_EQ(read, c.read);
  }
}

}  // namespace
}  // namespace reminder::test
