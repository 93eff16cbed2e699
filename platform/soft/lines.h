// The 1-pixel solid pen: GDI's Bresenham line with its octant bias, clipped
// to the surface before stepping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/soft/surface.h"

namespace brenlow::soft {

// One segment from (x1, y1) towards (x2, y2); the end point is left out.
// Only its pixels in rows [top, bottom) are painted, 0 <= top <= bottom <=
// the surface's height.
void DrawSegment(Surface& surface, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                 std::int64_t y2, const RopMasks& m, std::int64_t top, std::int64_t bottom);
inline void DrawSegment(Surface& surface, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                        std::int64_t y2, const RopMasks& m) {
  DrawSegment(surface, x1, y1, x2, y2, m, 0, surface.height());
}

// 1-pixel segments kept back and drawn a band of rows at a time. On a 4K
// canvas (33 MB) each pixel of a steep line is a miss to memory, and the line
// effects draw hundreds of nearly equal lines over the same rows; a band of
// a few MB stays in the last-level cache while all of them pass through it
// (Triangoli at 3840x2160: about 160 -> 120 ms). Each band draws the segments
// in the order they came, so every pixel gets the same ROPs in the same
// order as when they are drawn one by one.
class LineBatch {
 public:
  // Bands of about `band_bytes` of pixels; a surface that fits in one band
  // gains nothing and is drawn at once. Smaller bands cost more: each
  // segment is clipped again in every band it crosses.
  explicit LineBatch(std::size_t band_bytes = 4 << 20) : band_bytes_(band_bytes) {}

  void Add(Surface& surface, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
           const RopMasks& m);
  // Paints what is kept back; call it before anything else reads or paints
  // the surface.
  void Flush(Surface& surface);
  // Forgets what is kept back (the surface is about to be cleared).
  void Discard() { pending_.clear(); }
  bool empty() const { return pending_.empty(); }

  // About what a 4K line effect draws between two showings of the screen.
  static constexpr std::size_t kCapacity = 16384;

 private:
  struct Pending {
    std::int32_t x1, y1, x2, y2;
    std::int64_t first_row, last_row;  // that it may touch
    RopMasks masks;
  };
  std::int64_t BandRows(const Surface& surface) const;

  std::size_t band_bytes_;
  std::vector<Pending> pending_;
};

}  // namespace brenlow::soft
