#include "platform/soft/soft_canvas.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/soft/lines.h"
#include "platform/soft/raster_math.h"

namespace brenlow {

using soft::MasksFor;
using soft::RoundToInt;

SoftCanvas::SoftCanvas(int width, int height, std::string font_file)
    : surface_(width, height), text_(std::move(font_file)) {
  UpdatePenMasks();
}

SoftCanvas::~SoftCanvas() = default;

const char* SoftCanvas::DefaultFontFile() { return BRENLOW_SOFT_FONT; }

void SoftCanvas::UpdatePenMasks() { pen_masks_ = MasksFor(rop_, pen_colour_); }

void SoftCanvas::SetRop2(int rop) {
  if (rop < 1 || rop > 16) return;  // GDI refuses other codes and keeps the old one
  rop_ = rop;
  UpdatePenMasks();
}

void SoftCanvas::SetPenColour(Colour colour) {
  pen_colour_ = colour & soft::kRgbMask;
  UpdatePenMasks();
}

void SoftCanvas::SetPenWidth(int width) { pen_width_ = std::max(1, width); }

void SoftCanvas::SetFillSolid(bool solid) { fill_solid_ = solid; }

void SoftCanvas::Repaint() {
  lines_.Discard();
  surface_.Clear();
}

void SoftCanvas::Resize(int width, int height) {
  FlushLines();
  soft::Surface resized(width, height);
  const int rows = std::min(height, surface_.height());
  const size_t row_bytes = static_cast<size_t>(std::min(width, surface_.width())) * sizeof(Colour);
  for (int y = 0; y < rows; ++y) std::memcpy(resized.row(y), surface_.row(y), row_bytes);
  surface_ = std::move(resized);
}

void SoftCanvas::Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  FlushLines();
  soft::DrawEllipse(surface_, left, top, right, bottom, pen_masks_, trace_);
}

void SoftCanvas::Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom) {
  std::int64_t l = left, t = top, r = right, b = bottom;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (l == r || t == b) return;
  FlushLines();
  const std::int64_t rr = r - 1, bb = b - 1;
  // Closed outline, counter-clockwise from the top right corner.
  soft::DrawSegment(surface_, rr, t, l, t, pen_masks_);
  soft::DrawSegment(surface_, l, t, l, bb, pen_masks_);
  soft::DrawSegment(surface_, l, bb, rr, bb, pen_masks_);
  soft::DrawSegment(surface_, rr, bb, rr, t, pen_masks_);
  if (fill_solid_) surface_.FillRect(l + 1, t + 1, rr, bb, MasksFor(rop_, 0));
}

void SoftCanvas::Line(float x1, float y1, float x2, float y2) {
  LineInt(RoundToInt(x1), RoundToInt(y1), RoundToInt(x2), RoundToInt(y2));
}

void SoftCanvas::LineInt(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  if (pen_width_ <= 1) {
    lines_.Add(surface_, x1, y1, x2, y2, pen_masks_);
    return;
  }
  FlushLines();
  wide_pen_.SetWidth(pen_width_);
  wide_pen_.Draw(surface_, x1, y1, x2, y2, pen_masks_);
}

void SoftCanvas::CopyPicture(const Picture& picture, float dest_x, float dest_y, float width,
                             float height, float src_x, float src_y) {
  std::int64_t dx = RoundToInt(dest_x), dy = RoundToInt(dest_y);
  std::int64_t w = RoundToInt(width), h = RoundToInt(height);
  std::int64_t sx = RoundToInt(src_x), sy = RoundToInt(src_y);
  // A negative size spans the other way, keeping the corner pixel itself
  // (x + w + 1 .. x), in both pictures alike: GDI does not mirror when
  // source and destination agree.
  if (w < 0) dx += w + 1, sx += w + 1, w = -w;
  if (h < 0) dy += h + 1, sy += h + 1, h = -h;
  if (w == 0 || h == 0 || picture.empty()) return;
  if (picture.pixels.size() < static_cast<size_t>(picture.width) * picture.height) return;
  if (sx < 0) dx -= sx, w += sx, sx = 0;
  if (sy < 0) dy -= sy, h += sy, sy = 0;
  w = std::min<std::int64_t>(w, picture.width - sx);
  h = std::min<std::int64_t>(h, picture.height - sy);
  if (dx < 0) sx -= dx, w += dx, dx = 0;
  if (dy < 0) sy -= dy, h += dy, dy = 0;
  w = std::min<std::int64_t>(w, surface_.width() - dx);
  h = std::min<std::int64_t>(h, surface_.height() - dy);
  if (w <= 0 || h <= 0) return;
  FlushLines();
  for (std::int64_t row = 0; row < h; ++row) {
    const Colour* src = picture.pixels.data() + static_cast<size_t>(sy + row) * picture.width + sx;
    Colour* dst = surface_.row(dy + row) + dx;
    std::memcpy(dst, src, static_cast<size_t>(w) * sizeof(Colour));
  }
}

void SoftCanvas::SetFontSize(float points) { font_points_ = points; }

void SoftCanvas::PrintText(float x, float y, const std::string& text) {
  FlushLines();
  text_.Draw(surface_, x, y, text, font_points_, pen_colour_);
}

}  // namespace brenlow
