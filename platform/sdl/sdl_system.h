// The saver on the Linux desktop: an SDL2 window showing the software
// raster, black windows over the other monitors, SDL's cursor, POSIX
// files. The desktop's own blank and lock are left to come over it.
#pragma once

#include <SDL.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/cursor_trust.h"
#include "platform/screen/display_watcher.h"
#include "platform/screen/presented_canvas.h"
#include "platform/sdl/linux_common.h"
#include "platform/sdl/sdl_displays.h"
#include "platform/sdl/sdl_framebuffer.h"
#include "platform/system.h"

namespace brenlow {

class SdlSystem : public System {
 public:
  SdlSystem(int argc, char** argv);
  ~SdlSystem() override;

  std::string CommandLineArgs() override { return common_.args(); }
  std::string WindowsDirectory() override { return common_.WindowsDirectory(); }
  void SetScreenSaverActive(bool active) override;
  void Service() override;
  bool GetCursorPos(CursorPoint& point) override;
  void ShowCursor(bool show) override;
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
  void InitVideo();
  // Sleeps until the X server or the compositor says something or max_ms
  // pass.
  void Wait(int max_ms);
  // Whether the server said something within max_ms (0: already).
  bool Readable(int max_ms);
  // Takes what it said into SDL's queue.
  void Pump();
  // Where the pointer is now, as the system tells.
  CursorPoint ReadCursor();
  // Takes the saver's windows down (the watcher's covers first).
  void CloseWindows();
  // SDL's event filter: notes the pointer entering and leaving the saver's
  // windows and covers to paint again (X events, which nothing else reads,
  // are dropped).
  static int NoteEvent(void* system, SDL_Event* event);

  LinuxCommon common_;
  bool video_ = false;
  SDL_Window* window_ = nullptr;
  // Made with the window, in this order.
  std::unique_ptr<SdlDisplays> displays_;
  std::unique_ptr<DisplayWatcher> watcher_;
  std::unique_ptr<Framebuffer> framebuffer_;
  std::unique_ptr<PresentedCanvas> canvas_;
  CursorPoint last_cursor_;
  CursorTrust cursor_trust_;
  // The pointer is over one of the saver's windows and no other program has
  // grabbed it (a grab takes it away with a leave): each move comes to us
  // as an event, so a hold that heard none needs no look at the cursor.
  bool pointer_inside_ = false;
  // The cursor was read since the pointer last came in or went out.
  bool read_since_crossing_ = false;
  // Whether the pointer has been over them since they opened, and whether
  // the system's answers mean anything before it has (Xwayland, Wayland).
  bool pointer_seen_ = false;
  bool pointer_unknown_until_seen_ = false;
  // The window's Wayland connection, when SDL draws there.
  wl_display* wayland_ = nullptr;
};

}  // namespace brenlow
