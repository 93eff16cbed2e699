#include "platform/sdl/screen_check.h"

#include <cstdio>
#include <cstdlib>

namespace brenlow {

NamedScreens ScreensInEnvironment() {
  const auto named = [](const char* variable) {
    const char* value = std::getenv(variable);
    return std::string(value ? value : "");
  };
  // A compositor that starts a client may hand it its connection instead of
  // a name: that is a screen as well.
  std::string wayland = named("WAYLAND_DISPLAY");
  if (wayland.empty() && !named("WAYLAND_SOCKET").empty()) {
    wayland = "WAYLAND_SOCKET=" + named("WAYLAND_SOCKET");
  }
  return {named("DISPLAY"), wayland};
}

void ExitWithMessage(const std::string& line) {
  std::fprintf(stderr, "brenlow: %s\n", line.c_str());
  std::fflush(stderr);
  std::_Exit(1);
}

void ExitForNoScreen() {
  const NamedScreens screens = ScreensInEnvironment();
  if (!screens.any()) {
    ExitWithMessage("nessuno schermo su cui disegnare: la variabile DISPLAY non è impostata");
  }
  ExitWithMessage("impossibile aprire lo schermo \"" +
                  (screens.x11.empty() ? screens.wayland : screens.x11) + "\"");
}

}  // namespace brenlow
