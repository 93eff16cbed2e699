#include "platform/sdl/sdl_system.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <poll.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "platform/sdl/options_dialog_module.h"
#include "platform/soft/picture_io.h"

namespace brenlow {
namespace {

// The X11 side of an SDL window; none when SDL draws elsewhere.
struct X11Window {
  Display* display;
  ::Window window;
};
std::optional<X11Window> X11Of(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
    return std::nullopt;
  }
  return X11Window{info.info.x11.display, info.info.x11.window};
}

// Rows of COLORREF (0x00BBGGRR) pixels to 0x00RRGGBB ones, opaque where
// the target has alpha. Pitches are in bytes.
void CopySwappingRedBlue(const Colour* from, int from_pitch, std::uint32_t* to, int to_pitch,
                         int width, int height, std::uint32_t alpha) {
  // Four pixels at a time in the compiler's portable vectors: -O2 leaves a
  // plain loop scalar.
  using Four = std::uint32_t __attribute__((vector_size(16)));
  auto swap = [alpha](auto c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu) | alpha;
  };
  for (int y = 0; y < height; ++y) {
    const char* in = reinterpret_cast<const char*>(from) + static_cast<size_t>(y) * from_pitch;
    char* out = reinterpret_cast<char*>(to) + static_cast<size_t>(y) * to_pitch;
    int x = 0;
    for (; x + 4 <= width; x += 4) {
      Four c;
      std::memcpy(&c, in + x * 4, sizeof c);
      c = swap(c);
      std::memcpy(out + x * 4, &c, sizeof c);
    }
    for (; x < width; ++x) {
      Colour c;
      std::memcpy(&c, in + x * 4, sizeof c);
      const std::uint32_t v = swap(c);
      std::memcpy(out + x * 4, &v, sizeof v);
    }
  }
}

}  // namespace

void ExitWithMessage(const std::string& line) {
  std::fprintf(stderr, "brenlow: %s\n", line.c_str());
  std::fflush(stderr);
  std::_Exit(1);
}

std::string NoScreenMessage() {
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((!display || !*display) && (!wayland || !*wayland)) {
    return "nessuno schermo su cui disegnare: la variabile DISPLAY non è impostata";
  }
  return std::string("impossibile aprire lo schermo \"") +
         (display && *display ? display : wayland) + "\"";
}

PresentingCanvas::PresentingCanvas(SDL_Window* window, int width, int height)
    : soft_(width, height), next_width_(width), next_height_(height), window_(window) {
  // The canvas is drawn in software already: showing it through the
  // window's own surface keeps a GL stack out of the process (on a machine
  // without a GPU, Mesa's LLVM JIT: 90 MB resident and most of a second
  // before the first frame).
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

void PresentingCanvas::Touch(std::int64_t left, std::int64_t top, std::int64_t right,
                             std::int64_t bottom) {
  // Everything drawn lies within the box grown by the widest pen.
  constexpr std::int64_t kMargin = 8;
  const std::int64_t x1 = std::max<std::int64_t>(0, std::min(left, right) - kMargin);
  const std::int64_t y1 = std::max<std::int64_t>(0, std::min(top, bottom) - kMargin);
  const std::int64_t x2 =
      std::min<std::int64_t>(soft_.width(), std::max(left, right) + kMargin + 1);
  const std::int64_t y2 =
      std::min<std::int64_t>(soft_.height(), std::max(top, bottom) + kMargin + 1);
  if (x1 >= x2 || y1 >= y2) return;
  if (dirty_.w == 0) {
    dirty_ = {static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2 - x1),
              static_cast<int>(y2 - y1)};
    return;
  }
  const int end_x = std::max(dirty_.x + dirty_.w, static_cast<int>(x2));
  const int end_y = std::max(dirty_.y + dirty_.h, static_cast<int>(y2));
  dirty_.x = std::min(dirty_.x, static_cast<int>(x1));
  dirty_.y = std::min(dirty_.y, static_cast<int>(y1));
  dirty_.w = end_x - dirty_.x;
  dirty_.h = end_y - dirty_.y;
}

