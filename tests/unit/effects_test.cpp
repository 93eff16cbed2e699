#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

#include "saver/shape_families.h"
#include "saver_test_support.h"

namespace brenlow {
namespace {

// Runs the fill with the given random draws first; with `forget`, the
// calls it made are dropped, for tests of what comes after it.
void Fill(HeadlessSaver& f, std::deque<double> draws, bool forget = false) {
  f.prog.random().Script(std::move(draws));
  f.prog.Sfondo();
  if (forget) f.system.canvas.calls.clear();
}

// Tile (c, r): rings of boxes from 99c, 100r, 99c + 100, 100r + 100 inwards,
// the last column and row reaching past the canvas, in one of eight colour
// schemes; a triple with a zero factor is drawn again.
TEST(Sfondo, TilesCoverTheCanvasWithFiftyRingsEach) {
  const struct {
    int width, height, rows, columns;
    std::deque<double> draws;
    int red, green, blue;  // the factors: a ring's colour steps
  } cases[] = {
      {800, 600, 7, 9, {0.4, 0.4, 0.4}, 1, 1, 1},
      {99, 99, 1, 1, {0.7, 0.4, 0.4}, 2, 1, 1},
      {100, 100, 2, 2, {0.4, 0.7, 0.4}, 1, 2, 1},
      {641, 481, 5, 7, {0.4, 0.4, 0.7}, 1, 1, 2},
      {1920, 1080, 11, 20, {0.7, 0.7, 0.4}, 2, 2, 1},
      {100, 50, 1, 2, {0.7, 0.4, 0.7}, 2, 1, 2},
      {100, 50, 1, 2, {0.4, 0.7, 0.7}, 1, 2, 2},
      {100, 50, 1, 2, {0.99, 0.99, 0.99}, 2, 2, 2},
      // A zero green, then a zero blue, then a good triple.
      {100, 50, 1, 2, {0.7, 0.1, 0.5, 0.5, 0.5, 0.2, 0.7, 0.4, 0.4}, 2, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    HeadlessSaver f(static_cast<float>(c.width), static_cast<float>(c.height));
    Fill(f, c.draws);
    const auto rects = f.Calls(DrawCall::kRect);
    ASSERT_EQ(rects.size(), static_cast<size_t>(c.rows * c.columns * 50));
    for (int r = 0; r < c.rows; ++r) {
      for (int t = 0; t < c.columns; ++t) {
        const DrawCall& outer = rects[(r * c.columns + t) * 50];
        const DrawCall& inner = rects[(r * c.columns + t) * 50 + 49];
        EXPECT_EQ(BoxOf(outer), (Box{99 * t, 100 * r, 99 * t + 100, 100 * r + 100}));
        EXPECT_EQ(BoxOf(inner), (Box{99 * t + 49, 100 * r + 49, 99 * t + 51, 100 * r + 51}));
        EXPECT_EQ(outer.colour, MakeColour(20 + c.red, 20 + c.green, 20 + c.blue));
        EXPECT_EQ(inner.colour, MakeColour(20 + 50 * c.red, 20 + 50 * c.green, 20 + 50 * c.blue));
      }
    }
    for (const DrawCall& rect : rects) EXPECT_EQ(rect.rop, kRopCopyPen);
    // First cycle: the window's solid black brush is still in force.
    EXPECT_TRUE(rects.front().fill_solid);
  }
}

// Runs one shape family by its setting value, through the saver's table:
// the counts below then also check which effect each value draws.
void RunShape(frmProg& prog, const std::string& shape) {
  for (const ShapeFamily& family : kShapeFamilies) {
    if (family.effect && shape == family.setting) (prog.*family.effect)();
  }
}

std::vector<DrawCall> Draw(const std::string& shape, float w, float h, std::deque<double> draws) {
  HeadlessSaver f(w, h);
  Fill(f, std::move(draws), true);
  RunShape(f.prog, shape);
  std::vector<DrawCall> shapes;
  for (const DrawCall& c : f.system.canvas.calls) {
    if (c.kind == DrawCall::kArc || c.kind == DrawCall::kLine) shapes.push_back(c);
  }
  return shapes;
}

// Calls at each size, up to an 8K screen: the 16-bit counters never come
// near overflowing. One activity check comes before every ellipse, square or
// triangle; the ovals check only in their closing pause.
TEST(Shapes, CallCountsFollowTheCanvasHeightWithAnActivityCheckBeforeEach) {
  const float sizes[][2] = {{640, 480}, {641, 481}, {800, 600}, {1920, 1080}, {7680, 4320}, {4, 1}};
  const struct {
    const char* shape;
    size_t counts[6];  // at each size
    int moved_at;      // the check that sees the cursor moved
    size_t drawn;      // calls before it
  } cases[] = {
      {"Cerchi", {8917, 242 * 37, 301 * 37, 541 * 37, 2161 * 37, 2 * 37}, 5, 4},
      {"Ellissi", {2400, 2410, 3000, 5400, 21600, 10}, 5, 4},
      {"Ovali", {241, 241, 301, 541, 2161, 1}, 1, 25},
      {"Quadrati", {9600, 9600, 12000, 21600, 2160 * 40, 40}, 5, 4 * 4},
      {"Triangoli", {26640, 241 * 111, 300 * 111, 540 * 111, 2160 * 111, 111}, 5, 4 * 3},
  };
  for (const auto& c : cases) {
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(Draw(c.shape, sizes[i][0], sizes[i][1], {0.5, 0.5, 0.5}).size(), c.counts[i])
          << c.shape << " " << sizes[i][0] << "x" << sizes[i][1];
    }
    HeadlessSaver f(64, 48);
    Fill(f, {0.5, 0.5, 0.5}, true);
    f.system.cursor = [&c](int n) { return CursorPoint{n < c.moved_at ? 100 : 101, 100}; };
    f.system.cursor_calls = 1;
    EXPECT_THROW(RunShape(f.prog, c.shape), ProcessEnded);
    EXPECT_EQ(f.Calls(DrawCall::kArc).size() + f.Calls(DrawCall::kLine).size(), c.drawn) << c.shape;
  }
  EXPECT_EQ(Draw("Quadrati", 640, 483, {0.5, 0.5, 0.5}).size(), 242u * 40);
}

// Calls of each family, counted from its first shape: the box (a line's
// ends) and the colour. Every shape masks with the pen's inverse.
TEST(Shapes, BoxesEndsAndColours) {
  struct Run {
    const char* shape;
    float width, height;
    std::deque<double> draws;
  };
  const Run circles{"Cerchi", 641, 480, {0.7, 0.4, 0.4}};
  const Run ellipses{"Ellissi", 640, 480, {0.4, 0.4, 0.4}};
  const Run ovals{"Ovali", 640, 480, {0.4, 0.4, 0.7}},
      odd_ovals{"Ovali", 641, 481, {0.4, 0.4, 0.4}};
  const Run squares{"Quadrati", 640, 480, {0.7, 0.4, 0.4}};
  const Run triangles{"Triangoli", 640, 480, {0.7, 0.4, 0.4}};
  const Colour white = MakeColour(255, 255, 255), level127 = MakeColour(254, 127, 127);
  const Colour outer_square = MakeColour(96, 48, 48);
  const struct {
    const Run* run;
    size_t index;
    std::array<float, 4> at;
    Colour colour;
  } cases[] = {
      // Ring 0: 37 boxes of no size at the centre, 320.5 to the even 320. The
      // last, radius 240 at level Int(240 / (480 / 255)) = 127 with factors
      // 2, 1, 1: angles 0 and 360 give the same box, 90 one of no width above
      // the centre.
      {&circles, 0, {320, 240, 320, 240}, 0},
      {&circles, 36, {320, 240, 320, 240}, 0},
      {&circles, 240 * 37, {560, 240, 320, 240}, level127},
      {&circles, 240 * 37 + 9, {320, 0, 320, 240}, level127},
      {&circles, 240 * 37 + 36, {560, 240, 320, 240}, level127},
      // Ten a ring, at levels 0.15 x ring with halves to the even neighbour.
      // Ring 1 starts at 45 degrees, right of and above the centre; a ring's
      // first and last ellipse coincide.
      {&ellipses, 10, {321, 239, 319, 241}, 0},
      {&ellipses, 30, {318, 238, 322, 242}, 0},
      {&ellipses, 40, {316, 240, 324, 240}, MakeColour(1, 1, 1)},
      {&ellipses, 100, {320, 230, 320, 250}, MakeColour(2, 2, 2)},
      {&ellipses, 109, {320, 230, 320, 250}, MakeColour(2, 2, 2)},
      {&ellipses, 300, {320, 270, 320, 210}, MakeColour(4, 4, 4)},
      {&ellipses, 500, {320, 190, 320, 290}, MakeColour(8, 8, 8)},
      {&ellipses, 2390, {489, 409, 151, 71}, MakeColour(36, 36, 36)},
      // From upright to flat; halves to even: 320.5 -> 320, 319.5 -> 320,
      // 321.5 -> 322.
      {&ovals, 0, {320, 0, 320, 480}, 0},
      {&ovals, 240, {80, 240, 560, 240}, MakeColour(127, 127, 254)},
      {&odd_ovals, 0, {320, 0, 320, 481}, 0},
      {&odd_ovals, 1, {320, 1, 322, 480}, 0},
      {&odd_ovals, 240, {80, 240, 560, 241}, MakeColour(127, 127, 127)},
      // The outer ring, radius 240, at components 48 or 96: angles 0 and 360
      // draw the same square. The last ring's corners are one from the
      // centre, in black.
      {&squares, 0, {560, 240, 320, 0}, outer_square},
      {&squares, 3, {320, 480, 560, 240}, outer_square},
      {&squares, 36, {560, 240, 320, 0}, outer_square},
      {&squares, 39, {320, 480, 560, 240}, outer_square},
      {&squares, 9596, {321, 240, 320, 239}, 0},
      // Ring 0: 111 lines of no length at the centre. Ring 1 climbs from
      // black to white (angles 0, 130, 200, 260 and 360).
      {&triangles, 0, {320, 240, 320, 240}, 0},
      {&triangles, 110, {320, 240, 320, 240}, white},
      {&triangles, 111, {321, 240, 319.2929f, 239.2929f}, 0},
      {&triangles, 150, {319.3572f, 239.234f, 319.9128f, 240.9962f}, MakeColour(255, 130, 130)},
      {&triangles, 171, {319.0603f, 240.342f, 320.9063f, 240.4226f}, MakeColour(255, 200, 200)},
      {&triangles, 189, {319.8264f, 240.9848f, 320.8192f, 239.4264f}, white},
      {&triangles, 219, {321, 240, 319.2929f, 239.2929f}, white},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.run->shape) + " call " + std::to_string(c.index));
    const auto drawn = Draw(c.run->shape, c.run->width, c.run->height, c.run->draws);
    ASSERT_LT(c.index, drawn.size());
    const DrawCall& d = drawn[c.index];
    const std::array<float, 4> at =
        d.kind == DrawCall::kArc
            ? std::array<float, 4>{static_cast<float>(d.left), static_cast<float>(d.top),
                                   static_cast<float>(d.right), static_cast<float>(d.bottom)}
            : std::array<float, 4>{d.v[0], d.v[1], d.v[2], d.v[3]};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(at[i], c.at[i], 1e-3) << d.ToString();
    EXPECT_EQ(d.colour, c.colour);
    EXPECT_EQ(d.rop, kRopMaskPenNot);
  }
}

