#include <gtest/gtest.h>

#include <algorithm>
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
// the last column and row reaching past the canvas.
TEST(Sfondo, TilesCoverTheCanvasWithFiftyRingsEach) {
  // Width, height, rows, columns.
  const int cases[][4] = {
      {800, 600, 7, 9}, {99, 99, 1, 1}, {100, 100, 2, 2}, {641, 481, 5, 7}, {1920, 1080, 11, 20}};
  for (const auto& [w, h, rows, columns] : cases) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    HeadlessSaver f(static_cast<float>(w), static_cast<float>(h));
    Fill(f, {0.5, 0.5, 0.5});
    const auto rects = f.Calls(DrawCall::kRect);
    ASSERT_EQ(rects.size(), static_cast<size_t>(rows * columns * 50));
    EXPECT_EQ(f.prog.CanvasWidth, w);
    EXPECT_EQ(f.prog.CanvasHeight, h);
    EXPECT_DOUBLE_EQ(f.prog.ColourStep, h / 255.0);
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        EXPECT_EQ(BoxOf(rects[(r * columns + c) * 50]),
                  (Box{99 * c, 100 * r, 99 * c + 100, 100 * r + 100}));
        EXPECT_EQ(BoxOf(rects[(r * columns + c) * 50 + 49]),
                  (Box{99 * c + 49, 100 * r + 49, 99 * c + 51, 100 * r + 51}));
      }
    }
    for (const DrawCall& rect : rects) EXPECT_EQ(rect.rop, kRopCopyPen);
    // First cycle: the window's solid black brush is still in force.
    EXPECT_TRUE(rects.front().fill_solid);
  }
}

