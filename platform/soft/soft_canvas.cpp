#include "platform/soft/soft_canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace brenlow {
namespace {

constexpr std::uint32_t kRgbMask = 0x00ffffffu;
// Boxes beyond this size would need a huge trace and overflow the 64-bit
// error terms of the ellipse algorithm; nothing is drawn.
constexpr std::int64_t kMaxArcSide = std::int64_t{1} << 19;

std::int64_t FloorDiv(std::int64_t a, std::int64_t d) {  // d > 0
  std::int64_t q = a / d;
  if ((a % d != 0) && (a < 0)) --q;
  return q;
}
std::int64_t CeilDiv(std::int64_t a, std::int64_t d) { return -FloorDiv(-a, d); }

// GDI does these products in 32-bit ints; keep its wrap-around.
std::int32_t Mul32(std::int64_t a, std::int64_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

std::int32_t RoundToInt(float v) {
  const double r = std::nearbyint(static_cast<double>(v));
  if (!(r >= -2147483648.0)) return std::numeric_limits<std::int32_t>::min();
  if (r > 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(r);
}

// Half away from zero, then truncated: how the wide pen rounds its outline.
std::int64_t RoundAway(double f) { return static_cast<std::int64_t>(f > 0 ? f + 0.5 : f - 0.5); }

using Pt = SoftCanvas::TracePoint;

// One quadrant of the ellipse outline (Zingl's integer algorithm), from the
// x axis towards the y axis, in box coordinates.
void EllipseQuadrant(std::int64_t width, std::int64_t height, std::vector<Pt>& out) {
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

struct SoftCanvas::FontState {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  bool failed = false;
  ~FontState() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

SoftCanvas::SoftCanvas(int width, int height)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0),
      font_file_(DefaultFontFile()) {
  UpdatePenMasks();
}

SoftCanvas::~SoftCanvas() = default;

const char* SoftCanvas::DefaultFontFile() {
  return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

SoftCanvas::Masks SoftCanvas::MasksFor(int rop, Colour colour) {
  // ROP2 code - 1 is a truth table: bit (2 * pen + dest) gives the result.
  const unsigned code = static_cast<unsigned>(rop - 1);
  auto all = [code](int pen, int dest) -> std::uint32_t {
    return ((code >> (pen * 2 + dest)) & 1u) ? ~0u : 0u;
  };
  const std::uint32_t p = colour & kRgbMask;
  const std::uint32_t when_dest_0 = (p & all(1, 0)) | (~p & all(0, 0));
  const std::uint32_t when_dest_1 = (p & all(1, 1)) | (~p & all(0, 1));
  // New = (old AND a) XOR x, with the spare byte kept at zero.
  return Masks{when_dest_0 ^ when_dest_1, when_dest_0 & kRgbMask};
}

void SoftCanvas::UpdatePenMasks() { pen_masks_ = MasksFor(rop_, pen_colour_); }

void SoftCanvas::SetRop2(int rop) {
  if (rop < 1 || rop > 16) return;  // GDI refuses other codes and keeps the old one
  rop_ = rop;
  UpdatePenMasks();
}

void SoftCanvas::SetPenColour(Colour colour) {
  pen_colour_ = colour & kRgbMask;
  UpdatePenMasks();
}

void SoftCanvas::SetPenWidth(int width) { pen_width_ = std::max(1, width); }

void SoftCanvas::SetFillSolid(bool solid) { fill_solid_ = solid; }

void SoftCanvas::Repaint() { std::fill(pixels_.begin(), pixels_.end(), 0u); }

void SoftCanvas::FillRow(std::int64_t y, std::int64_t left, std::int64_t right, const Masks& m) {
  if (y < 0 || y >= height_) return;
  left = std::max<std::int64_t>(left, 0);
  right = std::min<std::int64_t>(right, width_);
  if (left >= right) return;
  Colour* row = pixels_.data() + static_cast<size_t>(y) * width_;
  if (m.and_mask == 0 && m.xor_mask == 0) {
    std::memset(row + left, 0, static_cast<size_t>(right - left) * sizeof(Colour));
  } else if (m.and_mask == 0) {
    std::fill(row + left, row + right, m.xor_mask);
  } else {
    for (std::int64_t x = left; x < right; ++x) row[x] = (row[x] & m.and_mask) ^ m.xor_mask;
  }
}

void SoftCanvas::FillRect(std::int64_t left, std::int64_t top, std::int64_t right,
                          std::int64_t bottom, const Masks& m) {
  top = std::max<std::int64_t>(top, 0);
  bottom = std::min<std::int64_t>(bottom, height_);
  for (std::int64_t y = top; y < bottom; ++y) FillRow(y, left, right, m);
}

void SoftCanvas::Segment(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                         const Masks& m) {
  if (y1 == y2) {
    if (x1 < x2)
      FillRow(y1, x1, x2, m);
    else if (x1 > x2)
      FillRow(y1, x2 + 1, x1 + 1, m);
    return;
  }
  if (x1 == x2) {
    if (x1 < 0 || x1 >= width_) return;
    const std::int64_t top = y1 < y2 ? y1 : y2 + 1;
    const std::int64_t bottom = y1 < y2 ? y2 : y1 + 1;
    const std::int64_t from = std::max<std::int64_t>(top, 0);
    const std::int64_t to = std::min<std::int64_t>(bottom, height_);
    Colour* p = pixels_.data() + static_cast<size_t>(from) * width_ + x1;
    for (std::int64_t y = from; y < to; ++y, p += width_) *p = (*p & m.and_mask) ^ m.xor_mask;
    return;
  }
  // Far-out coordinates are scaled down the way GDI does to stay in range.
  constexpr std::int64_t kFar = 0x10000000;
  auto far = [](std::int64_t x, std::int64_t y) {
    return x >= kFar || x <= -kFar || y >= kFar || y <= -kFar;
  };
  if (far(x1, y1)) x1 /= 8, y1 /= 8;
  if (far(x2, y2)) x2 /= 8, y2 /= 8;

  const std::int64_t dx = x2 - x1, dy = y2 - y1;
  const std::int64_t adx = std::llabs(dx), ady = std::llabs(dy);
  if (adx == 0 && ady == 0) return;
  int octant;
  if (dy > 0)
    octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
  else
    octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
  const bool x_major = octant == 1 || octant == 4 || octant == 5 || octant == 8;
  const std::int64_t bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
  const std::int64_t xinc = dx > 0 ? 1 : -1, yinc = dy > 0 ? 1 : -1;

  // Major axis a, minor axis b; step i paints (a0 + i*ainc, b0 + n(i)*binc)
  // with n(i) = ceil((2*i*dmin + bias - dmaj) / (2*dmaj)).
  const std::int64_t dmaj = x_major ? adx : ady, dmin = x_major ? ady : adx;
  const std::int64_t a0 = x_major ? x1 : y1, b0 = x_major ? y1 : x1;
  const std::int64_t ainc = x_major ? xinc : yinc, binc = x_major ? yinc : xinc;
  const std::int64_t alimit = x_major ? width_ : height_, blimit = x_major ? height_ : width_;
  auto minor_steps = [&](std::int64_t i) { return CeilDiv(2 * i * dmin + bias - dmaj, 2 * dmaj); };

  // Steps whose major coordinate is inside; the end point (i == dmaj) is left out.
  std::int64_t lo = 0, hi = dmaj - 1;
  if (ainc > 0) {
    lo = std::max(lo, -a0);
    hi = std::min(hi, alimit - 1 - a0);
  } else {
    lo = std::max(lo, a0 - (alimit - 1));
    hi = std::min(hi, a0);
  }
  if (lo > hi) return;
  // Minor coordinate b0 + binc*n(i) must lie in [0, blimit); n(i) grows with i.
  std::int64_t nmin, nmax;
  if (binc > 0) {
    nmin = -b0;
    nmax = blimit - 1 - b0;
  } else {
    nmin = b0 - (blimit - 1);
    nmax = b0;
  }
  if (minor_steps(lo) < nmin) {  // first step with n(i) >= nmin
    std::int64_t l = lo, r = hi + 1;
    while (l < r) {
      const std::int64_t mid = l + (r - l) / 2;
      if (minor_steps(mid) >= nmin)
        r = mid;
      else
        l = mid + 1;
    }
    lo = l;
  }
  if (lo > hi) return;
  if (minor_steps(hi) > nmax) {  // last step with n(i) <= nmax
    std::int64_t l = lo - 1, r = hi;
    while (l < r) {
      const std::int64_t mid = l + (r - l + 1) / 2;
      if (minor_steps(mid) <= nmax)
        l = mid;
      else
        r = mid - 1;
    }
    hi = l;
  }
  if (lo > hi) return;

  std::int64_t n = minor_steps(lo);
  std::int64_t err = 2 * dmin - dmaj + 2 * lo * dmin - 2 * n * dmaj;
  const std::int64_t a = a0 + lo * ainc, b = b0 + n * binc;
  const std::int64_t add_step = 2 * dmin - 2 * dmaj, add_flat = 2 * dmin;
  // Every pixel from lo to hi is inside: walk a pointer, no bounds checks.
  const std::ptrdiff_t row = width_;
  const std::ptrdiff_t major_step = x_major ? ainc : ainc * row;
  const std::ptrdiff_t minor_step = x_major ? binc * row : binc;
  Colour* p = pixels_.data() + (x_major ? b * row + a : a * row + b);
  const std::uint32_t and_mask = m.and_mask, xor_mask = m.xor_mask;
  // The minor step is taken without a branch: on slanted lines it is a coin
  // toss that a branch predictor would keep losing.
  auto walk = [&](auto paint) {
    for (std::int64_t i = lo; i <= hi; ++i) {
      paint(p);
      const bool step = err + bias > 0;
      p += major_step + (step ? minor_step : 0);
      err += step ? add_step : add_flat;
    }
  };
  if (and_mask == 0)
    walk([xor_mask](Colour* q) { *q = xor_mask; });
  else
    walk([and_mask, xor_mask](Colour* q) { *q = (*q & and_mask) ^ xor_mask; });
}

void SoftCanvas::Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  std::int64_t l = left, t = top, r = right, b = bottom;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  const std::int64_t w = r - l, h = b - t;
  if (w == 0 || h == 0) return;
  if (w > kMaxArcSide || h > kMaxArcSide) return;

  std::vector<Pt>& q = quadrant_;
  EllipseQuadrant(w, h, q);
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
        Plot(prev.x, prev.y, pen_masks_);
      else
        Segment(prev.x, prev.y, cur.x, cur.y, pen_masks_);
    }
    prev = cur;
  }
}

void SoftCanvas::Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom) {
  std::int64_t l = left, t = top, r = right, b = bottom;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (l == r || t == b) return;
  const std::int64_t rr = r - 1, bb = b - 1;
  // Closed outline, counter-clockwise from the top right corner.
  Segment(rr, t, l, t, pen_masks_);
  Segment(l, t, l, bb, pen_masks_);
  Segment(l, bb, rr, bb, pen_masks_);
  Segment(rr, bb, rr, t, pen_masks_);
  if (fill_solid_) FillRect(l + 1, t + 1, rr, bb, MasksFor(rop_, 0));
}

void SoftCanvas::Line(float x1, float y1, float x2, float y2) {
  LineInt(RoundToInt(x1), RoundToInt(y1), RoundToInt(x2), RoundToInt(y2));
}

void SoftCanvas::LineInt(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  if (pen_width_ <= 1)
    Segment(x1, y1, x2, y2, pen_masks_);
  else
    WideLine(x1, y1, x2, y2);
}

void SoftCanvas::BuildCapRows() {
  // The round cap is GDI's elliptic region (-w/2, -w/2, (w+1)/2 + 1, (w+1)/2 + 1):
  // its right and bottom edges are pulled in by one, then traced like an ellipse.
  const int w = pen_width_;
  cap_width_ = w;
  cap_rows_.clear();
  const std::int64_t left = -(w / 2), top = -(w / 2);
  const std::int64_t right = (w + 1) / 2 + 1 - 1, bottom = (w + 1) / 2 + 1 - 1;
  const std::int64_t ew = std::min<std::int64_t>(right - left, w + 1);
  const std::int64_t eh = std::min<std::int64_t>(bottom - top, w + 1);
  if (ew < 2 || eh < 2) {
    for (std::int64_t y = top; y < bottom; ++y) {
      cap_rows_.push_back(static_cast<std::int32_t>(y));
      cap_rows_.push_back(static_cast<std::int32_t>(left));
      cap_rows_.push_back(static_cast<std::int32_t>(right));
    }
    return;
  }
  std::vector<std::int64_t> rl(static_cast<size_t>(eh) + 2), rr(static_cast<size_t>(eh) + 2);
  const std::int64_t a = ew - 1, b = eh - 1;
  const std::int64_t asq = 8 * a * a, bsq = 8 * b * b;
  std::int64_t dx = 4 * b * b * (1 - a);
  std::int64_t dy = 4 * a * a * (1 + (b % 2));
  std::int64_t err = dx + dy + a * a * (b % 2);
  std::int64_t x = 0, y = eh / 2;
  rl[y] = left;
  rr[y] = right;
  while (x <= ew / 2) {
    const std::int64_t e2 = 2 * err;
    if (e2 >= dx) {
      x++;
      err += dx += bsq;
    }
    if (e2 <= dy) {
      y++;
      err += dy += asq;
      if (y < static_cast<std::int64_t>(rl.size())) {
        rl[y] = left + x;
        rr[y] = right - x;
      }
    }
  }
  for (std::int64_t i = 0; i < eh; ++i) {
    const std::int64_t row = i < eh / 2 ? top + i : bottom - eh + i;
    const std::int64_t src = i < eh / 2 ? b - i : i;
    cap_rows_.push_back(static_cast<std::int32_t>(row));
    cap_rows_.push_back(static_cast<std::int32_t>(rl[src]));
    cap_rows_.push_back(static_cast<std::int32_t>(rr[src]));
  }
}

void SoftCanvas::WideLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
  if (cap_width_ != pen_width_) BuildCapRows();
  const std::int64_t w = pen_width_;
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
    const double width_x = static_cast<double>(w * std::llabs(dy)) / len;
    const double width_y = static_cast<double>(w * std::llabs(dx)) / len;
    Pt narrow{RoundAway(width_x / 2), RoundAway(width_y / 2)};
    Pt wide{RoundAway((width_x + 1) / 2), RoundAway((width_y + 1) / 2)};
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
  bottom = std::min<std::int64_t>(bottom, height_);

