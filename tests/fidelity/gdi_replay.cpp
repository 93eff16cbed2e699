// Plays a list of drawing calls with real GDI into a 32-bpp DIB section and
// writes the pixels that changed, per case (see trace_format.h).
//
//   gdi_replay [--picture BMP] CASES OUT        replay and write the result file
//   gdi_replay [--picture BMP] --time N CASES   replay each case at least N times
//                                               and a second, print ns per call
// Copies draw from BMP (source copy); without it, and always for text, the
// call is left out.
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/fidelity/trace_format.h"

namespace {

std::uint32_t ToDib(std::uint32_t colour) {
  return ((colour & 0xff) << 16) | (colour & 0xff00) | ((colour >> 16) & 0xff);
}
std::uint32_t FromDib(std::uint32_t pixel) { return ToDib(pixel & 0x00ffffff); }

int Round(float v) { return static_cast<int>(std::nearbyint(static_cast<double>(v))); }

class Surface {
 public:
  Surface(int w, int h) : w_(w), h_(h) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    old_bitmap_ = SelectObject(dc_, bitmap_);
  }
  ~Surface() {
    SelectObject(dc_, old_bitmap_);
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    for (auto& p : pens_) DeleteObject(p.second);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  bool ok() const { return bits_ != nullptr; }
  std::uint32_t* bits() { return bits_; }

  void Reset(const fidelity::Case& c) {
    GdiFlush();
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) bits_[y * w_ + x] = ToDib(fidelity::StartColour(c, x, y));
  }

  // Returns false for calls GDI replay leaves out (copies, text).
  bool Play(const fidelity::Call& call, HDC picture) {
    switch (call.op) {
      case fidelity::Op::kCycle:
        GdiFlush();
        for (int i = 0; i < w_ * h_; ++i) bits_[i] = 0;
        return true;
      case fidelity::Op::kCopy:
        if (!picture) return false;
        BitBlt(dc_, Round(call.values[0]), Round(call.values[1]), Round(call.values[2]),
               Round(call.values[3]), picture, Round(call.values[4]), Round(call.values[5]),
               SRCCOPY);
        return true;
      case fidelity::Op::kText:
        return false;
      default:
        break;
    }
    SetROP2(dc_, call.rop);
    SelectObject(dc_, Pen(call.colour, call.width));
    if (call.op == fidelity::Op::kRect) {
      SelectObject(dc_, GetStockObject(call.solid ? BLACK_BRUSH : NULL_BRUSH));
      Rectangle(dc_, call.box[0], call.box[1], call.box[2], call.box[3]);
    } else if (call.op == fidelity::Op::kArc) {
      Arc(dc_, call.box[0], call.box[1], call.box[2], call.box[3], 0, 0, 0, 0);
    } else {
      MoveToEx(dc_, Round(call.values[0]), Round(call.values[1]), nullptr);
      LineTo(dc_, Round(call.values[2]), Round(call.values[3]));
    }
    return true;
  }

 private:
  HPEN Pen(std::uint32_t colour, int width) {
    const std::uint64_t key = (static_cast<std::uint64_t>(width) << 32) | colour;
    auto it = pens_.find(key);
    if (it != pens_.end()) return it->second;
    HPEN pen = CreatePen(PS_SOLID, width, colour);
    pens_[key] = pen;
    return pen;
  }

  int w_, h_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_bitmap_ = nullptr;
  std::uint32_t* bits_ = nullptr;
  std::map<std::uint64_t, HPEN> pens_;
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

  HDC picture = nullptr;
  if (picture_path) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, picture_path, IMAGE_BITMAP, 0, 0,
                                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap) {
      std::fprintf(stderr, "cannot load %s\n", picture_path);
      return 2;
    }
    picture = CreateCompatibleDC(nullptr);
    SelectObject(picture, bitmap);
  }

  if (rounds > 0) {
    // Each case runs for at least N rounds and at least a second, so that the
    // thread's CPU time (coarse under Wine) is meaningful.
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    auto cpu_seconds = [] {
      FILETIME created, exited, kernel, user;
      GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
      auto value = [](const FILETIME& f) {
        return static_cast<double>((static_cast<std::uint64_t>(f.dwHighDateTime) << 32) |
                                   f.dwLowDateTime) *
               1e-7;
      };
      return value(kernel) + value(user);
    };
    for (const fidelity::Case& c : cases) {
      Surface s(c.width, c.height);
      if (!s.ok()) return 1;
      s.Reset(c);
      size_t played = 0;
      const double cpu0 = cpu_seconds();
      QueryPerformanceCounter(&t0);
      double wall = 0;
      for (int r = 0; r < rounds || wall < 1.0; ++r) {
        for (const fidelity::Call& call : c.calls) played += s.Play(call, picture) ? 1 : 0;
        GdiFlush();
        QueryPerformanceCounter(&t1);
        wall = static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart);
      }
      const double cpu = cpu_seconds() - cpu0;
      const double n = played ? static_cast<double>(played) : 1.0;
      std::printf("%s wall %.1f ns/call cpu %.1f ns/call (%zu calls)\n", c.name.c_str(),
                  wall * 1e9 / n, cpu * 1e9 / n, played);
    }
    return 0;
  }

  std::FILE* out = std::fopen(args[1], "wb");
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", args[1]);
    return 2;
  }
  std::map<std::pair<int, int>, Surface*> surfaces;
  for (const fidelity::Case& c : cases) {
    Surface*& s = surfaces[{c.width, c.height}];
    if (!s) s = new Surface(c.width, c.height);
    if (!s->ok()) return 1;
    s->Reset(c);
    for (const fidelity::Call& call : c.calls) s->Play(call, picture);
    GdiFlush();
    std::vector<std::uint32_t> changed;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        const std::uint32_t v = FromDib(s->bits()[y * c.width + x]);
        if (v != fidelity::StartColour(c, x, y)) {
          changed.push_back(static_cast<std::uint32_t>(y * c.width + x));
          changed.push_back(v);
        }
      }
    Put32(out, static_cast<std::uint32_t>(c.width));
    Put32(out, static_cast<std::uint32_t>(c.height));
    Put32(out, static_cast<std::uint32_t>(changed.size() / 2));
    for (std::uint32_t v : changed) Put32(out, v);
  }
  for (auto& s : surfaces) delete s.second;
  return std::fclose(out) == 0 ? 0 : 1;
}
