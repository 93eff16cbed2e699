#include "platform/win32/gdi_canvas.h"

#include <cmath>

#include "platform/win32/window_frame_win32.h"

namespace brenlow {

int ToPixel(float value) {
  // GDI keeps coordinates within 27 bits; anything beyond is off any screen.
  constexpr double kLimit = 1 << 27;
  double v = std::nearbyint(static_cast<double>(value));
  if (std::isnan(v)) return 0;
  if (v > kLimit) v = kLimit;
  if (v < -kLimit) v = -kLimit;
  return static_cast<int>(v);
}

GdiCanvas::GdiCanvas(HDC dc, int width, int height) : dc_(dc), width_(width), height_(height) {
  SetRop2(kInitialDrawingState.rop);
  SetFillSolid(kInitialDrawingState.fill_solid);
  ::SetBkMode(dc_, TRANSPARENT);
  ::SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  SelectPen();
}

GdiCanvas::~GdiCanvas() {
  ReleasePicture();
  ::SelectObject(dc_, ::GetStockObject(BLACK_PEN));
  ::SelectObject(dc_, ::GetStockObject(SYSTEM_FONT));
  if (pen_) ::DeleteObject(pen_);
  if (font_) ::DeleteObject(font_);
}

void GdiCanvas::SetRop2(int rop) { ::SetROP2(dc_, rop); }

void GdiCanvas::SetPenColour(Colour colour) {
  if (colour != pen_colour_) pen_dirty_ = true;
  pen_colour_ = colour;
}

void GdiCanvas::SetPenWidth(int width) {
  if (width != pen_width_) pen_dirty_ = true;
  pen_width_ = width;
}

void GdiCanvas::SelectPen() {
  if (!pen_dirty_) return;
  HPEN pen = ::CreatePen(PS_SOLID, pen_width_, static_cast<COLORREF>(pen_colour_));
  if (!pen) return;
  ::SelectObject(dc_, pen);
  if (pen_) ::DeleteObject(pen_);
  pen_ = pen;
  pen_dirty_ = false;
}

void GdiCanvas::SetFillSolid(bool solid) {
  ::SelectObject(dc_, ::GetStockObject(solid ? BLACK_BRUSH : NULL_BRUSH));
}

void GdiCanvas::Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  SelectPen();
  ::Arc(dc_, left, top, right, bottom, 0, 0, 0, 0);
}

void GdiCanvas::Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom) {
  SelectPen();
  ::Rectangle(dc_, left, top, right, bottom);
}

void GdiCanvas::Line(float x1, float y1, float x2, float y2) {
  SelectPen();
  ::MoveToEx(dc_, ToPixel(x1), ToPixel(y1), nullptr);
  ::LineTo(dc_, ToPixel(x2), ToPixel(y2));
}

void GdiCanvas::ReleasePicture() {
  if (picture_dc_) {
    ::SelectObject(picture_dc_, picture_old_bitmap_);
    ::DeleteDC(picture_dc_);
  }
  if (picture_bitmap_) ::DeleteObject(picture_bitmap_);
  picture_dc_ = nullptr;
  picture_bitmap_ = nullptr;
  picture_old_bitmap_ = nullptr;
  cached_picture_ = nullptr;
  cached_pixels_ = nullptr;
}

HDC GdiCanvas::PictureDc(const Picture& picture) {
  if (picture_dc_ && cached_picture_ == &picture && cached_pixels_ == picture.pixels.data() &&
      cached_width_ == picture.width && cached_height_ == picture.height) {
    return picture_dc_;
  }
  ReleasePicture();
  if (picture.empty() ||
      picture.pixels.size() < static_cast<size_t>(picture.width) * picture.height) {
    return nullptr;
  }
  BITMAPINFO info = TopDownDib32(picture.width, picture.height);
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) ::DeleteObject(bitmap);
    return nullptr;
  }
  auto* out = static_cast<std::uint32_t*>(bits);
  const size_t count = static_cast<size_t>(picture.width) * picture.height;
  for (size_t i = 0; i < count; ++i) out[i] = SwapRedBlue(picture.pixels[i]);
  ::GdiFlush();
  HDC memory = ::CreateCompatibleDC(dc_);
  if (!memory) {
    ::DeleteObject(bitmap);
    return nullptr;
  }
  picture_old_bitmap_ = ::SelectObject(memory, bitmap);
  picture_dc_ = memory;
  picture_bitmap_ = bitmap;
  cached_picture_ = &picture;
  cached_pixels_ = picture.pixels.data();
  cached_width_ = picture.width;
  cached_height_ = picture.height;
  return picture_dc_;
}

void GdiCanvas::CopyPicture(const Picture& picture, float dest_x, float dest_y, float width,
                            float height, float src_x, float src_y) {
  HDC source = PictureDc(picture);
  if (!source) return;
  ::BitBlt(dc_, ToPixel(dest_x), ToPixel(dest_y), ToPixel(width), ToPixel(height), source,
           ToPixel(src_x), ToPixel(src_y), SRCCOPY);
}

void GdiCanvas::SetFontSize(float points) { font_points_ = points; }

void GdiCanvas::SelectFont() {
  // A memory DC knows only the system's scale; the window's monitor may
  // have another, and the window may move to another monitor.
  const unsigned monitor_dpi = WindowDpi(window_);
  const int dpi = monitor_dpi ? static_cast<int>(monitor_dpi) : ::GetDeviceCaps(dc_, LOGPIXELSY);
  if (font_ && font_made_points_ == font_points_ && font_made_dpi_ == dpi) return;
  const int height = -FontPixels(font_points_, dpi);
  HFONT font = ::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
  if (!font) return;
  ::SelectObject(dc_, font);
  if (font_) ::DeleteObject(font_);
  font_ = font;
  font_made_points_ = font_points_;
  font_made_dpi_ = dpi;
}

void GdiCanvas::PrintText(float x, float y, const std::string& text) {
  SelectFont();
  ::SetBkMode(dc_, TRANSPARENT);
  ::SetTextColor(dc_, static_cast<COLORREF>(pen_colour_));
  ::TextOutA(dc_, ToPixel(x), ToPixel(y), text.data(), static_cast<int>(text.size()));
}

void GdiCanvas::Repaint() {
  const RECT r{0, 0, width_, height_};
  ::FillRect(dc_, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

}  // namespace brenlow
