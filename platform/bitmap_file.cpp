#include "platform/bitmap_file.h"

#include <algorithm>

namespace brenlow {
namespace {

std::uint32_t Le(const std::string& b, size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

}  // namespace

bool BitmapFileIsUsable(const std::string& b, std::uint64_t size) {
  constexpr std::uint64_t kFileHeader = 14;
  if (size < kFileHeader + 12 || b.size() < std::min<std::uint64_t>(size, kBitmapHeadBytes) ||
      b[0] != 'B' || b[1] != 'M') {
    return false;
  }
  const std::uint64_t pixels_at = Le(b, 10, 4);
  const std::uint64_t header = Le(b, 14, 4);
  if ((header != 12 && header < 40) || size < kFileHeader + header) return false;
  std::int64_t width, height;
  std::uint32_t bits, compression = 0, image_size = 0, colours_used = 0;
  std::uint64_t palette_entry;
  if (header == 12) {
    width = Le(b, 18, 2);
    height = Le(b, 20, 2);
    bits = Le(b, 24, 2);
    palette_entry = 3;
  } else {
    width = static_cast<std::int32_t>(Le(b, 18, 4));
    height = static_cast<std::int32_t>(Le(b, 22, 4));
    bits = Le(b, 28, 2);
    compression = Le(b, 30, 4);
    image_size = Le(b, 34, 4);
    colours_used = Le(b, 46, 4);
    palette_entry = 4;
  }
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
      width * height > kMaxPicturePixels) {
    return false;
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  std::uint64_t tables = kFileHeader + header;
  if (compression == 3 && header == 40) tables += 12;  // the three colour masks
  if (bits <= 8) {
    const std::uint64_t colours = colours_used != 0 ? colours_used : (1u << bits);
    if (colours > 256) return false;
    tables += colours * palette_entry;
  }
  if (tables > size || pixels_at < kFileHeader + header || pixels_at > size) return false;
  switch (compression) {
    case 0:  // uncompressed
    case 3: {
      const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
      return pixels_at + stride * static_cast<std::uint64_t>(height) <= size;
    }
    case 1:  // run-length encoded, 8 and 4 bits
    case 2:
      return image_size > 0 && pixels_at + image_size <= size;
    default:
      return false;
  }
}

}  // namespace brenlow
