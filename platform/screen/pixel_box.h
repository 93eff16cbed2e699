// A rectangle of pixels, on a raster or on the virtual screen.
#pragma once

#include <algorithm>

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
  // The least box holding both; an empty box adds nothing.
  PixelBox Join(const PixelBox& other) const {
    if (other.empty()) return *this;
    if (empty()) return other;
    return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom)};
  }
};

}  // namespace brenlow
