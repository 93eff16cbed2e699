// Plays a list of drawing calls with real GDI, through the saver's own
// GdiCanvas, into a 32-bpp DIB section and writes the pixels that changed,
// per case (see trace_format.h); a case that goes on from the previous one
// writes the pixels it changed from where that one ended.
//
//   gdi_replay [--picture BMP] CASES OUT        replay and write the result file
//   gdi_replay [--picture BMP] --time N CASES   replay each case at least N times
//                                               and a second, print ns per call
// Copies draw from BMP (source copy), or from the case's pattern picture;
// text is left out. The result file holds, per case, the width, the height
// and the number of changed pixels, then each one's index and COLORREF, all
// as 32-bit little-endian words.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/gdi_canvas.h"
#include "platform/win32/win32_picture.h"
#include "tests/fidelity/trace_format.h"
#include "tests/perf/thread_cpu.h"

namespace {

// A 32-bpp DIB section in a memory DC, drawn on through the saver's own
// GdiCanvas. Surfaces live as long as the program.
struct Surface {
  Surface(int w, int h) : size(static_cast<size_t>(w) * h), canvas(dc, w, h) {
    const BITMAPINFO info = brenlow::TopDownDib32(w, h);
    void* pixels = nullptr;
    SelectObject(dc, CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    bits = static_cast<std::uint32_t*>(pixels);
  }
  // The pixels as COLORREF, once GDI has finished drawing.
  std::vector<std::uint32_t> Pixels() const {
    GdiFlush();
    std::vector<std::uint32_t> pixels(bits, bits + size);
    for (std::uint32_t& p : pixels) p = brenlow::SwapRedBlue(p);
    return pixels;
  }
  void Reset(const fidelity::Case& c) {
    GdiFlush();
    const std::vector<std::uint32_t> start = fidelity::StartPixels(c, c.pattern);
    for (size_t i = 0; i < size; ++i) bits[i] = brenlow::SwapRedBlue(start[i]);
  }

  size_t size;
  HDC dc = CreateCompatibleDC(nullptr);
  std::uint32_t* bits = nullptr;
  brenlow::GdiCanvas canvas;
};

}  // namespace

int main(int argc, char** argv) {
  fidelity::Replay replay(argc, argv);
  const int rounds = static_cast<int>(replay.Number("--time", 0));
  if (replay.files.size() != (rounds ? 1u : 2u)) {
    std::fprintf(stderr,
                 "usage: gdi_replay [--picture BMP] CASES OUT | gdi_replay [--picture BMP] "
                 "--time N CASES\n");
    return 2;
  }
  if (!replay.Open(brenlow::LoadBitmapFile)) return 2;
  std::FILE* out = rounds ? nullptr : std::fopen(replay.files[1].c_str(), "wb");
  if (!rounds && !out) {
    std::fprintf(stderr, "cannot write %s\n", replay.files[1].c_str());
    return 2;
  }
  std::map<std::pair<int, int>, Surface> surfaces;
  for (const fidelity::Case& c : replay.cases) {
    Surface& s = surfaces.try_emplace({c.width, c.height}, c.width, c.height).first->second;
    if (!s.bits) {
      std::fprintf(stderr, "no drawing surface of %dx%d\n", c.width, c.height);
      return 2;
    }
    if (!c.continues) s.Reset(c);
    const brenlow::Picture& picture = replay.PictureFor(c);
    auto play = [&] {
      const std::size_t played = fidelity::PlayCase(s.canvas, c, picture);
      GdiFlush();  // the time of the drawing, not of queueing it
      return played;
    };
    if (rounds) {
      PrintTimePerCall(c.name, rounds, "\n", play);
      continue;
    }
    const std::vector<std::uint32_t> before = s.Pixels();
    play();
    const std::vector<std::uint32_t> after = s.Pixels();
    std::vector<std::uint32_t> words = {std::uint32_t(c.width), std::uint32_t(c.height), 0};
    for (size_t i = 0; i < after.size(); ++i) {
      if (after[i] != before[i]) words.insert(words.end(), {std::uint32_t(i), after[i]});
    }
    words[2] = static_cast<std::uint32_t>(words.size() - 3) / 2;
    std::fwrite(words.data(), 4, words.size(), out);  // x86: little-endian already
  }
  return !out || std::fclose(out) == 0 ? 0 : 1;
}
