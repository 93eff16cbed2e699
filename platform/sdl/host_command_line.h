// What a screen-saver host (XScreenSaver, xsecurelock) asks of brenlow: the
// window to draw in, from its environment or its command line, and the
// settings it passes as options.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brenlow {

// What --help and --version ask for: an answer on standard output and
// nothing else, with or without a display.
enum class HostQuestion { kNone, kHelp, kVersion };

struct HostCommandLine {
  HostQuestion question = HostQuestion::kNone;
  // Run for a host: XSCREENSAVER_WINDOW, -window-id or -root was given.
  bool hosted = false;
  // -root: draw on the (virtual) root window when no window is named.
  bool root = false;
  // The window named by -window-id, else by XSCREENSAVER_WINDOW.
  std::optional<unsigned long> window;
  std::optional<std::string> shape;    // -shape NAME
  std::optional<std::string> picture;  // -picture FILE
  // The host's standard options that do not apply here, and unknown ones.
  std::vector<std::string> ignored;
  // Why the request cannot be followed (one line, Italian); empty when it can.
  std::string error;
};

// A window id as the hosts write it: hexadecimal with "0x" (XScreenSaver)
// or decimal (xsecurelock). Nothing for anything else or for 0.
std::optional<unsigned long> ParseWindowId(std::string_view text);

// args: the arguments after the program's name. A first argument that begins
// with '/' is a Windows-style switch ("/S", "/C"): never hosted.
// xscreensaver_window: the variable's value, or null when it is not set.
HostCommandLine ParseHostCommandLine(const std::vector<std::string>& args,
                                     const char* xscreensaver_window);

// The text --help prints (Italian): the run modes, the hosts' options and
// settings_file, where the saver reads its settings on this machine.
std::string HostUsage(const std::string& settings_file);

}  // namespace brenlow
