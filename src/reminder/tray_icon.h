// The notification-icon record TrayIcon in the 88-byte NOTIFYICONDATAA layout.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace reminder {

struct TrayIconRecord {
  static constexpr std::uint32_t kSize = 88;
  static constexpr std::uint32_t kFlags = 7;              // NIF_MESSAGE + NIF_ICON + NIF_TIP
  static constexpr std::uint32_t kCallbackMessage = 512;  // WM_MOUSEMOVE
  static constexpr std::size_t kTipBytes = 64;

  std::uint32_t cbSize = 0;
  std::uint32_t hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  std::uint32_t hIcon = 0;
  std::array<char, kTipBytes> szTip{};

  // Fills every field as start-up does: size 88, icon number 1, flags 7, callback
  // 512, and the tip `caption` + one zero byte, the rest of the field spaces. A
  // caption longer than 63 bytes is cut so that the zero still fits.
  void Fill(std::uint32_t window, std::uint32_t icon, const std::string& caption);

  // The record as the platform takes it: six little-endian 32-bit fields, then the tip.
  std::array<std::uint8_t, kSize> Bytes() const;
};

}  // namespace reminder
