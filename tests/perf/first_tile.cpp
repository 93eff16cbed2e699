// Start-up time and peak memory of a saver program on an X display, from
// outside and without any help from the program: starts it, watches the
// screen's top left tile until it shows a non-black pixel, lets it run SECONDS
// more, stops it and reads its peak resident size.
//
//   first_tile SECONDS PROGRAM [ARGS...]
// prints "first_tile_ms T", "window_ms T" and "vmhwm_kb K".
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// Whether any pixel of the screen's top left 100 x 100 is not black.
bool AnyLit(Display* display) {
  XImage* image =
      XGetImage(display, DefaultRootWindow(display), 0, 0, 100, 100, AllPlanes, ZPixmap);
  bool lit = false;
  for (int i = 0; image && i < 100 * 100 && !lit; ++i)
    lit = (XGetPixel(image, i % 100, i / 100) & 0xffffff) != 0;
  if (image) XDestroyImage(image);
  return lit;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: first_tile SECONDS PROGRAM [ARGS...]\n");
    return 2;
  }
  const double seconds = std::atof(argv[1]);
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "cannot open the display\n");
    return 2;
  }
  // A top-level window mapped from now on is the program's.
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  if (AnyLit(display)) {
    std::fprintf(stderr, "the screen's corner is not black before the start\n");
    return 2;
  }
  pid_t pid = 0;
  const Clock::time_point t0 = Clock::now();
  // posix_spawn returns its error; errno is not set.
  if (const int error = posix_spawn(&pid, argv[2], nullptr, nullptr, argv + 2, environ)) {
    std::fprintf(stderr, "%s: %s\n", argv[2], std::strerror(error));
    return 2;
  }
  double window_ms = -1, tile_ms = -1;
  const Clock::time_point limit = t0 + std::chrono::seconds(30);
  while (tile_ms < 0 && Clock::now() < limit) {
    for (XEvent event; XPending(display);) {
      XNextEvent(display, &event);
      if (event.type == MapNotify && window_ms < 0) window_ms = MsSince(t0);
    }
    if (AnyLit(display)) tile_ms = MsSince(t0);
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      std::fprintf(stderr, "the program ended before drawing\n");
      return 1;
    }
  }
  std::printf("window_ms %.1f\nfirst_tile_ms %.1f\n", window_ms, tile_ms);
  // The peak of the whole run: the kernel's high-water mark, handed over
  // with the exit status.
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  kill(pid, SIGKILL);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  std::printf("vmhwm_kb %ld\n", usage.ru_maxrss);
  XCloseDisplay(display);
  return tile_ms < 0 ? 1 : 0;
}
