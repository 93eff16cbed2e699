// Throughput of the software raster on a 1920 x 1080 canvas, and of picture
// copies and black fills against memcpy and memset in the same process.
//
//   soft_bench [benchmark flags]          run the benchmarks
//   soft_bench --write-cases FILE         write the same fixed-seed calls as a
//                                         case list for gdi_replay --time and
//                                         fidelity_compare time
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/soft/soft_canvas.h"
#include "tests/fidelity/trace_format.h"

namespace {

using brenlow::DrawCall;

constexpr int kW = 1920, kH = 1080;

struct CallSet {
  std::string name;
  std::vector<DrawCall> calls;
};

std::vector<CallSet> MakeSets() {
  std::mt19937 rng(1080);
  auto in = [&rng](int lo, int hi) {
    return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1));
  };
  auto pen = [&](DrawCall::Kind kind, int width) {
    DrawCall c;
    c.kind = kind;
    c.rop = brenlow::kRopCopyPen;
    c.width = width;
    c.colour = static_cast<std::uint32_t>(in(0, 0xffffff));
    return c;
  };
  std::vector<CallSet> sets;
  auto boxes = [&](const char* name, DrawCall::Kind kind, int count, int lo, int hi, bool solid) {
    CallSet s{name, {}};
    for (int i = 0; i < count; ++i) {
      DrawCall c = pen(kind, 1);
      const int w = in(lo, hi), h = in(lo, hi);
      const int x = in(-w / 4, kW - w + w / 4), y = in(-h / 4, kH - h + h / 4);
      c.left = x, c.top = y, c.right = x + w, c.bottom = y + h;
      c.fill_solid = solid;
      s.calls.push_back(c);
    }
    sets.push_back(s);
  };
  auto lines = [&](const char* name, int width, int count, int reach) {
    CallSet s{name, {}};
    for (int i = 0; i < count; ++i) {
      DrawCall c = pen(DrawCall::kLine, width);
      const int x = in(0, kW - 1), y = in(0, kH - 1);
      c.v[0] = static_cast<float>(x);
      c.v[1] = static_cast<float>(y);
      c.v[2] = static_cast<float>(x + in(-reach, reach));
      c.v[3] = static_cast<float>(y + in(-reach, reach));
      s.calls.push_back(c);
    }
    sets.push_back(s);
  };
  boxes("arc-large", DrawCall::kArc, 100, 400, 1900, false);
  boxes("arc-small", DrawCall::kArc, 2000, 1, 32, false);
  boxes("rect-small-hollow", DrawCall::kRect, 2000, 1, 32, false);
  boxes("rect-small-solid", DrawCall::kRect, 2000, 1, 32, true);
  lines("line1-short", 1, 2000, 32);
  lines("line7-short", 7, 2000, 32);
  lines("line1-long", 1, 200, 1900);
  return sets;
}

const std::vector<CallSet>& Sets() {
  static const std::vector<CallSet> sets = MakeSets();
  return sets;
}

void BM_Calls(benchmark::State& state, size_t set_index) {
  const CallSet& set = Sets()[set_index];
  brenlow::SoftCanvas canvas(kW, kH);
  for (auto _ : state) {
    for (const DrawCall& c : set.calls) fidelity::PlayCall(canvas, c, nullptr);
    benchmark::DoNotOptimize(canvas.pixels().data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(set.calls.size()));
}

void BM_CopyPictureFull(benchmark::State& state) {
  brenlow::Picture pic;
  pic.width = kW;
  pic.height = kH;
  pic.pixels.assign(static_cast<size_t>(kW) * kH, 0x123456);
  brenlow::SoftCanvas canvas(kW, kH);
  for (auto _ : state) {
    canvas.CopyPicture(pic, 0, 0, kW, kH, 0, 0);
    benchmark::DoNotOptimize(canvas.pixels().data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kW * kH * 4);
}

void BM_Memcpy(benchmark::State& state) {
  std::vector<std::uint32_t> src(static_cast<size_t>(kW) * kH, 0x123456), dst(src.size());
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), src.size() * 4);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kW * kH * 4);
}

void BM_RepaintBlack(benchmark::State& state) {
  brenlow::SoftCanvas canvas(kW, kH);
  for (auto _ : state) {
    canvas.Repaint();
    benchmark::DoNotOptimize(canvas.pixels().data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kW * kH * 4);
}

void BM_Memset(benchmark::State& state) {
  std::vector<std::uint32_t> dst(static_cast<size_t>(kW) * kH, 1);
  for (auto _ : state) {
    std::memset(dst.data(), 0, dst.size() * 4);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kW * kH * 4);
}

BENCHMARK(BM_CopyPictureFull);
BENCHMARK(BM_Memcpy);
BENCHMARK(BM_RepaintBlack);
BENCHMARK(BM_Memset);

bool WriteCases(const char* path) {
  std::ofstream out(path);
  for (const CallSet& set : Sets()) {
    out << "case " << set.name << "\nsize " << kW << " " << kH << "\nbackground black\n";
    for (const DrawCall& c : set.calls) out << c.ToString() << "\n";
  }
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--write-cases") return WriteCases(argv[2]) ? 0 : 1;
  for (size_t i = 0; i < Sets().size(); ++i)
    benchmark::RegisterBenchmark(("BM_Calls/" + Sets()[i].name).c_str(), BM_Calls, i);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
