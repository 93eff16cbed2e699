// The hold on the Linux backend: perf_hold [--spin] [--draw]
#include "platform/sdl/sdl_system.h"
#include "tests/perf/hold_harness.h"

int main(int argc, char** argv) {
  const brenlow::HoldOptions o(argc, argv);
  brenlow::HoldSystem<brenlow::SdlSystem> system(o.spin, o.draw, 1, argv);
  brenlow::HoldUntilMoved(system, o.draw);
}
