// The software raster's rules: ROP results, edge pixels, degenerate boxes,
// single strikes, clipping. Shapes marked "as GDI" were read from Wine's GDI.
#include "platform/soft/soft_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace brenlow {
namespace {

using Pixels = std::set<std::pair<int, int>>;

// Pixels that differ from `background`.
Pixels Painted(const SoftCanvas& c, Colour background = 0) {
  Pixels out;
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x)
      if (c.pixel(x, y) != background) out.insert({x, y});
  return out;
}

// Draws rows of '#' as expected pixels, origin at (x0, y0).
Pixels Shape(int x0, int y0, const std::vector<std::string>& rows) {
  Pixels out;
  for (size_t y = 0; y < rows.size(); ++y)
    for (size_t x = 0; x < rows[y].size(); ++x)
      if (rows[y][x] == '#') out.insert({x0 + static_cast<int>(x), y0 + static_cast<int>(y)});
  return out;
}

void Fill(SoftCanvas& c, Colour v) {
  for (Colour& p : c.mutable_pixels()) p = v;
}

using Draw = std::function<void(SoftCanvas&)>;

// The drawing with a 7-pixel pen, the pen set back to 1 after.
Draw Wide(Draw draw) {
  return [draw](SoftCanvas& c) {
    c.SetPenWidth(7);
    draw(c);
    c.SetPenWidth(1);
  };
}

// Draws one picture two ways: `one` on a w x h canvas, `other` on a canvas
// of w2 x h2 (0: the same size), both starting with an XOR pen of 0xabcdef.
// Returns the pixels of the first that differ from the second's at (x + dx,
// y + dy).
int Differing(int w, int h, const Draw& one, const Draw& other, int w2 = 0, int h2 = 0, int dx = 0,
              int dy = 0) {
  SoftCanvas a(w, h), b(w2 ? w2 : w, h2 ? h2 : h);
  for (SoftCanvas* c : {&a, &b}) {
    c->SetRop2(kRopXorPen);
    c->SetPenColour(0xabcdef);
  }
  one(a);
  other(b);
  int differing = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) differing += a.pixel(x, y) != b.pixel(x + dx, y + dy);
  return differing;
}

TEST(SoftCanvasRop, AllSixteenCodesOnAKnownPixel) {
  const Colour pen = 0x00F0CC33, dest = 0x0055AA0F, m = 0x00ffffff;
  const struct {
    int rop;
    Colour expected;
  } cases[] = {
      {1, 0},                   // black
      {2, ~(dest | pen) & m},   // not merge pen
      {3, ~pen & dest & m},     // mask not pen
      {4, ~pen & m},            // not copy pen
      {5, pen & ~dest & m},     // mask pen not
      {6, ~dest & m},           // not
      {7, (pen ^ dest) & m},    // xor pen
      {8, ~(pen & dest) & m},   // not mask pen
      {9, pen & dest},          // mask pen
      {10, ~(pen ^ dest) & m},  // not xor pen
      {11, dest},               // nop
      {12, (~pen | dest) & m},  // merge not pen
      {13, pen},                // copy pen
      {14, (pen | ~dest) & m},  // merge pen not
      {15, pen | dest},         // merge pen
      {16, m},                  // white
      // No such code: the new canvas's copy pen stays.
      {0, pen},
      {17, pen},
  };
  for (const auto& tc : cases) {
    SoftCanvas c(4, 4);
    Fill(c, dest);
    c.SetRop2(tc.rop);
    c.SetPenColour(pen);
    c.Line(1, 1, 2, 1);  // paints (1, 1) only, as the shapes test shows
    EXPECT_EQ(c.pixel(1, 1), tc.expected) << "rop " << tc.rop;
  }
}

