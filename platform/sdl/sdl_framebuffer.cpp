#include "platform/sdl/sdl_framebuffer.h"

#include <algorithm>
#include <cstring>

#include "platform/sdl/pixel_rows.h"

namespace brenlow {

SdlWindowFramebuffer::SdlWindowFramebuffer(SDL_Window* window, int width, int height)
    : window_(window), soft_(width, height) {}

void SdlWindowFramebuffer::ChooseSurfaces(const char* driver) {
  if (std::strcmp(driver, "x11") == 0) {
    // The canvas is drawn in software already: showing it through the
    // window's own surface keeps a GL stack out of the process (on a
    // machine without a GPU, Mesa's LLVM JIT: 90 MB resident and most of a
    // second before the first frame).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  } else if (std::strcmp(driver, "wayland") != 0) {
    // Elsewhere but on Wayland (shared-memory buffers of our own) a window
    // has no surface of its own and SDL shows it through GL: with desktop GL
    // (SDL 2.26, Mesa) only the first of several windows ever appeared.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "opengles2");
  }
}

void SdlWindowFramebuffer::Show(const PixelBox& box) {
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (!surface) return;
  // The surface keeps the window's size, which the raster takes at once.
  const SDL_Rect rect{box.left, box.top, std::min(box.width(), surface->w - box.left),
                      std::min(box.height(), surface->h - box.top)};
  if (rect.w <= 0 || rect.h <= 0) return;
  const int pitch = soft_.width() * static_cast<int>(sizeof(Colour));
  const auto* from = reinterpret_cast<const unsigned char*>(soft_.pixels().data()) +
                     static_cast<size_t>(rect.y) * pitch + static_cast<size_t>(rect.x) * 4;
  auto* to = static_cast<unsigned char*>(surface->pixels) +
             static_cast<size_t>(rect.y) * surface->pitch +
             static_cast<size_t>(rect.x) * surface->format->BytesPerPixel;
  const SDL_PixelFormat& format = *surface->format;
  if (format.BytesPerPixel == 4 && format.Rmask == 0xFF0000u && format.Gmask == 0xFF00u &&
      format.Bmask == 0xFFu) {
    // The X server's usual 0x00RRGGBB: red and blue trade places. SDL's
    // general converter took a tenth of what the saver spends.
    CopySwappingRedBlue(reinterpret_cast<const Colour*>(from), pitch,
                        reinterpret_cast<std::uint32_t*>(to), surface->pitch, rect.w, rect.h,
                        format.Amask);
  } else {
    // COLORREF is 0x00BBGGRR: in memory R, G, B, X, which SDL calls XBGR8888.
    SDL_ConvertPixels(rect.w, rect.h, SDL_PIXELFORMAT_XBGR8888, from, pitch, format.format, to,
                      surface->pitch);
  }
  SDL_UpdateWindowSurfaceRects(window_, &rect, 1);
}

}  // namespace brenlow
