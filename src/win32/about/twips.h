// Twips (1/1440 inch) to and from pixels of the screen, as the About box lays itself out.
#pragma once

#include <windows.h>

namespace about {

// The screen's pixels per inch across (x) and down (y); 96 at the usual setting.
struct ScreenDpi {
  int x;
  int y;
};

// Reads the screen's logical DPI.
ScreenDpi CurrentScreenDpi();

// Rounds to the nearest pixel: 160 twips are 11 pixels at 96 DPI.
inline int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }
inline int PixelsToTwips(int pixels, int dpi) { return MulDiv(pixels, 1440, dpi); }

}  // namespace about
