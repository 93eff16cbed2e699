// Idleness on a plain X11 desktop: the X server's own idle time, from the
// MIT-SCREEN-SAVER extension. The server sends nothing when the time is
// up, so the service sleeps on the connection exactly until it could be.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <poll.h>

#include <algorithm>
#include <cstdlib>

#include "platform/idle/idle_source.h"

namespace brenlow {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

int NoError(Display*, XErrorEvent*) { return 0; }

int ConnectionLost(Display*) { IdleFailure("connessione con il server X persa"); }

// XScreenSaver's daemon marks a window of its own, a child of the root,
// with its version; xscreensaver-command finds it the same way.
bool XScreenSaverRuns(Display* display) {
  const Atom version = XInternAtom(display, "_SCREENSAVER_VERSION", True);
  if (version == None) return false;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
    return false;
  }
  // A window may go away while we look at it.
  XSync(display, False);
  auto* previous = XSetErrorHandler(NoError);
  bool found = false;
  for (unsigned i = 0; i < count && !found; ++i) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, children[i], version, 0, 1, False, XA_STRING, &type, &format,
                           &items, &left, &data) == Success) {
      found = type != None;
      XFree(data);
    }
  }
  XSync(display, False);
  XSetErrorHandler(previous);
  XFree(children);
  return found;
}

class X11Idle final : public IdleSource {
 public:
  explicit X11Idle(Display* display) : display_(display), info_(XScreenSaverAllocInfo()) {}

  ~X11Idle() override {
    XFree(info_);
    XCloseDisplay(display_);
  }

  const char* Name() const override { return "X11, MIT-SCREEN-SAVER"; }

  void WaitIdle(milliseconds idle, bool after_input) override {
    const Clock::time_point since = Clock::now();
    for (;;) {
      XScreenSaverQueryInfo(display_, DefaultRootWindow(display_), info_);
      const milliseconds quiet(info_->idle);
      const milliseconds waited = std::chrono::duration_cast<milliseconds>(Clock::now() - since);
      // Before any input after `since`, look again a whole period later:
      // an input in between restarts the server's count, which then says
      // how long is left.
      const bool counting = !after_input || quiet < waited;
      const milliseconds counted = counting ? std::min(quiet, waited) : milliseconds(0);
      if (counting && counted >= idle) return;
      Sleep(idle - counted);
    }
  }

 private:
  // On the connection, so that a server that goes away ends the service.
  void Sleep(milliseconds time) {
    pollfd connection = {ConnectionNumber(display_), POLLIN, 0};
    if (poll(&connection, 1, static_cast<int>(time.count())) > 0) {
      while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
      }
    }
  }

  Display* display_;
  XScreenSaverInfo* info_;
};

}  // namespace

std::unique_ptr<IdleSource> OpenX11Idle(std::string& why) {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) {
    why = "DISPLAY non è impostata";
    return nullptr;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    why = std::string("impossibile aprire lo schermo X \"") + name + "\"";
    return nullptr;
  }
  XSetIOErrorHandler(ConnectionLost);
  int event_base = 0, error_base = 0;
  if (!XScreenSaverQueryExtension(display, &event_base, &error_base)) {
    XCloseDisplay(display);
    why = std::string("lo schermo X \"") + name + "\" non ha l'estensione MIT-SCREEN-SAVER";
    return nullptr;
  }
  if (XScreenSaverRuns(display)) {
    IdleFailure(
        "XScreenSaver è in esecuzione: brenlow va aggiunto ai suoi programmi (vedi man 6 brenlow), "
        "non serve brenlow-idle");
  }
  return std::make_unique<X11Idle>(display);
}

}  // namespace brenlow
