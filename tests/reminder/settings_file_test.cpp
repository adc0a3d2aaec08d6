// The settings file's number format, written and read.
#include "reminder/settings_file.h"

#include <gtest/gtest.h>

#include <limits>

#include "reminder/runtime_errors.h"

namespace reminder::test {
namespace {

constexpr std::int64_t kInt16Min = std::numeric_limits<std::int16_t>::min();
constexpr std::int64_t kInt16Max = std::numeric_limits<std::int16_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

TEST(SettingsFormat, WritesTheWorkedExampleAsThirtyThreeBytes) {
  Settings settings;
  settings.position = 12;
  settings.top = 2880;
  settings.left = 4800;
  settings.reminderMinutes = 60;
  settings.autoStart = 1;
  const std::string text = FormatSettings(settings);
  EXPECT_EQ(text, " 12 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n");
  EXPECT_EQ(text.size(), 33u);
}

TEST(SettingsFormat, WritesNegativeNumbersWithAMinusInPlaceOfTheSpace) {
  EXPECT_EQ(FormatSettingsLine(-1), "-1 \r\n");
  EXPECT_EQ(FormatSettingsLine(-1215), "-1215 \r\n");
  EXPECT_EQ(FormatSettingsLine(0), " 0 \r\n");
  EXPECT_EQ(FormatSettingsLine(kInt32Min), "-2147483648 \r\n");
}

TEST(SettingsReader, ReadsTheWrittenFormBack) {
  SettingsReader reader(" 12 \r\n-2880 \r\n 4800 \r\n");
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), 12);
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), -2880);
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), 4800);
}

TEST(SettingsReader, ReadsHandTypedLinesWithoutSpacesAndWithLoneLineFeeds) {
  SettingsReader reader("7\r\n  -3\n45");
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), 7);
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), -3);
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), 45);
}

TEST(SettingsReader, EndsANumberAtACommaOrASpace) {
  SettingsReader reader("1,2 3\r\n");
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), 1);
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), 2);
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), 3);
}

TEST(SettingsReader, ReportsInputPastEndOfFileOnEmptyTextAndAfterTheLastLine) {
  SettingsReader empty("");
  const auto none = empty.Next(kInt32Min, kInt32Max);
  ASSERT_FALSE(none.ok());
  EXPECT_EQ(none.error().number, 62);
  EXPECT_EQ(none.error().description, "Input past end of file");

  SettingsReader one(" 5 \r\n   ");
  EXPECT_EQ(one.Next(kInt32Min, kInt32Max).value(), 5);
  EXPECT_EQ(one.Next(kInt32Min, kInt32Max).error().number, 62);
}

TEST(SettingsReader, ReportsOverflowForANumberTooLargeForItsField) {
  SettingsReader reader(" 32768 \r\n 32767 \r\n-32769 \r\n 99999999999999999999999 \r\n");
  const auto tooLarge = reader.Next(kInt16Min, kInt16Max);
  ASSERT_FALSE(tooLarge.ok());
  EXPECT_EQ(tooLarge.error().number, 6);
  EXPECT_EQ(tooLarge.error().description, "Overflow");
  EXPECT_EQ(reader.Next(kInt16Min, kInt16Max).value(), 32767);
  EXPECT_EQ(reader.Next(kInt16Min, kInt16Max).error().number, 6);
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).error().number, 6);
}

TEST(SettingsReader, ReportsTypeMismatchForAFieldThatIsNoNumber) {
  SettingsReader reader("abc\r\n12x\r\n");
  const auto word = reader.Next(kInt32Min, kInt32Max);
  ASSERT_FALSE(word.ok());
  EXPECT_EQ(word.error().number, kErrTypeMismatch);
  EXPECT_EQ(word.error().description, "Type mismatch");
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).error().number, kErrTypeMismatch);
}

TEST(SettingsReader, ReadsAnEmptyLineAsZero) {
  SettingsReader reader("\r\n 9 \r\n");
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), 0);
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), 9);
}

TEST(SettingsReader, RoundsFractionsHalfToEven) {
  SettingsReader reader("2880.5 2881.5 10.49 -7.6");
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), 2880);
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), 2882);
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), 10);
  EXPECT_EQ(reader.Next(kInt32Min, kInt32Max).value(), -8);
}

}  // namespace
}  // namespace reminder::test
