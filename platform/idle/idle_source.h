// Where brenlow-idle learns that nobody is using the desktop. Each desktop
// offers its own way; the service sees them all through IdleSource.
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace brenlow {

class IdleSource {
 public:
  virtual ~IdleSource() = default;
  // Names the source in the line the service writes when it starts.
  virtual const char* Name() const = 0;
  // Sleeps until keyboard and pointer have been left alone for `idle`,
  // counted from this call or from the last input after it. With
  // after_input, the count starts only at the first input after this call.
  virtual void WaitIdle(std::chrono::milliseconds idle, bool after_input) = 0;
};

// Each gives nothing when the desktop does not offer its source, and then
// says why in `why` (a few words, Italian).
std::unique_ptr<IdleSource> OpenWaylandIdle(std::string& why);
std::unique_ptr<IdleSource> OpenMutterIdle(std::string& why);
std::unique_ptr<IdleSource> OpenX11Idle(std::string& why);

// One line on standard error, "brenlow-idle: " first, and exit code 1.
[[noreturn]] void IdleFailure(const std::string& line);

}  // namespace brenlow
