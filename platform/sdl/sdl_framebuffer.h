// The desktop saver window's framebuffer: the software raster shown through
// the SDL window's own surface (a shared-memory image of the window on X).
#pragma once

#include <SDL.h>

#include "platform/screen/framebuffer.h"
#include "platform/soft/soft_canvas.h"

namespace brenlow {

class SdlWindowFramebuffer : public Framebuffer {
 public:
  SdlWindowFramebuffer(SDL_Window* window, int width, int height);
  // How SDL shows windows' surfaces on the video driver it chose; before
  // any window is shown.
  static void ChooseSurfaces(const char* driver);

  Canvas& raster() override { return soft_; }
  void Show(const PixelBox& box) override;
  void Resize(int width, int height) override { soft_.Resize(width, height); }

 private:
  SDL_Window* window_;
  SoftCanvas soft_;
};

}  // namespace brenlow
