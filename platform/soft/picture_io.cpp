#include "platform/soft/picture_io.h"

#include <SDL.h>
#include <stb/stb_image_write.h>

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
// decoder allocates anything for it.
bool HeaderSizeIsSane(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char h[26] = {};
  if (!in.read(reinterpret_cast<char*>(h), sizeof h)) return false;
  if (h[0] != 'B' || h[1] != 'M') return false;
  const std::int32_t info_size = ReadLe32(h + 14);
  std::int64_t w, hgt;
  if (info_size == 12) {  // old OS/2 header: 16-bit sizes
    w = h[18] | (h[19] << 8);
    hgt = h[20] | (h[21] << 8);
  } else {
    w = ReadLe32(h + 18);
    hgt = std::llabs(static_cast<std::int64_t>(ReadLe32(h + 22)));
  }
  return w > 0 && hgt > 0 && w <= kMaxPictureSide && hgt <= kMaxPictureSide;
}

}  // namespace

std::optional<Picture> LoadBmp(const std::string& path) {
  if (!HeaderSizeIsSane(path)) return std::nullopt;
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

bool WritePng(const std::string& path, const std::vector<Colour>& pixels, int w, int h) {
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
