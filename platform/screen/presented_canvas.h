// The saver window's canvas on every system: draws on a framebuffer's
// raster, keeps the box the drawing changed, and shows that box as a frame
// at most every kFramePeriod while an effect draws, at once before a wait,
// and whole when the screen lost what it showed.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "platform/canvas.h"
#include "platform/screen/framebuffer.h"

namespace brenlow {

// The least time between two frames while drawing goes on, in seconds. Below
// the display's 16.7 ms, and below the 15.625 ms step of a coarse system
// clock: a clock of that step then gives a frame at every step, not at every
// other one (an uneven 45 frames a second).
inline constexpr double kFramePeriod = 0.014;

class PresentedCanvas : public Canvas {
 public:
  // When a new size reaches the drawing: at the next fill (Repaint), so the
  // drawing under way finishes at the old size (a monitor that changed), or
  // at once (a host's window that was resized).
  enum class NewSize { kAtNextFill, kAtOnce };
  // Seconds of a monotonic clock.
  using Clock = std::function<double()>;

  // screen_black: the screen shows black until the first frame (a window
  // whose background is black), so a black canvas needs no frame.
  PresentedCanvas(Framebuffer& framebuffer, Clock clock, NewSize new_size, bool screen_black);

  void SetRop2(int rop) override { raster_.SetRop2(rop); }
  void SetPenColour(Colour colour) override { raster_.SetPenColour(colour); }
  void SetPenWidth(int width) override;
  void SetFillSolid(bool solid) override { raster_.SetFillSolid(solid); }
  void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) override;
  void Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom) override;
  void Line(float x1, float y1, float x2, float y2) override;
  void CopyPicture(const Picture& picture, float dest_x, float dest_y, float width, float height,
                   float src_x, float src_y) override;
  void SetFontSize(float points) override { raster_.SetFontSize(points); }
  void PrintText(float x, float y, const std::string& text) override;
  float ScaleWidth() const override { return static_cast<float>(drawing_width_); }
  float ScaleHeight() const override { return static_cast<float>(drawing_height_); }
  void Repaint() override;

  // Shows what changed if the last frame is kFramePeriod old at now.
  void PresentIfDue(double now);
  // Shows what changed, at once; nothing when nothing changed.
  void Present();
  // The window now has this size: the raster takes it at once, keeping its
  // pixels (black where it grew), and the drawing as NewSize says.
  void Resize(int width, int height);
  // The screen lost what it showed: the whole raster goes to the next frame.
  void Exposed();

 private:
  // After a drawing call: frames are due by the clock, which is asked only
  // every kCallsPerClockLook-th call (asking at every call cost 2 % of the
  // saver's time); the activity check asks it too (System::Service).
  void Drawn();
  static constexpr unsigned kCallsPerClockLook = 64;
  // The box a call may have changed, grown by the pen's reach, joins the
  // box of the next frame.
  void Touch(double left, double top, double right, double bottom);
  void TouchAll();
  void Show(double now);

  Framebuffer& framebuffer_;
  Canvas& raster_;
  Clock clock_;
  NewSize new_size_;
  int width_, height_;                  // the raster's
  int drawing_width_, drawing_height_;  // what the drawing is told
  int pen_width_ = kInitialDrawingState.pen_width;
  PixelBox dirty_;  // what changed since the last frame
  // The first drawing is due at once.
  double last_frame_ = std::numeric_limits<double>::lowest();
  unsigned calls_since_clock_ = 0;
  // The raster is all black (filled, nothing drawn since); the screen shows
  // black (the window's background, or a black raster shown).
  bool raster_black_ = true;
  bool screen_black_;
};

}  // namespace brenlow
