// The saver's pseudo-random generator: numbers r with 0 <= r < 1, seeded
// from the clock at every cycle.
#pragma once

#include <cstdint>
#include <cstring>
#include <deque>

namespace brenlow {

class Random {
 public:
  // The state every saver starts in: the first cycle's colour factors are
  // drawn before the first seeding from the clock.
  static constexpr std::uint64_t kStartSeed = 0x2545F4914F6CDD1DULL;

  explicit Random(std::uint64_t seed = kStartSeed) { Seed(seed); }

  void Seed(std::uint64_t seed) { state_ = seed; }

  // Seeds from a clock reading: every bit of the reading counts, so two
  // readings a millisecond apart give unrelated sequences.
  void SeedFromClock(double seconds) {
    std::uint64_t bits;
    std::memcpy(&bits, &seconds, sizeof bits);
    Seed(bits);
  }

  // Values handed out before the generator's own (tests and tools).
  void Script(std::deque<double> values) { script_ = std::move(values); }

  // splitmix64, top 53 bits as a fraction in [0, 1).
  double Next() {
    if (!script_.empty()) {
      const double value = script_.front();
      script_.pop_front();
      return value;
    }
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
  }

 private:
  std::uint64_t state_;
  std::deque<double> script_;
};

}  // namespace brenlow
