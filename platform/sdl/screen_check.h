// Whether there is a screen to draw on, and the one way the Linux programs
// say that there is none (or anything else that leaves them nothing to show).
#pragma once

#include <string>

namespace brenlow {

// The displays the environment names (DISPLAY, WAYLAND_DISPLAY or the
// connection in WAYLAND_SOCKET); empty where unset.
struct NamedScreens {
  std::string x11;
  std::string wayland;
  bool any() const { return !x11.empty() || !wayland.empty(); }
};
NamedScreens ScreensInEnvironment();

// Prints "brenlow: " and the line on standard error and ends the process
// with code 1.
[[noreturn]] void ExitWithMessage(const std::string& line);

// Ends the process with why no screen could be opened, as one line: no
// display named, or the one named unreachable.
[[noreturn]] void ExitForNoScreen();

}  // namespace brenlow
