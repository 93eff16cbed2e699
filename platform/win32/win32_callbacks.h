// Windows calls the program back from inside user32: window, dialog and
// subclass procedures, enumerations. No exception may unwind through those
// frames: the i686 build unwinds with DWARF tables, which user32's frames do
// not have, so the exception would end in std::terminate and a bare run-time
// error box. Every callback runs its body through Guarded: an exception is
// kept and the callback returns a neutral value; the code that handed
// control to user32 (a message loop, CreateWindow, MessageBox) then calls
// RethrowCallbackError, and the exception goes on from there to the
// program's one error path. Free of windows.h, so it is checked natively.
#pragma once

#include <exception>
#include <utility>

namespace brenlow {

// The first exception a callback kept since the last rethrow. One UI thread.
inline std::exception_ptr g_callback_error;

// Runs body(); when it throws, keeps the exception and returns on_error.
template <typename Result, typename Body>
Result Guarded(Result on_error, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    // A later error is most often a consequence of the first: keep that one.
    if (!g_callback_error) g_callback_error = std::current_exception();
    return on_error;
  }
}

// Throws the kept exception, if any, and forgets it.
inline void RethrowCallbackError() {
  if (!g_callback_error) return;
  std::exception_ptr error = std::exchange(g_callback_error, nullptr);
  std::rethrow_exception(error);
}

}  // namespace brenlow
