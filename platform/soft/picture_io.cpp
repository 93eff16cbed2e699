#include "platform/soft/picture_io.h"

#include <SDL.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cstdint>
#include <fstream>

#include "platform/bitmap_file.h"

namespace brenlow {

std::optional<Picture> LoadBmp(const std::string& path) {
  {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    const auto size = static_cast<std::uint64_t>(in.tellg());
    std::string head(std::min<std::uint64_t>(size, kBitmapHeadBytes), '\0');
    if (!in.seekg(0) || !in.read(head.data(), static_cast<std::streamsize>(head.size())) ||
        !BitmapFileIsUsable(head, size)) {
      return std::nullopt;
    }
  }
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
