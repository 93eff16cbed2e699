#include "platform/sdl/host_window.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform/sdl/screen_check.h"
#include "platform/sdl/x_errors.h"

namespace brenlow {
namespace {

// The classic virtual-root rule: a window manager that draws the desktop in
// a window of its own marks it with __SWM_VROOT; savers draw there.
::Window VirtualRoot(Display* display) {
  const ::Window root = DefaultRootWindow(display);
  const Atom vroot = XInternAtom(display, "__SWM_VROOT", False);
  ::Window found = root;
  ::Window root_return = 0, parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  ErrorTrap trap(display);  // a child may go away while it is asked
  if (XQueryTree(display, root, &root_return, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count && found == root; ++i) {
      Atom type = 0;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display, children[i], vroot, 0, 1, False, XA_WINDOW, &type, &format,
                             &items, &after, &data) == Success &&
          data) {
        if (type == XA_WINDOW && items == 1) found = *reinterpret_cast<::Window*>(data);
        XFree(data);
      }
    }
    if (children) XFree(children);
  }
  trap.End();
  return found;
}

}  // namespace

HostedSystem::HostedSystem(int argc, char** argv, const HostCommandLine& request)
    : common_(argc, argv), request_(request) {}

HostedSystem::~HostedSystem() {
  canvas_.reset();
  framebuffer_.reset();
  if (display_) XCloseDisplay(display_);
}

void HostedSystem::Connect() {
  if (ScreensInEnvironment().x11.empty()) ExitForNoScreen();
  display_ = XOpenDisplay(nullptr);
  if (!display_) ExitForNoScreen();
  EndOnXErrors();
  // The host ends the saver with SIGTERM and expects it gone at once; a
  // disposition inherited from whoever started the host must not delay it.
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
  window_ = TargetWindow();
  XWindowAttributes attributes;
  ErrorTrap trap(display_);
  const Status found = XGetWindowAttributes(display_, window_, &attributes);
  if (trap.End() != 0 || !found) {
    ExitWithMessage("la finestra " + WindowName(window_) +
                    " indicata dallo screen saver non esiste");
  }
  // Its size and its end; the host keeps its own input.
  XSelectInput(display_, window_, StructureNotifyMask | ExposureMask);
  XSync(display_, False);
}

::Window HostedSystem::TargetWindow() {
  if (request_.window) return static_cast<::Window>(*request_.window);
  return VirtualRoot(display_);
}

Canvas& HostedSystem::OpenSaverWindow() {
  XWindowAttributes attributes;
  XGetWindowAttributes(display_, window_, &attributes);
  framebuffer_ = std::make_unique<XImageFramebuffer>(display_, window_, attributes);
  // The host's window shows whatever it had: the first fill is shown.
  canvas_ = std::make_unique<PresentedCanvas>(*framebuffer_, &LinuxCommon::Monotonic,
                                              PresentedCanvas::NewSize::kAtOnce, false);
  canvas_->Repaint();
  return *canvas_;
}

void HostedSystem::ReadEvents() {
  int width = static_cast<int>(framebuffer_->raster().ScaleWidth());
  int height = static_cast<int>(framebuffer_->raster().ScaleHeight());
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == DestroyNotify && event.xdestroywindow.window == window_) {
      ExitWithMessage("la finestra " + WindowName(window_) + " dello screen saver è stata chiusa");
    }
    if (event.type == ConfigureNotify && event.xconfigure.window == window_) {
      width = event.xconfigure.width;
      height = event.xconfigure.height;
    }
    if (event.type == Expose) canvas_->Exposed();
  }
  canvas_->Resize(width, height);
}

void HostedSystem::Service() {
  if (!canvas_) return;
  const double now = Monotonic();
  if (now - last_event_look_ < kEventLookPeriod) return;
  last_event_look_ = now;
  ReadEvents();
  canvas_->PresentIfDue(now);
}

void HostedSystem::ServiceNow() {
  if (!canvas_) return;
  last_event_look_ = Monotonic();
  ReadEvents();
  canvas_->Present();
}

bool HostedSystem::GetCursorPos(CursorPoint& point) {
  // The host watches the pointer.
  point = {0, 0};
  return true;
}

void HostedSystem::HoldPause(int max_ms) {
  // The host owns the input: nothing wakes the wait but the window's own
  // events (a resize, an exposure), which are served at once.
  ServiceNow();
  if (XEventsQueued(display_, QueuedAlready) == 0) {
    pollfd connection{ConnectionNumber(display_), POLLIN, 0};
    poll(&connection, 1, max_ms);
  }
}

void HostedSystem::BandPause(double seconds) {
  if (seconds > 0) HoldPause(static_cast<int>(std::ceil(seconds * 1000.0)));
  Service();
}

WindowEvents HostedSystem::DoEvents() {
  ServiceNow();
  return {};
}

void HostedSystem::MessageBox(const std::string& text, const std::string& title) {
  // Nothing may cover the host's screen: the text goes to the host's log.
  std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

void HostedSystem::EndProcess(int exit_code) {
  if (display_) XFlush(display_);
  std::_Exit(exit_code);
}

}  // namespace brenlow
