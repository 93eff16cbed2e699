// A saver window that only holds: the real backend and the real pause code
// (ClosingPause, again and again), for measuring what a hold costs. With
// spin set, the pause's millisecond sleeps are left out: the reference of
// a hold that never gives the processor away.
//
// With sleep_ms above 0, each pass sleeps that long instead of the
// backend's millisecond: what a longer sleep would cost and gain.
//
// Prints "holding" once the first pause has begun and "noticed" when the
// activity check ends the process, so a driver can time both from outside.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>

#include "saver/frm_prog.h"

namespace brenlow {

template <class Backend>
class HoldSystem : public Backend {
 public:
  template <class... Args>
  HoldSystem(bool spin, int sleep_ms, Args&&... args)
      : Backend(std::forward<Args>(args)...), spin_(spin), sleep_ms_(sleep_ms) {}

  void HoldPause() override {
    if (spin_) return;
    if (sleep_ms_ > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(sleep_ms_));
    else
      Backend::HoldPause();
  }
  [[noreturn]] void EndProcess(int exit_code) override {
    std::fputs("noticed\n", stdout);
    std::fflush(stdout);
    Backend::EndProcess(exit_code);
  }

 private:
  bool spin_;
  int sleep_ms_;
};

// perf_hold [--spin | --sleep-ms N]
struct HoldOptions {
  bool spin = false;
  int sleep_ms = 0;
  HoldOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
      const std::string a = argv[i];
      if (a == "--spin") spin = true;
      if (a == "--sleep-ms" && i + 1 < argc) sleep_ms = std::atoi(argv[++i]);
    }
  }
};

template <class System>
[[noreturn]] void HoldUntilMoved(System& system) {
  Dichiarazioni globals;
  globals.RunMode = kRunSaver;
  frmProg prog(system, globals);
  prog.OpenWindow();
  prog.StartCursor = system.GetCursorPos();
  system.ShowCursor(false);
  std::fputs("holding\n", stdout);
  std::fflush(stdout);
  for (;;) prog.ClosingPause();
}

}  // namespace brenlow
