// The 88-byte notification-icon record, byte for byte as Shell_NotifyIconA reads it.
#include "reminder/tray_icon.h"

#include <gtest/gtest.h>

#include <string>

namespace reminder::test {
namespace {

TEST(TrayIconRecord, IsSixLittleEndianFieldsThenTheTipEndedByOneZeroAndFilledWithSpaces) {
  TrayIconRecord record;
  record.Fill(0x12345678, 0x9ABCDEF0, "Lumaret");
  const auto bytes = record.Bytes();
  // cbSize 88, hWnd, uID 1, uFlags 7 (message, icon, tip), uCallbackMessage 512, hIcon.
  const std::string fields("\x58\0\0\0\x78\x56\x34\x12\1\0\0\0\7\0\0\0\0\2\0\0\xF0\xDE\xBC\x9A", 24);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), fields + "Lumaret" + '\0' + std::string(56, ' '));

  // A long caption is cut so that its zero still fits.
  record.Fill(1, 2, std::string(70, 'x'));
  const auto cut = record.Bytes();
  EXPECT_EQ(std::string(cut.begin() + 24, cut.end()), std::string(63, 'x') + '\0');
}

}  // namespace
}  // namespace reminder::test
