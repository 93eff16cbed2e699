// The saver program from start to end, on any backend.
#pragma once

#include "platform/system.h"

namespace brenlow {

// Runs brenlow; returns the exit code (run modes 2 and 3), or ends the
// process from inside (run mode 1).
int RunBrenlow(System& system);

}  // namespace brenlow
