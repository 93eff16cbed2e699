#include "platform/sdl/sdl_displays.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

#include <stdexcept>
#include <string_view>

namespace brenlow {
namespace {

// Moves and sizes a window where it is not there already.
void PlaceWindow(SDL_Window* window, const PixelBox& bounds) {
  if (!X11Of(window)) {
    // Elsewhere (Wayland) a window is not placed, only made full screen on
    // a display: on the one at bounds, when it is not there already.
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
      SDL_Rect r;
      if (SDL_GetDisplayBounds(i, &r) != 0 || r.x != bounds.left || r.y != bounds.top) continue;
      if (i != SDL_GetWindowDisplayIndex(window)) {
        SDL_SetWindowFullscreen(window, 0);
        SDL_SetWindowPosition(window, r.x, r.y);
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
      }
      return;
    }
    return;
  }
  // Only what differs: on X, SDL waits up to 100 ms for a move or a resize
  // to be seen, the whole time when there is nothing to see.
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetWindowPosition(window, &x, &y);
  SDL_GetWindowSize(window, &w, &h);
  if (x != bounds.left || y != bounds.top) SDL_SetWindowPosition(window, bounds.left, bounds.top);
  if (w != bounds.width() || h != bounds.height()) {
    SDL_SetWindowSize(window, bounds.width(), bounds.height());
  }
}

void PaintCover(SDL_Window* cover, WaylandShm* wayland) {
  if (wayland) {
    wayland->PaintBlack(cover);
    return;
  }
  if (SDL_Surface* surface = SDL_GetWindowSurface(cover)) {
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    SDL_UpdateWindowSurface(cover);
  }
}

bool IsXwayland(Display* display) {
  // It has no extension of its own to ask for; its outputs are XWAYLAND0,
  // XWAYLAND1, ...
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
  if (!resources) return false;
  bool xwayland = false;
  for (int i = 0; i < resources->noutput && !xwayland; ++i) {
    if (XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[i])) {
      xwayland = std::string_view(output->name, output->nameLen).starts_with("XWAYLAND");
      XRRFreeOutputInfo(output);
    }
  }
  XRRFreeScreenResources(resources);
  return xwayland;
}

// A black window over a monitor, whose keys and close requests count as the
// saver window's (the saver reads every window's events). SDL hides the
// cursor over it.
class SdlCover : public Displays::Cover {
 public:
  SdlCover(const PixelBox& r, bool& painted, WaylandShm* wayland, bool xwayland)
      : painted_(painted), wayland_(wayland) {
    // A Wayland compositor puts Xwayland's managed windows on the output it
    // chooses, full screen there; one the X server places itself (override
    // redirect, as SDL makes tooltips) stays over the monitor it is placed on.
    window_ = SDL_CreateWindow("brenlow", r.left, r.top, r.width(), r.height(),
                               SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP |
                                   SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_HIDDEN |
                                   (xwayland ? SDL_WINDOW_TOOLTIP : 0));
    if (!window_) throw std::runtime_error(SDL_GetError());
    // On X the server keeps it black; elsewhere it is painted, and again
    // whenever it is uncovered.
    if (!FillScreen(window_)) painted_ = true;
    SDL_ShowWindow(window_);
    if (painted_) PaintCover(window_, wayland_);
  }
  ~SdlCover() override { SDL_DestroyWindow(window_); }
  void Place(const PixelBox& bounds) override {
    PlaceWindow(window_, bounds);
    if (painted_) PaintCover(window_, wayland_);
  }

 private:
  SDL_Window* window_;
  bool& painted_;
  WaylandShm* wayland_;
};

}  // namespace

std::optional<X11Window> X11Of(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
    return std::nullopt;
  }
  return X11Window{info.info.x11.display, info.info.x11.window};
}

wl_display* WaylandOf(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WAYLAND) {
    return nullptr;
  }
  return info.info.wl.display;
}

bool FillScreen(SDL_Window* window) {
  if (const auto x11 = X11Of(window)) {
    // Full screen by the window's own state, read by a window manager when
    // the window is mapped: SDL's switch to full screen waits 100 ms for a
    // window manager's answer, and a bare X server never answers. Without a
    // window manager the borderless window covers the screen by its size.
    Display* display = x11->display;
    const ::Window x_window = x11->window;
    const Atom fullscreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    XChangeProperty(display, x_window, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32,
                    PropModeAppend, reinterpret_cast<const unsigned char*>(&fullscreen), 1);
    // The X server paints the window black itself until the first drawing
    // is shown: no full-screen black frame to push.
    XSetWindowBackground(display, x_window, BlackPixel(display, DefaultScreen(display)));
    return true;
  }
  // The surface first where SDL shows it through GL (not on Wayland): SDL
  // makes the window anew for GL the first time one is asked for, and the
  // new one forgets that it was full screen.
  if (!WaylandOf(window)) SDL_GetWindowSurface(window);
  SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  return false;
}

SdlDisplays::SdlDisplays(SDL_Window* saver_window) : window_(saver_window) {
  if (wl_display* display = WaylandOf(window_))
    wayland_shm_ = std::make_unique<WaylandShm>(display);
  if (const auto x11 = X11Of(window_)) xwayland_ = IsXwayland(x11->display);
}

DisplayLayout SdlDisplays::Current() {
  DisplayLayout layout;
  if (const auto x11 = X11Of(window_)) {
    int count = 0;
    if (XRRMonitorInfo* monitors =
            XRRGetMonitors(x11->display, DefaultRootWindow(x11->display), True, &count)) {
      int primary = 0;
      for (int i = 0; i < count; ++i) {
        if (monitors[i].primary) primary = i;
      }
      for (int i = 0; i < count; ++i) {
        const XRRMonitorInfo& m = monitors[i];
        const PixelBox r{m.x, m.y, m.x + m.width, m.y + m.height};
        if (i == primary) {
          layout.primary = r;
        } else {
          layout.others.push_back(r);
        }
      }
      XRRFreeMonitors(monitors);
      if (count > 0) return layout;
    }
  }
  // SDL lists the primary display first.
  const int displays = SDL_GetNumVideoDisplays();
  for (int i = 0; i < displays; ++i) {
    SDL_Rect r;
    if (SDL_GetDisplayBounds(i, &r) != 0) throw std::runtime_error(SDL_GetError());
    const PixelBox box{r.x, r.y, r.x + r.w, r.y + r.h};
    if (i == 0) {
      layout.primary = box;
    } else {
      layout.others.push_back(box);
    }
  }
  return layout;
}

void SdlDisplays::PlaceSaverWindow(const PixelBox& bounds) {
  PlaceWindow(window_, bounds);
  if (canvas_) canvas_->Resize(bounds.width(), bounds.height());
}

std::unique_ptr<Displays::Cover> SdlDisplays::OpenCover(const PixelBox& bounds) {
  return std::make_unique<SdlCover>(bounds, paint_covers_, wayland_shm_.get(), xwayland_);
}

void SdlDisplays::WindowEvent(const SDL_WindowEvent& event) {
  if (!paint_covers_ || event.windowID == SDL_GetWindowID(window_)) return;
  if (event.event == SDL_WINDOWEVENT_EXPOSED || event.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
    unpainted_.push_back(event.windowID);
  }
}

void SdlDisplays::PaintCovers() {
  for (const Uint32 id : unpainted_) {
    if (SDL_Window* cover = SDL_GetWindowFromID(id)) PaintCover(cover, wayland_shm_.get());
  }
  unpainted_.clear();
}

}  // namespace brenlow
