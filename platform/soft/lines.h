// The 1-pixel solid pen: GDI's Bresenham line with its octant bias, clipped
// to the surface before stepping.
#pragma once

#include <cstdint>

#include "platform/soft/surface.h"

namespace brenlow::soft {

// One segment from (x1, y1) towards (x2, y2); the end point is left out.
void DrawSegment(Surface& surface, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                 std::int64_t y2, const RopMasks& m);

}  // namespace brenlow::soft
