#include "platform/sdl/screen_check.h"

#include <cstdio>
#include <cstdlib>

namespace brenlow {

NamedScreens ScreensInEnvironment() {
  const auto named = [](const char* variable) {
    const char* value = std::getenv(variable);
    return std::string(value ? value : "");
  };
  return {named("DISPLAY"), named("WAYLAND_DISPLAY")};
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