void PresentingCanvas::Present() {
  // Only what changed since the last showing goes to the window surface (a
  // shared-memory image of the window on X11) and on to the screen: the
  // first tile costs a tile, not a screen.
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (surface && dirty_.w > 0) {
    const SDL_Rect rect{dirty_.x, dirty_.y, std::min(dirty_.w, surface->w - dirty_.x),
                        std::min(dirty_.h, surface->h - dirty_.y)};
    if (rect.w > 0 && rect.h > 0) {
      const int pitch = soft_.width() * static_cast<int>(sizeof(Colour));
      const auto* from = reinterpret_cast<const unsigned char*>(soft_.pixels().data()) +
                         static_cast<size_t>(rect.y) * pitch + static_cast<size_t>(rect.x) * 4;
      auto* to = static_cast<unsigned char*>(surface->pixels) +
                 static_cast<size_t>(rect.y) * surface->pitch +
                 static_cast<size_t>(rect.x) * surface->format->BytesPerPixel;
      const SDL_PixelFormat& format = *surface->format;
      if (format.BytesPerPixel == 4 && format.Rmask == 0xFF0000u && format.Gmask == 0xFF00u &&
          format.Bmask == 0xFFu) {
        // The X server's usual 0x00RRGGBB: red and blue trade places. SDL's
        // general converter took a tenth of what the saver spends.
        CopySwappingRedBlue(reinterpret_cast<const Colour*>(from), pitch,
                            reinterpret_cast<std::uint32_t*>(to), surface->pitch, rect.w, rect.h,
                            format.Amask);
      } else {
        // COLORREF is 0x00BBGGRR: in memory R, G, B, X, which SDL calls XBGR8888.
        SDL_ConvertPixels(rect.w, rect.h, SDL_PIXELFORMAT_XBGR8888, from, pitch, format.format, to,
                          surface->pitch);
      }
      SDL_UpdateWindowSurfaceRects(window_, &rect, 1);
    }
  }
  dirty_ = {};
  last_present_ = std::chrono::steady_clock::now();
  changed_ = false;
  screen_black_ = canvas_black_;
}

void PresentingCanvas::PresentIfDue() {
  // A hold asks often and draws nothing: showing an unchanged full-screen
  // canvas every 16 ms would cost a third of a core.
  if (!changed_) return;
  if (std::chrono::steady_clock::now() - last_present_ >= std::chrono::milliseconds(16)) {
    Present();
  }
}

void PresentingCanvas::Arc(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
  soft_.Arc(l, t, r, b);
  Touch(l, t, r, b);
  Drawn();
}

void PresentingCanvas::Rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
  soft_.Rectangle(l, t, r, b);
  Touch(l, t, r, b);
  Drawn();
}

void PresentingCanvas::Line(float x1, float y1, float x2, float y2) {
  soft_.Line(x1, y1, x2, y2);
  Touch(static_cast<std::int64_t>(std::floor(x1)), static_cast<std::int64_t>(std::floor(y1)),
        static_cast<std::int64_t>(std::ceil(x2)), static_cast<std::int64_t>(std::ceil(y2)));
  Drawn();
}

void PresentingCanvas::CopyPicture(const Picture& picture, float dest_x, float dest_y, float width,
                                   float height, float src_x, float src_y) {
  soft_.CopyPicture(picture, dest_x, dest_y, width, height, src_x, src_y);
  Touch(static_cast<std::int64_t>(dest_x) - 1, static_cast<std::int64_t>(dest_y) - 1,
        static_cast<std::int64_t>(dest_x + width) + 1,
        static_cast<std::int64_t>(dest_y + height) + 1);
  Drawn();
}

void PresentingCanvas::PrintText(float x, float y, const std::string& text) {
  soft_.PrintText(x, y, text);
  TouchAll();
  Drawn();
}

void PresentingCanvas::Drawn() {
  canvas_black_ = false;
  changed_ = true;
  // The canvas fill checks nothing while it draws thousands of outlines,
  // and its first tiles should show as they come.
  if (++calls_since_clock_ % kCallsPerClockLook == 0) PresentIfDue();
}

void PresentingCanvas::Resize(int width, int height) {
  if (width == next_width_ && height == next_height_) return;
  next_width_ = width;
  next_height_ = height;
  TouchAll();
  changed_ = true;
  screen_black_ = false;
}

