// Start-up time and peak memory of a saver program on an X display, from
// outside and without any help from the program: starts it, watches the
// screen's top left tile until it shows a non-black pixel, lets it run SECONDS
// more, reads its peak resident size and stops it.
//
//   first_tile SECONDS PROGRAM [ARGS...]
// prints "first_tile_ms T", "window_ms T" and "vmhwm_kb K".
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

long PeakKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
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

// Whether a top-level window other than the ones there before is mapped.
int MappedChildren(Display* display) {
  ::Window root, parent, *children = nullptr;
  unsigned int n = 0;
  int mapped = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &n)) {
    for (unsigned int i = 0; i < n; ++i) {
      XWindowAttributes attributes;
      if (XGetWindowAttributes(display, children[i], &attributes) &&
          attributes.map_state == IsViewable)
        ++mapped;
    }
    if (children) XFree(children);
  }
  return mapped;
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
  const int mapped_before = MappedChildren(display);
  if (AnyLit(display)) {
    std::fprintf(stderr, "the screen's corner is not black before the start\n");
    return 2;
  }
  pid_t pid = 0;
  const Clock::time_point t0 = Clock::now();
  if (posix_spawn(&pid, argv[2], nullptr, nullptr, argv + 2, environ) != 0) {
    std::perror(argv[2]);
    return 2;
  }
  double window_ms = -1, tile_ms = -1;
  const Clock::time_point limit = t0 + std::chrono::seconds(30);
  while (tile_ms < 0 && Clock::now() < limit) {
    if (window_ms < 0 && MappedChildren(display) > mapped_before) window_ms = MsSince(t0);
    if (AnyLit(display)) tile_ms = MsSince(t0);
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      std::fprintf(stderr, "the program ended before drawing\n");
      return 1;
    }
  }
  std::printf("window_ms %.1f\nfirst_tile_ms %.1f\n", window_ms, tile_ms);
  // The high-water mark keeps the peak of the whole run: read at its end.
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  std::printf("vmhwm_kb %ld\n", PeakKb(pid));
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  XCloseDisplay(display);
  return tile_ms < 0 ? 1 : 0;
}
