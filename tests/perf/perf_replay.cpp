// The software raster's timing driver: plays call lists in the trace format
// on SoftCanvas, as gdi_replay --time plays them through Wine's GDI, so the
// two sides compare. Text is left out, as the GDI replay leaves it out;
// copies draw from BMP, or from the case's pattern picture.
//
//   perf_replay [--picture BMP] [--memset] --time N CASES
// prints, per case, "NAME wall W ns/call cpu C ns/call (K calls)" like
// gdi_replay, after at least N rounds and a second. --memset adds
// " of_memset S" to cases whose pixels are known (repaints, copies, 1-pixel
// lines on the canvas): the case's speed as a share of memset (memcpy for
// copies) writing as many pixels over a buffer the canvas's size.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/soft/picture_io.h"
#include "platform/soft/soft_canvas.h"
#include "tests/fidelity/trace_format.h"
#include "tests/perf/thread_cpu.h"

namespace {

using fidelity::DrawCall;

// Pixels one round of the case writes plainly and copies; false when a call
// paints what cannot be counted.
bool PixelsWritten(const fidelity::Case& c, std::int64_t& written, std::int64_t& copied) {
  written = copied = 0;
  auto on = [&c](double x, double y) {
    return x >= -1 && y >= -1 && x <= c.width && y <= c.height;
  };
  for (const DrawCall& call : c.calls) {
    if (call.kind == DrawCall::kRepaint) {
      written += std::int64_t{c.width} * c.height;
    } else if (call.kind == DrawCall::kCopy) {
      copied += static_cast<std::int64_t>(std::min(std::fabs(call.v[2]), float(c.width)) *
                                          std::min(std::fabs(call.v[3]), float(c.height)));
    } else if (call.kind == DrawCall::kLine && call.width == 1) {
      // A line paints its length along the major axis, the end left out.
      const double ax = std::nearbyint(call.v[0]), ay = std::nearbyint(call.v[1]);
      const double bx = std::nearbyint(call.v[2]), by = std::nearbyint(call.v[3]);
      if (!on(ax, ay) || !on(bx, by)) return false;
      written += static_cast<std::int64_t>(std::max(std::fabs(bx - ax), std::fabs(by - ay)));
    } else if (call.kind != DrawCall::kText) {
      return false;
    }
  }
  return true;
}

// CPU seconds memset and memcpy take for those pixels over buffers the
// canvas's size, again and again from their start: the best of five.
double PlainSeconds(std::int64_t written, std::int64_t copied, const fidelity::Case& c) {
  const std::int64_t size = std::int64_t{c.width} * c.height;
  std::vector<brenlow::Colour> from(static_cast<size_t>(size), 1), to(from.size(), 2);
  double best = 1e9;
  for (int round = 0; round < 5; ++round) {
    const double start = ThreadCpuSeconds();
    for (std::int64_t left = written; left > 0; left -= size) {
      std::memset(to.data(), round, static_cast<size_t>(std::min(left, size)) * 4);
    }
    for (std::int64_t left = copied; left > 0; left -= size) {
      std::memcpy(to.data(), from.data(), static_cast<size_t>(std::min(left, size)) * 4);
    }
    asm volatile("" : : "r"(to.data()) : "memory");  // the writes are not optimised away
    best = std::min(best, ThreadCpuSeconds() - start);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  fidelity::Replay replay(argc, argv);
  const int rounds = static_cast<int>(replay.Number("--time", 0));
  if (rounds <= 0 || replay.files.size() != 1) {
    std::fprintf(stderr, "usage: perf_replay [--picture BMP] [--memset] --time N CASES\n");
    return 2;
  }
  if (!replay.Open(brenlow::LoadBmp)) return 2;
  for (const fidelity::Case& c : replay.cases) {
    const brenlow::Picture& pic = replay.PictureFor(c);
    brenlow::SoftCanvas canvas(c.width, c.height);
    std::int64_t written = 0, copied = 0;
    const bool known = replay.Has("--memset") && PixelsWritten(c, written, copied);
    const double seconds = PrintTimePerCall(c.name, rounds, known ? "" : "\n",
                                            [&] { return fidelity::PlayCase(canvas, c, pic); });
    if (known) std::printf(" of_memset %.4f\n", PlainSeconds(written, copied, c) / seconds);
  }
  return 0;
}
