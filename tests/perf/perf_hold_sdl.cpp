// The hold on the Linux backend: perf_hold [--spin]
#include <string>

#include "platform/sdl/sdl_system.h"
#include "tests/perf/hold_harness.h"

int main(int argc, char** argv) {
  const bool spin = argc > 1 && std::string(argv[1]) == "--spin";
  brenlow::HoldSystem<brenlow::SdlSystem> system(spin, 1, argv);
  brenlow::HoldUntilMoved(system);
}
