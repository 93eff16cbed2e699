#include "platform/screen/presented_canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace brenlow {
namespace {

// Far beyond any screen, and exact in a double and an int64.
constexpr double kFar = 1e12;

// A coordinate as a whole pixel, rounded outwards; NaN reaches everywhere.
std::int64_t Down(double v) {
  return static_cast<std::int64_t>(std::isnan(v) ? -kFar : std::clamp(std::floor(v), -kFar, kFar));
}
std::int64_t Up(double v) {
  return static_cast<std::int64_t>(std::isnan(v) ? kFar : std::clamp(std::ceil(v), -kFar, kFar));
}

}  // namespace

PresentedCanvas::PresentedCanvas(Framebuffer& framebuffer, Clock clock, NewSize new_size,
                                 bool screen_black)
    : framebuffer_(framebuffer),
      raster_(framebuffer.raster()),
      clock_(std::move(clock)),
      new_size_(new_size),
      width_(static_cast<int>(raster_.ScaleWidth())),
      height_(static_cast<int>(raster_.ScaleHeight())),
      drawing_width_(width_),
      drawing_height_(height_),
      screen_black_(screen_black) {}

void PresentedCanvas::Touch(double left, double top, double right, double bottom) {
  // A wide pen reaches half its width beyond the figure's outline; the rest
  // covers the rounding of the raster's coordinates.
  const std::int64_t reach = pen_width_ / 2 + 2;
  const std::int64_t x1 = std::max<std::int64_t>(0, Down(std::min(left, right)) - reach);
  const std::int64_t y1 = std::max<std::int64_t>(0, Down(std::min(top, bottom)) - reach);
  const std::int64_t x2 = std::min<std::int64_t>(width_, Up(std::max(left, right)) + reach + 1);
  const std::int64_t y2 = std::min<std::int64_t>(height_, Up(std::max(top, bottom)) + reach + 1);
  const PixelBox box{static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2),
                     static_cast<int>(y2)};
  dirty_ = dirty_.Join(box);
}

void PresentedCanvas::TouchAll() { dirty_ = {0, 0, width_, height_}; }

void PresentedCanvas::Drawn() {
  raster_black_ = false;
  // The canvas fill checks nothing while it draws thousands of outlines,
  // and its first tiles should show as they come.
  if (++calls_since_clock_ % kCallsPerClockLook == 0) PresentIfDue(clock_());
}

void PresentedCanvas::SetPenWidth(int width) {
  pen_width_ = std::max(1, width);
  raster_.SetPenWidth(width);
}

void PresentedCanvas::Arc(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom) {
  raster_.Arc(left, top, right, bottom);
  Touch(left, top, right, bottom);
  Drawn();
}

void PresentedCanvas::Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                                std::int32_t bottom) {
  raster_.Rectangle(left, top, right, bottom);
  Touch(left, top, right, bottom);
  Drawn();
}

void PresentedCanvas::Line(float x1, float y1, float x2, float y2) {
  raster_.Line(x1, y1, x2, y2);
  Touch(x1, y1, x2, y2);
  Drawn();
}

void PresentedCanvas::CopyPicture(const Picture& picture, float dest_x, float dest_y, float width,
                                  float height, float src_x, float src_y) {
  raster_.CopyPicture(picture, dest_x, dest_y, width, height, src_x, src_y);
  Touch(dest_x, dest_y, static_cast<double>(dest_x) + width, static_cast<double>(dest_y) + height);
  Drawn();
}

void PresentedCanvas::PrintText(float x, float y, const std::string& text) {
  raster_.PrintText(x, y, text);
  // Text reaches right and down from its corner; once a cycle, so the whole
  // rest of the raster is shown.
  Touch(x, y, width_, height_);
  Drawn();
}

void PresentedCanvas::Repaint() {
  drawing_width_ = width_;
  drawing_height_ = height_;
  raster_.Repaint();
  raster_black_ = true;
  // A screen that shows black already needs no frame: the first one shown
  // is the first drawing's.
  if (screen_black_) {
    dirty_ = {};
  } else {
    TouchAll();
  }
}

void PresentedCanvas::Show(double now) {
  // Only what changed goes to the screen: the first tile costs a tile.
  framebuffer_.Show(dirty_);
  dirty_ = {};
  last_frame_ = now;
  screen_black_ = raster_black_;
}

void PresentedCanvas::PresentIfDue(double now) {
  // A hold asks often and draws nothing: it gets no frame.
  if (!dirty_.empty() && now - last_frame_ >= kFramePeriod) Show(now);
}

void PresentedCanvas::Present() {
  if (!dirty_.empty()) Show(clock_());
}

void PresentedCanvas::Resize(int width, int height) {
  if (width == width_ && height == height_) return;
  framebuffer_.Resize(width, height);
  width_ = width;
  height_ = height;
  if (new_size_ == NewSize::kAtOnce) {
    drawing_width_ = width;
    drawing_height_ = height;
  }
  Exposed();
}

void PresentedCanvas::Exposed() {
  screen_black_ = false;
  TouchAll();
}

}  // namespace brenlow