void PresentingCanvas::Repaint() {
  if (next_width_ != soft_.width() || next_height_ != soft_.height()) {
    soft_.Resize(next_width_, next_height_);
  }
  soft_.Repaint();
  canvas_black_ = true;
  // A screen that shows black already needs no frame: the first one shown
  // is the first drawing's.
  if (screen_black_) {
    dirty_ = {};
    changed_ = false;
    return;
  }
  TouchAll();
  changed_ = true;
}

SdlSystem::SdlSystem(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (i > 1) args_ += ' ';
    args_ += argv[i];
  }
}

SdlSystem::~SdlSystem() {
  for (SDL_Window* cover : covers_) SDL_DestroyWindow(cover);
  canvas_.reset();
  if (window_) SDL_DestroyWindow(window_);
  if (video_) {
    SDL_SetEventFilter(nullptr, nullptr);
    SDL_Quit();
  }
}

void SdlSystem::InitVideo() {
  if (video_) return;
  // Our own window is the screen saver; keep the desktop's from starting.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // SIGTERM and SIGINT end the program at once, as they do any program:
  // SDL would turn them into a quit event that the saver reads only once a
  // cycle and the settings window never. The X server gives the cursor and
  // the desktop's screen saver back when the connection goes.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Only drivers that show something on a desktop: left to itself, SDL
  // falls back to one without a screen, and the saver would run unseen
  // with nothing to end it. A driver named in SDL_VIDEODRIVER is the
  // user's choice, but a headless one is refused all the same.
  if (!std::getenv("SDL_VIDEODRIVER")) {
    std::string drivers;
    if (const char* x11 = std::getenv("DISPLAY"); x11 && *x11) drivers = "x11";
    if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland && *wayland) {
      drivers += drivers.empty() ? "wayland" : ",wayland";
    }
    if (drivers.empty()) ExitWithMessage(NoScreenMessage());
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
  }
  if (SDL_Init(SDL_INIT_VIDEO) != 0) ExitWithMessage(NoScreenMessage());
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0 ||
      std::strcmp(driver, "evdev") == 0) {
    SDL_Quit();
    ExitWithMessage(NoScreenMessage());
  }
  video_ = true;
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
  SDL_SetEventFilter(&SdlSystem::NoteCrossing, this);
}

int SdlSystem::NoteCrossing(void* system, SDL_Event* event) {
  if (event->type != SDL_SYSWMEVENT) return 1;
  const SDL_SysWMmsg* msg = event->syswm.msg;
  if (msg && msg->subsystem == SDL_SYSWM_X11) {
    const int type = msg->msg.x11.event.type;
    if (type == EnterNotify || type == LeaveNotify) {
      auto* self = static_cast<SdlSystem*>(system);
      self->pointer_inside_ = type == EnterNotify;
      self->cursor_trust_.Moved();
    }
  }
  return 0;
}

std::string SdlSystem::WindowsDirectory() {
  try {
    return StandInWindowsFolder();
  } catch (const std::runtime_error& error) {
    // Said on the terminal too: the running saver ends without a box.
    std::fprintf(stderr, "brenlow: %s\n", error.what());
    throw;
  }
}

void SdlSystem::SetScreenSaverActive(bool active) {
  InitVideo();
  if (active) {
    SDL_EnableScreenSaver();
  } else {
    SDL_DisableScreenSaver();
  }
}

bool SdlSystem::GetCursorPos(CursorPoint& point) {
  // The effects ask before every shape; asking the X server that often
  // would cost more than the drawing (see CursorTrust).
  const double now = Monotonic();
  if (cursor_trust_.Fresh(now)) {
    point = last_cursor_;
    return true;
  }
  cursor_trust_.Read(now);
  if (canvas_) canvas_->PresentIfDue();
  WatchDisplays();
  int x = 0, y = 0;
  if (const auto x11 = X11Of(window_)) {
    // SDL's own global position only moves when events are pumped, and the
    // effects must not touch the event queue: ask the X server.
    ::Window root, child;
    int win_x, win_y;
    unsigned int mask;
    XQueryPointer(x11->display, DefaultRootWindow(x11->display), &root, &child, &x, &y, &win_x,
                  &win_y, &mask);
  } else {
    SDL_GetGlobalMouseState(&x, &y);
  }
  last_cursor_ = {x, y};
  point = last_cursor_;
  return true;
}

