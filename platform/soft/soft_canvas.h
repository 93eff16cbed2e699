// A software raster that paints the pixels Windows GDI paints on a 32-bpp
// surface: the 16 ROP2 codes, the Arc ellipse trace, 1-pixel rectangles,
// Bresenham and wide round-capped lines, picture copies, and FreeType text.
// Arc and Rectangle follow the 1-pixel pen whatever the pen width (nothing
// draws them wider); Line follows the width. The primitives live by role
// beside this file: surface, lines, ellipses, wide_lines, text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/soft/ellipses.h"
#include "platform/soft/lines.h"
#include "platform/soft/surface.h"
#include "platform/soft/text.h"
#include "platform/soft/wide_lines.h"

namespace brenlow {

class SoftCanvas : public Canvas {
 public:
  // Text is drawn with the TrueType font in `font_file`.
  SoftCanvas(int width, int height, std::string font_file = DefaultFontFile());
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

  float ScaleWidth() const override { return static_cast<float>(surface_.width()); }
  float ScaleHeight() const override { return static_cast<float>(surface_.height()); }

  void Repaint() override;
  // The new size, keeping the pixels where the old and the new overlap,
  // black elsewhere, as a resized window's surface does; the drawing state
  // stays.
  void Resize(int width, int height);

  // Integer-coordinate line in the current pen (what Line does after rounding).
  void LineInt(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

  // Pixel access, row by row from the top, with every call drawn.
  const soft::Pixels& pixels() const {
    FlushLines();
    return surface_.pixels();
  }
  soft::Pixels& mutable_pixels() {
    FlushLines();
    return surface_.pixels();
  }
  Colour pixel(int x, int y) const {
    return pixels()[static_cast<size_t>(y) * surface_.width() + x];
  }
  int width() const { return surface_.width(); }
  int height() const { return surface_.height(); }
  int rop() const { return rop_; }

  // The font the build was configured with (DejaVu Sans unless told otherwise).
  static const char* DefaultFontFile();

 private:
  void UpdatePenMasks();
  void FlushLines() const { lines_.Flush(surface_); }

  // 1-pixel lines wait in lines_ until something else draws or reads the
  // pixels; reading flushes them, so both may change under const.
  mutable soft::Surface surface_;
  mutable soft::LineBatch lines_;
  int rop_ = kInitialDrawingState.rop;
  Colour pen_colour_ = kInitialDrawingState.pen_colour;
  int pen_width_ = kInitialDrawingState.pen_width;
  bool fill_solid_ = kInitialDrawingState.fill_solid;
  float font_points_ = kInitialDrawingState.font_points;
  soft::RopMasks pen_masks_{0, 0};
  soft::WidePen wide_pen_;
  soft::EllipseScratch trace_;
  soft::TextRenderer text_;
};

}  // namespace brenlow
