// Plays another X client's window for the end-to-end tests (a screen-saver
// host's, a program that grabs the pointer): makes a mapped, undecorated
// window, prints its id, then follows commands on standard input, one a
// line, answering "ok" to each:
//   resize W H    resizes the window
//   destroy       destroys it
//   grab          grabs the pointer for the window: moves go to it alone
// It ends at the end of its input.
//
//   brenlow-host-window WIDTH HEIGHT X Y
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s WIDTH HEIGHT X Y\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
    return 1;
  }
  const int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;  // no window manager moves it
  attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
  attributes.event_mask = StructureNotifyMask;
  Window window =
      XCreateWindow(display, DefaultRootWindow(display), std::atoi(argv[3]), std::atoi(argv[4]),
                    width, height, 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
  XMapWindow(display, window);
  for (XEvent event; XNextEvent(display, &event), event.type != MapNotify;) {
  }
  std::printf("0x%lx\n", window);
  std::fflush(stdout);
  for (std::string line; std::getline(std::cin, line);) {
    std::istringstream command(line);
    std::string verb;
    command >> verb;
    if (verb == "resize") {
      unsigned int w = 0, h = 0;
      command >> w >> h;
      XResizeWindow(display, window, w, h);
    } else if (verb == "destroy") {
      XDestroyWindow(display, window);
    } else if (verb == "grab") {
      const int grabbed = XGrabPointer(display, window, False, PointerMotionMask, GrabModeAsync,
                                       GrabModeAsync, None, None, CurrentTime);
      if (grabbed != GrabSuccess) {
        std::printf("grab refused (%d)\n", grabbed);
        std::fflush(stdout);
        continue;
      }
    } else {
      std::fprintf(stderr, "%s: unknown command %s\n", argv[0], verb.c_str());
      return 2;
    }
    XSync(display, False);
    std::printf("ok\n");
    std::fflush(stdout);
  }
  XCloseDisplay(display);
  return 0;
}
