// The 88-byte notification-icon record.
#include "reminder/tray_icon.h"

#include <gtest/gtest.h>

namespace reminder {
namespace {

std::uint32_t Field(const std::array<std::uint8_t, 88>& bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

TEST(TrayIconRecord, LaysOutEveryFieldLittleEndianInOrder) {
  TrayIconRecord record;
  record.Fill(0x12345678, 0x9ABCDEF0, "Lumaret");
  const auto bytes = record.Bytes();
  EXPECT_EQ(Field(bytes, 0), 88u);
  EXPECT_EQ(Field(bytes, 4), 0x12345678u);
  EXPECT_EQ(Field(bytes, 8), 1u);
  EXPECT_EQ(Field(bytes, 12), 7u);
  EXPECT_EQ(Field(bytes, 16), 512u);
  EXPECT_EQ(Field(bytes, 20), 0x9ABCDEF0u);
  EXPECT_EQ(bytes[4], 0x78);
}

TEST(TrayIconRecord, EndsTheTipWithOneZeroByteAndFillsTheRestWithSpaces) {
  TrayIconRecord record;
  record.Fill(1, 2, "Lumaret");
  const auto bytes = record.Bytes();
  const std::string tip(bytes.begin() + 24, bytes.end());
  EXPECT_EQ(tip, std::string("Lumaret") + '\0' + std::string(56, ' '));
}

TEST(TrayIconRecord, CutsALongCaptionSoTheZeroStillFits) {
  TrayIconRecord record;
  record.Fill(1, 2, std::string(70, 'x'));
  const auto bytes = record.Bytes();
  EXPECT_EQ(bytes[24 + 62], 'x');
  EXPECT_EQ(bytes[24 + 63], 0);
}

}  // namespace
}  // namespace reminder