// Inside the box, its right and bottom edges left out, whatever the order of
// the corners. A box of no width or height, or of 1 x 1 (four equal
// points), paints nothing, as GDI.
TEST(SoftCanvasArc, InsideTheBoxRightAndBottomExcludedInAnyCornerOrder) {
  const int boxes[][4] = {{5, 5, 5, 5},   {5, 5, 5, 12},  {5, 5, 12, 5},  {12, 5, 5, 5},
                          {5, 9, 9, 9},   {5, 5, 6, 6},   {5, 5, 6, 7},   {5, 5, 7, 7},
                          {5, 5, 8, 12},  {5, 5, 15, 11}, {5, 5, 22, 22}, {5, 5, 45, 8},
                          {3, 4, 20, 11}, {0, 0, 33, 33}};
  for (const auto& b : boxes) {
    SCOPED_TRACE(::testing::PrintToString(b));
    for (int order = 1; order < 4; ++order) {
      const int l = b[order & 1 ? 2 : 0], t = b[order & 2 ? 3 : 1];
      const int r = b[order & 1 ? 0 : 2], d = b[order & 2 ? 1 : 3];
      EXPECT_EQ(Differing(
                    60, 60, [&](SoftCanvas& c) { c.Arc(b[0], b[1], b[2], b[3]); },
                    [&](SoftCanvas& c) { c.Arc(l, t, r, d); }),
                0)
          << "order " << order;
    }
    SoftCanvas c(60, 60);
    c.SetPenColour(0x123456);
    c.Arc(b[0], b[1], b[2], b[3]);
    const Pixels p = Painted(c);
    const int w = std::abs(b[2] - b[0]), h = std::abs(b[3] - b[1]);
    if (w == 0 || h == 0 || (w == 1 && h == 1)) {
      EXPECT_TRUE(p.empty());
      continue;
    }
    const auto [top, bottom] = std::minmax_element(
        p.begin(), p.end(), [](auto one, auto other) { return one.second < other.second; });
    EXPECT_EQ(p.begin()->first, std::min(b[0], b[2]));  // the set is sorted by x
    EXPECT_EQ(top->second, std::min(b[1], b[3]));
    EXPECT_LE(p.rbegin()->first, std::max(b[0], b[2]) - 1);
    EXPECT_LE(bottom->second, std::max(b[1], b[3]) - 1);
  }
}

// Rectangles, a flat ellipse, thin lines and a wide pen's dot, pixel for
// pixel as GDI draws them ('#': differs from the background).
TEST(SoftCanvas, ShapesAsGdi) {
  const Colour bg = 0x203040, pen = 0x0000ff;
  const std::vector<std::string> flat = {"..#.###", "##.....##", "..#####"},
                                 flat_xor = {"..#.###", "#.......#", "..#####"},
                                 dot = {"..###",   ".#####", "#######", "#######",
                                        "#######", ".#####", "..###"};
  enum Kind { kRectangle, kArc, kLine, kWideLine };  // the wide line with a 7-pixel pen
  struct {
    const char* name;
    Kind kind;
    int rop;
    bool solid;
    float box[4];
    std::vector<std::string> rows;  // from the box's top left (the dot's: 3 up and left)
  } cases[] = {
      {"hollow copy", kRectangle, kRopCopyPen, false, {1, 1, 5, 4}, {"####", "#..#", "####"}},
      {"solid copy", kRectangle, kRopCopyPen, true, {1, 1, 5, 4}, {"####", "####", "####"}},
      {"solid xor", kRectangle, kRopXorPen, true, {1, 1, 5, 4}, {"####", "#..#", "####"}},
      {"reversed corners", kRectangle, kRopCopyPen, false, {5, 4, 1, 1}, {"####", "#..#", "####"}},
      {"one column xor", kRectangle, kRopXorPen, false, {2, 1, 3, 5}, {"#", ".", ".", "#"}},
      {"one row xor", kRectangle, kRopXorPen, false, {1, 2, 5, 3}, {"#..#"}},
      // Every side of a 1 x 1 box has zero length: GDI paints nothing.
      {"one pixel", kRectangle, kRopCopyPen, true, {2, 2, 3, 3}, {}},
      {"empty width", kRectangle, kRopCopyPen, true, {2, 1, 2, 5}, {}},
      {"empty height", kRectangle, kRopCopyPen, true, {1, 3, 6, 3}, {}},
      // The last point is left out and two are struck twice, which XOR
      // clears: (5, 5) and (11, 5).
      {"flat ellipse", kArc, kRopCopyPen, false, {4, 4, 13, 7}, flat},
      {"flat ellipse xor", kArc, kRopXorPen, false, {4, 4, 13, 7}, flat_xor},
      {"round cap", kWideLine, kRopCopyPen, false, {8, 8, 8, 8}, dot},
      // The last point left out (slanted lines: the every-slope test), and
      // halves to the even neighbour: 0.5 -> 0, 2.5 -> 2, 1.5 -> 2.
      {"upright", kLine, kRopCopyPen, false, {0, 0, 0, 3}, {"#", "#", "#"}},
      {"flat, leftwards", kLine, kRopCopyPen, false, {3, 0, 0, 0}, {".###"}},
      {"no length", kLine, kRopCopyPen, false, {2, 2, 2, 2}, {}},
      {"halves", kLine, kRopCopyPen, false, {0.5f, 0.5f, 2.5f, 0.5f}, {"##"}},
      {"odd halves", kLine, kRopCopyPen, false, {1.5f, 0.4f, 3.5f, 0.6f}, {".##"}},
  };
  for (const auto& tc : cases) {
    SoftCanvas c(16, 16);
    Fill(c, bg);
    c.SetRop2(tc.rop);
    c.SetPenColour(pen);
    c.SetFillSolid(tc.solid);
    const float* b = tc.box;
    if (tc.kind == kWideLine) c.SetPenWidth(7);
    if (tc.kind == kArc) {
      c.Arc(b[0], b[1], b[2], b[3]);
    } else if (tc.kind == kRectangle) {
      c.Rectangle(b[0], b[1], b[2], b[3]);
    } else {
      c.Line(b[0], b[1], b[2], b[3]);
    }
    const int x0 = static_cast<int>(std::min(b[0], b[2])),
              y0 = static_cast<int>(std::min(b[1], b[3]));
    const int reach = tc.kind == kWideLine ? 3 : 0;
    EXPECT_EQ(Painted(c, bg), Shape(x0 - reach, y0 - reach, tc.rows)) << tc.name;
  }
}

