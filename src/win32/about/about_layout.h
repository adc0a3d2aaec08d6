// The About box's layout: client size, controls, fonts and fixed captions, in twips from
// the top left corner of the client area.
#pragma once

#include <cstdint>

#include "reminder/ui_platform.h"  // ::reminder::TwipsRect

namespace win32::about {

struct Font {
  const char* face;
  double points;
  bool bold;
};

// A straight line between two points of the client area.
struct LineSegment {
  std::int32_t x1, y1, x2, y2;
};

inline constexpr char kCaption[] = "About...";
inline constexpr std::int32_t kClientWidth = 6405;   // 427 pixels at 15 twips per pixel
inline constexpr std::int32_t kClientHeight = 2520;  // 168 pixels

// Controls without a font of their own (the button and the copyright text) use this one.
inline constexpr Font kWindowFont{"MS Sans Serif", 9.75, false};

// The picture and its box: the picture plus a flat one-pixel border on each side.
inline constexpr std::int32_t kPictureWidthPixels = 124;
inline constexpr std::int32_t kPictureHeightPixels = 112;
inline constexpr ::reminder::TwipsRect kPicture1{120, 120, 1890, 1710};

// "&God Bless!": the default and the cancel button.
inline constexpr ::reminder::TwipsRect kCommand1{4560, 1920, 1695, 495};
inline constexpr char kCommand1Caption[] = "&God Bless!";

// The copyright notice under the line, right of the picture; its lines wrap inside it.
inline constexpr ::reminder::TwipsRect kCopyrightLbl{2160, 840, 3975, 975};

// The version under the picture: centred, a single-line border, drawn in the system's
// highlight colour on its highlight-text colour.
inline constexpr ::reminder::TwipsRect kVersionLbl{120, 2040, 1900, 300};
inline constexpr Font kVersionFont{"Verdana", 9.75, true};
inline constexpr char kVersionInitialCaption[] = "Version";

// The product name at the top right, underlined by Line1 along its bottom edge.
inline constexpr ::reminder::TwipsRect kLabel1{2280, 0, 3495, 650};
inline constexpr Font kLabel1Font{"Verdana", 24.0, true};
inline constexpr char kLabel1Caption[] = "Lumaret";
inline constexpr LineSegment kLine1{2280, 650, 5760, 650};

}  // namespace win32::about
