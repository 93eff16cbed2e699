// Outer window sizes asked in twips, made to give the same client area
// whatever frame the system draws, and text sized for a monitor's scale.
// The layouts in twips were made for a dialog frame of 3 pixels a side and
// a 19-pixel caption at 96 dpi (what Wine draws); Windows 7 to 11 draw
// thicker frames, which would eat into the client area and clip the lowest
// controls. Free of windows.h apart from ActualFrame and WindowDpi, so the
// arithmetic is checked natively.
#pragma once

#include <cmath>

struct HWND__;

namespace brenlow {

// What a frame adds to the client area, in pixels.
struct FrameExtra {
  int width = 0;
  int height = 0;
};

inline FrameExtra DesignFrame(int dpi_x, int dpi_y) {
  return {static_cast<int>(std::nearbyint(6 * dpi_x / 96.0)),
          static_cast<int>(std::nearbyint(25 * dpi_y / 96.0))};
}

// The outer size, in pixels, for a window of `design_outer` pixels on the
// design frame, drawn with a frame adding `actual_extra`: grown by what a
// thicker frame takes, so the client area is at least the design's; a
// thinner frame (Wine's at some scales) keeps the size asked.
inline int FittedOuter(int design_outer, int design_extra, int actual_extra) {
  return design_outer + (actual_extra > design_extra ? actual_extra - design_extra : 0);
}

// The inverse: the size on the design frame of a window `outer` pixels wide
// or high on a frame adding `actual_extra`.
inline int DesignOuter(int outer, int design_extra, int actual_extra) {
  return outer - (actual_extra > design_extra ? actual_extra - design_extra : 0);
}

// The em height in pixels of a font of the given points on a screen of dpi
// dots per inch, the nearest way.
inline int FontPixels(double points, int dpi) {
  return static_cast<int>(std::nearbyint(points * dpi / 72.0));
}

// The dpi of the monitor the window is on, where the system can say it
// (Windows 8.1 and later); 0 otherwise.
unsigned WindowDpi(HWND__* window);

// The frame the system draws around this window, from its styles and its
// monitor's dpi where the system can say it (Windows 10 1607 and later).
FrameExtra ActualFrame(HWND__* window);

// Makes the windows this thread creates from now on system-aware where the
// system allows it (Windows 10 1607 and later): dragged to a monitor of
// another scale, such a window is scaled whole by the system instead of
// being handed a WM_DPICHANGED, which the dialog manager would answer by
// laying the controls out again in the system font.
void MakeThreadSystemDpiAware();

}  // namespace brenlow
