// What a presented canvas shows its pixels through, one kind per window: an
// SDL window's surface, a host's X window, a Win32 DIB section. It holds the
// raster the drawing goes to, at the size of what it shows.
#pragma once

#include "platform/canvas.h"
#include "platform/screen/pixel_box.h"

namespace brenlow {

class Framebuffer {
 public:
  virtual ~Framebuffer() = default;

  // The raster the drawing goes to.
  virtual Canvas& raster() = 0;
  // Puts this part of the raster on the screen; the box lies within it.
  virtual void Show(const PixelBox& box) = 0;
  // The raster takes this size, keeping its pixels where the old and the
  // new size overlap, black elsewhere; the drawing state stays.
  virtual void Resize(int width, int height) = 0;
};

}  // namespace brenlow
