// The saver window's canvas drawn off screen: GDI draws into a memory DC
// over a DIB section of the window's size, and the part that changed is
// copied to the window at most every 16 ms while an effect draws, at once
// before every wait, and whole whenever the window needs painting (another
// window moved over it, a monitor change). The pixels are those of the same
// GDI calls on the window's own DC.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/win32/gdi_canvas.h"

namespace brenlow {

class WindowSurface : public Canvas {
 public:
  // window_dc is the window's own DC (CS_OWNDC); width and height its inner
  // size. Throws when the surface cannot be made.
  WindowSurface(HDC window_dc, int width, int height);
  ~WindowSurface() override;
  WindowSurface(const WindowSurface&) = delete;
  WindowSurface& operator=(const WindowSurface&) = delete;

  void SetRop2(int rop) override { gdi_->SetRop2(rop); }
  void SetPenColour(Colour colour) override { gdi_->SetPenColour(colour); }
  void SetPenWidth(int width) override;
  void SetFillSolid(bool solid) override { gdi_->SetFillSolid(solid); }
  void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
  void Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom) override;
  void Line(float x1, float y1, float x2, float y2) override;
  void CopyPicture(const Picture& picture, float dest_x, float dest_y, float width, float height,
                   float src_x, float src_y) override;
  void SetFontSize(float points) override { gdi_->SetFontSize(points); }
  void PrintText(float x, float y, const std::string& text) override;
  float ScaleWidth() const override { return gdi_->ScaleWidth(); }
  float ScaleHeight() const override { return gdi_->ScaleHeight(); }
  void Repaint() override;

  // Copies what changed since the last showing to the window.
  void Present();
  // The same, when 16 ms have passed since the last showing.
  void PresentIfDue();
  // Paints part of the window from the surface (WM_PAINT).
  void Paint(HDC dc, const RECT& area);
  // The window's inner size changed: a new surface of that size, keeping
  // what it can of the old one; the rest is black.
  void Resize(int width, int height);

 private:
  // Adds a box, grown by the pen's reach, to what changed.
  void Touch(long left, long top, long right, long bottom);
  HBITMAP MakeBitmap(int width, int height);

  HDC window_dc_;
  HDC memory_dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ first_bitmap_ = nullptr;
  std::unique_ptr<GdiCanvas> gdi_;
  int pen_width_ = kInitialDrawingState.pen_width;
  RECT dirty_{0, 0, 0, 0};
  ULONGLONG last_present_ = 0;
};

}  // namespace brenlow
