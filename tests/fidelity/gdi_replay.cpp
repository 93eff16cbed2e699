// Plays a list of drawing calls with real GDI, through the saver's own
// GdiCanvas, into a 32-bpp DIB section and writes the pixels that changed,
// per case (see trace_format.h); a case that goes on from the previous one
// writes the pixels it changed from where that one ended.
//
//   gdi_replay [--picture BMP] CASES OUT        replay and write the result file
//   gdi_replay [--picture BMP] --time N CASES   replay each case at least N times
//                                               and a second, print ns per call
// Copies draw from BMP (source copy), or from the case's pattern picture;
// text is left out.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/gdi_canvas.h"
#include "platform/win32/win32_picture.h"
#include "tests/fidelity/trace_format.h"
#include "tests/perf/thread_cpu.h"

namespace {

using brenlow::SwapRedBlue;

// A 32-bpp DIB section in a memory DC, drawn on through the saver's own
// GdiCanvas.
class Surface {
 public:
  Surface(int w, int h) : w_(w), h_(h) {
    const BITMAPINFO info = brenlow::TopDownDib32(w, h);
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    old_bitmap_ = SelectObject(dc_, bitmap_);
    canvas_ = std::make_unique<brenlow::GdiCanvas>(dc_, w, h);
  }
  ~Surface() {
    canvas_.reset();
    SelectObject(dc_, old_bitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  bool ok() const { return bits_ != nullptr; }
  brenlow::GdiCanvas& canvas() { return *canvas_; }
  // The pixel at index i as COLORREF, once GDI has finished drawing.
  std::uint32_t Pixel(size_t i) const { return SwapRedBlue(bits_[i]); }

  void Reset(const fidelity::Case& c) {
    GdiFlush();
    const std::vector<std::uint32_t> start = fidelity::StartPixels(c);
    for (size_t i = 0; i < start.size(); ++i) bits_[i] = SwapRedBlue(start[i]);
  }

 private:
  int w_, h_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_bitmap_ = nullptr;
  std::uint32_t* bits_ = nullptr;
  std::unique_ptr<brenlow::GdiCanvas> canvas_;
};

void Put32(std::FILE* f, std::uint32_t v) {
  unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                        static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
  std::fwrite(b, 1, 4, f);
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 0;
  const char* picture_path = nullptr;
  std::vector<const char*> args;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--time" && i + 1 < argc)
      rounds = std::atoi(argv[++i]);
    else if (a == "--picture" && i + 1 < argc)
      picture_path = argv[++i];
    else
      args.push_back(argv[i]);
  }
  if (args.size() != (rounds ? 1u : 2u)) {
    std::fprintf(stderr,
                 "usage: gdi_replay [--picture BMP] CASES OUT | gdi_replay [--picture BMP] "
                 "--time N CASES\n");
    return 2;
  }
  std::ifstream in(args[0], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", args[0]);
    return 2;
  }
  const std::vector<fidelity::Case> cases = fidelity::ParseCases(in, args[0]);

  fidelity::CopySource source;
  if (picture_path) {
    source.given = brenlow::LoadBitmapFile(picture_path);
    if (!source.given) {
      std::fprintf(stderr, "cannot load %s\n", picture_path);
      return 2;
    }
  }
  if (rounds > 0) {
    for (const fidelity::Case& c : cases) {
      Surface s(c.width, c.height);
      if (!s.ok()) return 1;
      s.Reset(c);
      const brenlow::Picture& picture = source.For(c);
      PrintTimePerCall(c.name, rounds, "\n", [&] {
        std::size_t played = 0;
        for (const fidelity::DrawCall& call : c.calls) {
          played += fidelity::PlayCall(s.canvas(), call, picture) ? 1 : 0;
        }
        GdiFlush();  // the time of the drawing, not of queueing it
        return played;
      });
    }
    return 0;
  }

  std::FILE* out = std::fopen(args[1], "wb");
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", args[1]);
    return 2;
  }
  std::map<std::pair<int, int>, std::unique_ptr<Surface>> surfaces;
  for (const fidelity::Case& c : cases) {
    std::unique_ptr<Surface>& s = surfaces[{c.width, c.height}];
    if (!s) s = std::make_unique<Surface>(c.width, c.height);
    if (!s->ok()) return 1;
    if (!c.continues) s->Reset(c);
    GdiFlush();
    std::vector<std::uint32_t> before(static_cast<size_t>(c.width) * c.height);
    for (size_t i = 0; i < before.size(); ++i) before[i] = s->Pixel(i);
    const brenlow::Picture& picture = source.For(c);
    for (const fidelity::DrawCall& call : c.calls) fidelity::PlayCall(s->canvas(), call, picture);
    GdiFlush();
    // Index and value of each pixel that changed.
    std::vector<std::uint32_t> changed;
    for (size_t i = 0; i < before.size(); ++i) {
      if (s->Pixel(i) != before[i]) changed.insert(changed.end(), {std::uint32_t(i), s->Pixel(i)});
    }
    for (std::uint32_t v :
         {std::uint32_t(c.width), std::uint32_t(c.height), std::uint32_t(changed.size() / 2)})
      Put32(out, v);
    for (std::uint32_t v : changed) Put32(out, v);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