// Long lines at every slope kind, in all eight directions: each step along
// the major axis paints the pixel nearest the true line; at an exact tie GDI
// goes away from the start when the line heads left (and not steeply down),
// steeply down-left, or flatly up-right, and towards it otherwise.
TEST(SoftCanvasLine, Width1NearestPixelOnEveryStepAtEverySlope) {
  // {major length, minor length}: runs of one to many pixels, near-diagonal
  // runs, the diagonal itself, and slopes with exact ties.
  const int slopes[][2] = {{137, 1},   {137, 2},   {137, 17},  {137, 30}, {137, 45},
                           {137, 46},  {137, 68},  {137, 69},  {137, 70}, {137, 90},
                           {137, 100}, {137, 136}, {137, 137}, {120, 40}, {120, 60},
                           {120, 80},  {120, 24},  {126, 84},  {100, 50}, {9, 6}};
  const int kC = 150;
  for (const auto& slope : slopes) {
    for (int dir = 0; dir < 8; ++dir) {
      const bool x_major = dir < 4;
      const int sa = dir & 1 ? -1 : 1, sb = dir & 2 ? -1 : 1;
      const int dmaj = slope[0], dmin = slope[1];
      const int dx = x_major ? sa * dmaj : sb * dmin, dy = x_major ? sb * dmin : sa * dmaj;
      // With equal lengths the octant is the steep one (the diagonal has no
      // ties, so either walk paints it).
      const bool flat = std::abs(dx) > std::abs(dy);
      const bool ties_away =
          (dy > 0 && dx <= 0 && !flat) || (dy <= 0 && dx < 0) || (dy < 0 && dx > 0 && flat);
      Pixels expected;
      for (int i = 0; i < dmaj; ++i) {
        const int num = 2 * i * dmin + dmaj;
        int k = num / (2 * dmaj);
        if (num % (2 * dmaj) == 0 && !ties_away) --k;
        const int a = kC + i * sa, b = kC + k * sb;
        expected.insert(x_major ? std::make_pair(a, b) : std::make_pair(b, a));
      }
      SoftCanvas c(2 * kC, 2 * kC);
      c.SetPenColour(0xffffff);
      c.Line(kC, kC, static_cast<float>(kC + dx), static_cast<float>(kC + dy));
      EXPECT_EQ(Painted(c), expected) << "to " << dx << "," << dy;
    }
  }
}

