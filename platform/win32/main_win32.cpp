// brenlow.scr: the saver program on Windows.
#include <windows.h>

#include <cstdlib>
#include <exception>

#include "platform/win32/win32_system.h"
#include "saver/app.h"

namespace {

// However the program dies, the user gets the cursor and the system's own
// screen saver back.
void GiveBackCursorAndScreenSaver() {
  ::ShowCursor(TRUE);
  ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS*) {
  GiveBackCursorAndScreenSaver();
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ::SetUnhandledExceptionFilter(OnCrash);
  std::set_terminate([] {
    GiveBackCursorAndScreenSaver();
    std::abort();
  });
  brenlow::Win32System system;
  return brenlow::RunBrenlow(system);
}
