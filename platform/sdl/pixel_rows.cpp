#include "platform/sdl/pixel_rows.h"

#include <cstddef>
#include <cstring>

namespace brenlow {

void CopySwappingRedBlue(const Colour* from, int from_pitch, std::uint32_t* to, int to_pitch,
                         int width, int height, std::uint32_t alpha) {
  // Four pixels at a time in the compiler's portable vectors: -O2 leaves a
  // plain loop scalar.
  using Four = std::uint32_t __attribute__((vector_size(16)));
  auto swap = [alpha](auto c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu) | alpha;
  };
  for (int y = 0; y < height; ++y) {
    const char* in = reinterpret_cast<const char*>(from) + static_cast<size_t>(y) * from_pitch;
    char* out = reinterpret_cast<char*>(to) + static_cast<size_t>(y) * to_pitch;
    int x = 0;
    for (; x + 4 <= width; x += 4) {
      Four c;
      std::memcpy(&c, in + x * 4, sizeof c);
      c = swap(c);
      std::memcpy(out + x * 4, &c, sizeof c);
    }
    for (; x < width; ++x) {
      Colour c;
      std::memcpy(&c, in + x * 4, sizeof c);
      const std::uint32_t v = swap(c);
      std::memcpy(out + x * 4, &v, sizeof v);
    }
  }
}

void CopyPixelRows(const Colour* from, int from_pitch, std::uint32_t* to, int to_pitch, int width,
                   int height, const PixelFormat32& f) {
  if (f.red_shift == 16 && f.green_shift == 8 && f.blue_shift == 0 && !f.swap_bytes) {
    CopySwappingRedBlue(from, from_pitch, to, to_pitch, width, height, f.alpha);
    return;
  }
  for (int y = 0; y < height; ++y) {
    const char* in = reinterpret_cast<const char*>(from) + static_cast<size_t>(y) * from_pitch;
    char* out = reinterpret_cast<char*>(to) + static_cast<size_t>(y) * to_pitch;
    for (int x = 0; x < width; ++x) {
      Colour c;
      std::memcpy(&c, in + x * 4, sizeof c);
      std::uint32_t v = ((c & 0xFFu) << f.red_shift) | (((c >> 8) & 0xFFu) << f.green_shift) |
                        (((c >> 16) & 0xFFu) << f.blue_shift) | f.alpha;
      if (f.swap_bytes) v = __builtin_bswap32(v);
      std::memcpy(out + x * 4, &v, sizeof v);
    }
  }
}

}  // namespace brenlow
