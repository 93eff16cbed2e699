// Number conventions of the saver: every real-to-integer conversion takes the
// nearest integer with halves to even, and fails loudly when out of range.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace brenlow {

// Degrees to radians, as the effects have always used it (not pi/180).
constexpr double kDegreesToRadians = 0.01745329251994;

class OverflowError : public std::overflow_error {
 public:
  OverflowError() : std::overflow_error("Overflow") {}
};

// Nearest integer, halves to even, range-checked for T.
template <typename T>
T round_half_even(double value) {
  const double r = std::nearbyint(value);  // default mode: to nearest, ties to even
  if (!(r >= static_cast<double>(std::numeric_limits<T>::min()) &&
        r <= static_cast<double>(std::numeric_limits<T>::max()))) {
    throw OverflowError();  // also NaN
  }
  return static_cast<T>(r);
}

inline std::int16_t ToInt16(double value) { return round_half_even<std::int16_t>(value); }
inline std::int32_t ToInt32(double value) { return round_half_even<std::int32_t>(value); }

// Largest integer not above the argument.
inline double Int(double value) { return std::floor(value); }

// 16-bit counter arithmetic that overflows loudly instead of wrapping.
inline std::int16_t Add16(std::int16_t a, int b) {
  const int sum = a + b;
  if (sum > std::numeric_limits<std::int16_t>::max() ||
      sum < std::numeric_limits<std::int16_t>::min()) {
    throw OverflowError();
  }
  return static_cast<std::int16_t>(sum);
}

}  // namespace brenlow
