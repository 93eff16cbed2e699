// The hold on the Win32 backend: perf_hold.exe [--spin] [--draw] (a console program,
// so its lines reach the driver's pipe under Wine).
#include "platform/win32/win32_system.h"
#include "tests/perf/hold_harness.h"

int main(int argc, char** argv) {
  const brenlow::HoldOptions o(argc, argv);
  brenlow::HoldSystem<brenlow::Win32System> system(o.spin, o.draw);
  brenlow::HoldUntilMoved(system, o.draw);
}
