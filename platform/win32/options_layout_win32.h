// The settings dialog's controls as the form lays them out, in twips, and
// their conversion to the dialog's pixels. Free of windows.h, so the layout
// the Win32 dialog builds is checked natively.
#pragma once

#include <cmath>

#include "platform/options_dialog.h"

namespace brenlow {

struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

inline constexpr TwipsRect kCmdOkTwips{3360, 120, 972, 372};
inline constexpr TwipsRect kCmdAnnTwips{3360, 600, 972, 372};
inline constexpr TwipsRect kCombo1Twips{240, 360, 2412, 288};
inline constexpr TwipsRect kLabel1Twips{240, 120, 732, 252};
inline constexpr TwipsRect kLabel2Twips{360, 960, 1572, 252};
inline constexpr TwipsRect kText1Twips{240, 1320, 3612, 276};
inline constexpr TwipsRect kDrive1Twips{1920, 3924, 2412, 288};
inline constexpr TwipsRect kDir1Twips{1920, 2040, 2412, 1800};
inline constexpr TwipsRect kFile1Twips{240, 2040, 1572, 2040};
inline constexpr TwipsRect kCmdsfogliaTwips{3960, 1320, 372, 252};

// The font the twips layout was made for: MS Sans Serif, 8 points.
inline constexpr char kDialogFontFace[] = "MS Sans Serif";
inline constexpr int kDialogFontPoints = 8;

// Twips to pixels: the nearest whole pixel, halves to even (972 twips at 15
// twips per pixel are 64.8 pixels: 65).
inline int PixelsFromTwips(int twips, int twips_per_pixel) {
  return static_cast<int>(std::nearbyint(static_cast<double>(twips) / twips_per_pixel));
}

inline PixelRect PixelsFromTwips(const TwipsRect& r, int twips_per_pixel_x, int twips_per_pixel_y) {
  return {PixelsFromTwips(r.left, twips_per_pixel_x), PixelsFromTwips(r.top, twips_per_pixel_y),
          PixelsFromTwips(r.width, twips_per_pixel_x),
          PixelsFromTwips(r.height, twips_per_pixel_y)};
}

}  // namespace brenlow
