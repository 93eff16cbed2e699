// The saver window's framebuffer on Windows: GDI draws into a memory DC over
// a DIB section of the window's size (the pixels of the same calls on the
// window's own DC), and a shown box is copied to the window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/screen/framebuffer.h"
#include "platform/win32/gdi_canvas.h"

namespace brenlow {

class DibFramebuffer : public Framebuffer {
 public:
  // window_dc is the window's own DC (CS_OWNDC); width and height its inner
  // size. Throws when the surface cannot be made.
  DibFramebuffer(HDC window_dc, int width, int height);
  ~DibFramebuffer() override;
  DibFramebuffer(const DibFramebuffer&) = delete;
  DibFramebuffer& operator=(const DibFramebuffer&) = delete;

  Canvas& raster() override { return gdi_; }
  void Show(const PixelBox& box) override;
  void Resize(int width, int height) override;
  // Paints what the window asks for from the pixels (WM_PAINT).
  void Paint(HWND window);

 private:
  // A black DIB section of that size; bits_ points to its pixels.
  HBITMAP MakeBitmap(int width, int height);

  HDC window_dc_;
  HDC memory_dc_;
  std::uint32_t* bits_ = nullptr;
  HBITMAP bitmap_;
  HGDIOBJ first_bitmap_;
  GdiCanvas gdi_;
};

}  // namespace brenlow
