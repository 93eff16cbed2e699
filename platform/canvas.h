// The saver window's drawing surface and drawing state, in device pixels.
// Backends: real GDI on a window DC (win32/), the software raster (soft/),
// and the recording double (recording/).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brenlow {

// COLORREF layout: red in the low byte, then green, then blue.
using Colour = std::uint32_t;

constexpr Colour MakeColour(int red, int green, int blue) {
  return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) |
         (static_cast<Colour>(blue) << 16);
}

// Raster operations (ROP2 codes as GDI numbers them).
enum Rop2 : int {
  kRopBlack = 1,       // R2_BLACK
  kRopMaskPenNot = 5,  // R2_MASKPENNOT: pen AND NOT old
  kRopXorPen = 7,      // R2_XORPEN
  kRopCopyPen = 13,    // R2_COPYPEN
};

// The drawing state the saver window opens with, which every canvas starts
// in: the effects rely on it until they set their own.
struct DrawingState {
  int rop = kRopCopyPen;
  Colour pen_colour = MakeColour(0, 0, 255);
  int pen_width = 1;
  bool fill_solid = true;  // a solid black brush
  float font_points = 12.0f;
};
inline constexpr DrawingState kInitialDrawingState{};

// A loaded picture, top row first, one Colour per pixel.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Colour> pixels;

  bool empty() const { return width <= 0 || height <= 0; }
  Colour at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Drawing state; it persists between calls.
  virtual void SetRop2(int rop) = 0;
  virtual void SetPenColour(Colour colour) = 0;
  virtual void SetPenWidth(int width) = 0;
  // true: solid black brush (closed figures are filled black); false: hollow.
  virtual void SetFillSolid(bool solid) = 0;

  // Ellipse outline inscribed in the box (GDI Arc with both radial points
  // equal); corners in either order.
  virtual void Arc(std::int32_t left, std::int32_t top, std::int32_t right,
                   std::int32_t bottom) = 0;
  // GDI Rectangle with the current pen and brush.
  virtual void Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom) = 0;
  // Straight line in the current pen; the end point is not painted for
  // width 1. Coordinates are rounded to whole pixels (halves to even).
  virtual void Line(float x1, float y1, float x2, float y2) = 0;
  // Source copy of a rectangle of a picture; sizes are equal, no stretching.
  // Values are rounded to whole pixels (halves to even).
  virtual void CopyPicture(const Picture& picture, float dest_x, float dest_y, float width,
                           float height, float src_x, float src_y) = 0;

  // Text in the pen colour, transparent background, underlined, in the
  // window's font at the given point size; (x, y) is the top left corner.
  virtual void SetFontSize(float points) = 0;
  virtual void PrintText(float x, float y, const std::string& text) = 0;

  // Inner size of the window in pixels.
  virtual float ScaleWidth() const = 0;
  virtual float ScaleHeight() const = 0;

  // Clear to black (the window's background).
  virtual void Repaint() = 0;
};

}  // namespace brenlow
