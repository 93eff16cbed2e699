#include "platform/sdl/x_errors.h"

#include <cstdio>

#include "platform/sdl/screen_check.h"

namespace brenlow {
namespace {

// While set, X errors are counted instead of ending the program.
bool g_trapping = false;
int g_trapped = 0;

int OnXError(Display* display, XErrorEvent* error) {
  if (g_trapping) {
    g_trapped = error->error_code;
    return 0;
  }
  char text[160] = "";
  XGetErrorText(display, error->error_code, text, sizeof text);
  ExitWithMessage("la finestra dello screen saver non è più utilizzabile (" + std::string(text) +
                  ")");
}

int OnXIOError(Display*) { ExitWithMessage("il collegamento con lo schermo si è interrotto"); }

}  // namespace

void EndOnXErrors() {
  XSetErrorHandler(OnXError);
  XSetIOErrorHandler(OnXIOError);
}

ErrorTrap::ErrorTrap(Display* display) : display_(display) {
  XSync(display_, False);
  g_trapping = true;
  g_trapped = 0;
}

ErrorTrap::~ErrorTrap() { g_trapping = false; }

int ErrorTrap::End() {
  XSync(display_, False);
  g_trapping = false;
  return g_trapped;
}

std::string WindowName(unsigned long window) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", window);
  return text;
}

}  // namespace brenlow
