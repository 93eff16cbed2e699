#include "platform/soft/picture_io.h"

#include <SDL.h>
#include <fcntl.h>
#include <stb/stb_image_write.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

#include "platform/bitmap_file.h"

namespace brenlow {
namespace {

// A channel narrower than 8 bits widened by repeating its top bits, as GDI
// does: 31 of 5 bits is 255 and 16 is 0x84. SDL's own conversion scales
// instead (16 gives 0x83, 63 of 6 bits 254), so a 16-bit logo would come
// out a shade off the Windows one.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask, int shift, int loss) {
  if (mask == 0) return 0;
  std::uint32_t x = (((pixel & mask) >> shift) << loss) & 0xff;
  for (int have = 8 - loss; have < 8; have *= 2) x |= x >> have;
  return x;
}

// 16-bit pixels (5-5-5, or the masks the file gives) as COLORREFs.
Picture From16Bits(const SDL_Surface& s) {
  const SDL_PixelFormat& f = *s.format;
  Picture pic;
  pic.width = s.w;
  pic.height = s.h;
  pic.pixels.resize(static_cast<size_t>(s.w) * s.h);
  for (int y = 0; y < s.h; ++y) {
    const auto* row = reinterpret_cast<const std::uint16_t*>(
        static_cast<const unsigned char*>(s.pixels) + static_cast<size_t>(y) * s.pitch);
    for (int x = 0; x < s.w; ++x) {
      const std::uint32_t v = row[x];
      pic.pixels[static_cast<size_t>(y) * s.w + x] = Channel(v, f.Rmask, f.Rshift, f.Rloss) |
                                                     Channel(v, f.Gmask, f.Gshift, f.Gloss) << 8 |
                                                     Channel(v, f.Bmask, f.Bshift, f.Bloss) << 16;
    }
  }
  return pic;
}

}  // namespace

std::optional<Picture> LoadBmp(const std::string& path) {
  // Opened without waiting and read only when it is a regular file: a FIFO
  // would hold a plain open for ever, a device would answer without end,
  // and the saver would sit black before its first drawing.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::FILE* in = nullptr;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !(in = ::fdopen(fd, "rb"))) {
    ::close(fd);
    return std::nullopt;
  }
  const auto size = static_cast<std::uint64_t>(st.st_size);
  std::string head(kBitmapHeadBytes, '\0');
  head.resize(std::fread(head.data(), 1, head.size(), in));
  if (!BitmapFileIsUsable(head, size) || std::fseek(in, 0, SEEK_SET) != 0) {
    std::fclose(in);
    return std::nullopt;
  }
  // SDL reads the same open file, and closes it.
  SDL_RWops* stream = SDL_RWFromFP(in, SDL_TRUE);
  if (!stream) {
    std::fclose(in);
    return std::nullopt;
  }
  SDL_Surface* loaded = SDL_LoadBMP_RW(stream, 1);
  if (!loaded) return std::nullopt;
  if (loaded->format->BytesPerPixel == 2 && !loaded->format->palette && loaded->w > 0 &&
      loaded->h > 0 && SDL_LockSurface(loaded) == 0) {
    Picture pic = From16Bits(*loaded);
    SDL_UnlockSurface(loaded);
    SDL_FreeSurface(loaded);
    return pic;
  }
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
