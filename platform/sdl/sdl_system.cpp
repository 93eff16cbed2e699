#include "platform/sdl/sdl_system.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <wayland-client.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/sdl/screen_check.h"

namespace brenlow {

SdlSystem::SdlSystem(int argc, char** argv) : common_(argc, argv) {}

SdlSystem::~SdlSystem() {
  CloseWindows();
  if (video_) {
    SDL_SetEventFilter(nullptr, nullptr);
    SDL_Quit();
  }
}

void SdlSystem::CloseWindows() {
  canvas_.reset();
  framebuffer_.reset();
  watcher_.reset();
  displays_.reset();
  if (window_) SDL_DestroyWindow(window_);
  window_ = nullptr;
}

void SdlSystem::InitVideo() {
  if (video_) return;
  // The desktop's own blank and lock come at their time, over the saver
  // too: SDL would hold them off (an idle inhibitor on Wayland, the X
  // screen saver suspended) for as long as the saver runs.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // SIGTERM and SIGINT end the program at once, as they do any program:
  // SDL would turn them into a quit event that the saver reads only once a
  // cycle and the settings window never. The X server gives the cursor back
  // when the connection goes.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Only drivers that show something on a desktop: left to itself, SDL
  // falls back to one without a screen, and the saver would run unseen
  // with nothing to end it. A driver named in SDL_VIDEODRIVER is the
  // user's choice, but a headless one is refused all the same. On a
  // Wayland desktop the compositor comes first: through Xwayland the
  // saver's windows all land on one output and the pointer is not seen on
  // the others.
  if (!std::getenv("SDL_VIDEODRIVER")) {
    const NamedScreens screens = ScreensInEnvironment();
    if (!screens.any()) ExitForNoScreen();
    std::string drivers = screens.wayland.empty() ? "" : "wayland";
    if (!screens.x11.empty()) drivers += drivers.empty() ? "x11" : ",x11";
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
  }
  if (SDL_Init(SDL_INIT_VIDEO) != 0) ExitForNoScreen();
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0 ||
      std::strcmp(driver, "evdev") == 0) {
    SDL_Quit();
    ExitForNoScreen();
  }
  SdlWindowFramebuffer::ChooseSurfaces(driver);
  video_ = true;
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
  SDL_SetEventFilter(&SdlSystem::NoteEvent, this);
}

int SdlSystem::NoteEvent(void* system, SDL_Event* event) {
  auto* self = static_cast<SdlSystem*>(system);
  const auto crossed = [self](bool inside) {
    self->pointer_inside_ = inside;
    self->pointer_seen_ = self->pointer_seen_ || inside;
    self->read_since_crossing_ = false;
    self->cursor_trust_.Moved();
  };
  // Covers are repainted as soon as they need it, not at the cycle's turn.
  if (event->type == SDL_WINDOWEVENT && self->displays_)
    self->displays_->WindowEvent(event->window);
  if (event->type == SDL_WINDOWEVENT && self->wayland_) {
    // On Wayland SDL's own crossings are the only ones there are.
    if (event->window.event == SDL_WINDOWEVENT_ENTER) crossed(true);
    if (event->window.event == SDL_WINDOWEVENT_LEAVE) crossed(false);
    return 1;
  }
  if (event->type != SDL_SYSWMEVENT) return 1;
  const SDL_SysWMmsg* msg = event->syswm.msg;
  if (msg && msg->subsystem == SDL_SYSWM_X11) {
    const int type = msg->msg.x11.event.type;
    if (type == EnterNotify || type == LeaveNotify) crossed(type == EnterNotify);
  }
  return 0;
}

void SdlSystem::SetScreenSaverActive(bool) {
  // Windows locks on resume whatever the saver asks; a Linux desktop locks
  // only when its idle time comes, so the saver leaves it alone (InitVideo).
  InitVideo();
}

void SdlSystem::Service() {
  if (!canvas_) return;
  const double now = Monotonic();
  canvas_->PresentIfDue(now);
  watcher_->Watch(now);
}

bool SdlSystem::GetCursorPos(CursorPoint& point) {
  // The effects ask before every shape; asking the X server that often
  // would cost more than the drawing (see CursorTrust).
  const double now = Monotonic();
  if (!cursor_trust_.Fresh(now)) {
    cursor_trust_.Read(now);
    last_cursor_ = ReadCursor();
    read_since_crossing_ = true;
  }
  // Until the pointer has been over the saver's windows, a stale answer
  // (Xwayland's last position over one of its windows, Wayland's 0,0) is
  // no reading at all: the first real one is the start position.
  if (pointer_unknown_until_seen_ && !pointer_seen_) return false;
  point = last_cursor_;
  return true;
}

CursorPoint SdlSystem::ReadCursor() {
  int x = 0, y = 0;
  if (const auto x11 = X11Of(window_)) {
    // SDL's own global position only moves when events are pumped, and the
    // effects must not touch the event queue: ask the X server.
    ::Window root, child;
    int win_x, win_y;
    unsigned int mask;
    XQueryPointer(x11->display, DefaultRootWindow(x11->display), &root, &child, &x, &y, &win_x,
                  &win_y, &mask);
    return {x, y};
  }
  if (wayland_) {
    // Only SDL's pointer events tell where it is, within the window it is
    // over; keys pumped here stay queued for the cycle's turn.
    if (Readable(0)) Pump();
    SDL_Window* over = SDL_GetMouseFocus();
    if (!over) return last_cursor_;
    SDL_GetMouseState(&x, &y);
    SDL_Rect display{0, 0, 0, 0};
    SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(over), 0), &display);
    return {display.x + x, display.y + y};
  }
  SDL_GetGlobalMouseState(&x, &y);
  return {x, y};
}