void SdlSystem::ShowCursor(bool show) {
  InitVideo();
  SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

double SdlSystem::Timer() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + now.tv_nsec / 1e9;
}

void SdlSystem::HoldPause(int max_ms) {
  // A hold shows its picture at once (the checks in it may not look at the
  // cursor, which shows what is due).
  if (canvas_) canvas_->PresentIfChanged();
  Wait(max_ms);
}

void SdlSystem::Wait(int max_ms) {
  WatchDisplays();
  const auto x11 = X11Of(window_);
  if (!x11) {
    SDL_Delay(static_cast<Uint32>(max_ms));
    return;
  }
  // Sleep until the X server says something (a pointer move over the
  // saver's windows wakes the wait at once) or max_ms pass.
  Display* display = x11->display;
  if (XEventsQueued(display, QueuedAlready) == 0) {
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    if (poll(&connection, 1, max_ms) <= 0) {
      // Silence: the pointer has not moved over the saver's windows. If it
      // is over them, it has not moved at all, which is as good as a
      // reading now. Otherwise the last reading stands for a while; a
      // pointer that moves elsewhere (a grab by another program) is still
      // seen within kLongestHoldWaitMs.
      if (pointer_inside_) {
        cursor_trust_.Read(Monotonic());
      } else {
        cursor_trust_.QuietWait();
      }
      return;
    }
  }
  // What it said goes into SDL's queue, so the next wait waits for news:
  // keys stay there for the cycle's turn of the queue, pointer motion is
  // dropped (the cursor is read directly, afresh at the next check).
  SDL_PumpEvents();
  SDL_FlushEvent(SDL_MOUSEMOTION);
  cursor_trust_.Moved();
}

double SdlSystem::Monotonic() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void SdlSystem::BandPause(double seconds) {
  // Bands are drawn in bursts between waits of a millisecond or more; the
  // screen shows them at most every 16 ms anyway.
  if (seconds > 0) Wait(static_cast<int>(std::ceil(seconds * 1000.0)));
  if (canvas_) canvas_->PresentIfDue();
  WatchDisplays();
}

Canvas& SdlSystem::OpenSaverWindow() {
  InitVideo();
  SDL_Rect bounds{0, 0, 640, 480};
  SDL_GetDisplayBounds(0, &bounds);
  window_ = SDL_CreateWindow("brenlow", bounds.x, bounds.y, bounds.w, bounds.h,
                             SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP |
                                 SDL_WINDOW_INPUT_FOCUS | SDL_WINDOW_HIDDEN);
  if (!window_) throw std::runtime_error(SDL_GetError());
  FillScreen(window_);
  SDL_ShowWindow(window_);
  FitDisplays(CurrentDisplays());
  SDL_RaiseWindow(window_);
  canvas_ = std::make_unique<PresentingCanvas>(window_, layout_.primary.w, layout_.primary.h);
  return *canvas_;
}

bool SdlSystem::DisplayLayout::operator==(const DisplayLayout& b) const {
  const auto same = [](const SDL_Rect& x, const SDL_Rect& y) {
    return x.x == y.x && x.y == y.y && x.w == y.w && x.h == y.h;
  };
  return same(primary, b.primary) && others.size() == b.others.size() &&
         std::equal(others.begin(), others.end(), b.others.begin(), same);
}

SdlSystem::DisplayLayout SdlSystem::CurrentDisplays() const {
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
        const SDL_Rect r{monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height};
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
    if (i == 0) {
      layout.primary = r;
    } else {
      layout.others.push_back(r);
    }
  }
  return layout;
}

void SdlSystem::PlaceWindow(SDL_Window* window, const SDL_Rect& bounds) {
  // Only what differs: on X, SDL waits up to 100 ms for a move or a resize
  // to be seen, the whole time when there is nothing to see.
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetWindowPosition(window, &x, &y);
  SDL_GetWindowSize(window, &w, &h);
  if (x != bounds.x || y != bounds.y) SDL_SetWindowPosition(window, bounds.x, bounds.y);
  if (w != bounds.w || h != bounds.h) SDL_SetWindowSize(window, bounds.w, bounds.h);
}

