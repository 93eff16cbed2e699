// brenlow.scr: the saver program on Windows.
#include <windows.h>

#include "platform/win32/saver_process_win32.h"
#include "platform/win32/win32_system.h"
#include "saver/app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  brenlow::GuardSaverProcess();
  brenlow::Win32System system;
  return brenlow::RunBrenlow(system);
}
