#include "platform/sdl/sdl_framebuffer.h"

#include <algorithm>

#include "platform/sdl/pixel_rows.h"
#include "platform/sdl/sdl_displays.h"

namespace brenlow {

SdlWindowFramebuffer::SdlWindowFramebuffer(SDL_Window* window, int width, int height)
    : window_(window), soft_(width, height) {
  // The canvas is drawn in software already: showing it through the
  // window's own surface keeps a GL stack out of the process (on a machine
  // without a GPU, Mesa's LLVM JIT: 90 MB resident and most of a second
  // before the first frame). Only X has a surface of its own: elsewhere
  // (Wayland) the window would get none at all.
  if (X11Of(window)) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
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