  const size_t cap_count = cap_rows_.size() / 3;
  const std::int64_t cap_top = cap_rows_.empty() ? 0 : cap_rows_[0];

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
  // Rows of the two caps, as indices into cap_rows_ (its rows are consecutive).
  const std::int64_t cap1_top = y1 + cap_top, cap2_top = y2 + cap_top;
  const std::int64_t caps = static_cast<std::int64_t>(cap_count);
  const std::uint32_t and_mask = pen_masks_.and_mask, xor_mask = pen_masks_.xor_mask;
  auto fill = [&](Colour* row, std::int64_t l, std::int64_t r) {
    l = std::max<std::int64_t>(l, 0);
    r = std::min<std::int64_t>(r, width_);
    if (and_mask == 0) {
      for (std::int64_t x = l; x < r; ++x) row[x] = xor_mask;
    } else {
      for (std::int64_t x = l; x < r; ++x) row[x] = (row[x] & and_mask) ^ xor_mask;
    }
  };
  std::int64_t near_x = std::clamp<std::int64_t>(std::min(x1, x2), 0, width_ > 0 ? width_ - 1 : 0);
  for (std::int64_t y = top; y < bottom; ++y) {
    Colour* row = pixels_.data() + y * width_;
    // The stroke's rows are scattered over the canvas: ask for a later row
    // early so that its cache miss overlaps this row's work.
    if (y + 3 < bottom) __builtin_prefetch(row + 3 * width_ + near_x, 1);
    nspans = 0;
    if (y >= cap1_top && y < cap1_top + caps) {
      const std::int64_t k = (y - cap1_top) * 3;
      add(x1 + cap_rows_[k + 1], x1 + cap_rows_[k + 2]);
    }
    if (y >= cap2_top && y < cap2_top + caps) {
      const std::int64_t k = (y - cap2_top) * 3;
      add(x2 + cap_rows_[k + 1], x2 + cap_rows_[k + 2]);
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
    near_x = std::clamp<std::int64_t>(cl, 0, width_ > 0 ? width_ - 1 : 0);
  }
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
  w = std::min<std::int64_t>(w, width_ - dx);
  h = std::min<std::int64_t>(h, height_ - dy);
  if (w <= 0 || h <= 0) return;
  for (std::int64_t row = 0; row < h; ++row) {
    const Colour* src = picture.pixels.data() + static_cast<size_t>(sy + row) * picture.width + sx;
    Colour* dst = pixels_.data() + static_cast<size_t>(dy + row) * width_ + dx;
    std::memcpy(dst, src, static_cast<size_t>(w) * sizeof(Colour));
  }
}

void SoftCanvas::SetFontSize(float points) { font_points_ = points; }

void SoftCanvas::SetFontFile(const std::string& path) {
  font_file_ = path;
  font_.reset();
}

namespace {

// UTF-8 when the bytes form it, otherwise one character per byte (Latin-1).
std::vector<std::uint32_t> DecodeText(const std::string& text) {
  std::vector<std::uint32_t> out;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  for (size_t i = 0; i < n;) {
    const unsigned c = s[i];
    int extra = c >= 0xf0 && c < 0xf8 ? 3 : c >= 0xe0 ? 2 : c >= 0xc2 && c < 0xe0 ? 1 : 0;
    if (c >= 0xf8) extra = 0;
    bool ok = extra > 0 && i + extra < n;
    std::uint32_t cp = c & (0x3fu >> extra);
    for (int k = 1; ok && k <= extra; ++k) {
      if (i + k >= n || (s[i + k] & 0xc0) != 0x80)
        ok = false;
      else
        cp = (cp << 6) | (s[i + k] & 0x3f);
    }
    if (ok) {
      out.push_back(cp);
      i += extra + 1;
    } else {
      out.push_back(c);
      ++i;
    }
  }
  return out;
}

Colour Blend(Colour under, Colour over, unsigned alpha) {
  Colour out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const unsigned u = (under >> shift) & 0xff, o = (over >> shift) & 0xff;
    out |= ((u * (255 - alpha) + o * alpha + 127) / 255) << shift;
  }
  return out;
}

}  // namespace

