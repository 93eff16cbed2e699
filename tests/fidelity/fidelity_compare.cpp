// The software raster against GDI, call list by call list.
//
//   fidelity_compare generate [--timing] CASES
//       writes the primitive case list (ellipses, rectangles, lines, ROPs, and
//       picture copies, which need a picture of 200 x 120 or so); with
//       --timing, the fixed-seed calls perf_replay and gdi_replay --time time
//       instead: thousands a case on a 1920 x 1080 canvas
//   fidelity_compare compare CASES GDI_RESULT [--min PERCENT] [--picture BMP]
//                    [--quiet]
//       plays CASES on SoftCanvas, compares with the pixels gdi_replay wrote,
//       prints the exact cases and the worst agreement per group of cases
//       and the first failing cases (none with --quiet), and fails when any
//       case is below PERCENT (default 100: exact).

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/soft/picture_io.h"
#include "platform/soft/soft_canvas.h"
#include "tests/fidelity/trace_format.h"

namespace {

using fidelity::Case;

// Deterministic integers in [lo, hi] from a fixed-seed engine.
struct Dice {
  std::mt19937 engine{20261207u};
  std::int64_t operator()(std::int64_t lo, std::int64_t hi) {
    return lo + static_cast<std::int64_t>(engine() % static_cast<std::uint32_t>(hi - lo + 1));
  }
};

const int kRops[] = {1, 5, 13, 7};

std::uint32_t ColourFor(int rop, std::uint32_t seed) {
  const std::uint32_t c = fidelity::PatternColour(static_cast<int>(seed), 7 * rop);
  return rop == 13 ? (c | 0x404040u) : c;
}

void Header(std::ostream& out, const std::string& name, int w, int h, int rop) {
  out << "case " << name << "\nsize " << w << " " << h << "\nbackground "
      << (rop == 13 ? "black" : "pattern") << "\n";
}

// One call's line, the n-th colour for a pen; copies and repaints take none.
void Call(std::ostream& out, const std::string& call, int rop, std::uint32_t& n, int width = 1,
          const char* fill = "") {
  out << call;
  if (call.rfind("copy", 0) != 0)
    out << " colour=" << ColourFor(rop, ++n) << " rop=" << rop << " width=" << width;
  out << fill << "\n";
}

template <typename... Parts>
std::string Str(const Parts&... parts) {
  std::ostringstream s;
  (s << ... << parts);
  return s.str();
}

// The box's corners, x then y swapped by the order's bits 0 and 1.
std::string Ordered(int l, int t, int r, int b, int order) {
  if (order & 1) std::swap(l, r);
  if (order & 2) std::swap(t, b);
  return Str(l, " ", t, " ", r, " ", b);
}

void Generate(std::ostream& out) {
  Dice dice;
  std::uint32_t n = 0;
  // A case of one call.
  auto one = [&](const std::string& name, int w, int h, int rop, const std::string& call,
                 int width = 1, const char* fill = "") {
    Header(out, name, w, h, rop);
    Call(out, call, rop, n, width, fill);
  };
  // Corners drawn in turn: x, y, x, y.
  auto box = [&](int x_lo, int x_hi, int y_lo, int y_hi) {
    const std::int64_t l = dice(x_lo, x_hi), t = dice(y_lo, y_hi), r = dice(x_lo, x_hi),
                       b = dice(y_lo, y_hi);
    return Str(l, " ", t, " ", r, " ", b);
  };
  const char* fractions[] = {"", ".5", ".25", ".75"};
  for (int rop : kRops) {
    const std::string on = Str("/rop", rop, "/");
    for (int w = 0; w <= 40; ++w)
      for (int h = 0; h <= 40; ++h)
        for (int order = 0; order < 4; ++order)
          one(Str("arc-small", on, w, "x", h, "/o", order), 48, 48, rop,
              "arc " + Ordered(4, 4, 4 + w, 4 + h, order));
    for (int i = 0; i < 160; ++i) {
      const int cw = i < 12 ? 1920 : 640, ch = i < 12 ? 1080 : 480;
      one(Str("arc-big", on, i), cw, ch, rop,
          "arc " + box(-cw / 2, cw + cw / 2, -ch / 2, ch + ch / 2));
    }
    for (int w = 0; w <= 10; ++w)
      for (int h = 0; h <= 10; ++h)
        for (int order = 0; order < 4; ++order)
          for (int solid = 0; solid < 2; ++solid)
            one(Str("rect-small", on, w, "x", h, "/o", order, solid ? "/solid" : "/hollow"), 16, 16,
                rop, "rect " + Ordered(3, 3, 3 + w, 3 + h, order), 1,
                solid ? " fill=solid" : " fill=hollow");
    for (int i = 0; i < 120; ++i)
      one(Str("rect-big", on, i), 320, 240, rop, "rect " + box(-200, 520, -200, 440), 1,
          i % 2 ? " fill=solid" : " fill=hollow");
    // Picture copies ignore the ROP; one set, against a 200 x 120 picture.
    // The last 40 have a negative width or height inside both pictures.
    for (int i = 0; rop == 13 && i < 300; ++i) {
      const bool negative = i >= 260;
      std::string call = "copy";
      auto part = [&](std::int64_t v) { call += Str(" ", v, fractions[dice(0, 3)]); };
      const std::int64_t w = negative ? dice(-60, 60) : dice(-5, 230);
      const std::int64_t h = negative ? (w < 0 ? dice(1, 60) : -dice(1, 60)) : dice(-5, 140);
      part(negative ? dice(60, 100) : dice(-120, 150));
      part(negative ? dice(60, 100) : dice(-90, 110));
      part(w);
      part(h);
      part(negative ? dice(60, 100) : dice(-50, 210));
      part(negative ? dice(60, 100) : dice(-50, 130));
      one(Str("copy", on, i), 160, 120, 13, call);
    }
    for (int width : {1, 7}) {
      const std::string base = Str("line", width, on);
      const int reach = width == 1 ? 20 : 12;
      for (int dx = -reach; dx <= reach; ++dx)
        for (int dy = -reach; dy <= reach; ++dy) {
          const char* f1 = fractions[static_cast<unsigned>(dx * 3 + dy) % 4];
          const char* f2 = fractions[static_cast<unsigned>(dx + dy * 5) % 4];
          one(Str(base, "octants/", dx, ",", dy), 64, 64, rop,
              Str("line 32", f1, " 31", f2, " ", 32 + dx, f2, " ", 31 + dy, f1), width);
        }
      // One end well outside, the other near an edge or outside too.
      for (int i = 0; i < 200; ++i) {
        const std::int64_t x1 = dice(-3000, 3160), y1 = dice(-3000, 3120), x2 = dice(-8, 168),
                           y2 = dice(-8, 128);
        one(Str(base, "clipped/", i), 160, 120, rop, Str("line ", x1, " ", y1, " ", x2, " ", y2),
            width);
      }
    }
  }
}

// Calls by the thousand on a 1920 x 1080 canvas, for timing: boxes and
// lines of each kind, whole-canvas repaints and picture copies.
void GenerateTiming(std::ostream& out) {
  Dice dice;
  const int w = 1920, h = 1080;
  std::uint32_t n = 0;
  auto boxes = [&](const char* name, const char* kind, int count, int lo, int hi,
                   const char* fill) {
    Header(out, name, w, h, 13);
    for (int i = 0; i < count; ++i) {
      const std::int64_t bw = dice(lo, hi), bh = dice(lo, hi);
      const std::int64_t x = dice(-bw / 4, w - bw + bw / 4), y = dice(-bh / 4, h - bh + bh / 4);
      Call(out, Str(kind, " ", x, " ", y, " ", x + bw, " ", y + bh), 13, n, 1, fill);
    }
  };
  auto lines = [&](const char* name, int width, int count, int reach) {
    Header(out, name, w, h, 13);
    for (int i = 0; i < count; ++i) {
      const std::int64_t x = dice(0, w - 1), y = dice(0, h - 1), dx = dice(-reach, reach),
                         dy = dice(-reach, reach);
      Call(out, Str("line ", x, " ", y, " ", x + dx, " ", y + dy), 13, n, width);
    }
  };
  boxes("arc-large", "arc", 100, 400, 1900, "");
  boxes("arc-small", "arc", 2000, 1, 32, "");
  boxes("rect-small-hollow", "rect", 2000, 1, 32, " fill=hollow");
  boxes("rect-small-solid", "rect", 2000, 1, 32, " fill=solid");
  lines("line1-short", 1, 2000, 32);
  lines("line7-short", 7, 2000, 32);
  lines("line1-long", 1, 200, 1900);
  Header(out, "repaint-whole", w, h, 13);
  for (int i = 0; i < 10; ++i) out << "cycle\n";
  Header(out, "copy-whole", w, h, 13);
  for (int i = 0; i < 10; ++i) out << "copy 0 0 " << w << " " << h << " 0 0\n";
}

int Compare(fidelity::Replay& replay) {
  if (!replay.Open(brenlow::LoadBmp)) return 2;
  const double min_percent = replay.Number("--min", 100.0);
  std::FILE* f = std::fopen(replay.files[1].c_str(), "rb");
  if (!f) {
    std::fprintf(stderr, "cannot read %s\n", replay.files[1].c_str());
    return 2;
  }
  struct Group {
    int cases = 0, exact = 0;
    double worst = 100.0;
  };
  std::map<std::string, Group> groups;
  std::vector<std::string> order;
  int failing = 0;
  // Both sides' pixels, kept for a case that goes on from the previous one.
  std::optional<brenlow::SoftCanvas> canvas;
  std::vector<brenlow::Colour> gdi;
  for (const Case& c : replay.cases) {
    // The case's part of gdi_replay's result file: width, height and how many
    // pixels changed, then each one's index and value.
    std::uint32_t head[3] = {};
    std::fread(head, 4, 3, f);
    std::vector<std::uint32_t> changes(2 * std::size_t{head[2]});
    const int w = c.width;
    if (std::fread(changes.data(), 4, changes.size(), f) != changes.size() ||
        head[0] != std::uint32_t(w) || head[1] != std::uint32_t(c.height)) {
      std::fprintf(stderr, "GDI result does not match the case list at %s\n", c.name.c_str());
      return 2;
    }
    if (!c.continues || !canvas || canvas->width() != w || canvas->height() != c.height) {
      if (c.continues) {
        std::fprintf(stderr, "%s goes on from no case of its size\n", c.name.c_str());
        return 2;
      }
      canvas.emplace(w, c.height);
      gdi = fidelity::StartPixels(c, c.pattern);
      std::copy(gdi.begin(), gdi.end(), canvas->mutable_pixels().begin());
    }
    for (size_t i = 0; i < changes.size(); i += 2)
      if (changes[i] < gdi.size()) gdi[changes[i]] = changes[i + 1];
    fidelity::PlayCase(*canvas, c, replay.PictureFor(c));
    const auto& soft = canvas->pixels();
    std::uint64_t differing = 0;
    size_t first = 0;
    for (size_t i = 0; i < gdi.size(); ++i)
      if (gdi[i] != soft[i] && differing++ == 0) first = i;
    const double agreement =
        100.0 * static_cast<double>(gdi.size() - differing) / static_cast<double>(gdi.size());
    // Group by the name up to its second '/'.
    const std::string key = c.name.substr(0, c.name.find('/', c.name.find('/') + 1));
    if (!groups.count(key)) order.push_back(key);
    Group& g = groups[key];
    g.cases++;
    g.exact += differing == 0;
    g.worst = std::min(g.worst, agreement);
    if (agreement < min_percent) {
      if (!replay.Has("--quiet") && failing < 20)
        std::printf(
            "FAIL %s: %llu pixels differ (%.4f %%), first at (%zu, %zu): gdi %06x soft "
            "%06x\n",
            c.name.c_str(), static_cast<unsigned long long>(differing), agreement, first % w,
            first / w, gdi[first], soft[first]);
      ++failing;
    }
  }
  std::fclose(f);
  std::printf("%-24s %8s %8s %10s\n", "group", "cases", "exact", "worst %");
  for (const std::string& key : order) {
    const Group& g = groups[key];
    std::printf("%-24s %8d %8d %10.4f\n", key.c_str(), g.cases, g.exact, g.worst);
  }
  std::printf("%d of %zu cases below %.3f %%\n", failing, replay.cases.size(), min_percent);
  return failing == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string cmd = argc > 1 ? argv[1] : "";
  fidelity::Replay replay(argc - 1, argv + 1);
  if (cmd == "generate" && replay.files.size() == 1) {
    std::ofstream out(replay.files[0]);
    replay.Has("--timing") ? GenerateTiming(out) : Generate(out);
    return out ? 0 : 1;
  }
  if (cmd == "compare" && replay.files.size() == 2) return Compare(replay);
  std::fprintf(stderr,
               "usage: fidelity_compare generate [--timing] CASES\n"
               "       fidelity_compare compare CASES GDI_RESULT [--min PERCENT] [--picture BMP] "
               "[--quiet]\n");
  return 2;
}
