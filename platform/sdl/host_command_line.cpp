#include "platform/sdl/host_command_line.h"

#include <cstdint>

namespace brenlow {

std::optional<unsigned long> ParseWindowId(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * base + static_cast<std::uint64_t>(digit);
  }
  // X resource ids are 32-bit values; 0 is "none".
  if (value == 0 || value > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<unsigned long>(value);
}

HostCommandLine ParseHostCommandLine(const std::vector<std::string>& args,
                                     const char* xscreensaver_window) {
  HostCommandLine request;
  if (!args.empty() && !args[0].empty() && args[0][0] == '/') return request;
  std::optional<unsigned long> window_option;
  for (std::size_t i = 0; i < args.size() && request.error.empty(); ++i) {
    // The hosts write options with one dash or two ("-root", "--root").
    std::string name = args[i];
    if (name.rfind("--", 0) == 0) name.erase(0, 1);
    const bool has_value = i + 1 < args.size();
    auto value = [&](const char* what) -> std::optional<std::string> {
      if (!has_value) {
        request.error = "manca " + std::string(what) + " dopo " + args[i];
        return std::nullopt;
      }
      return args[++i];
    };
    if (name == "-root") {
      request.hosted = request.root = true;
    } else if (name == "-window-id") {
      if (const auto text = value("il numero della finestra")) {
        window_option = ParseWindowId(*text);
        if (!window_option) request.error = "numero di finestra non valido: " + *text;
        request.hosted = true;
      }
    } else if (name == "-shape") {
      request.shape = value("il nome della forma");
    } else if (name == "-picture") {
      request.picture = value("il file dell'immagine");
    } else if (name == "-visual") {
      // Drawing takes whatever visual the host's window has.
      request.ignored.push_back(args[i]);
      if (has_value) request.ignored.push_back(args[++i]);
    } else {
      // -window, -fps, -no-fps, -install, -noinstall, -mono and anything
      // unknown: nothing to do, and no reason to refuse to run.
      request.ignored.push_back(args[i]);
    }
  }
  if (request.error.empty() && !window_option && xscreensaver_window && *xscreensaver_window) {
    request.hosted = true;
    const std::optional<unsigned long> window = ParseWindowId(xscreensaver_window);
    if (!window) {
      request.error = "XSCREENSAVER_WINDOW non valido: " + std::string(xscreensaver_window);
    }
    request.window = window;
  }
  if (window_option) request.window = window_option;
  return request;
}

}  // namespace brenlow
