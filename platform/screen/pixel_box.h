// A rectangle of pixels, on a raster or on the virtual screen.
#pragma once

namespace brenlow {

// A rectangle of pixels; right and bottom are one past its last column and row.
struct PixelBox {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool empty() const { return left >= right || top >= bottom; }
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const PixelBox&) const = default;
};

}  // namespace brenlow