// A loader that gives a logo 30 pixels wide and `height` high.
RecordingSystem::PictureLoader Logo(int height) {
  return [height](const std::string&) {
    return Picture{30, height, std::vector<Colour>(30 * static_cast<size_t>(height), 0x123456)};
  };
}

// The address, then the bands top to bottom with a pause after each, up to
// the band's time on the monotonic clock: the reveal lasts bands x 0.6 ms
// whatever a wait lasts. After a wait that took a whole timer tick the
// bands due by then follow without waiting.
TEST(Logo, AddressThenBandsTopToBottomAtAFixedPace) {
  struct Case {
    int height;
    double tick;
    size_t bands;
    std::vector<float> first_tops;
    float band_height;
  };
  for (const Case& c :
       {Case{150, 0, 150, {0, 1, 2}, 1}, Case{400, 0, 400, {0, 2, 4}, 2},
        Case{480, 0, 200 + 200 + 199, {0, 2.4f, 4.8f}, 2.4f}, Case{50, 0, 50, {0, 1}, 1},
        Case{480, 0.001, 599, {0, 2.4f}, 2.4f}, Case{480, 0.0156, 599, {0, 2.4f}, 2.4f}}) {
    SCOPED_TRACE(std::to_string(c.height) + " high, tick " + std::to_string(c.tick));
    HeadlessSaver f(640, 480, "", "logo.bmp", Logo(c.height));
    f.system.timer_tick = c.tick;
    const double begun = f.system.monotonic;
    f.prog.DisegnaLogo();
    const double lasted = f.system.monotonic - begun;
    // White, 14 points, at 95 % of the height, as the trace prints it.
    EXPECT_EQ(f.system.canvas.calls.front().ToString(),
              std::string("text 0 456 size=14 colour=16777215 ") + kMakerAddress);
    const auto copies = f.Calls(DrawCall::kCopy);
    EXPECT_EQ(copies.size(), c.bands);
    for (size_t i = 0; i < c.first_tops.size(); ++i) {
      EXPECT_FLOAT_EQ(copies[i].v[1], c.first_tops[i]);
      EXPECT_FLOAT_EQ(copies[i].v[5], c.first_tops[i]);
      EXPECT_FLOAT_EQ(copies[i].v[3], c.band_height);
      EXPECT_FLOAT_EQ(copies[i].v[2], 30);
    }
    EXPECT_GE(lasted, c.bands * kLogoBandSeconds - 1e-9);
    EXPECT_LT(lasted, c.bands * kLogoBandSeconds + c.tick + 1e-9);
    const auto& waits = f.system.band_waits;
    EXPECT_EQ(waits.size(), c.bands);
    if (c.tick == 0) {
      for (double wait : waits) EXPECT_NEAR(wait, kLogoBandSeconds, 1e-9);
    } else {
      // One wait per tick, the other bands at once.
      const size_t waited =
          std::count_if(waits.begin(), waits.end(), [](double w) { return w > 0; });
      EXPECT_LE(waited, static_cast<size_t>(c.bands * kLogoBandSeconds / c.tick) + 2);
    }
  }
}

