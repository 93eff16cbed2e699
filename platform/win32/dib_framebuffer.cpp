#include "platform/win32/dib_framebuffer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace brenlow {
namespace {

HDC MakeMemoryDc(HDC window_dc) {
  HDC dc = ::CreateCompatibleDC(window_dc);
  if (!dc) throw std::runtime_error("no memory for the window's drawing surface");
  return dc;
}

}  // namespace

HBITMAP DibFramebuffer::MakeBitmap(int width, int height) {
  BITMAPINFO info = TopDownDib32(std::max(width, 1), std::max(height, 1));
  void* bits = nullptr;
  // Black, as a new DIB section is.
  HBITMAP bitmap = ::CreateDIBSection(window_dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) throw std::runtime_error("no memory for the window's drawing surface");
  bits_ = static_cast<std::uint32_t*>(bits);
  return bitmap;
}

DibFramebuffer::DibFramebuffer(HDC window_dc, int width, int height)
    : window_dc_(window_dc),
      memory_dc_(MakeMemoryDc(window_dc)),
      bitmap_(MakeBitmap(width, height)),
      first_bitmap_(::SelectObject(memory_dc_, bitmap_)),
      gdi_(memory_dc_, width, height) {
  // The text is sized for the monitor the window is on, not the system's DPI.
  gdi_.SetWindow(::WindowFromDC(window_dc));
}

DibFramebuffer::~DibFramebuffer() {
  ::SelectObject(memory_dc_, first_bitmap_);
  ::DeleteObject(bitmap_);
  ::DeleteDC(memory_dc_);
}

void DibFramebuffer::Show(const PixelBox& box) {
  ::BitBlt(window_dc_, box.left, box.top, box.width(), box.height(), memory_dc_, box.left, box.top,
           SRCCOPY);
}

void DibFramebuffer::Paint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window, &paint);
  const RECT& area = paint.rcPaint;
  ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory_dc_,
           area.left, area.top, SRCCOPY);
  ::EndPaint(window, &paint);
}

void DibFramebuffer::Resize(int width, int height) {
  const int old_width = static_cast<int>(gdi_.ScaleWidth());
  const int old_height = static_cast<int>(gdi_.ScaleHeight());
  std::uint32_t* old_bits = bits_;
  HBITMAP bitmap = MakeBitmap(width, height);
  // Both are top-down 32-bit DIB sections: the rows they share are copied
  // across once GDI has finished drawing on the old one.
  ::GdiFlush();
  const int rows = std::min(height, old_height);
  const size_t row_bytes = static_cast<size_t>(std::min(width, old_width)) * 4;
  for (int y = 0; y < rows; ++y) {
    std::memcpy(bits_ + static_cast<size_t>(y) * width,
                old_bits + static_cast<size_t>(y) * old_width, row_bytes);
  }
  ::SelectObject(memory_dc_, bitmap);
  ::DeleteObject(bitmap_);
  bitmap_ = bitmap;
  gdi_.Resize(width, height);
}

}  // namespace brenlow