void SoftCanvas::PrintText(float x, float y, const std::string& text) {
  if (!font_) {
    font_ = std::make_unique<FontState>();
    if (FT_Init_FreeType(&font_->library) != 0 ||
        FT_New_Face(font_->library, font_file_.c_str(), 0, &font_->face) != 0) {
      std::fprintf(stderr, "brenlow: cannot load font %s; text is not drawn\n", font_file_.c_str());
      font_->failed = true;
    }
  }
  if (font_->failed || text.empty()) return;
  FT_Face face = font_->face;
  // Point size at 96 dots per inch, whole pixels like a GDI font height.
  const double wanted = std::isfinite(font_points_) ? font_points_ * 96.0 / 72.0 : 1.0;
  const long pixels = std::lround(std::clamp(wanted, 1.0, 4096.0));
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0) return;

  const std::int64_t left = RoundToInt(x);
  const std::int64_t baseline = RoundToInt(y) + (face->size->metrics.ascender >> 6);
  std::int64_t pen = left;
  for (std::uint32_t cp : DecodeText(text)) {
    if (FT_Load_Char(face, cp, FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot g = face->glyph;
    const FT_Bitmap& bm = g->bitmap;
    for (unsigned row = 0; row < bm.rows; ++row) {
      const std::int64_t py = baseline - g->bitmap_top + row;
      if (py < 0 || py >= height_) continue;
      const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(row) * bm.pitch;
      for (unsigned col = 0; col < bm.width; ++col) {
        const std::int64_t px = pen + g->bitmap_left + col;
        if (px < 0 || px >= width_ || src[col] == 0) continue;
        Colour& d = pixels_[static_cast<size_t>(py) * width_ + px];
        d = Blend(d, pen_colour_, src[col]);
      }
    }
    pen += g->advance.x >> 6;
  }
  // Underline from the font's own position and thickness.
  const FT_Fixed yscale = face->size->metrics.y_scale;
  const long pos = FT_MulFix(face->underline_position, yscale) >> 6;
  const long thick =
      std::max(1L, static_cast<long>(FT_MulFix(face->underline_thickness, yscale) >> 6));
  const std::int64_t utop = baseline - pos;
  FillRect(left, utop, pen, utop + thick, MasksFor(kRopCopyPen, pen_colour_));
}

}  // namespace brenlow
