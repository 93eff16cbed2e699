// Integer arithmetic the raster's primitives share: divisions that round
// towards an end, GDI's 32-bit products, and coordinate rounding.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace brenlow::soft {

inline std::int64_t FloorDiv(std::int64_t a, std::int64_t d) {  // d > 0
  std::int64_t q = a / d;
  if ((a % d != 0) && (a < 0)) --q;
  return q;
}
inline std::int64_t CeilDiv(std::int64_t a, std::int64_t d) { return -FloorDiv(-a, d); }

// GDI does these products in 32-bit ints; keep its wrap-around.
inline std::int32_t Mul32(std::int64_t a, std::int64_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

// Half to even, saturated to the 32-bit range.
inline std::int32_t RoundToInt(float v) {
  const double r = std::nearbyint(static_cast<double>(v));
  if (!(r >= -2147483648.0)) return std::numeric_limits<std::int32_t>::min();
  if (r > 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(r);
}

// Half away from zero, then truncated: how the wide pen rounds its outline.
inline std::int64_t RoundAway(double f) {
  return static_cast<std::int64_t>(f > 0 ? f + 0.5 : f - 0.5);
}

}  // namespace brenlow::soft
