#include "platform/soft/ellipses.h"

#include <algorithm>
#include <utility>

#include "platform/soft/lines.h"
#include "platform/soft/raster_math.h"

namespace brenlow::soft {
namespace {

using Pt = TracePoint;
using Row = EllipseScratch::Row;

// Index in the traced outline where a radial line through (x, y) meets it:
// the first point on or past the line. The trace's x falls and its y grows,
// so while no product wraps around 32 bits the test is false and then true
// along the trace and a bisection finds the same point as a scan.
std::int64_t FindIntersection(const Pt* q, std::int64_t count, std::int64_t x, std::int64_t y) {
  const std::int64_t ax = x < 0 ? -x : x, ay = y < 0 ? -y : y;
  constexpr std::int64_t kMax = 0x7fffffff;
  const bool exact = (ay == 0 || q[0].x <= kMax / ay) && (ax == 0 || q[count - 1].y <= kMax / ax);
  auto first = [&](auto past) {
    if (exact) {
      std::int64_t lo = 0, hi = count;
      while (lo < hi) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (past(q[mid]))
          hi = mid;
        else
          lo = mid + 1;
      }
      return lo;
    }
    std::int64_t i = 0;
    while (i < count && !past(q[i])) ++i;
    return i;
  };
  if (y >= 0) {
    if (x >= 0) return first([&](const Pt& p) { return Mul32(p.x, y) <= Mul32(p.y, x); });
    return 2 * count - first([&](const Pt& p) { return Mul32(p.x, y) < Mul32(p.y, -x); });
  }
  if (x >= 0)
    return 4 * count - first([&](const Pt& p) { return Mul32(p.x, -y) <= Mul32(p.y, x); });
  return 2 * count + first([&](const Pt& p) { return Mul32(p.x, -y) < Mul32(p.y, -x); });
}

// How a quadrant of the walk places the trace: (cx + sx * x, cy + sy * y).
struct Mirror {
  std::int64_t cx, sx, cy, sy;
  bool reversed;  // walked from the last trace point to the first
};

// Paints trace points [j0, j1] of one quadrant, each once, except those at
// the place of `skip`; rows and columns off the surface cost nothing.
template <class Paint>
void PaintRows(Surface& surface, const Pt* q, const std::vector<Row>& rows, const Mirror& mq,
               std::int64_t j0, std::int64_t j1, Pt skip, Paint paint) {
  const std::int64_t width = surface.width(), height = surface.height();
  // The quadrant's columns, [x1, x2] on the surface.
  const std::int64_t qx_min = q[j1].x, qx_max = q[j0].x;
  const std::int64_t x1 = mq.sx > 0 ? mq.cx + qx_min : mq.cx - qx_max;
  const std::int64_t x2 = mq.sx > 0 ? mq.cx + qx_max : mq.cx - qx_min;
  if (x2 < 0 || x1 >= width || height == 0) return;
  // Trace rows that land on the surface: cy + sy * y in [0, height).
  const std::int64_t y_lo = mq.sy > 0 ? -mq.cy : mq.cy - (height - 1);
  const std::int64_t y_hi = mq.sy > 0 ? height - 1 - mq.cy : mq.cy;
  auto it = std::lower_bound(rows.begin(), rows.end(), j0,
                             [](const Row& row, std::int64_t j) { return row.last < j; });
  if (it != rows.end() && it->y < y_lo)
    it = std::lower_bound(it, rows.end(), y_lo,
                          [](const Row& row, std::int64_t y) { return row.y < y; });
  for (; it != rows.end() && it->first <= j1 && it->y <= y_hi; ++it) {
    std::int64_t lo = q[std::min(it->last, j1)].x;
    std::int64_t hi = q[std::max(it->first, j0)].x;
    if (it->y == skip.y) {
      if (lo == skip.x) ++lo;
      if (hi == skip.x) --hi;
    }
    if (lo > hi) continue;
    std::int64_t xa = mq.sx > 0 ? mq.cx + lo : mq.cx - hi;
    std::int64_t xb = mq.sx > 0 ? mq.cx + hi : mq.cx - lo;
    xa = std::max<std::int64_t>(xa, 0);
    xb = std::min<std::int64_t>(xb, width - 1);
    if (xa > xb) continue;
    paint.Span(surface.row(mq.cy + mq.sy * it->y) + xa, xb - xa + 1);
  }
}

// Paints every trace point in all four quadrants at once, except the
// points in `skip` (at most two per quadrant, -1 for none), for an outline
// that lies wholly on the surface: four stores per point, no tests.
template <class Paint>
void PaintInside(Surface& surface, const Pt* q, std::int64_t count, const Mirror (&mirrors)[4],
                 const std::int64_t (&skip)[4][2], Paint paint) {
  const std::ptrdiff_t stride = surface.width();
  Colour* centre[4];
  for (int i = 0; i < 4; ++i) centre[i] = surface.row(mirrors[i].cy) + mirrors[i].cx;
  // The walk's quadrants in mirror order: +x -y, -x -y, -x +y, +x +y.
  auto all = [&](std::int64_t from, std::int64_t to) {
    for (std::int64_t j = from; j < to; ++j) {
      const std::ptrdiff_t x = q[j].x, y = q[j].y * stride;
      paint(centre[0] + x - y);
      paint(centre[1] - x - y);
      paint(centre[2] - x + y);
      paint(centre[3] + x + y);
    }
  };
  // The skipped indices cut the trace into stretches painted whole.
  std::int64_t cuts[8];
  int ncuts = 0;
  for (const auto& s : skip) {
    for (std::int64_t j : s) {
      if (j < 0) continue;
      int i = ncuts++;  // sorted by hand: there are so few
      for (; i > 0 && cuts[i - 1] > j; --i) cuts[i] = cuts[i - 1];
      cuts[i] = j;
    }
  }
  std::int64_t from = 0;
  for (int c = 0; c < ncuts; ++c) {
    const std::int64_t j = cuts[c];
    if (j < from) continue;  // the same index twice
    all(from, j);
    const std::ptrdiff_t x = q[j].x, y = q[j].y * stride;
    const std::ptrdiff_t offset[4] = {x - y, -x - y, -x + y, x + y};
    for (int i = 0; i < 4; ++i)
      if (skip[i][0] != j && skip[i][1] != j) paint(centre[i] + offset[i]);
    from = j + 1;
  }
  all(from, count);
}

}  // namespace

