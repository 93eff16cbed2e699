// A host's X window as a framebuffer: the software raster's pixels put into
// the window through an XImage, in shared memory where the X server can
// read it. Nothing of the window is changed but its content.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include "platform/screen/framebuffer.h"
#include "platform/sdl/pixel_rows.h"
#include "platform/soft/soft_canvas.h"

namespace brenlow {

class XImageFramebuffer : public Framebuffer {
 public:
  // Ends the program, saying why, when the window's pixels are of a kind it
  // cannot write.
  XImageFramebuffer(Display* display, ::Window window, const XWindowAttributes& attributes);
  ~XImageFramebuffer() override;
  XImageFramebuffer(const XImageFramebuffer&) = delete;
  XImageFramebuffer& operator=(const XImageFramebuffer&) = delete;

  Canvas& raster() override { return soft_; }
  void Show(const PixelBox& box) override;
  void Resize(int width, int height) override;

 private:
  void MakeImage();
  void FreeImage();

  Display* display_;
  ::Window window_;
  Visual* visual_;
  int depth_;
  GC gc_ = nullptr;
  SoftCanvas soft_;
  PixelFormat32 format_;
  XImage* image_ = nullptr;
  XShmSegmentInfo shm_{};
  bool shm_attached_ = false;
};

}  // namespace brenlow