// Lines kept back and drawn band by band paint what they paint one by one:
// pens whose order matters, segments across many bands, off the surface,
// flat, upright, far out (scaled before the walk), and more than a batch holds.
TEST(SoftCanvasLine, BatchedBandsPaintAsOneByOne) {
  const int kW = 61, kH = 47;
  std::mt19937 rng(11);
  auto coord = [&rng](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(rng); };
  // A segment's ends: x1, y1, x2, y2. The draws in a braced list run left
  // to right.
  using Ends = std::array<int, 4>;
  // Both ends anywhere from lo to hi, across and down.
  const auto anywhere = [&](int lo, int hi) {
    return [&coord, lo, hi] {
      return Ends{coord(lo, hi), coord(lo, hi), coord(lo, hi), coord(lo, hi)};
    };
  };
  const int kFar = 2000000000, kScaled = 300000000;
  const struct {
    const char* name;
    int band_rows;
    size_t count;
    std::function<Ends()> ends;
  } cases[] = {
      {"across the surface", 5, 400, anywhere(-30, 90)},
      {"bands of one row", 1, 200, anywhere(-5, 65)},
      {"flat and upright", 4, 300,
       [&] {
         const int x = coord(-10, 70), y = coord(-10, 57);
         return rng() % 2 ? Ends{x, y, x, coord(-10, 57)} : Ends{x, y, coord(-10, 70), y};
       }},
      {"far out", 7, 100,
       [&] {
         return Ends{coord(-kFar, kFar), coord(-kFar, kFar), coord(0, 60), coord(0, 46)};
       }},
      // An end far to the side, scaled, may come out level with the other.
      {"far to the side", 3, 100,
       [&] {
         const int side = rng() % 2 ? 1 : -1;
         return Ends{side * coord(kScaled, kFar), coord(47, 380), coord(0, 60), coord(0, 46)};
       }},
      // Both ends scaled: rows below the surface cross it.
      {"far on both sides", 3, 100,
       [&] {
         return Ends{-coord(kScaled, kFar), coord(47, 376), coord(kScaled, kFar), coord(47, 376)};
       }},
      {"more than a batch", 9, soft::LineBatch::kCapacity + 123, anywhere(-3, 63)},
  };
  const int rops[] = {kRopCopyPen, kRopXorPen, kRopMaskPenNot, 6 /* NOT */, 15 /* MERGEPEN */};
  for (const auto& tc : cases) {
    soft::Surface one_by_one(kW, kH), banded(kW, kH);
    soft::LineBatch batch(static_cast<size_t>(tc.band_rows) * kW * sizeof(Colour));
    for (size_t i = 0; i < tc.count; ++i) {
      const Ends v = tc.ends();
      const auto m = soft::MasksFor(rops[rng() % 5], static_cast<Colour>(rng()) & 0xffffff);
      soft::DrawSegment(one_by_one, v[0], v[1], v[2], v[3], m);
      batch.Add(banded, v[0], v[1], v[2], v[3], m);
    }
    batch.Flush(banded);
    EXPECT_TRUE(one_by_one.pixels() == banded.pixels()) << tc.name;
  }
}

