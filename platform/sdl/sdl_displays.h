// The desktop's monitors for the display watcher: where they are, as
// XRandR tells on X (SDL 2 learns of no mode change there) and as SDL tells
// elsewhere; the saver window and the black covers placed over them.
#pragma once

#include <SDL.h>
#include <X11/Xlib.h>

struct wl_display;

#include <memory>
#include <optional>
#include <vector>

#include "platform/screen/display_watcher.h"
#include "platform/screen/presented_canvas.h"
#include "platform/sdl/wayland_framebuffer.h"

namespace brenlow {

// The X11 side of an SDL window; none when SDL draws elsewhere.
struct X11Window {
  Display* display;
  ::Window window;
};
std::optional<X11Window> X11Of(SDL_Window* window);
// The Wayland connection of an SDL window; null when SDL draws elsewhere.
wl_display* WaylandOf(SDL_Window* window);

// Makes a window cover its display, black until drawn on; true when the X
// server keeps it black, false on other video drivers.
bool FillScreen(SDL_Window* window);

class SdlDisplays : public Displays {
 public:
  explicit SdlDisplays(SDL_Window* saver_window);

  // The shared memory the windows are shown through on native Wayland.
  WaylandShm* wayland_shm() { return wayland_shm_.get(); }
  // Whether the X server is Xwayland, which knows where the pointer is only
  // once it is over one of its own windows.
  bool xwayland() const { return xwayland_; }

  // The canvas that follows the saver window's size, once there is one.
  void set_canvas(PresentedCanvas* canvas) { canvas_ = canvas; }
  // A window event, as SDL takes it in: a cover we paint ourselves is to be
  // painted again when it was uncovered or resized (its surface is new).
  void WindowEvent(const SDL_WindowEvent& event);
  // Paints those covers; outside SDL's reading of events.
  void PaintCovers();

  DisplayLayout Current() override;
  void PlaceSaverWindow(const PixelBox& bounds) override;
  std::unique_ptr<Cover> OpenCover(const PixelBox& bounds) override;
  void RaiseSaverWindow() override { SDL_RaiseWindow(window_); }

 private:
  SDL_Window* window_;
  PresentedCanvas* canvas_ = nullptr;
  bool paint_covers_ = false;      // the covers are painted by us, not the X server
  std::vector<Uint32> unpainted_;  // the ids of covers to paint again
  std::unique_ptr<WaylandShm> wayland_shm_;
  bool xwayland_ = false;
};

}  // namespace brenlow
