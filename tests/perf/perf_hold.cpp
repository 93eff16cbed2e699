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
  using Backend::Backend;

  void HoldPause(int max_ms) override {
    if (!spin) Backend::HoldPause(max_ms);
  }
  // While drawing, each reading of the day clock is ten seconds on, so every
  // hold ends at its first look.
  double Timer() override {
    if (!draw) return Backend::Timer();
    skipped_ += 10;
    return std::fmod(Backend::Timer() + skipped_, 86400.0);
  }
  [[noreturn]] void EndProcess(int exit_code) override {
    std::fputs("noticed\n", stdout);
    std::fflush(stdout);
    Backend::EndProcess(exit_code);
  }

  bool spin = false, draw = false;  // --spin, --draw

 private:
  double skipped_ = 0;
};

}  // namespace brenlow

int main(int argc, char** argv) {
#ifdef _WIN32
  brenlow::HoldSystem<brenlow::Win32System> system;
#else
  brenlow::HoldSystem<brenlow::SdlSystem> system(1, argv);
#endif
  for (int i = 1; i < argc; ++i) {
    system.spin |= std::string(argv[i]) == "--spin";
    system.draw |= std::string(argv[i]) == "--draw";
  }
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
    if (system.draw) {
      prog.Sfondo();
      prog.Cerchi();
    } else {
      prog.ClosingPause();
    }
  }
}
