#include "platform/soft/ellipses.h"

#include <utility>

#include "platform/soft/lines.h"
#include "platform/soft/raster_math.h"

namespace brenlow::soft {
namespace {

using Pt = TracePoint;

// Index in the traced outline where a radial line through (x, y) meets it.
std::int64_t FindIntersection(const std::vector<Pt>& q, std::int64_t x, std::int64_t y) {
  const std::int64_t count = static_cast<std::int64_t>(q.size());
  std::int64_t i = 0;
  if (y >= 0) {
    if (x >= 0) {
      for (i = 0; i < count; i++)
        if (Mul32(q[i].x, y) <= Mul32(q[i].y, x)) break;
      return i;
    }
    for (i = 0; i < count; i++)
      if (Mul32(q[i].x, y) < Mul32(q[i].y, -x)) break;
    return 2 * count - i;
  }
  if (x >= 0) {
    for (i = 0; i < count; i++)
      if (Mul32(q[i].x, -y) <= Mul32(q[i].y, x)) break;
    return 4 * count - i;
  }
  for (i = 0; i < count; i++)
    if (Mul32(q[i].x, -y) < Mul32(q[i].y, -x)) break;
  return 2 * count + i;
}

}  // namespace

void TraceQuadrant(std::int64_t width, std::int64_t height, std::vector<Pt>& out) {
  const std::int64_t a = width - 1;
  const std::int64_t b = height - 1;
  const std::int64_t asq = 8 * a * a;
  const std::int64_t bsq = 8 * b * b;
  std::int64_t dx = 4 * b * b * (1 - a);
  std::int64_t dy = 4 * a * a * (1 + (b % 2));
  std::int64_t err = dx + dy + static_cast<std::int64_t>(Mul32(a, a)) * (b % 2);
  Pt pt{a, height / 2};
  out.clear();
  const size_t limit = static_cast<size_t>(width + height) + 4;
  while (pt.x >= width / 2 && out.size() < limit) {
    const std::int64_t e2 = 2 * err;
    out.push_back(pt);
    if (e2 >= dx) {
      pt.x--;
      err += dx += bsq;
    }
    if (e2 <= dy) {
      pt.y++;
      err += dy += asq;
    }
  }
}

void DrawEllipse(Surface& surface, std::int64_t left, std::int64_t top, std::int64_t right,
                 std::int64_t bottom, const RopMasks& m, std::vector<Pt>& scratch) {
  std::int64_t l = left, t = top, r = right, b = bottom;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  const std::int64_t w = r - l, h = b - t;
  if (w == 0 || h == 0) return;
  if (w > kMaxArcSide || h > kMaxArcSide) return;

  std::vector<Pt>& q = scratch;
  TraceQuadrant(w, h, q);
  for (Pt& p : q) {
    p.x -= w / 2;
    p.y -= h / 2;
  }
  const std::int64_t count = static_cast<std::int64_t>(q.size());
  if (count == 0) return;
  // Both radial points are (0, 0); the default counter-clockwise direction
  // flips y before looking for the start of the trace.
  const std::int64_t sx = -(l + w / 2);
  const std::int64_t sy = t + h / 2;
  const std::int64_t start = FindIntersection(q, sx, sy);
  const std::int64_t cx_left = l + w / 2, cx_right = r - 1 - w / 2;
  const std::int64_t cy_top = t + h / 2, cy_bottom = b - 1 - h / 2;

  // Walk the four mirrored quadrants from the start index without dividing
  // per point: quadrant = index / count, k = index % count.
  std::int64_t quadrant = (start / count) % 4, k = start % count;
  auto point = [&]() -> Pt {
    switch (quadrant) {
      case 0:
        return Pt{cx_left + q[k].x, cy_bottom - q[k].y};
      case 1:
        return Pt{cx_right - q[count - 1 - k].x, cy_bottom - q[count - 1 - k].y};
      case 2:
        return Pt{cx_right - q[k].x, cy_top + q[k].y};
      default:
        return Pt{cx_left + q[count - 1 - k].x, cy_top + q[count - 1 - k].y};
    }
  };
  auto advance = [&]() {
    if (++k == count) {
      k = 0;
      quadrant = (quadrant + 1) & 3;
    }
  };
  // Painted as an open polyline: each segment leaves out its end point, so
  // the last traced point is never painted and repeated points paint nothing.
  Pt prev = point();
  for (std::int64_t n = 1; n < 4 * count; ++n) {
    advance();
    const Pt cur = point();
    const std::int64_t ddx = cur.x - prev.x, ddy = cur.y - prev.y;
    if (ddx != 0 || ddy != 0) {
      if (ddx >= -1 && ddx <= 1 && ddy >= -1 && ddy <= 1)
        surface.Plot(prev.x, prev.y, m);
      else
        DrawSegment(surface, prev.x, prev.y, cur.x, cur.y, m);
    }
    prev = cur;
  }
}

}  // namespace brenlow::soft
