#include "platform/win32/saver_process_win32.h"

#include <windows.h>

#include "platform/win32/process_guard_win32.h"
#include "platform/win32/win32_system.h"

namespace brenlow {
namespace {

void GiveBackDesktop() {
  HideSaverWindows();
  ::ShowCursor(TRUE);
  SetSystemScreenSaverActive(true);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* crash) {
  GiveBackDesktop();
  // Ends here, with the exception's code: handed on, the crash would start
  // the system's error reporting (under Wine its debugger), which under
  // load has ended the process with code 0.
  ::TerminateProcess(::GetCurrentProcess(), crash->ExceptionRecord->ExceptionCode);
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void GuardSaverProcess() {
  // A picture on an empty card reader must not bring up the system's
  // "no disk" box at every start, nor a crash an error report box behind
  // the topmost saver window.
  GuardProcess(GiveBackDesktop);
  ::SetUnhandledExceptionFilter(OnCrash);
}

}  // namespace brenlow
