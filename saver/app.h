// The saver program from start to end, on any backend.
#pragma once

#include <optional>
#include <string>

#include "platform/system.h"

namespace brenlow {

// Runs brenlow; returns the exit code (run modes 2 and 3), or ends the
// process from inside (run mode 1).
int RunBrenlow(System& system);

// What a screen-saver host asks for on its command line: values that take
// the place of the settings file's.
struct HostSettings {
  std::optional<std::string> shape;
  std::optional<std::string> picture;
};

// Runs the saver for a screen-saver host, in the window the backend opens
// for it (the host's): the settings file as at start-up, the host's values
// over it, then the effect cycle. The host owns the input and ends the
// process; returns only on a backend that does not really end it.
int RunHosted(System& system, const HostSettings& settings);

}  // namespace brenlow
