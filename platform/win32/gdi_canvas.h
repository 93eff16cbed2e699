// The saver window's canvas: real GDI on a device context, the window's own
// or a memory DC (the fidelity tests draw on a DIB section with it).
#pragma once

#include <windows.h>

#include <vector>

#include "platform/canvas.h"

namespace brenlow {

// The header of a 32-bit DIB with its top row first, as Picture holds it.
inline BITMAPINFO TopDownDib32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// COLORREF is 0x00BBGGRR, a 32-bit DIB pixel 0x00RRGGBB: the one swap turns
// either into the other.
constexpr std::uint32_t SwapRedBlue(std::uint32_t c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

class GdiCanvas : public Canvas {
 public:
  // Puts the initial drawing state into dc; width and height are the inner
  // size of what dc draws on.
  GdiCanvas(HDC dc, int width, int height);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  void SetRop2(int rop) override;
  void SetPenColour(Colour colour) override;
  void SetPenWidth(int width) override;
  void SetFillSolid(bool solid) override;
  void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
  void Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom) override;
  void Line(float x1, float y1, float x2, float y2) override;
  void CopyPicture(const Picture& picture, float dest_x, float dest_y, float width, float height,
                   float src_x, float src_y) override;
  void SetFontSize(float points) override;
  void PrintText(float x, float y, const std::string& text) override;
  float ScaleWidth() const override { return static_cast<float>(width_); }
  float ScaleHeight() const override { return static_cast<float>(height_); }
  void Repaint() override;

  // The window's inner size changed.
  void Resize(int width, int height) {
    width_ = width;
    height_ = height;
  }

  // The window shown from dc: text is sized for the scale of the monitor it
  // is on. Without one, for the DC's (the system's) scale.
  void SetWindow(HWND window) { window_ = window; }

 private:
  // Puts a pen of the current colour and width into the DC when either
  // changed since the last figure.
  void SelectPen();
  void SelectFont();
  // The picture as a DIB section in a memory DC, made once per picture.
  HDC PictureDc(const Picture& picture);
  void ReleasePicture();

  HDC dc_;
  HWND window_ = nullptr;
  int width_;
  int height_;
  Colour pen_colour_ = kInitialDrawingState.pen_colour;
  int pen_width_ = kInitialDrawingState.pen_width;
  HPEN pen_ = nullptr;
  bool pen_dirty_ = true;
  float font_points_ = kInitialDrawingState.font_points;
  HFONT font_ = nullptr;
  // The points and dpi font_ was made for.
  float font_made_points_ = 0;
  int font_made_dpi_ = 0;

  const Picture* cached_picture_ = nullptr;
  const Colour* cached_pixels_ = nullptr;
  int cached_width_ = 0, cached_height_ = 0;
  HDC picture_dc_ = nullptr;
  HBITMAP picture_bitmap_ = nullptr;
  HGDIOBJ picture_old_bitmap_ = nullptr;
};

// Nearest whole pixel, halves to even, kept within GDI's coordinate range.
int ToPixel(float value);

}  // namespace brenlow
