// The screen's DPI, fonts in points, and the frame after a change of monitor.
#include "win32/common/dpi.h"

namespace win32 {

Dpi ScreenDpi() {
  HDC screen = GetDC(nullptr);
  Dpi dpi{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
  ReleaseDC(nullptr, screen);
  if (dpi.x <= 0 || dpi.y <= 0) dpi = {96, 96};
  return dpi;
}

HFONT CreatePointFont(const wchar_t* face, int pointsX100, int dpiY, int weight, BYTE charset) {
  return CreateFontW(-MulDiv(pointsX100, dpiY, 72 * 100), 0, 0, 0, weight, FALSE, FALSE, FALSE, charset,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                     face);
}

void FitClientArea(HWND hwnd, int width, int height) {
  RECT client{};
  GetClientRect(hwnd, &client);
  const int missingX = width - client.right;
  const int missingY = height - client.bottom;
  if (missingX == 0 && missingY == 0) return;
  RECT frame{};
  GetWindowRect(hwnd, &frame);
  SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left + missingX, frame.bottom - frame.top + missingY,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FollowDpiChange(HWND hwnd, const RECT& suggested, int clientWidth, int clientHeight) {
  SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  FitClientArea(hwnd, clientWidth, clientHeight);
  InvalidateRect(hwnd, nullptr, TRUE);
}

}  // namespace win32
