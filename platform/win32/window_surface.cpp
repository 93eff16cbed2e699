#include "platform/win32/window_surface.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace brenlow {

HBITMAP WindowSurface::MakeBitmap(int width, int height) {
  BITMAPINFO info = TopDownDib32(std::max(width, 1), std::max(height, 1));
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(window_dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) throw std::runtime_error("no memory for the window's drawing surface");
  return bitmap;
}

WindowSurface::WindowSurface(HDC window_dc, int width, int height) : window_dc_(window_dc) {
  memory_dc_ = ::CreateCompatibleDC(window_dc_);
  if (!memory_dc_) throw std::runtime_error("no memory for the window's drawing surface");
  bitmap_ = MakeBitmap(width, height);
  first_bitmap_ = ::SelectObject(memory_dc_, bitmap_);
  gdi_ = std::make_unique<GdiCanvas>(memory_dc_, width, height);
  gdi_->Repaint();
}

WindowSurface::~WindowSurface() {
  gdi_.reset();
  ::SelectObject(memory_dc_, first_bitmap_);
  ::DeleteObject(bitmap_);
  ::DeleteDC(memory_dc_);
}

void WindowSurface::Touch(long left, long top, long right, long bottom) {
  // A wide pen reaches half its width beyond the figure's outline.
  const long reach = pen_width_ / 2 + 2;
  RECT box{std::min(left, right) - reach, std::min(top, bottom) - reach,
           std::max(left, right) + reach, std::max(top, bottom) + reach};
  const RECT inside{0, 0, static_cast<long>(ScaleWidth()), static_cast<long>(ScaleHeight())};
  if (!::IntersectRect(&box, &box, &inside)) return;
  ::UnionRect(&dirty_, &dirty_, &box);
}

void WindowSurface::SetPenWidth(int width) {
  pen_width_ = width;
  gdi_->SetPenWidth(width);
}

void WindowSurface::Arc(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom) {
  gdi_->Arc(left, top, right, bottom);
  Touch(left, top, right, bottom);
}

void WindowSurface::Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                              std::int32_t bottom) {
  gdi_->Rectangle(left, top, right, bottom);
  Touch(left, top, right, bottom);
}

void WindowSurface::Line(float x1, float y1, float x2, float y2) {
  gdi_->Line(x1, y1, x2, y2);
  Touch(ToPixel(x1), ToPixel(y1), ToPixel(x2), ToPixel(y2));
}

void WindowSurface::CopyPicture(const Picture& picture, float dest_x, float dest_y, float width,
                                float height, float src_x, float src_y) {
  gdi_->CopyPicture(picture, dest_x, dest_y, width, height, src_x, src_y);
  const long x = ToPixel(dest_x), y = ToPixel(dest_y);
  Touch(x, y, x + ToPixel(width), y + ToPixel(height));
}

void WindowSurface::PrintText(float x, float y, const std::string& text) {
  gdi_->PrintText(x, y, text);
  // Text reaches right and down from its position; once a cycle, so the
  // whole remainder of the window is shown.
  Touch(ToPixel(x), ToPixel(y), static_cast<long>(ScaleWidth()), static_cast<long>(ScaleHeight()));
}

void WindowSurface::Repaint() {
  gdi_->Repaint();
  Touch(0, 0, static_cast<long>(ScaleWidth()), static_cast<long>(ScaleHeight()));
}

void WindowSurface::Present() {
  last_present_ = ::GetTickCount64();
  if (::IsRectEmpty(&dirty_)) return;
  ::BitBlt(window_dc_, dirty_.left, dirty_.top, dirty_.right - dirty_.left,
           dirty_.bottom - dirty_.top, memory_dc_, dirty_.left, dirty_.top, SRCCOPY);
  ::SetRectEmpty(&dirty_);
}

void WindowSurface::PresentIfDue() {
  if (!::IsRectEmpty(&dirty_) && ::GetTickCount64() - last_present_ >= 16) Present();
}

void WindowSurface::Paint(HDC dc, const RECT& area) {
  ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory_dc_,
           area.left, area.top, SRCCOPY);
}

void WindowSurface::Resize(int width, int height) {
  if (width == static_cast<int>(ScaleWidth()) && height == static_cast<int>(ScaleHeight())) return;
  HBITMAP bitmap = MakeBitmap(width, height);
  // The old picture, copied across through a second DC; the drawing state
  // stays in the memory DC, which only changes its bitmap.
  HDC copy = ::CreateCompatibleDC(window_dc_);
  if (copy) {
    HGDIOBJ before = ::SelectObject(copy, bitmap);
    const RECT all{0, 0, width, height};
    ::FillRect(copy, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::BitBlt(copy, 0, 0, std::min(width, static_cast<int>(ScaleWidth())),
             std::min(height, static_cast<int>(ScaleHeight())), memory_dc_, 0, 0, SRCCOPY);
    ::SelectObject(copy, before);
    ::DeleteDC(copy);
  }
  ::SelectObject(memory_dc_, bitmap);
  ::DeleteObject(bitmap_);
  bitmap_ = bitmap;
  gdi_->Resize(width, height);
  Touch(0, 0, width, height);
}

}  // namespace brenlow