void TraceQuadrant(std::int64_t width, std::int64_t height, QuadrantTrace& out) {
  const std::int64_t a = width - 1;
  const std::int64_t b = height - 1;
  const std::int64_t asq = 8 * a * a;
  const std::int64_t bsq = 8 * b * b;
  std::int64_t dx = 4 * b * b * (1 - a);
  std::int64_t dy = 4 * a * a * (1 + (b % 2));
  std::int64_t err = dx + dy + static_cast<std::int64_t>(Mul32(a, a)) * (b % 2);
  Pt pt{a, height / 2};
  const std::int64_t limit = width + height + 4;
  if (static_cast<std::int64_t>(out.points.size()) < limit)
    out.points.resize(static_cast<size_t>(limit));
  Pt* p = out.points.data();
  std::int64_t n = 0;
  bool steps = true;
  while (pt.x >= width / 2 && n < limit) {
    p[n++] = pt;
    const std::int64_t e2 = 2 * err;
    steps &= e2 >= dx || e2 <= dy;
    if (e2 >= dx) {
      pt.x--;
      err += dx += bsq;
    }
    if (e2 <= dy) {
      pt.y++;
      err += dy += asq;
    }
  }
  out.count = n;
  out.steps_only = steps;
}

void DrawEllipse(Surface& surface, std::int64_t left, std::int64_t top, std::int64_t right,
                 std::int64_t bottom, const RopMasks& m, EllipseScratch& scratch) {
  std::int64_t l = left, t = top, r = right, b = bottom;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  const std::int64_t w = r - l, h = b - t;
  if (w == 0 || h == 0) return;
  if (w > kMaxArcSide || h > kMaxArcSide) return;

  QuadrantTrace& trace = scratch.trace;
  TraceQuadrant(w, h, trace);
  const std::int64_t count = trace.count;
  if (count == 0) return;
  // Centred on the box: x falls from the right end, y grows from the middle.
  Pt* q = trace.points.data();
  for (std::int64_t j = 0; j < count; ++j) {
    q[j].x -= w / 2;
    q[j].y -= h / 2;
  }
  // Both radial points are (0, 0); the default counter-clockwise direction
  // flips y before looking for the start of the trace.
  const std::int64_t start = FindIntersection(q, count, -(l + w / 2), t + h / 2);
  const std::int64_t cx_left = l + w / 2, cx_right = r - 1 - w / 2;
  const std::int64_t cy_top = t + h / 2, cy_bottom = b - 1 - h / 2;
  // The quadrants in walking order, counter-clockwise from the right end;
  // the second and fourth walk the trace backwards.
  const Mirror mirrors[4] = {{cx_left, 1, cy_bottom, -1, false},
                             {cx_right, -1, cy_bottom, -1, true},
                             {cx_right, -1, cy_top, 1, false},
                             {cx_left, 1, cy_top, 1, true}};
  // Trace index of the k-th point walked in a quadrant.
  auto index = [count](const Mirror& mq, std::int64_t k) {
    return mq.reversed ? count - 1 - k : k;
  };
  auto point = [&](const Mirror& mq, std::int64_t k) {
    const Pt& p = q[index(mq, k)];
    return Pt{mq.cx + mq.sx * p.x, mq.cy + mq.sy * p.y};
  };

  // The walk: 4 * count points from the start index, painted as an open
  // polyline whose segments leave out their end points. Within a quadrant
  // every step is to a neighbour, so each point but the last of the walk is
  // painted once unless the next one is the same; where two quadrants meet
  // the step may be longer and is drawn as a segment.
  struct Block {
    int quadrant;
    std::int64_t from, to;  // walking order, [from, to)
  };
  const int first = static_cast<int>((start / count) % 4);
  const std::int64_t k0 = start % count;
  const Block blocks[5] = {{first, k0, count},
                           {(first + 1) & 3, 0, count},
                           {(first + 2) & 3, 0, count},
                           {(first + 3) & 3, 0, count},
                           {first, 0, k0}};
  const int nblocks = k0 > 0 ? 5 : 4;

  // An outline wholly on the surface, traced without repeated points (no
  // box up to 1200 x 1200 repeats one), is painted four quadrants at a time,
  // leaving out each block's last point. Otherwise each block is painted by
  // rows, clipped, leaving out copies of its last point as well: rows and
  // quadrants off the surface are skipped without visiting their points.
  const std::int64_t reach_x = q[0].x, reach_y = q[count - 1].y;
  const bool inside = trace.steps_only && cx_right - reach_x >= 0 &&
                      cx_left + reach_x < surface.width() && cy_bottom - reach_y >= 0 &&
                      cy_top + reach_y < surface.height();
  std::vector<Row>& rows = scratch.rows;
  if (!inside) {
    rows.clear();
    for (std::int64_t j = 0; j < count; ++j) {
      if (rows.empty() || rows.back().y != q[j].y)
        rows.push_back(Row{q[j].y, j, j});
      else
        rows.back().last = j;
    }
  }
  WithPaint(m, [&](auto paint) {
    if (inside) {
      std::int64_t skip[4][2] = {{-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}};
      for (int i = 0; i < nblocks; ++i) {
        const Block& block = blocks[i];
        if (block.to > block.from)
          skip[block.quadrant][i == 4] = index(mirrors[block.quadrant], block.to - 1);
      }
      PaintInside(surface, q, count, mirrors, skip, paint);
    }
    for (int i = 0; i < nblocks; ++i) {
      const Block& block = blocks[i];
      const Mirror& mq = mirrors[block.quadrant];
      const std::int64_t last = block.to - 1;
      if (!inside && last > block.from) {
        const std::int64_t a = index(mq, block.from), z = index(mq, last - 1);
        PaintRows(surface, q, rows, mq, std::min(a, z), std::max(a, z), q[index(mq, last)], paint);
      }
      if (i + 1 == nblocks) break;  // the last point of the walk is left out
      const Pt from = point(mq, last);
      const Pt to = point(mirrors[blocks[i + 1].quadrant], blocks[i + 1].from);
      const std::int64_t ddx = to.x - from.x, ddy = to.y - from.y;
      if (ddx == 0 && ddy == 0) continue;
      if (ddx >= -1 && ddx <= 1 && ddy >= -1 && ddy <= 1)
        surface.Plot(from.x, from.y, m);
      else
        DrawSegment(surface, from.x, from.y, to.x, to.y, m);
    }
  });
}

}  // namespace brenlow::soft
