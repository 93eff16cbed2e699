#include "platform/win32/process_guard_win32.h"

#include <windows.h>

#include <exception>
#include <utility>

namespace brenlow {
namespace {

void (*g_give_back)() = nullptr;

[[noreturn]] void EndAbnormally() noexcept {
  // Once: an abort inside give_back ends here without running it again.
  if (auto give_back = std::exchange(g_give_back, nullptr)) give_back();
  ::TerminateProcess(::GetCurrentProcess(), kAbortExitCode);
  ::ExitProcess(kAbortExitCode);
}

}  // namespace

void GuardProcess(void (*give_back)()) {
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  g_give_back = give_back;
  std::set_terminate(EndAbnormally);
}

}  // namespace brenlow

// The programs link with --wrap=abort: every call of abort, ours and the
// C++ runtime's, comes here instead of msvcrt.
extern "C" [[noreturn]] void __wrap_abort() { brenlow::EndAbnormally(); }