// Eight colour schemes; a triple with a zero factor is drawn again.
TEST(Sfondo, EightColourSchemes) {
  struct Case {
    std::deque<double> draws;
    int rf, gf, bf;
  };
  for (const Case& c : {Case{{0.4, 0.4, 0.4}, 1, 1, 1},
                        {{0.7, 0.4, 0.4}, 2, 1, 1},
                        {{0.4, 0.7, 0.4}, 1, 2, 1},
                        {{0.4, 0.4, 0.7}, 1, 1, 2},
                        {{0.7, 0.7, 0.4}, 2, 2, 1},
                        {{0.7, 0.4, 0.7}, 2, 1, 2},
                        {{0.4, 0.7, 0.7}, 1, 2, 2},
                        {{0.99, 0.99, 0.99}, 2, 2, 2},
                        // A zero green, then a zero blue, then a good triple.
                        {{0.7, 0.1, 0.5, 0.5, 0.5, 0.2, 0.7, 0.4, 0.4}, 2, 1, 1}}) {
    HeadlessSaver f(100, 50);
    Fill(f, c.draws);
    EXPECT_EQ(f.prog.RedFactor, c.rf);
    EXPECT_EQ(f.prog.GreenFactor, c.gf);
    EXPECT_EQ(f.prog.BlueFactor, c.bf);
    const auto rects = f.Calls(DrawCall::kRect);
    EXPECT_EQ(rects.front().colour, MakeColour(20 + c.rf, 20 + c.gf, 20 + c.bf));
    EXPECT_EQ(rects[49].colour, MakeColour(20 + 50 * c.rf, 20 + 50 * c.gf, 20 + 50 * c.bf));
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

// Up to an 8K screen; the 16-bit counters never come near overflowing.
TEST(Shapes, CallCountsFollowTheCanvasHeight) {
  const float sizes[][2] = {{640, 480}, {641, 481}, {800, 600}, {1920, 1080}, {7680, 4320}, {4, 1}};
  const struct {
    const char* shape;
    size_t counts[6];  // at each size
  } cases[] = {
      {"Cerchi", {8917, 242 * 37, 301 * 37, 541 * 37, 2161 * 37, 2 * 37}},
      {"Ellissi", {2400, 2410, 3000, 5400, 21600, 10}},
      {"Ovali", {241, 241, 301, 541, 2161, 1}},
      {"Quadrati", {9600, 9600, 12000, 21600, 2160 * 40, 40}},
      {"Triangoli", {26640, 241 * 111, 300 * 111, 540 * 111, 2160 * 111, 111}},
  };
  for (const auto& c : cases) {
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(Draw(c.shape, sizes[i][0], sizes[i][1], {0.5, 0.5, 0.5}).size(), c.counts[i])
          << c.shape << " " << sizes[i][0] << "x" << sizes[i][1];
    }
  }
  EXPECT_EQ(Draw("Cerchi", 4, 2, {0.5, 0.5, 0.5}).size(), 2u * 37);
  EXPECT_EQ(Draw("Quadrati", 640, 483, {0.5, 0.5, 0.5}).size(), 242u * 40);
}

// One activity check before every ellipse, square or triangle; the ovals
// check only in their closing pause.
TEST(Shapes, ActivityCheckBeforeEveryShape) {
  struct Case {
    const char* shape;
    DrawCall::Kind kind;
    int moved_at;  // the check that sees the cursor moved
    size_t drawn;
  };
  for (const Case c : {Case{"Cerchi", DrawCall::kArc, 5, 4},
                       {"Ellissi", DrawCall::kArc, 5, 4},
                       {"Quadrati", DrawCall::kLine, 5, 4 * 4},
                       {"Triangoli", DrawCall::kLine, 5, 4 * 3},
                       {"Ovali", DrawCall::kArc, 1, 25}}) {
    HeadlessSaver f(64, 48);
    Fill(f, {0.5, 0.5, 0.5}, true);
    f.system.cursor = [&c](int n) { return CursorPoint{n < c.moved_at ? 100 : 101, 100}; };
    f.system.cursor_calls = 1;
    EXPECT_THROW({ RunShape(f.prog, c.shape); }, ProcessEnded);
    EXPECT_EQ(f.Calls(c.kind).size(), c.drawn) << c.shape;
  }
}

TEST(Shapes, CirclesBoxesAndColours) {
  const auto arcs = Draw("Cerchi", 641, 480, {0.7, 0.4, 0.4});
  // Ring 0: boxes of zero size at the centre; 320.5 goes to the even 320.
  for (int i = 0; i < 37; ++i) {
    EXPECT_EQ(BoxOf(arcs[i]), (Box{320, 240, 320, 240}));
    EXPECT_EQ(arcs[i].colour, 0u);
    EXPECT_EQ(arcs[i].rop, kRopMaskPenNot);
  }
  // Last ring, radius 240, angle 0 and 360 give the same box.
  const DrawCall& first = arcs[240 * 37];
  const DrawCall& last = arcs.back();
  EXPECT_EQ(first.left, 560);  // 240 + 320.5 = 560.5 -> 560
  EXPECT_EQ(first.top, 240);
  EXPECT_EQ(BoxOf(last), BoxOf(first));
  // Level Int(240 / (480/255)) = 127; factors 2,1,1.
  EXPECT_EQ(last.colour, MakeColour(254, 127, 127));
  // Angle 90 of ring 240: a box of zero width above the centre.
  EXPECT_EQ(arcs[240 * 37 + 9].left, 320);
  EXPECT_EQ(arcs[240 * 37 + 9].top, 0);
}

TEST(Shapes, EllipsesTurnAndBrightenSlowly) {
  const auto arcs = Draw("Ellissi", 640, 480, {0.4, 0.4, 0.4});
  ASSERT_EQ(arcs.size(), 2400u);
  struct Case {
    int ring;
    int component;
  };
  // Levels 0.15 * ring; halves go to the even neighbour.
  for (const Case c : {Case{0, 0}, {3, 0}, {4, 1}, {10, 2}, {30, 4}, {50, 8}, {239, 36}}) {
    EXPECT_EQ(arcs[c.ring * 10].colour, MakeColour(c.component, c.component, c.component))
        << c.ring;
  }
  // Ring 1: start angle 45, first corner right of and above the centre.
  EXPECT_EQ(BoxOf(arcs[10]), (Box{321, 239, 319, 241}));
  // First and last ellipse of a ring coincide.
  EXPECT_EQ(BoxOf(arcs[100]), BoxOf(arcs[109]));
}

TEST(Shapes, OvalsFromVerticalToHorizontal) {
  const auto arcs = Draw("Ovali", 640, 480, {0.4, 0.4, 0.7});
  ASSERT_EQ(arcs.size(), 241u);
  EXPECT_EQ(BoxOf(arcs.front()), (Box{320, 0, 320, 480}));
  EXPECT_EQ(arcs.front().colour, 0u);
  EXPECT_EQ(BoxOf(arcs.back()), (Box{80, 240, 560, 240}));
  EXPECT_EQ(arcs.back().colour, MakeColour(127, 127, 254));
  // Halves to even: 320.5 -> 320, 319.5 -> 320, 321.5 -> 322.
  const auto odd = Draw("Ovali", 641, 481, {0.4, 0.4, 0.4});
  EXPECT_EQ(BoxOf(odd[0]), (Box{320, 0, 320, 481}));
  EXPECT_EQ(BoxOf(odd[1]), (Box{320, 1, 322, 480}));
  EXPECT_EQ(odd.back().bottom - odd.back().top, 1);
}

TEST(Shapes, SquaresShrinkAndDarken) {
  const auto lines = Draw("Quadrati", 640, 480, {0.7, 0.4, 0.4});
  ASSERT_EQ(lines.size(), 9600u);
  // Outer ring radius 240: components 48 or 96; innermost black.
  EXPECT_EQ(lines.front().colour, MakeColour(96, 48, 48));
  EXPECT_EQ(lines.back().colour, 0u);
  // First square: from (560, 240) to (320, 0).
  EXPECT_FLOAT_EQ(lines[0].v[0], 560);
  EXPECT_FLOAT_EQ(lines[0].v[1], 240);
  EXPECT_NEAR(lines[0].v[2], 320, 1e-4);
  EXPECT_FLOAT_EQ(lines[0].v[3], 0);
  // Angles 0 and 360 draw the same square.
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(lines[i].v[0], lines[36 + i].v[0], 1e-3);
    EXPECT_NEAR(lines[i].v[1], lines[36 + i].v[1], 1e-3);
  }
  // Last ring: corners one unit from the centre.
  EXPECT_NEAR(lines[9596].v[0], 321, 1e-4);
}

