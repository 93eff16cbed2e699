#include "platform/soft/picture_io.h"

#include <SDL.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace brenlow {
namespace {

std::int32_t ReadLe32(const unsigned char* p) {
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
      (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

// Looks at the header only, so that a hostile size is refused before the
// decoder allocates anything for it, and an uncompressed file cut short is
// refused before a surface for its claimed size is made.
bool HeaderIsSane(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  const std::int64_t file_size = static_cast<std::int64_t>(in.tellg());
  in.seekg(0);
  unsigned char h[34] = {};
  if (file_size < 26 || !in.read(reinterpret_cast<char*>(h), std::min<std::int64_t>(34, file_size)))
    return false;
  if (h[0] != 'B' || h[1] != 'M') return false;
  const std::int64_t offset = static_cast<std::uint32_t>(ReadLe32(h + 10));
  const std::int32_t info_size = ReadLe32(h + 14);
  std::int64_t w, hgt, bpp, compression = 0;
  if (info_size == 12) {  // old OS/2 header: 16-bit sizes
    w = h[18] | (h[19] << 8);
    hgt = h[20] | (h[21] << 8);
    bpp = h[24] | (h[25] << 8);
  } else {
    if (file_size < 34) return false;
    w = ReadLe32(h + 18);
    hgt = std::llabs(static_cast<std::int64_t>(ReadLe32(h + 22)));
    bpp = h[28] | (h[29] << 8);
    compression = static_cast<std::uint32_t>(ReadLe32(h + 30));
  }
  if (w <= 0 || hgt <= 0 || w > kMaxPictureSide || hgt > kMaxPictureSide) return false;
  if (w * hgt > kMaxPicturePixels) return false;
  // Uncompressed rows are padded to 4 bytes; compressed data cannot be sized.
  if ((compression == 0 || compression == 3) && bpp > 0 && bpp <= 32) {
    const std::int64_t stride = (w * bpp + 31) / 32 * 4;
    if (offset + stride * hgt > file_size) return false;
  }
  return true;
}

}  // namespace

std::optional<Picture> LoadBmp(const std::string& path) {
  if (!HeaderIsSane(path)) return std::nullopt;
  SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
  if (!loaded) return std::nullopt;
  // XBGR8888 packs red into the low byte: the COLORREF layout.
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_XBGR8888, 0);
  SDL_FreeSurface(loaded);
  if (!rgb) return std::nullopt;
  std::optional<Picture> result;
  if (rgb->w > 0 && rgb->h > 0 && rgb->w <= kMaxPictureSide && rgb->h <= kMaxPictureSide &&
      SDL_LockSurface(rgb) == 0) {
    Picture pic;
    pic.width = rgb->w;
    pic.height = rgb->h;
    pic.pixels.resize(static_cast<size_t>(pic.width) * pic.height);
    for (int y = 0; y < pic.height; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(
          static_cast<const unsigned char*>(rgb->pixels) + static_cast<size_t>(y) * rgb->pitch);
      for (int x = 0; x < pic.width; ++x)
        pic.pixels[static_cast<size_t>(y) * pic.width + x] = row[x] & 0x00ffffffu;
    }
    SDL_UnlockSurface(rgb);
    result = std::move(pic);
  }
  SDL_FreeSurface(rgb);
  return result;
}

bool WritePng(const std::string& path, std::span<const Colour> pixels, int w, int h) {
  if (w <= 0 || h <= 0 || pixels.size() < static_cast<size_t>(w) * static_cast<size_t>(h))
    return false;
  std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
  for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
    rgb[i * 3] = static_cast<unsigned char>(pixels[i] & 0xff);
    rgb[i * 3 + 1] = static_cast<unsigned char>((pixels[i] >> 8) & 0xff);
    rgb[i * 3 + 2] = static_cast<unsigned char>((pixels[i] >> 16) & 0xff);
  }
  return stbi_write_png(path.c_str(), w, h, 3, rgb.data(), w * 3) != 0;
}

}  // namespace brenlow
