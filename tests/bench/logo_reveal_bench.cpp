// Measures the logo's reveal on this machine with the real Windows pauses:
// a 480-pixel logo (599 bands) should take about 599 x 0.6 ms of wall time
// and next to no processor time, since the pauses wait instead of spinning.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/recording/recording_canvas.h"
#include "platform/win32/win32_system.h"
#include "saver/frm_prog.h"
#include "tests/perf/thread_cpu.h"

namespace {

// The real pauses and clocks; the drawing goes nowhere.
class RevealSystem : public brenlow::Win32System {
 public:
  brenlow::Canvas& OpenSaverWindow() override { return canvas_; }
  std::optional<brenlow::Picture> LoadPicture(const std::string&) override {
    return brenlow::Picture{32, 480, std::vector<brenlow::Colour>(32 * 480, 0x808080)};
  }

 private:
  brenlow::RecordingCanvas canvas_{640, 480};
};

}  // namespace

int main() {
  RevealSystem system;
  brenlow::Dichiarazioni globals;
  globals.PictureSetting = "logo.bmp";
  brenlow::frmProg prog(system, globals);
  prog.OpenWindow();
  prog.LoadLogo();
  std::vector<double> walls, cpus;
  for (int run = 0; run < 5; ++run) {
    prog.canvas().Repaint();
    const double cpu = ThreadCpuSeconds();
    const double start = system.Monotonic();
    prog.DisegnaLogo();
    walls.push_back(system.Monotonic() - start);
    cpus.push_back(ThreadCpuSeconds() - cpu);
  }
  std::sort(walls.begin(), walls.end());
  std::sort(cpus.begin(), cpus.end());
  std::printf(
      "reveal of a 480-pixel logo (599 bands, paced %.0f ms): wall min %.3f s, median"
      " %.3f s, max %.3f s; CPU median %.3f s\n",
      599 * brenlow::kLogoBandSeconds * 1000, walls.front(), walls[2], walls.back(), cpus[2]);
  return 0;
}
