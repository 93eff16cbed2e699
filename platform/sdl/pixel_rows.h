// The raster's COLORREF pixels (0x00BBGGRR) copied into what a Linux window
// shows: an SDL window surface or a host window's XImage.
#pragma once

#include <cstdint>

#include "platform/canvas.h"

namespace brenlow {

// Rows of COLORREF pixels to 0x00RRGGBB ones with the given alpha bits set,
// the X server's usual format. Pitches are in bytes.
void CopySwappingRedBlue(const Colour* from, int from_pitch, std::uint32_t* to, int to_pitch,
                         int width, int height, std::uint32_t alpha);

// The same for any 32-bit format with 8-bit channels at the given shifts,
// byte-swapped when the target's byte order is not this machine's.
struct PixelFormat32 {
  int red_shift = 16;
  int green_shift = 8;
  int blue_shift = 0;
  std::uint32_t alpha = 0;
  bool swap_bytes = false;
};
void CopyPixelRows(const Colour* from, int from_pitch, std::uint32_t* to, int to_pitch, int width,
                   int height, const PixelFormat32& format);

}  // namespace brenlow