// On a canvas of several bands, lines wait until something else draws or
// reads: every other call sees them drawn first.
TEST(SoftCanvasLine, KeptBackLinesAreDrawnBeforeAnythingElse) {
  const Picture pic{64, 64, std::vector<Colour>(64 * 64, 0x123456)};
  // The repaint and the filled rectangle first: they cover what the calls
  // before them drew.
  const Draw calls[] = {
      [](SoftCanvas& c) { c.Repaint(); },
      [](SoftCanvas& c) { c.Rectangle(5, 290, 900, 1100); },
      [&](SoftCanvas& c) { c.CopyPicture(pic, 10, 300, 64, 64, 0, 0); },
      [](SoftCanvas& c) { c.Arc(0, 280, 800, 1200); },
      [](SoftCanvas& c) { c.PrintText(20, 310, "Impostazioni"); },
      Wide([](SoftCanvas& c) { c.LineInt(0, 330, 1000, 300); }),
  };
  auto draw = [&](bool look_each_time) {
    return [&, look_each_time](SoftCanvas& c) {
      // Copy pens of two colours: what comes first shows where they cross.
      c.SetRop2(kRopCopyPen);
      c.SetFontSize(20);
      int shift = 0;
      for (const Draw& call : calls) {
        c.SetPenColour(0x00ff80);
        shift += 13;  // other lines each time, so none covers what the last ones hid
        for (int y = shift; y < 1200; y += 40) c.LineInt(0, y, 999, 1199 - y);
        if (look_each_time) c.pixels();
        c.SetPenColour(0x8000ff);
        call(c);
      }
    };
  };
  EXPECT_EQ(Differing(1000, 1200, draw(true), draw(false)), 0);
}

TEST(SoftCanvasLine, Width7PaintsEachPixelOnceAndCoversTheEnd) {
  const float lines[][4] = {{10, 10, 40, 17}, {40, 17, 10, 10}, {25, 5, 25, 40},
                            {5, 30, 45, 30},  {12, 40, 30, 3},  {3, 3, 44, 44}};
  for (const auto& l : lines) {
    int end = 0;
    auto line = [&](int rop) {
      return [&, rop](SoftCanvas& c) {
        c.SetRop2(rop);
        c.SetPenWidth(7);
        c.Line(l[0], l[1], l[2], l[3]);
        end = static_cast<int>(c.pixel(static_cast<int>(l[2]), static_cast<int>(l[3])));
      };
    };
    EXPECT_EQ(Differing(50, 50, line(kRopCopyPen), line(kRopXorPen)), 0) << l[0] << "," << l[1];
    EXPECT_NE(end, 0);
  }
}

// Lines and rectangles on a small canvas must equal the same drawing moved
// into a large canvas, cropped: clipping changes nothing inside. (Ellipses
// cannot move so: the next test.)
TEST(SoftCanvasClip, SmallCanvasIsACropOfALargeOne) {
  std::mt19937 rng(7);
  auto coord = [&rng](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(rng); };
  const int kW = 40, kH = 30, kOff = 400;
  using Shape = void (*)(SoftCanvas&, int, int, int, int);
  const struct {
    const char* name;
    int pen_width;
    Shape draw;
  } kinds[] = {
      {"line1", 1, [](SoftCanvas& c, int l, int t, int r, int b) { c.LineInt(l, t, r, b); }},
      {"line7", 7, [](SoftCanvas& c, int l, int t, int r, int b) { c.LineInt(l, t, r, b); }},
      {"rect", 1, [](SoftCanvas& c, int l, int t, int r, int b) { c.Rectangle(l, t, r, b); }},
  };
  for (const auto& kind : kinds) {
    for (int i = 0; i < 100; ++i) {
      std::array<int, 4> v = {coord(-20, 60), coord(-20, 50), coord(-350, 350), coord(-350, 350)};
      if (i % 2) v = {v[2], v[3], v[0], v[1]};  // the corners swapped
      auto at = [&](int o) {
        return [&, o](SoftCanvas& c) {
          c.SetPenWidth(kind.pen_width);
          c.SetFillSolid(false);
          kind.draw(c, v[0] + o, v[1] + o, v[2] + o, v[3] + o);
        };
      };
      ASSERT_EQ(Differing(kW, kH, at(0), at(kOff), 2 * kOff + kW, 2 * kOff + kH, kOff, kOff), 0)
          << kind.name << " " << v[0] << " " << v[1] << " " << v[2] << " " << v[3];
    }
  }
}

