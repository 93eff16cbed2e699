// A saver window that only holds, for measuring what a hold costs: the real
// backend (SDL on Linux, Win32 under Wine, where it is a console program so
// that its lines reach the driver's pipe) and the real pause code
// (ClosingPause, again and again). With --spin, the pause's waits are left
// out: the reference of a hold that never gives the processor away. With
// --draw, it draws instead: the canvas fill and Cerchi over and over, the
// holds cut short, for measuring how soon a move is seen while an effect
// draws.
//
//   perf_hold [--spin] [--draw]
// prints "holding" once the first pause (or drawing) has begun and
// "noticed" when the activity check ends the process, so a driver can time
// both from outside.
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

// The system's header before the saver's, as their own programs have them.
#ifdef _WIN32
#include "platform/win32/win32_system.h"
#else
#include "platform/sdl/sdl_system.h"
#endif
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

}  // namespace brenlow

int main(int argc, char** argv) {
  bool spin = false, draw = false;
  for (int i = 1; i < argc; ++i) {
    spin |= std::string(argv[i]) == "--spin";
    draw |= std::string(argv[i]) == "--draw";
  }
#ifdef _WIN32
  brenlow::HoldSystem<brenlow::Win32System> system(spin, draw);
#else
  brenlow::HoldSystem<brenlow::SdlSystem> system(spin, draw, 1, argv);
#endif
  brenlow::Dichiarazioni globals;
  globals.RunMode = brenlow::kRunSaver;
  brenlow::frmProg prog(system, globals);
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
