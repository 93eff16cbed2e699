// Times call lists in the trace format on SoftCanvas, with picture copies,
// so that the same lists played by gdi_replay --time --picture through
// Wine's GDI have a software side to compare with. Text is left out, as
// the GDI replay leaves it out.
//
//   perf_replay [--picture BMP] --time N CASES
// prints, per case, "NAME wall W ns/call cpu C ns/call (K calls)" like
// gdi_replay, after at least N rounds and a second.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/soft/picture_io.h"
#include "platform/soft/soft_canvas.h"
#include "tests/fidelity/trace_format.h"
#include "tests/perf/thread_cpu.h"

namespace {

// Plays one pass of the case; returns the calls played.
size_t Play(brenlow::SoftCanvas& canvas, const fidelity::Case& c,
            const std::optional<brenlow::Picture>& picture) {
  size_t played = 0;
  for (const fidelity::DrawCall& call : c.calls) {
    played += fidelity::PlayCall(canvas, call, picture ? &*picture : nullptr);
  }
  return played;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 0;
  std::optional<brenlow::Picture> picture;
  const char* cases_path = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--time" && i + 1 < argc) {
      rounds = std::atoi(argv[++i]);
    } else if (a == "--picture" && i + 1 < argc) {
      picture = brenlow::LoadBmp(argv[++i]);
      if (!picture) {
        std::fprintf(stderr, "cannot load %s\n", argv[i]);
        return 2;
      }
    } else {
      cases_path = argv[i];
    }
  }
  if (rounds <= 0 || !cases_path) {
    std::fprintf(stderr, "usage: perf_replay [--picture BMP] --time N CASES\n");
    return 2;
  }
  std::ifstream in(cases_path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", cases_path);
    return 2;
  }
  for (const fidelity::Case& c : fidelity::ParseCases(in, cases_path)) {
    brenlow::SoftCanvas canvas(c.width, c.height);
    PrintTimePerCall(c.name, rounds, [&] { return Play(canvas, c, picture); });
  }
  return 0;
}