// The trace starts where the line from the box's centre to (0, 0) meets it,
// so moving the centre along that line (c -> k * c) draws the same outline,
// moved. An outline cut by the small canvas's edges, or off it, must match
// the same outline drawn whole on a large canvas, cut the same way.
TEST(SoftCanvasClip, EllipsesAcrossEveryEdgeMatchTheWholeOutline) {
  const int kW = 40, kH = 30;
  const struct {
    const char* name;
    int cx, cy, w, h;  // centre (left + w / 2, top + h / 2) and size
  } cases[] = {
      {"left", 3, 15, 30, 10},           {"top", 20, 2, 10, 24},
      {"top left", 4, 3, 30, 26},        {"right", 38, 15, 20, 8},
      {"bottom", 20, 28, 12, 20},        {"bottom right", 37, 27, 16, 14},
      {"every edge", 20, 15, 100, 90},   {"flat across left", 1, 10, 40, 2},
      {"thin across top", 15, 1, 3, 40}, {"off right", 60, 15, 10, 6},
      {"off below", 20, 45, 9, 12},      {"corner only", 41, 31, 6, 6},
  };
  for (const auto& tc : cases) {
    int k = 2;
    while (k * tc.cx < tc.w / 2 || k * tc.cy < tc.h / 2) ++k;
    const int dx = (k - 1) * tc.cx, dy = (k - 1) * tc.cy;
    const int l = tc.cx - tc.w / 2, t = tc.cy - tc.h / 2;
    auto arc = [&](int x, int y) {
      return [&, x, y](SoftCanvas& c) { c.Arc(l + x, t + y, l + x + tc.w, t + y + tc.h); };
    };
    EXPECT_EQ(Differing(kW, kH, arc(0, 0), arc(dx, dy), dx + kW + tc.w, dy + kH + tc.h, dx, dy), 0)
        << tc.name;
  }
}

// Shapes from far outside draw only what crosses the canvas: the same
// pixels as a short call that draws just those.
TEST(SoftCanvasClip, FarAwayShapesDrawOnlyWhatCrossesTheCanvas) {
  const Draw nothing = [](SoftCanvas&) {};
  const struct {
    const char* name;
    Draw far, near;
  } cases[] = {
      {"huge ellipse",
       [](SoftCanvas& c) { c.Arc(-2000000000, -2000000000, 2000000000, 2000000000); }, nothing},
      {"wide ellipse", [](SoftCanvas& c) { c.Arc(-100000, -50000, 100032, 50032); }, nothing},
      {"whole-range rectangle",
       [](SoftCanvas& c) { c.Rectangle(-2147483647, -2147483647, 2147483647, 2147483647); },
       nothing},
      {"diagonal", [](SoftCanvas& c) { c.Line(-3e9f, -3e9f, 3e9f, 3e9f); },
       [](SoftCanvas& c) { c.Line(0, 0, 32, 32); }},
      {"wide line passing far below",
       Wide([](SoftCanvas& c) { c.Line(-2e9f, -2e9f, 2e9f, 2.1e9f); }), nothing},
      {"wide horizontal", Wide([](SoftCanvas& c) { c.Line(-1e9f, 16, 1e9f, 16); }),
       [](SoftCanvas& c) {
         for (int y = 13; y <= 19; ++y) c.LineInt(0, y, 32, y);
       }},
  };
  for (const auto& tc : cases) EXPECT_EQ(Differing(32, 32, tc.far, tc.near), 0) << tc.name;
}

TEST(SoftCanvasCopy, ClippedToPictureAndCanvas) {
  const Picture pic{4, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}};
  struct {
    const char* name;
    float dx, dy, w, h, sx, sy;
    std::vector<std::pair<std::pair<int, int>, Colour>> expected;  // (x, y) -> value
    int painted;
  } cases[] = {
      {"inside", 1, 1, 2, 2, 1, 1, {{{1, 1}, 6}, {{2, 2}, 11}}, 4},
      {"dest off the left", -1, 0, 3, 1, 0, 0, {{{0, 0}, 2}, {{1, 0}, 3}}, 2},
      {"source past the right", 0, 0, 4, 1, 2, 0, {{{0, 0}, 3}, {{1, 0}, 4}}, 2},
      {"negative source", 0, 0, 2, 1, -1, 0, {{{1, 0}, 1}}, 1},
      {"past the canvas", 4, 4, 4, 3, 0, 0, {{{4, 4}, 1}}, 1},
      {"halves to even", 0.5f, 0.5f, 1.5f, 1.5f, 2.5f, 0.5f, {{{0, 0}, 3}, {{1, 1}, 8}}, 4},
      {"empty", 0, 0, 0, 3, 0, 0, {}, 0},
      // As GDI: a negative width spans x + w + 1 .. x in both pictures.
      {"negative width", 2, 0, -2, 1, 2, 0, {{{1, 0}, 2}, {{2, 0}, 3}}, 2},
  };
  for (const auto& tc : cases) {
    SoftCanvas c(5, 5);
    c.CopyPicture(pic, tc.dx, tc.dy, tc.w, tc.h, tc.sx, tc.sy);
    EXPECT_EQ(static_cast<int>(Painted(c).size()), tc.painted) << tc.name;
    for (const auto& [pt, value] : tc.expected)
      EXPECT_EQ(c.pixel(pt.first, pt.second), value) << tc.name;
  }
}

