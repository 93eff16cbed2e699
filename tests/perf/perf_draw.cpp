// Drawing time of each effect on the software canvas, at three screen
// sizes: the canvas fill, the five shape families (their logo without a
// picture, their closing pause on a clock that lets it end at once), the
// logo with a picture but without its band pauses, and each fade style.
//
// The line effects (Quadrati, Triangoli) are bound by memory on large
// canvases, so they also report their speed against a plain write: px/ns is
// the pixels their lines paint per nanosecond, memset_px/ns the speed of
// memset writing as many pixels over a buffer the canvas's size, measured
// just before, and of_memset the first as a share of the second.
//
//   perf_draw [benchmark flags]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/recording/headless_saver.h"
#include "platform/soft/picture_io.h"
#include "platform/soft/soft_canvas.h"
#include "tests/perf/thread_cpu.h"

namespace {

using brenlow::frmProg;

// Counts the pixels that an effect's 1-pixel lines paint and draws nothing.
// A line paints its length along the major axis (the end point is left
// out); the lines may reach one pixel past the canvas's edges (the shapes
// touch them), which makes the count too high by at most a pixel for such a
// line. Other primitives make the count unknown; text and pictures are not
// counted.
class LinePixelCounter : public brenlow::Canvas {
 public:
  LinePixelCounter(int width, int height) : width_(width), height_(height) {}
  void SetRop2(int) override {}
  void SetPenColour(brenlow::Colour) override {}
  void SetPenWidth(int width) override { pen_width_ = width; }
  void SetFillSolid(bool) override {}
  void Arc(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override { known = false; }
  void Rectangle(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override { known = false; }
  void Line(float x1, float y1, float x2, float y2) override {
    // Rounded as the canvas rounds: halves to even.
    const double ax = std::nearbyint(x1), ay = std::nearbyint(y1);
    const double bx = std::nearbyint(x2), by = std::nearbyint(y2);
    auto on = [this](double x, double y) {
      return x >= -1 && y >= -1 && x <= width_ && y <= height_;
    };
    if (pen_width_ > 1 || !on(ax, ay) || !on(bx, by)) known = false;
    pixels += static_cast<std::int64_t>(std::max(std::abs(bx - ax), std::abs(by - ay)));
  }
  void CopyPicture(const brenlow::Picture&, float, float, float, float, float, float) override {}
  void SetFontSize(float) override {}
  void PrintText(float, float, const std::string&) override {}
  float ScaleWidth() const override { return static_cast<float>(width_); }
  float ScaleHeight() const override { return static_cast<float>(height_); }
  void Repaint() override {}

  std::int64_t pixels = 0;
  bool known = true;

 private:
  int width_, height_;
  int pen_width_ = 1;
};

// The headless saver's scripted clock and cursor, drawing on a SoftCanvas
// (or on `target` when given) instead of the recording canvas.
struct Saver {
  Saver(int width, int height, bool with_picture, brenlow::Canvas* target = nullptr)
      : soft(target ? 0 : width, target ? 0 : height),
        headless(static_cast<float>(width), static_cast<float>(height), "",
                 with_picture ? BRENLOW_PERF_PICTURE : "", brenlow::LoadBmp) {
    headless.system.keep_log = false;
    // Holds end after a few clock readings.
    headless.system.clock_step = 0.1;
    headless.system.window_canvas = target ? target : &soft;
    prog.OpenWindow();
    // The members the shape effects and the fade read come from the fill.
    prog.Sfondo();
  }
  brenlow::SoftCanvas soft;
  brenlow::HeadlessSaver headless;
  frmProg& prog = headless.prog;
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

// Pixels the effect's lines paint in one drawing, or 0 if unknown.
std::int64_t LinePixels(Effect effect, int width, int height) {
  LinePixelCounter counter(width, height);
  Saver saver(width, height, false, &counter);
  counter.pixels = 0;  // the fill that opens the cycle is not the effect
  counter.known = true;
  Draw(saver, effect);
  return counter.known ? counter.pixels : 0;
}

// CPU seconds memset takes to write `pixels` pixels over a buffer of
// width x height pixels, again and again from its start: the best of five.
double MemsetSeconds(std::int64_t pixels, int width, int height) {
  std::vector<brenlow::Colour> buffer(static_cast<size_t>(width) * static_cast<size_t>(height), 1);
  const std::int64_t size = static_cast<std::int64_t>(buffer.size());
  double best = 1e9;
  for (int round = 0; round < 5; ++round) {
    const double start = ThreadCpuSeconds();
    for (std::int64_t left = pixels; left > 0; left -= size) {
      std::memset(buffer.data(), round, static_cast<size_t>(std::min(left, size)) * 4);
      benchmark::ClobberMemory();
    }
    best = std::min(best, ThreadCpuSeconds() - start);
  }
  benchmark::DoNotOptimize(buffer.data());
  return best;
}

void BM_Effect(benchmark::State& state) {
  const auto effect = static_cast<Effect>(state.range(0));
  const int width = static_cast<int>(state.range(1));
  const int height = static_cast<int>(state.range(2));
  const std::int64_t pixels =
      effect == kQuadrati || effect == kTriangoli ? LinePixels(effect, width, height) : 0;
  const double memset_seconds = pixels > 0 ? MemsetSeconds(pixels, width, height) : 0;
  Saver saver(width, height, effect == kLogo);
  const double start = ThreadCpuSeconds();
  for (auto _ : state) {
    Draw(saver, effect);
    benchmark::DoNotOptimize(saver.soft.pixels().data());
  }
  if (pixels > 0 && state.iterations() > 0) {
    const double seconds = (ThreadCpuSeconds() - start) / static_cast<double>(state.iterations());
    const double n = static_cast<double>(pixels) * 1e-9;
    state.counters["px/ns"] = n / seconds;
    state.counters["memset_px/ns"] = n / memset_seconds;
    state.counters["of_memset"] = memset_seconds / seconds;
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
