#include "platform/soft/lines.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <type_traits>

#include "platform/soft/raster_math.h"

namespace brenlow::soft {

namespace {

constexpr std::int64_t kFar = 0x10000000;

// Paints `count` pixels of a Bresenham walk from p. With t = err + bias, a
// pixel moves along both axes when t > 0 (t -= 2 * (dmaj - dmin)) and along
// the major one otherwise (t += 2 * dmin); 0 < dmin < dmaj.
//
// The moves come in runs: lines flatter than 1:2 repeat the major move and
// take one step of both, steeper ones the other way round. After the first
// run (found by a division) every run repeats its move `base` or `base + 1`
// times, and t says which, so a pixel costs no branch that the
// processor cannot predict: a run is a loop of fixed length and the extra
// pixel is painted through a pointer that is either it or a dummy.
template <class P>
void WalkRuns(const P& paint, Colour* p, std::int64_t count, std::int64_t t, std::int64_t dmaj,
              std::int64_t dmin, std::ptrdiff_t major_step, std::ptrdiff_t minor_step) {
  const bool flat = dmaj >= 2 * dmin;
  const std::int64_t up = 2 * dmin, down = 2 * (dmaj - dmin);
  if (down == 0) {  // a diagonal: t stays in (0, up]
    for (std::int64_t k = 0; k < count; ++k, p += major_step + minor_step) paint(p);
    return;
  }
  // `repeat` is the move inside a run, `last` the one that ends it.
  const std::ptrdiff_t repeat = flat ? major_step : major_step + minor_step;
  const std::ptrdiff_t last = flat ? major_step + minor_step : major_step;
  // j: how many times the run repeats its move.
  std::int64_t j;
  if (flat)
    j = t > 0 ? 0 : -t / up + 1;
  else
    j = t <= 0 ? 0 : (t + down - 1) / down;
  // Later runs start with t in (up - 2 * dmaj, 2 * up - 2 * dmaj] (flat) or
  // (2 * up - 2 * dmaj, up] (steep): j is base or base + 1.
  const std::int64_t base = flat ? dmaj / dmin - 1 : (2 * up - 2 * dmaj) / down + 1;
  const std::int64_t base_up = base * up, base_down = base * down;
  Colour spare = 0;
  auto run = [&](std::int64_t pixels) {
    for (std::int64_t k = 1; k < pixels; ++k, p += repeat) paint(p);
    paint(p);
  };
  // First run, exactly.
  if (j + 1 >= count) {
    run(count);
    return;
  }
  run(j + 1);
  p += last;
  count -= j + 1;
  t += flat ? up * (j + 1) - 2 * dmaj : up - down * j;
  // Steady runs: base + 1 pixels, then maybe one more. With u = t (steep) or
  // -t (flat) the extra pixel is there when u > threshold, and u changes by
  // one of two amounts.
  const std::int64_t sign = flat ? -1 : 1;
  const std::int64_t threshold = flat ? base_up - 1 : base_down;
  auto change = [&](std::int64_t pixels) {
    return sign * (flat ? up * pixels - 2 * dmaj : up - down * (pixels - 1));
  };
  const std::int64_t du_short = change(base + 1), du_long = change(base + 2);
  std::int64_t u = sign * t;
  // Lines on large canvases miss the cache at almost every run: ask for the
  // pixel some way ahead, whose address is known within a minor step.
  constexpr std::int64_t kAhead = 128;
  const std::ptrdiff_t ahead =
      kAhead * major_step +
      static_cast<std::ptrdiff_t>((kAhead * dmin + dmaj / 2) / dmaj) * minor_step;
  // Short runs, the common case, get a loop of known length.
  auto steady = [&](auto base_pixels) {
    const std::int64_t n = base_pixels;
    while (count > n) {
      __builtin_prefetch(p + ahead, 1);
      const bool extra = u > threshold;
      for (std::int64_t k = 1; k < base_pixels; ++k, p += repeat) paint(p);
      paint(p);
      Colour* q = p + repeat;
      paint(extra ? q : &spare);
      p = (extra ? q : p) + last;
      count -= n + (extra ? 1 : 0);
      u += extra ? du_long : du_short;
    }
  };
  switch (base + 1) {
    case 2:
      steady(std::integral_constant<std::int64_t, 2>());
      break;
    case 3:
      steady(std::integral_constant<std::int64_t, 3>());
      break;
    case 4:
      steady(std::integral_constant<std::int64_t, 4>());
      break;
    case 5:
      steady(std::integral_constant<std::int64_t, 5>());
      break;
    default:
      steady(base + 1);
      break;
  }
  if (count > 0) {
    // The last run may be cut short.
    run(std::min(count, base + 1 + (u > threshold ? 1 : 0)));
  }
}

bool Far(std::int64_t x, std::int64_t y) {
  return x >= kFar || x <= -kFar || y >= kFar || y <= -kFar;
}

// Far-out coordinates are scaled down the way GDI does to stay in range.
void ScaleFar(std::int64_t& x1, std::int64_t& y1, std::int64_t& x2, std::int64_t& y2) {
  if (Far(x1, y1)) x1 /= 8, y1 /= 8;
  if (Far(x2, y2)) x2 /= 8, y2 /= 8;
}

}  // namespace

void DrawSegment(Surface& surface, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                 std::int64_t y2, const RopMasks& m, std::int64_t top, std::int64_t bottom) {
  const std::int64_t width = surface.width();
  if (y1 == y2) {
    if (y1 < top || y1 >= bottom) return;
    if (x1 < x2)
      surface.FillRow(y1, x1, x2, m);
    else if (x1 > x2)
      surface.FillRow(y1, x2 + 1, x1 + 1, m);
    return;
  }
  if (x1 == x2) {
    if (x1 < 0 || x1 >= width) return;
    const std::int64_t from = std::max<std::int64_t>(y1 < y2 ? y1 : y2 + 1, top);
    const std::int64_t to = std::min(y1 < y2 ? y2 : y1 + 1, bottom);
    // Every pen reads first here: the processor's stride prefetcher follows
    // loads (not stores) down a column, so the rows arrive ahead of use.
    // Bare stores measured slower on the fades' frames.
    const Paint<true> paint{m.and_mask, m.xor_mask};
    Colour* p = surface.row(from) + x1;
    for (std::int64_t y = from; y < to; ++y, p += width) paint(p);
    return;
  }
  ScaleFar(x1, y1, x2, y2);
  // Scaling can leave it flat or upright, which the walk below cannot take.
  if (y1 == y2 || x1 == x2) {
    DrawSegment(surface, x1, y1, x2, y2, m, top, bottom);
    return;
  }

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
  const std::int64_t amin = x_major ? 0 : top, bmin = x_major ? top : 0;
  const std::int64_t amax = x_major ? width : bottom, bmax = x_major ? bottom : width;
  auto minor_steps = [&](std::int64_t i) { return CeilDiv(2 * i * dmin + bias - dmaj, 2 * dmaj); };

  // Steps whose major coordinate is inside; the end point (i == dmaj) is left out.
  std::int64_t lo = 0, hi = dmaj - 1;
  if (ainc > 0) {
    lo = std::max(lo, amin - a0);
    hi = std::min(hi, amax - 1 - a0);
  } else {
    lo = std::max(lo, a0 - (amax - 1));
    hi = std::min(hi, a0 - amin);
  }
  if (lo > hi) return;
  // Minor coordinate b0 + binc*n(i) must lie in [0, bmax). n(i) grows with
  // i and stays in [0, dmin] over the line, so the bounds can be narrowed to
  // that before they are multiplied.
  std::int64_t nmin, nmax;
  if (binc > 0) {
    nmin = bmin - b0;
    nmax = bmax - 1 - b0;
  } else {
    nmin = b0 - (bmax - 1);
    nmax = b0 - bmin;
  }
  nmin = std::max<std::int64_t>(nmin, -2);
  nmax = std::min<std::int64_t>(nmax, dmin + 1);
  if (nmin > nmax) return;
  // n(i) >= nmin  <=>  2*i*dmin > 2*dmaj*(nmin - 1) + dmaj - bias, and
  // n(i) <= nmax  <=>  2*i*dmin <= 2*dmaj*nmax + dmaj - bias.
  lo = std::max(lo, FloorDiv(2 * dmaj * (nmin - 1) + dmaj - bias, 2 * dmin) + 1);
  hi = std::min(hi, FloorDiv(2 * dmaj * nmax + dmaj - bias, 2 * dmin));
  if (lo > hi) return;

  const std::int64_t n = minor_steps(lo);
  const std::int64_t err = 2 * dmin - dmaj + 2 * lo * dmin - 2 * n * dmaj;
  const std::int64_t a = a0 + lo * ainc, b = b0 + n * binc;
  // Every pixel from lo to hi is inside: walk a pointer, no bounds checks.
  const std::ptrdiff_t row = width;
  const std::ptrdiff_t major_step = x_major ? ainc : ainc * row;
  const std::ptrdiff_t minor_step = x_major ? binc * row : binc;
  Colour* p = surface.data() + (x_major ? b * row + a : a * row + b);
  WithPaint(m, [&](auto paint) {
    WalkRuns(paint, p, hi - lo + 1, err + bias, dmaj, dmin, major_step, minor_step);
  });
}

std::int64_t LineBatch::BandRows(const Surface& surface) const {
  const std::size_t row_bytes = static_cast<std::size_t>(surface.width()) * sizeof(Colour);
  return static_cast<std::int64_t>(
      std::max<std::size_t>(1, band_bytes_ / std::max<std::size_t>(row_bytes, 1)));
}

void LineBatch::Add(Surface& surface, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                    std::int32_t y2, const RopMasks& m) {
  if (BandRows(surface) >= surface.height()) {
    DrawSegment(surface, x1, y1, x2, y2, m);
    return;
  }
  // A far end is scaled before the walk, which moves its rows: such a
  // segment may touch any band.
  const bool far = Far(x1, y1) || Far(x2, y2);
  pending_.push_back(
      {x1, y1, x2, y2, far ? INT64_MIN : std::min(y1, y2), far ? INT64_MAX : std::max(y1, y2), m});
  if (pending_.size() >= kCapacity) Flush(surface);
}

void LineBatch::Flush(Surface& surface) {
  if (pending_.empty()) return;
  std::int64_t first = INT64_MAX, last = INT64_MIN;
  for (const Pending& s : pending_) {
    first = std::min(first, s.first_row);
    last = std::max(last, s.last_row);
  }
  const std::int64_t rows = BandRows(surface);
  const std::int64_t from = std::max<std::int64_t>(first, 0);
  const std::int64_t to = std::min<std::int64_t>(last, surface.height() - 1) + 1;
  for (std::int64_t top = from; top < to; top += rows) {
    const std::int64_t bottom = std::min(top + rows, to);
    for (const Pending& s : pending_) {
      if (s.last_row < top || s.first_row >= bottom) continue;
      DrawSegment(surface, s.x1, s.y1, s.x2, s.y2, s.masks, top, bottom);
    }
  }
  pending_.clear();
}

}  // namespace brenlow::soft