TEST(SoftCanvasText, DrawsInPenColourWithUnderline) {
  SoftCanvas c(200, 40);
  c.SetPenColour(0x00ff00);
  c.SetFontSize(12);
  c.PrintText(2, 2, "Brenlow àè");
  const Pixels p = Painted(c);
  // ./dev setup installs the font: no text is a wrong font path, not a skip.
  ASSERT_FALSE(p.empty()) << "no text drawn with " << SoftCanvas::DefaultFontFile();
  // The underline: the row with the most pen-coloured pixels, under the
  // whole text.
  std::map<int, int> in_row;
  for (auto [x, y] : p) {
    if (c.pixel(x, y) == 0x00ff00u) ++in_row[y];
  }
  const auto underline = std::max_element(
      in_row.begin(), in_row.end(), [](auto one, auto other) { return one.second < other.second; });
  EXPECT_GT(underline->second, 60);
  EXPECT_GT(underline->first, 10);
  for (auto [x, y] : p) EXPECT_EQ(c.pixel(x, y) & 0xff00ffu, 0u);  // only green
}

// A new canvas draws as the saver window opens: a blue 1-pixel copy pen and
// a solid black brush; Repaint clears to black. The displays changed: the
// canvas takes the new size, keeping its pixels where both sizes have them,
// and draws out to its new edges in the pen set before.
TEST(SoftCanvas, StartsAsTheWindowOpensAndResizeKeepsThePixelsAndThePen) {
  for (const auto& [width, height] : {std::pair{9, 7}, {3, 2}, {6, 4}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    SoftCanvas c(6, 4);
    Fill(c, 0x777777);
    c.Rectangle(0, 0, 4, 4);
    EXPECT_EQ(Painted(c, 0x777777), Shape(0, 0, {"####", "####", "####", "####"}));
    // Blue outline, black inside; the grey beyond stays.
    EXPECT_EQ(Painted(c, MakeColour(0, 0, 255)),
              Shape(0, 0, {"    ##", " ## ##", " ## ##", "    ##"}));
    c.Repaint();
    EXPECT_TRUE(Painted(c).empty());
    const Colour red = MakeColour(255, 0, 0);
    c.SetPenColour(red);
    c.SetRop2(kRopXorPen);
    c.Line(0, 0, 5, 0);
    c.Resize(width, height);
    EXPECT_EQ(c.width(), width);
    EXPECT_EQ(c.height(), height);
    EXPECT_EQ(c.ScaleWidth(), static_cast<float>(width));
    Pixels kept;
    for (int x = 0; x < std::min(5, width); ++x) kept.insert({x, 0});
    EXPECT_EQ(Painted(c), kept);
    // A line along the bottom row, drawn twice: the pen is red and still
    // XORs, so the row comes back black.
    const float bottom = static_cast<float>(height - 1);
    c.Line(0, bottom, static_cast<float>(width), bottom);
    Pixels row = kept;
    for (int x = 0; x < width; ++x) row.insert({x, height - 1});
    EXPECT_EQ(Painted(c), row);
    EXPECT_EQ(c.pixel(width - 1, height - 1), red);
    c.Line(0, bottom, static_cast<float>(width), bottom);
    EXPECT_EQ(Painted(c), kept);
  }
}

}  // namespace
}  // namespace brenlow
