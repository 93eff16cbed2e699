// brenlow.scr: the saver program on Windows.
#include <windows.h>

#include "platform/win32/win32_system.h"
#include "saver/app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  brenlow::Win32System system;
  return brenlow::RunBrenlow(system);
}
