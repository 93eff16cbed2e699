// What brenlow.scr sets up before anything else, shared with its test
// builds so that they fail the way the saver does.
#pragma once

namespace brenlow {

// No system boxes ("insert a disk", the error report after a crash), and
// handlers that, however the process dies, hide the saver's windows and
// give the user the cursor and the system's own screen saver back.
void GuardSaverProcess();

}  // namespace brenlow
