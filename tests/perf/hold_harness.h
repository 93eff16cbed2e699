// A saver window that only holds: the real backend and the real pause code
// (ClosingPause, again and again), for measuring what a hold costs. With
// spin set, the pause's waits are left out: the reference of a hold that
// never gives the processor away.
//
// Prints "holding" once the first pause has begun and "noticed" when the
// activity check ends the process, so a driver can time both from outside.
#pragma once

#include <cstdio>
#include <string>
#include <utility>

#include "saver/frm_prog.h"

namespace brenlow {

template <class Backend>
class HoldSystem : public Backend {
 public:
  template <class... Args>
  HoldSystem(bool spin, Args&&... args) : Backend(std::forward<Args>(args)...), spin_(spin) {}

  void HoldPause(int max_ms) override {
    if (!spin_) Backend::HoldPause(max_ms);
  }
  [[noreturn]] void EndProcess(int exit_code) override {
    std::fputs("noticed\n", stdout);
    std::fflush(stdout);
    Backend::EndProcess(exit_code);
  }

 private:
  bool spin_;
};

// perf_hold [--spin]
struct HoldOptions {
  bool spin = false;
  HoldOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
      if (std::string(argv[i]) == "--spin") spin = true;
    }
  }
};

template <class System>
[[noreturn]] void HoldUntilMoved(System& system) {
  Dichiarazioni globals;
  globals.RunMode = kRunSaver;
  frmProg prog(system, globals);
  prog.OpenWindow();
  system.GetCursorPos(prog.StartCursor);
  system.ShowCursor(false);
  std::fputs("holding\n", stdout);
  std::fflush(stdout);
  for (;;) prog.ClosingPause();
}

}  // namespace brenlow
