// Filling and serialising the notification-icon record.
#include "reminder/tray_icon.h"

#include <algorithm>

namespace reminder {

void TrayIconRecord::Fill(std::uint32_t window, std::uint32_t icon, const std::string& caption) {
  cbSize = kSize;
  hWnd = window;
  uID = 1;
  uFlags = kFlags;
  uCallbackMessage = kCallbackMessage;
  hIcon = icon;
  szTip.fill(' ');
  const std::size_t length = std::min(caption.size(), kTipBytes - 1);
  std::copy_n(caption.begin(), length, szTip.begin());
  szTip[length] = '\0';
}

std::array<std::uint8_t, TrayIconRecord::kSize> TrayIconRecord::Bytes() const {
  std::array<std::uint8_t, kSize> bytes{};
  const std::uint32_t fields[] = {cbSize, hWnd, uID, uFlags, uCallbackMessage, hIcon};
  std::size_t at = 0;
  for (std::uint32_t field : fields) {
    for (int shift = 0; shift < 32; shift += 8) {
      bytes[at++] = static_cast<std::uint8_t>(field >> shift);
    }
  }
  for (char c : szTip) bytes[at++] = static_cast<std::uint8_t>(c);
  return bytes;
}

}  // namespace reminder
