// The saver in a window that a screen-saver host made (XScreenSaver,
// xsecurelock) or on the root window: plain Xlib. The software raster draws
// and its pixels are put into the host's window, which it follows in size
// at once; no input is taken, the cursor and the end are the host's.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

#include "platform/screen/presented_canvas.h"
#include "platform/sdl/host_command_line.h"
#include "platform/sdl/host_framebuffer.h"
#include "platform/sdl/linux_common.h"
#include "platform/system.h"

namespace brenlow {

class HostedSystem : public System {
 public:
  HostedSystem(int argc, char** argv, const HostCommandLine& request);
  ~HostedSystem() override;

  // Opens the display and finds the window; prints why and ends the
  // process with code 1 when there is no usable screen or window.
  void Connect();

  std::string CommandLineArgs() override { return common_.args(); }
  std::string WindowsDirectory() override { return common_.WindowsDirectory(); }
  void SetScreenSaverActive(bool) override {}
  void Service() override;
  bool GetCursorPos(CursorPoint& point) override;
  void ShowCursor(bool) override {}
  double Timer() override { return LinuxCommon::Timer(); }
  double Monotonic() override { return LinuxCommon::Monotonic(); }
  void HoldPause(int max_ms) override;
  void BandPause(double seconds) override;
  Canvas& OpenSaverWindow() override;
  WindowEvents DoEvents() override;
  std::optional<Picture> LoadPicture(const std::string& path) override {
    return common_.LoadPicture(path);
  }
  void MessageBox(const std::string& text, const std::string& title) override;
  Files& files() override { return common_.files(); }
  OptionsDialogWindow& OptionsDialog() override { return common_.OptionsDialog(); }
  [[noreturn]] void EndProcess(int exit_code) override;

 private:
  ::Window TargetWindow();
  // Reads the window's events (its size, exposure, its end).
  void ReadEvents();
  // Reads them and shows what changed, at once.
  void ServiceNow();

  LinuxCommon common_;
  HostCommandLine request_;
  Display* display_ = nullptr;
  ::Window window_ = 0;
  std::unique_ptr<XImageFramebuffer> framebuffer_;
  std::unique_ptr<PresentedCanvas> canvas_;
  // Reading the window's events costs a look at the connection: at most
  // every kEventLookPeriod seconds while the saver draws.
  static constexpr double kEventLookPeriod = 0.004;
  double last_event_look_ = 0;
};

}  // namespace brenlow