TEST(Shapes, TrianglesClimbFromBlackToWhite) {
  const auto lines = Draw("Triangoli", 640, 480, {0.7, 0.4, 0.4});
  ASSERT_EQ(lines.size(), 26640u);
  struct Case {
    int angle;
    Colour colour;
  };
  for (const Case c : {Case{0, 0},
                       {130, MakeColour(255, 130, 130)},
                       {200, MakeColour(255, 200, 200)},
                       {260, MakeColour(255, 255, 255)},
                       {360, MakeColour(255, 255, 255)}}) {
    EXPECT_EQ(lines[3 * 37 + 3 * (c.angle / 10)].colour, c.colour) << c.angle;
  }
  // Ring 0: 111 lines of zero length at the centre.
  for (int i = 0; i < 111; ++i) {
    EXPECT_FLOAT_EQ(lines[i].v[0], 320);
    EXPECT_FLOAT_EQ(lines[i].v[3], 240);
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
    const auto& calls = f.system.canvas.calls;
    ASSERT_EQ(calls.front().kind, DrawCall::kText);
    EXPECT_EQ(calls.front().text, kMakerAddress);
    EXPECT_FLOAT_EQ(calls.front().v[1], 456);  // 95 % of 480
    EXPECT_EQ(calls.front().colour, MakeColour(255, 255, 255));
    EXPECT_EQ(calls.front().font_size, 14);
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
    EXPECT_EQ(f.prog.ShapeChoice, style);
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
      EXPECT_EQ(f.prog.Counter, 500);
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
