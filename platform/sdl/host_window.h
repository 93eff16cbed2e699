// The saver in a window that a screen-saver host made (XScreenSaver,
// xsecurelock) or on the root window: plain Xlib. The software raster draws
// and its pixels are put into the host's window; nothing of the window is
// changed but its content, and no input is taken.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "platform/sdl/host_command_line.h"
#include "platform/sdl/sdl_system.h"
#include "platform/soft/soft_canvas.h"

namespace brenlow {

// A SoftCanvas shown in a foreign X window. It follows the window's size:
// when the host resizes the window, the canvas takes the new size at once,
// keeping what it shows where the two overlap (black elsewhere), as a
// resized window's drawing surface does.
class HostWindowCanvas : public Canvas {
 public:
  HostWindowCanvas(Display* display, ::Window window, const XWindowAttributes& attributes);
  ~HostWindowCanvas() override;

  void SetRop2(int rop) override;
  void SetPenColour(Colour colour) override;
  void SetPenWidth(int width) override;
  void SetFillSolid(bool solid) override;
  void Arc(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override;
  void Rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override;
  void Line(float x1, float y1, float x2, float y2) override;
  void CopyPicture(const Picture& picture, float dest_x, float dest_y, float width, float height,
                   float src_x, float src_y) override;
  void SetFontSize(float points) override;
  void PrintText(float x, float y, const std::string& text) override;
  float ScaleWidth() const override { return soft_->ScaleWidth(); }
  float ScaleHeight() const override { return soft_->ScaleHeight(); }
  void Repaint() override;

  // Reads the window's events (size, exposure, its end) and shows the
  // canvas when it changed and the last showing is 16 ms old; at most
  // every few milliseconds, so the drawing loops may call it freely.
  void Service();
  // The same at once, and shows the canvas whatever its age.
  void ServiceNow();

 private:
  void Changed();
  void ReadEvents();
  void Present();
  void Resize(int width, int height);
  void MakeImage();
  void FreeImage();

  Display* display_;
  ::Window window_;
  Visual* visual_;
  int depth_;
  GC gc_ = nullptr;
  std::unique_ptr<SoftCanvas> soft_;
  // The drawing state set so far, given again to a resized canvas.
  std::optional<int> rop_, pen_width_;
  std::optional<Colour> pen_colour_;
  std::optional<bool> fill_solid_;
  std::optional<float> font_points_;

  XImage* image_ = nullptr;
  XShmSegmentInfo shm_{};
  bool shm_attached_ = false;
  int red_shift_ = 0, green_shift_ = 0, blue_shift_ = 0;
  unsigned long opaque_bits_ = 0;

  bool changed_ = false;
  std::chrono::steady_clock::time_point last_present_{};
  std::chrono::steady_clock::time_point last_service_{};
};

// The Linux system for a host's window: SdlSystem's clock, files and
// pictures; the window, the drawing and the end are the host's.
class HostedSystem : public SdlSystem {
 public:
  HostedSystem(int argc, char** argv, const HostCommandLine& request);
  ~HostedSystem() override;

  // Opens the display and finds the window; prints why and ends the
  // process with code 1 when there is no usable screen or window.
  void Connect();

  void SetScreenSaverActive(bool) override {}
  bool GetCursorPos(CursorPoint& point) override;
  void ShowCursor(bool) override {}
  void HoldPause(int max_ms) override;
  void BandPause(double seconds) override;
  Canvas& OpenSaverWindow() override;
  WindowEvents DoEvents() override;
  void MessageBox(const std::string& text, const std::string& title) override;
  [[noreturn]] void EndProcess(int exit_code) override;

 private:
  ::Window TargetWindow();

  HostCommandLine request_;
  Display* display_ = nullptr;
  ::Window window_ = 0;
  std::unique_ptr<HostWindowCanvas> canvas_;
};

}  // namespace brenlow
