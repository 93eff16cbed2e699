// Ellipse outlines as GDI's Arc traces them: one integer quadrant, mirrored
// four times, walked counter-clockwise from where the line from the centre
// to the radial point meets it, painted as an open polyline.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/soft/surface.h"

namespace brenlow::soft {

struct TracePoint {
  std::int64_t x, y;
};

// Boxes beyond this size would need a huge trace and overflow the 64-bit
// error terms of the trace; nothing is drawn.
constexpr std::int64_t kMaxArcSide = std::int64_t{1} << 19;

// One quadrant of the outline of a width x height ellipse (Zingl's integer
// algorithm), in box coordinates: from (width - 1, height / 2) towards the
// y axis, while x >= width / 2. Each point is at most one step from the last
// in x and in y: x falls, y grows.
struct QuadrantTrace {
  std::vector<TracePoint> points;  // [0, count) are the trace; it only grows
  std::int64_t count = 0;
  bool steps_only = true;  // no point repeats the one before it
};
void TraceQuadrant(std::int64_t width, std::int64_t height, QuadrantTrace& out);

// Storage of the trace kept between calls.
struct EllipseScratch {
  // Trace points [first, last] share the row y.
  struct Row {
    std::int64_t y, first, last;
  };
  QuadrantTrace trace;
  std::vector<Row> rows;
};

// The outline inscribed in the box, corners in either order, right and
// bottom edges excluded, with both radial points at (0, 0).
void DrawEllipse(Surface& surface, std::int64_t left, std::int64_t top, std::int64_t right,
                 std::int64_t bottom, const RopMasks& m, EllipseScratch& scratch);

}  // namespace brenlow::soft
