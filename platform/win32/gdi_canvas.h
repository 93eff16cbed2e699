// The saver window's canvas: real GDI on the window's own device context.
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

class GdiCanvas : public Canvas {
 public:
  GdiCanvas(HWND window, HDC dc);
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
  float ScaleWidth() const override;
  float ScaleHeight() const override;
  void Repaint() override;

 private:
  // Puts a pen of the current colour and width into the DC when either
  // changed since the last figure.
  void SelectPen();
  void SelectFont();
  // The picture as a DIB section in a memory DC, made once per picture.
  HDC PictureDc(const Picture& picture);
  void ReleasePicture();

  HWND window_;
  HDC dc_;
  Colour pen_colour_ = MakeColour(0, 0, 255);
  int pen_width_ = 1;
  HPEN pen_ = nullptr;
  bool pen_dirty_ = true;
  float font_points_ = 12.0f;
  HFONT font_ = nullptr;
  bool font_dirty_ = true;

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
