// Twips (1/1440 inch) and points to pixels of a monitor, and following a window to a
// monitor of another scale (WM_DPICHANGED).
#pragma once

#include <windows.h>

namespace win32 {

inline constexpr int kTwipsPerInch = 1440;

// Pixels per inch across (x) and down (y); 96 at the usual setting.
struct Dpi {
  int x;
  int y;
};

// The screen's (system) DPI, 96 when the system gives none.
Dpi ScreenDpi();

// Rounds to the nearest pixel: 160 twips are 11 pixels at 96 DPI.
inline int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, kTwipsPerInch); }
inline int PixelsToTwips(int pixels, int dpi) { return MulDiv(pixels, kTwipsPerInch, dpi); }

// A font of `face` at `pointsX100` hundredths of a point on a monitor of `dpiY`.
HFONT CreatePointFont(const wchar_t* face, int pointsX100, int dpiY, int weight,
                      BYTE charset = DEFAULT_CHARSET);

// WM_DPICHANGED's new DPI; {0, 0} in the message means none.
inline Dpi DpiOf(WPARAM wParam) { return {LOWORD(wParam), HIWORD(wParam)}; }

// Sizes the frame so the client area is `width` x `height` pixels, whatever the menu
// bar's wrapping and the frame's rounding made of it.
void FitClientArea(HWND hwnd, int width, int height);

// WM_DPICHANGED's second half: the window takes the frame the system suggests, then
// the client area the layout needs at the new DPI, and repaints.
void FollowDpiChange(HWND hwnd, const RECT& suggested, int clientWidth, int clientHeight);

}  // namespace win32
