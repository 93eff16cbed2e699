#include "platform/soft/wide_lines.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <utility>

#include "platform/soft/ellipses.h"
#include "platform/soft/raster_math.h"

namespace brenlow::soft {

using Pt = TracePoint;

void WidePen::SetWidth(int width) {
  if (width == width_) return;
  width_ = width;
  cap_.clear();
  // The round cap is GDI's elliptic region (-w/2, -w/2, (w+1)/2 + 1, (w+1)/2 + 1):
  // its right and bottom edges are pulled in by one, then traced like an ellipse.
  const std::int64_t left = -(width / 2), top = -(width / 2);
  const std::int64_t right = (width + 1) / 2, bottom = (width + 1) / 2;
  const std::int64_t ew = std::min<std::int64_t>(right - left, width + 1);
  const std::int64_t eh = std::min<std::int64_t>(bottom - top, width + 1);
  auto add = [this](std::int64_t dy, std::int64_t l, std::int64_t r) {
    cap_.push_back(CapRow{static_cast<std::int32_t>(dy), static_cast<std::int32_t>(l),
                          static_cast<std::int32_t>(r)});
  };
  if (ew < 2 || eh < 2) {
    for (std::int64_t y = top; y < bottom; ++y) add(y, left, right);
    return;
  }
  // The lower right quadrant of the outline gives each row's inset from the
  // box's sides: its first point on that row. The other rows mirror it.
  QuadrantTrace quadrant;
  TraceQuadrant(ew, eh, quadrant);
  std::vector<std::int64_t> inset(static_cast<size_t>(eh), -1);
  for (std::int64_t j = 0; j < quadrant.count; ++j) {
    const TracePoint& p = quadrant.points[static_cast<size_t>(j)];
    if (p.y < eh && inset[static_cast<size_t>(p.y)] < 0)
      inset[static_cast<size_t>(p.y)] = ew - 1 - p.x;
  }
  for (std::int64_t i = 0; i < eh; ++i) {
    const std::int64_t row = i < eh / 2 ? top + i : bottom - eh + i;
    const std::int64_t in = inset[static_cast<size_t>(i < eh / 2 ? eh - 1 - i : i)];
    if (in < 0)
      add(row, 0, 0);  // not traced: an empty row
    else
      add(row, left + in, right - in);
  }
}

void WidePen::Draw(Surface& surface, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                   std::int64_t y2, const RopMasks& m) const {
  const std::int64_t w = width_;
  const std::int64_t width = surface.width(), height = surface.height();
  const std::int64_t dx = x2 - x1, dy = y2 - y1;

  // The body: a band for axis-parallel lines, otherwise a four-sided polygon
  // filled with the region rule (left and top edges in, right and bottom out).
  bool has_body = !(dx == 0 && dy == 0);
  bool polygon = has_body && dx != 0 && dy != 0;
  std::int64_t bl = 0, bt = 0, br = 0, bb = 0;  // band
  Pt quad[4] = {};
  if (has_body && !polygon) {
    if (dy == 0) {
      bl = std::min(x1, x2);
      br = std::max(x1, x2);
      bt = y1 - w / 2;
      bb = bt + w;
    } else {
      bt = std::min(y1, y2);
      bb = std::max(y1, y2);
      bl = x1 - w / 2;
      br = bl + w;
    }
  } else if (polygon) {
    const double len = std::hypot(static_cast<double>(dx), static_cast<double>(dy));
    const double widthx = static_cast<double>(w * std::llabs(dy)) / len;
    const double widthy = static_cast<double>(w * std::llabs(dx)) / len;
    Pt narrow{RoundAway(widthx / 2), RoundAway(widthy / 2)};
    Pt wide{RoundAway((widthx + 1) / 2), RoundAway((widthy + 1) / 2)};
    if (dx < 0) {
      wide.y = -wide.y;
      narrow.y = -narrow.y;
    }
    if (dy < 0) {
      std::swap(narrow, wide);
      wide.x = -wide.x;
      narrow.x = -narrow.x;
    }
    quad[0] = Pt{x1 - narrow.x, y1 + narrow.y};
    quad[1] = Pt{x1 + wide.x, y1 - wide.y};
    quad[2] = Pt{x2 + wide.x, y2 - wide.y};
    quad[3] = Pt{x2 - narrow.x, y2 + narrow.y};
  }

  std::int64_t top = std::min(y1, y2) - w, bottom = std::max(y1, y2) + w + 1;
  if (polygon)
    for (const Pt& p : quad) top = std::min(top, p.y), bottom = std::max(bottom, p.y + 1);
  top = std::max<std::int64_t>(top, 0);
  bottom = std::min<std::int64_t>(bottom, height);

  const std::int64_t cap_top = cap_.empty() ? 0 : cap_[0].dy;

  // Polygon edges walked row by row: x = top.x + ceil((y - top.y) * dx / dy),
  // kept as quotient and remainder so that no row needs a division.
  struct Edge {
    std::int64_t y0, y1, x, rem, dy, step, step_rem;
    bool started;
  };
  Edge edges[4];
  int nedges = 0;
  if (polygon) {
    for (int e = 0; e < 4; ++e) {
      Pt p = quad[e], n = quad[(e + 1) % 4];
      if (p.y == n.y) continue;
      if (p.y > n.y) std::swap(p, n);
      const std::int64_t edx = n.x - p.x, edy = n.y - p.y;
      const std::int64_t step = FloorDiv(edx, edy);
      edges[nedges++] = Edge{p.y, n.y, p.x, 0, edy, step, edx - step * edy, false};
    }
  }
  auto edge_x = [](Edge& e, std::int64_t y) {
    if (!e.started) {
      const std::int64_t rows = y - e.y0, edx = e.step * e.dy + e.step_rem;
      std::int64_t q, rem;
      if (rows < (std::int64_t{1} << 31) && edx < (std::int64_t{1} << 31) &&
          edx > -(std::int64_t{1} << 31)) {
        const std::int64_t num = rows * edx;
        q = CeilDiv(num, e.dy);
        rem = q * e.dy - num;
      } else {  // far-away edges would overflow 64 bits: one 128-bit division
        const __int128 num = static_cast<__int128>(rows) * edx;
        __int128 q128 = num / e.dy;
        if (q128 * e.dy < num) ++q128;  // ceiling (dy > 0)
        q = static_cast<std::int64_t>(q128);
        rem = static_cast<std::int64_t>(q128 * e.dy - num);
      }
      e.rem = rem;
      e.x += q;
      e.started = true;
    }
    return e.x;
  };
  auto edge_next = [](Edge& e) {
    if (!e.started) return;
    const std::int64_t d = e.step_rem - e.rem;
    if (d > 0) {
      e.x += e.step + 1;
      e.rem = e.dy - d;
    } else {
      e.x += e.step;
      e.rem = -d;
    }
  };

  // At most two caps, a band and two polygon spans per row; sorted by hand
  // since they are so few.
  std::pair<std::int64_t, std::int64_t> spans[6];
  int nspans = 0;
  auto add = [&](std::int64_t l, std::int64_t r) {
    if (l >= r) return;
    int i = nspans++;
    while (i > 0 && spans[i - 1].first > l) {
      spans[i] = spans[i - 1];
      --i;
    }
    spans[i] = {l, r};
  };
  // Rows of the two caps, as indices into cap_ (its rows are consecutive).
  const std::int64_t cap1_top = y1 + cap_top, cap2_top = y2 + cap_top;
  const std::int64_t caps = static_cast<std::int64_t>(cap_.size());
  auto fill = [&](Colour* row, std::int64_t l, std::int64_t r) {
    l = std::max<std::int64_t>(l, 0);
    r = std::min<std::int64_t>(r, width);
    if (l < r) WithPaint(m, [&](auto paint) { paint.Span(row + l, r - l); });
  };
  std::int64_t near_x = std::clamp<std::int64_t>(std::min(x1, x2), 0, width > 0 ? width - 1 : 0);
  for (std::int64_t y = top; y < bottom; ++y) {
    Colour* row = surface.row(y);
    // The stroke's rows are scattered over the canvas: ask for a later row
    // early so that its cache miss overlaps this row's work.
    if (y + 3 < bottom) __builtin_prefetch(row + 3 * width + near_x, 1);
    nspans = 0;
    if (y >= cap1_top && y < cap1_top + caps) {
      const CapRow& c = cap_[static_cast<size_t>(y - cap1_top)];
      add(x1 + c.left, x1 + c.right);
    }
    if (y >= cap2_top && y < cap2_top + caps) {
      const CapRow& c = cap_[static_cast<size_t>(y - cap2_top)];
      add(x2 + c.left, x2 + c.right);
    }
    if (has_body && !polygon && y >= bt && y < bb) add(bl, br);
    if (polygon) {
      // A convex outline crosses a row at two edges; more would be an odd
      // shape, filled by the even-odd rule all the same.
      std::int64_t xs[4];
      int nxs = 0;
      for (int e = 0; e < nedges; ++e) {
        Edge& edge = edges[e];
        if (y < edge.y0 || y >= edge.y1) continue;
        xs[nxs++] = edge_x(edge, y);
        edge_next(edge);
      }
      if (nxs == 2) {
        const std::int64_t a = xs[0], b = xs[1];
        add(std::min(a, b), std::max(a, b));
      } else if (nxs > 2) {
        for (int i = 1; i < nxs; ++i)
          for (int j = i; j > 0 && xs[j - 1] > xs[j]; --j) std::swap(xs[j - 1], xs[j]);
        for (int i = 0; i + 1 < nxs; i += 2) add(xs[i], xs[i + 1]);
      }
    }
    if (nspans == 0) continue;
    // Each pixel of the stroke is painted once, whatever overlaps.
    std::int64_t cl = spans[0].first, cr = spans[0].second;
    for (int i = 1; i < nspans; ++i) {
      if (spans[i].first <= cr) {
        cr = std::max(cr, spans[i].second);
      } else {
        fill(row, cl, cr);
        cl = spans[i].first;
        cr = spans[i].second;
      }
    }
    fill(row, cl, cr);
    near_x = std::clamp<std::int64_t>(cl, 0, width > 0 ? width - 1 : 0);
  }
}

}  // namespace brenlow::soft
