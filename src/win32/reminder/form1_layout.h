// Form1's layout in twips, measured from the top left corner of the client area.
#pragma once

namespace win32::reminder {

struct TwipsBox {
  int left;
  int top;
  int width;
  int height;
};

inline constexpr int kClientWidthTwips = 7230;
inline constexpr int kClientHeightTwips = 4830;

inline constexpr TwipsBox kNewVerseCmdBox{120, 4080, 1215, 495};
inline constexpr TwipsBox kMinimizeCmdBox{5880, 4080, 1215, 495};
inline constexpr TwipsBox kVersesLblBox{4800, 150, 1935, 495};
inline constexpr TwipsBox kChapVerseSepLblBox{4680, 150, 135, 375};
inline constexpr TwipsBox kChapterLblBox{3960, 150, 705, 495};
inline constexpr TwipsBox kBookLblBox{240, 150, 3495, 495};
inline constexpr TwipsBox kVerseTxtLblBox{240, 750, 6735, 3045};

// Fonts in hundredths of a point.
inline constexpr int kHeadingPointsX100 = 1800;    // Verdana 18 pt bold
inline constexpr int kVerseTextPointsX100 = 1425;  // Verdana 14.25 pt regular
inline constexpr wchar_t kLabelFontFace[] = L"Verdana";

// The placeholders the bound labels show until the store has a current row.
inline constexpr char kBookPlaceholder[] = "John";
inline constexpr char kChapterPlaceholder[] = "153";
inline constexpr char kVersesPlaceholder[] = "31-32";
inline constexpr char kVerseTxtPlaceholder[] =
    "For God so loved the world, that he gave his only begotten Son, that whosoever believeth in him should "
    "not perish, but have everlasting life. ";

inline constexpr char kCaption[] = "Lumaret";
inline constexpr char kNewVerseCaption[] = "&Next Verse";
inline constexpr char kMinimizeCaption[] = "&Amen";
inline constexpr char kMinimizeToolTip[] = "Hide in Tray...";

}  // namespace win32::reminder
