// X errors in a host's window: by default each ends the program with a
// line that says why; an ErrorTrap counts them instead, for the requests
// whose failure has a better answer than "the window is gone".
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace brenlow {

// Ends the program on an X error or a lost connection, saying so.
void EndOnXErrors();

class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display);
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;
  // The first error code since the trap was set, 0 for none.
  int End();

 private:
  Display* display_;
};

// A window's id as the host writes it (0x...).
std::string WindowName(unsigned long window);

}  // namespace brenlow