TEST(Fade, ThreeStylesOn800x600) {
  for (const int style : {1, 2, 3}) {
    HeadlessSaver f(800, 600);
    Fill(f, {0.5, 0.5, 0.5, 0.4 * style - 0.3}, true);  // 0.1, 0.5, 0.9
    f.prog.Evanescenza();
    const auto lines = f.Calls(DrawCall::kLine);
    const auto rects = f.Calls(DrawCall::kRect);
    for (const DrawCall& call : f.system.canvas.calls) {
      if (call.kind != DrawCall::kRepaint) {
        EXPECT_EQ(call.rop, kRopBlack);
      }
    }
    EXPECT_EQ(f.system.canvas.pen_width(), 1);
    EXPECT_FALSE(f.system.canvas.fill_solid());
    if (style == 1) {
      ASSERT_EQ(lines.size(), 61u + 8 * 60u + 60u);
      EXPECT_FLOAT_EQ(lines[60].v[1], 600);
      EXPECT_FLOAT_EQ(lines.back().v[1], 599);
      EXPECT_FLOAT_EQ(lines.back().v[2], 800);
    } else if (style == 2) {
      ASSERT_EQ(lines.size(), 361u);
      EXPECT_EQ(lines[0].width, 7);
      EXPECT_NEAR(lines[0].v[0], -100, 1e-3);
      EXPECT_NEAR(lines[0].v[1], 300, 1e-3);
      EXPECT_NEAR(lines[0].v[2], 900, 1e-3);
      EXPECT_NEAR(lines[180].v[2], 400, 1e-3);  // a = 90: upright
      EXPECT_NEAR(lines[180].v[3], -200, 1e-3);
      EXPECT_NEAR(lines[360].v[0], 900, 1e-3);
    } else {
      std::multiset<int> insets;
      for (const DrawCall& r : rects) {
        insets.insert(r.left);
        EXPECT_EQ(r.right, 800 - r.left);
        EXPECT_FALSE(r.fill_solid);
      }
      EXPECT_EQ(insets.size(), 401u);
      for (int i = 0; i <= 400; ++i) EXPECT_EQ(insets.count(i), 1u) << i;
    }
  }
}

}  // namespace
}  // namespace brenlow