void SdlSystem::ShowCursor(bool show) {
  InitVideo();
  SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void SdlSystem::HoldPause(int max_ms) {
  // A hold shows its picture at once.
  if (canvas_) canvas_->Present();
  Wait(max_ms);
}

bool SdlSystem::Readable(int max_ms) {
  if (const auto x11 = X11Of(window_)) {
    Display* display = x11->display;
    if (XEventsQueued(display, QueuedAlready) > 0) return true;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    return poll(&connection, 1, max_ms) > 0;
  }
  // Events read already (while a frame was shown, say) are news as well.
  if (wl_display_prepare_read(wayland_) != 0) return true;
  wl_display_flush(wayland_);
  pollfd connection{wl_display_get_fd(wayland_), POLLIN, 0};
  const bool readable = poll(&connection, 1, max_ms) > 0;
  wl_display_cancel_read(wayland_);
  return readable;
}

void SdlSystem::Pump() {
  // What the server said goes into SDL's queue, so the next wait waits for
  // news: keys stay there for the cycle's turn of the queue, pointer motion
  // is dropped (the cursor is read afresh at the next check).
  SDL_PumpEvents();
  SDL_FlushEvent(SDL_MOUSEMOTION);
  cursor_trust_.Moved();
  if (displays_) displays_->PaintCovers();
}

void SdlSystem::Wait(int max_ms) {
  if (watcher_) watcher_->Watch(Monotonic());
  if (!X11Of(window_) && !wayland_) {
    SDL_Delay(static_cast<Uint32>(max_ms));
    return;
  }
  // Sleep until the server says something (a pointer move over the saver's
  // windows wakes the wait at once) or max_ms pass.
  if (Readable(max_ms)) {
    Pump();
    return;
  }
  // Silence: the pointer has not moved over the saver's windows. If it is
  // over them, it has not moved at all, which is as good as a reading now.
  // Otherwise the last reading stands for a while; a pointer that moves
  // elsewhere (a grab by another program) is still seen within
  // kLongestHoldWaitMs.
  // Not so before a reading since it came in: the last one may be from
  // before (Wayland's 0,0), and would pass for the start position.
  if (pointer_inside_ && read_since_crossing_) {
    cursor_trust_.Read(Monotonic());
  } else {
    cursor_trust_.QuietWait();
  }
}

void SdlSystem::BandPause(double seconds) {
  // Bands are drawn in bursts between waits of a millisecond or more; the
  // screen shows them at the frame pace anyway.
  if (seconds > 0) Wait(static_cast<int>(std::ceil(seconds * 1000.0)));
  Service();
}

Canvas& SdlSystem::OpenSaverWindow() {
  InitVideo();
  SDL_Rect bounds{0, 0, 640, 480};
  SDL_GetDisplayBounds(0, &bounds);
  window_ = SDL_CreateWindow("brenlow", bounds.x, bounds.y, bounds.w, bounds.h,
                             SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP |
                                 SDL_WINDOW_INPUT_FOCUS | SDL_WINDOW_HIDDEN);
  if (!window_) throw std::runtime_error(SDL_GetError());
  wayland_ = WaylandOf(window_);
  const bool kept_black = FillScreen(window_);
  SDL_ShowWindow(window_);
  displays_ = std::make_unique<SdlDisplays>(window_);
  pointer_unknown_until_seen_ = wayland_ || displays_->xwayland();
  watcher_ = std::make_unique<DisplayWatcher>(*displays_);
  watcher_->Follow();
  SDL_RaiseWindow(window_);
  const PixelBox& primary = watcher_->layout().primary;
  if (WaylandShm* shm = displays_->wayland_shm()) {
    framebuffer_ =
        std::make_unique<WaylandFramebuffer>(*shm, window_, primary.width(), primary.height());
  } else {
    framebuffer_ =
        std::make_unique<SdlWindowFramebuffer>(window_, primary.width(), primary.height());
  }
  // The X server keeps the window black until the first frame; elsewhere
  // the black is a frame of its own, shown at once.
  canvas_ = std::make_unique<PresentedCanvas>(*framebuffer_, &LinuxCommon::Monotonic,
                                              PresentedCanvas::NewSize::kAtNextFill, kept_black);
  displays_->set_canvas(canvas_.get());
  return *canvas_;
}

WindowEvents SdlSystem::DoEvents() {
  WindowEvents events;
  SDL_Event event;
  bool displays_changed = false;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_DISPLAYEVENT ||
        (event.type == SDL_WINDOWEVENT && (event.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED ||
                                           event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED))) {
      displays_changed = true;
    }
    if (event.type == SDL_KEYDOWN) events.key_down = true;
    if (event.type == SDL_QUIT) events.close_requested = true;
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) {
      events.close_requested = true;
    }
  }
  if (displays_) displays_->PaintCovers();
  if (watcher_) watcher_->Watch(Monotonic(), displays_changed);
  if (canvas_) canvas_->Present();
  return events;
}

void SdlSystem::MessageBox(const std::string& text, const std::string& title) {
  SDL_ShowSimpleMessageBox(0, title.c_str(), text.c_str(), window_);
}

void SdlSystem::EndProcess(int exit_code) {
  // Give the cursor back, then leave without tearing the window down: SDL
  // waits up to 100 ms for a window manager to confirm that a full-screen
  // window left full screen, and the X server drops the window with the
  // connection anyway.
  if (video_) {
    SDL_ShowCursor(SDL_ENABLE);
    if (const auto x11 = X11Of(window_)) {
      XSync(x11->display, False);
    } else {
      CloseWindows();
      SDL_Quit();
    }
  }
  std::_Exit(exit_code);
}

}  // namespace brenlow