void SdlSystem::FitDisplays(const DisplayLayout& layout) {
  layout_ = layout;
  const SDL_Rect& primary = layout.primary;
  PlaceWindow(window_, primary);
  if (canvas_) canvas_->Resize(primary.w, primary.h);
  // The drawing stays on the primary display; every other display gets a
  // black window, whose keys and close requests count as the saver
  // window's (DoEvents reads every window's). SDL hides the cursor over
  // all of them.
  while (covers_.size() > layout.others.size()) {
    SDL_DestroyWindow(covers_.back());
    covers_.pop_back();
  }
  bool made = false;
  for (size_t i = 0; i < layout.others.size(); ++i) {
    const SDL_Rect& r = layout.others[i];
    if (i < covers_.size()) {
      PlaceWindow(covers_[i], r);
      if (paint_covers_) PaintCover(covers_[i]);
    } else {
      covers_.push_back(OpenCover(r));
      made = true;
    }
  }
  // A new cover is mapped above the saver window, which goes back on top
  // where displays overlap.
  if (made && canvas_) SDL_RaiseWindow(window_);
}

void SdlSystem::WatchDisplays(bool told) {
  // SDL tells of displays only when its events are read, and on X of no
  // mode change at all: between two turns of the queue the displays are
  // looked at four times a second, so a display that comes is covered
  // well within one.
  if (!window_) return;
  const auto now = std::chrono::steady_clock::now();
  if (!told && now - last_display_look_ < std::chrono::milliseconds(250)) return;
  last_display_look_ = now;
  DisplayLayout layout = CurrentDisplays();
  if (!(layout == layout_)) FitDisplays(layout);
}

bool SdlSystem::FillScreen(SDL_Window* window) {
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
  SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  return false;
}

SDL_Window* SdlSystem::OpenCover(const SDL_Rect& bounds) {
  SDL_Window* cover = SDL_CreateWindow("brenlow", bounds.x, bounds.y, bounds.w, bounds.h,
                                       SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP |
                                           SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_HIDDEN);
  if (!cover) throw std::runtime_error(SDL_GetError());
  // On X the server keeps it black; elsewhere it is painted, and again
  // whenever it is uncovered.
  if (!FillScreen(cover)) paint_covers_ = true;
  SDL_ShowWindow(cover);
  if (paint_covers_) PaintCover(cover);
  return cover;
}

void SdlSystem::PaintCover(SDL_Window* cover) {
  if (SDL_Surface* surface = SDL_GetWindowSurface(cover)) {
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    SDL_UpdateWindowSurface(cover);
  }
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
    if (paint_covers_ && event.type == SDL_WINDOWEVENT &&
        (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
         event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
      for (SDL_Window* cover : covers_) {
        if (SDL_GetWindowID(cover) == event.window.windowID) PaintCover(cover);
      }
    }
  }
  WatchDisplays(displays_changed);
  if (canvas_) canvas_->Present();
  return events;
}

std::optional<Picture> SdlSystem::LoadPicture(const std::string& path) {
  return LoadBmp(PosixFiles::NativePath(path));
}

void SdlSystem::MessageBox(const std::string& text, const std::string& title) {
  SDL_ShowSimpleMessageBox(0, title.c_str(), text.c_str(), window_);
}

OptionsDialogWindow& SdlSystem::OptionsDialog() {
  if (!options_dialog_) options_dialog_ = LoadOptionsDialogWindow();
  return *options_dialog_;
}

void SdlSystem::EndProcess(int exit_code) {
  // Give the cursor and the desktop's screen saver back, then leave without
  // tearing the window down: SDL waits up to 100 ms for a window manager to
  // confirm that a full-screen window left full screen, and the X server
  // drops the window with the connection anyway.
  if (video_) {
    SDL_ShowCursor(SDL_ENABLE);
    SDL_EnableScreenSaver();
    if (const auto x11 = X11Of(window_)) {
      XSync(x11->display, False);
    } else {
      for (SDL_Window* cover : covers_) SDL_DestroyWindow(cover);
      canvas_.reset();
      if (window_) SDL_DestroyWindow(window_);
      SDL_Quit();
    }
  }
  std::_Exit(exit_code);
}

}  // namespace brenlow
