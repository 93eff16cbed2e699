// A software raster that paints the pixels Windows GDI paints on a 32-bpp
// surface: the 16 ROP2 codes, the Arc ellipse trace, 1-pixel rectangles,
// Bresenham and wide round-capped lines, picture copies, and FreeType text.
// Arc and Rectangle follow the 1-pixel pen whatever the pen width (nothing
// draws them wider); Line follows the width.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace brenlow {

class SoftCanvas : public Canvas {
 public:
  // A point of the ellipse trace (scratch storage, kept between calls).
  struct TracePoint {
    std::int64_t x, y;
  };

  SoftCanvas(int width, int height);
  ~SoftCanvas() override;

  void SetRop2(int rop) override;
  void SetPenColour(Colour colour) override;
  void SetPenWidth(int width) override;
  void SetFillSolid(bool solid) override;

  void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
  void Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom) override;
  void Line(float x1, float y1, float x2, float y2) override;
  void CopyPicture(const Picture& picture, float dest_x, float dest_y, float width, float height,
                   float src_x, float src_y) override;

  void SetFontSize(float points) override;
  void PrintText(float x, float y, const std::string& text) override;

  float ScaleWidth() const override { return static_cast<float>(width_); }
  float ScaleHeight() const override { return static_cast<float>(height_); }

  void Repaint() override;

  // Integer-coordinate line in the current pen (what Line does after rounding).
  void LineInt(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

  // Pixel access for tests and tools, row by row from the top.
  const std::vector<Colour>& pixels() const { return pixels_; }
  std::vector<Colour>& mutable_pixels() { return pixels_; }
  Colour pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  int width() const { return width_; }
  int height() const { return height_; }
  int rop() const { return rop_; }

  // TrueType font used by PrintText; DejaVu Sans unless told otherwise.
  void SetFontFile(const std::string& path);
  static const char* DefaultFontFile();

 private:
  struct Masks {
    std::uint32_t and_mask;
    std::uint32_t xor_mask;
  };
  struct Span {
    std::int64_t left;
    std::int64_t right;
  };
  struct FontState;

  static Masks MasksFor(int rop, Colour colour);
  void UpdatePenMasks();

  void Plot(std::int64_t x, std::int64_t y, const Masks& m) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Colour& d = pixels_[static_cast<size_t>(y) * width_ + static_cast<size_t>(x)];
    // Pens that ignore the old pixel need no read: stores do not wait on
    // cache misses, reads do.
    d = m.and_mask == 0 ? m.xor_mask : (d & m.and_mask) ^ m.xor_mask;
  }
  // Pixels [left, right) of row y, clipped.
  void FillRow(std::int64_t y, std::int64_t left, std::int64_t right, const Masks& m);
  void FillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                const Masks& m);
  // One segment of a 1-pixel solid pen: the end point is left out.
  void Segment(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, const Masks& m);
  void WideLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2);
  void BuildCapRows();

  int width_;
  int height_;
  std::vector<Colour> pixels_;

  int rop_ = kRopCopyPen;
  Colour pen_colour_ = 0;
  int pen_width_ = 1;
  bool fill_solid_ = true;
  float font_points_ = 8.25f;
  Masks pen_masks_{0, 0};

  // Round cap of the wide pen, one row per entry: dy, left, right (exclusive).
  int cap_width_ = 0;
  std::vector<std::int32_t> cap_rows_;

  std::vector<TracePoint> quadrant_;  // scratch for the ellipse trace
  std::string font_file_;
  std::unique_ptr<FontState> font_;
};

}  // namespace brenlow
