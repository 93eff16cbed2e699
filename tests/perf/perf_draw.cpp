// Drawing time of each effect on the software canvas, at three screen
// sizes: the canvas fill, the five shape families (their logo without a
// picture, their closing pause on a clock that lets it end at once), the
// logo with a picture but without its band pauses, and each fade style.
//
//   perf_draw [benchmark flags]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/recording/recording_system.h"
#include "platform/soft/picture_io.h"
#include "platform/soft/soft_canvas.h"
#include "saver/frm_prog.h"

namespace {

using brenlow::frmProg;

// The recording system's scripted clock and cursor, drawing on a SoftCanvas.
class SoftSystem : public brenlow::RecordingSystem {
 public:
  SoftSystem(int width, int height) : soft(width, height) {
    keep_log = false;
    // Holds end after a few clock readings.
    clock_step = 0.1;
  }
  brenlow::Canvas& OpenSaverWindow() override { return soft; }
  brenlow::SoftCanvas soft;
};

struct Saver {
  Saver(int width, int height, bool with_picture) : system(width, height) {
    globals.RunMode = brenlow::kRunSaver;
    if (with_picture) {
      if (auto picture = brenlow::LoadBmp(BRENLOW_PERF_PICTURE)) {
        system.pictures[BRENLOW_PERF_PICTURE] = std::move(*picture);
        globals.PictureSetting = BRENLOW_PERF_PICTURE;
      }
    }
    prog.OpenWindow();
    prog.LoadLogo();
    prog.StartCursor = system.GetCursorPos();
    // The members the shape effects and the fade read come from the fill.
    prog.Sfondo();
  }
  SoftSystem system;
  brenlow::Dichiarazioni globals;
  frmProg prog{system, globals};
};

enum Effect {
  kSfondo,
  kCerchi,
  kEllissi,
  kOvali,
  kQuadrati,
  kTriangoli,
  kLogo,
  kFade1,
  kFade2,
  kFade3
};

const char* const kEffectNames[] = {"Sfondo",    "Cerchi",      "Ellissi", "Ovali", "Quadrati",
                                    "Triangoli", "DisegnaLogo", "Fade1",   "Fade2", "Fade3"};

void Draw(Saver& saver, Effect effect) {
  frmProg& p = saver.prog;
  switch (effect) {
    case kSfondo:
      p.Sfondo();
      break;
    case kCerchi:
      p.Cerchi();
      break;
    case kEllissi:
      p.Ellissi();
      break;
    case kOvali:
      p.Ovali();
      break;
    case kQuadrati:
      p.Quadrati();
      break;
    case kTriangoli:
      p.Triangoli();
      break;
    case kLogo:
      p.DisegnaLogo();
      break;
    default:
      // The style is Int(3 * r) + 1: script r to pick it.
      p.random().Script({(static_cast<int>(effect) - kFade1) / 3.0 + 0.1});
      p.Evanescenza();
      break;
  }
}

void BM_Effect(benchmark::State& state) {
  const auto effect = static_cast<Effect>(state.range(0));
  const int width = static_cast<int>(state.range(1));
  const int height = static_cast<int>(state.range(2));
  Saver saver(width, height, effect == kLogo);
  for (auto _ : state) {
    Draw(saver, effect);
    benchmark::DoNotOptimize(saver.system.soft.pixels().data());
  }
  state.SetLabel(std::string(kEffectNames[effect]) + "/" + std::to_string(width) + "x" +
                 std::to_string(height));
}

void Sizes(benchmark::internal::Benchmark* b) {
  const int sizes[][2] = {{640, 480}, {1920, 1080}, {3840, 2160}};
  for (int e = kSfondo; e <= kFade3; ++e)
    for (const auto& s : sizes) b->Args({e, s[0], s[1]});
}

BENCHMARK(BM_Effect)->Apply(Sizes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
