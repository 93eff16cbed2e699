// A saver window that only holds: the real backend and the real pause code
// (ClosingPause, again and again), for measuring what a hold costs. With
// spin set, the pause's waits are left out: the reference of a hold that
// never gives the processor away. With draw set, it draws instead: the
// canvas fill and Cerchi over and over, the holds cut short, for measuring
// how soon a move is seen while an effect draws.
//
// Prints "holding" once the first pause (or drawing) has begun and
// "noticed" when the activity check ends the process, so a driver can time
// both from outside.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "saver/frm_prog.h"

namespace brenlow {

template <class Backend>
class HoldSystem : public Backend {
 public:
  template <class... Args>
  HoldSystem(bool spin, bool draw, Args&&... args)
      : Backend(std::forward<Args>(args)...), spin_(spin), draw_(draw) {}

  void HoldPause(int max_ms) override {
    if (!spin_) Backend::HoldPause(max_ms);
  }
  // While drawing, each reading of the day clock is ten seconds on, so every
  // hold ends at its first look.
  double Timer() override {
    if (!draw_) return Backend::Timer();
    skipped_ += 10;
    return std::fmod(Backend::Timer() + skipped_, 86400.0);
  }
  [[noreturn]] void EndProcess(int exit_code) override {
    std::fputs("noticed\n", stdout);
    std::fflush(stdout);
    Backend::EndProcess(exit_code);
  }

 private:
  bool spin_;
  bool draw_;
  double skipped_ = 0;
};

// perf_hold [--spin] [--draw]
struct HoldOptions {
  bool spin = false;
  bool draw = false;
  HoldOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
      if (std::string(argv[i]) == "--spin") spin = true;
      if (std::string(argv[i]) == "--draw") draw = true;
    }
  }
};

template <class System>
[[noreturn]] void HoldUntilMoved(System& system, bool draw) {
  Dichiarazioni globals;
  globals.RunMode = kRunSaver;
  frmProg prog(system, globals);
  prog.OpenWindow();
  // A window shows on Wayland once it has a frame, and the pointer is known
  // there only once it is over the window: the start position waits for it.
  prog.Sfondo();
  while (!system.GetCursorPos(prog.StartCursor)) system.Service();
  system.ShowCursor(false);
  std::fputs("holding\n", stdout);
  std::fflush(stdout);
  for (;;) {
    if (draw) {
      prog.Sfondo();
      prog.Cerchi();
    } else {
      prog.ClosingPause();
    }
  }
}

}  // namespace brenlow
