// The presented canvas every saver window draws through: frame pacing,
// the box a frame shows, the resize, and the frames it leaves out.
#include "platform/screen/presented_canvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/soft/soft_canvas.h"

namespace brenlow {
namespace {

using NewSize = PresentedCanvas::NewSize;
constexpr Colour kRed = MakeColour(255, 0, 0);

// A software raster whose frames are written down with the clock's time.
struct FakeScreen : Framebuffer {
  Canvas& raster() override { return soft; }
  void Show(const PixelBox& box) override { frames.push_back({box, now}); }
  void Resize(int width, int height) override { soft.Resize(width, height); }

  PresentedCanvas Open(NewSize new_size = NewSize::kAtNextFill, bool screen_black = true) {
    return PresentedCanvas(
        *this,
        [this] {
          ++clock_looks;
          return now;
        },
        new_size, screen_black);
  }

  struct Frame {
    PixelBox box;
    double now;
  };
  SoftCanvas soft{64, 48};
  double now = 100.0;
  int clock_looks = 0;
  std::vector<Frame> frames;
};

TEST(PresentedCanvas, FramesFollowEveryStepOfACoarseClockAndNeverComeTooOften) {
  // 15.625 ms: the Windows tick. A period it could double would give a
  // frame at every other tick.
  for (const auto& [clock_step, longest_gap] :
       {std::pair{0.015625, 0.015625}, {0.001, kFramePeriod + 0.001}, {0.005, 0.015}}) {
    SCOPED_TRACE(clock_step);
    FakeScreen screen;
    PresentedCanvas canvas = screen.Open();
    for (int i = 0; i < 300; ++i) {
      canvas.Line(static_cast<float>(i % 60), 1, 2, 40);
      screen.now += clock_step;
      canvas.PresentIfDue(screen.now);
    }
    ASSERT_GT(screen.frames.size(), 10u);
    for (size_t i = 1; i < screen.frames.size(); ++i) {
      const double gap = screen.frames[i].now - screen.frames[i - 1].now;
      EXPECT_GE(gap, kFramePeriod - 1e-9);
      EXPECT_LE(gap, longest_gap + 1e-9);
    }
  }
}

TEST(PresentedCanvas, DrawingAsksTheClockEverySixtyFourthCallOnly) {
  FakeScreen screen;
  PresentedCanvas canvas = screen.Open();
  const int looks = screen.clock_looks;
  for (int i = 0; i < 640; ++i) canvas.Arc(1, 1, 9, 9);
  EXPECT_EQ(screen.clock_looks - looks, 10);
  // The first look shows the first drawing at once, the others wait for
  // the next frame.
  EXPECT_EQ(screen.frames.size(), 1u);
  screen.now += 1.5 * kFramePeriod;
  for (int i = 0; i < 64; ++i) canvas.Arc(1, 1, 9, 9);
  EXPECT_EQ(screen.frames.size(), 2u);
}

// A frame shows every pixel the calls changed, and not much more: the box
// grows by the pen's reach, whatever the order of the corners.
TEST(PresentedCanvas, AFrameShowsWhatTheCallChangedAndLittleMore) {
  struct Case {
    const char* name;
    int pen_width;
    std::function<void(Canvas&)> draw;
  };
  Picture picture{6, 5, std::vector<Colour>(30, kRed)};
  const Case cases[] = {
      {"thin line", 1, [](Canvas& c) { c.Line(40.4f, 30.6f, 10.5f, 12.5f); }},
      {"wide line", 15, [](Canvas& c) { c.Line(20, 20, 30, 24); }},
      {"wide line, corners swapped", 9, [](Canvas& c) { c.Line(30.7f, 24.2f, 20.2f, 14.9f); }},
      {"arc", 1, [](Canvas& c) { c.Arc(50, 40, 20, 10); }},
      {"filled rectangle", 3, [](Canvas& c) { c.Rectangle(12, 30, 5, 8); }},
      {"picture", 1, [&](Canvas& c) { c.CopyPicture(picture, 20.5f, 9.5f, 6, 5, 0, 0); }},
      {"two calls, one frame", 1,
       [](Canvas& c) {
         c.Line(5, 5, 10, 8);
         c.Line(36, 26, 30, 20);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeScreen screen;
    screen.soft.mutable_pixels().assign(64 * 48, MakeColour(9, 9, 9));
    PresentedCanvas canvas = screen.Open(NewSize::kAtNextFill, false);
    canvas.SetPenColour(kRed);
    canvas.SetPenWidth(c.pen_width);
    const soft::Pixels before = screen.soft.pixels();
    c.draw(canvas);
    canvas.Present();
    ASSERT_EQ(screen.frames.size(), 1u);
    const PixelBox box = screen.frames[0].box;
    int changed = 0;
    for (int y = 0; y < 48; ++y) {
      for (int x = 0; x < 64; ++x) {
        if (screen.soft.pixel(x, y) == before[static_cast<size_t>(y) * 64 + x]) continue;
        ++changed;
        EXPECT_TRUE(x >= box.left && x < box.right && y >= box.top && y < box.bottom)
            << x << "," << y << " outside " << box.left << "," << box.top << "-" << box.right << ","
            << box.bottom;
      }
    }
    EXPECT_GT(changed, 0);
    EXPECT_LT(box.width() * box.height(), 64 * 48 * 3 / 4) << "not the whole screen";
  }
}

TEST(PresentedCanvas, ANewSizeKeepsThePixelsAndReachesTheDrawingAsItsRuleSays) {
  for (const NewSize new_size : {NewSize::kAtNextFill, NewSize::kAtOnce}) {
    for (const auto& [width, height] : {std::pair{80, 60}, {32, 20}}) {
      SCOPED_TRACE(std::to_string(width) + (new_size == NewSize::kAtOnce ? " at once" : ""));
      FakeScreen screen;
      PresentedCanvas canvas = screen.Open(new_size);
      canvas.SetPenColour(kRed);
      canvas.Rectangle(2, 2, 10, 10);
      canvas.Present();
      canvas.Resize(width, height);
      EXPECT_EQ(screen.soft.width(), width);
      EXPECT_EQ(screen.soft.pixel(2, 2), kRed) << "the picture stays";
      EXPECT_EQ(screen.soft.pixel(width - 1, height - 1), 0u);
      EXPECT_EQ(canvas.ScaleWidth(), static_cast<float>(new_size == NewSize::kAtOnce ? width : 64));
      // The window may have lost what it showed: all of it comes again.
      canvas.Present();
      ASSERT_EQ(screen.frames.size(), 2u);
      EXPECT_EQ(screen.frames[1].box, (PixelBox{0, 0, width, height}));
      canvas.Repaint();
      EXPECT_EQ(canvas.ScaleWidth(), static_cast<float>(width));
      EXPECT_EQ(canvas.ScaleHeight(), static_cast<float>(height));
    }
  }
}

// Frames that change nothing on the screen are left out: a hold's, and the
// fill of a screen that shows black already.
TEST(PresentedCanvas, NoFrameChangesNothing) {
  enum Step { kDrawAndShow, kFill, kShow, kHoldFrame, kDrawOffTheCanvas, kExposed };
  struct Case {
    const char* name;
    bool screen_black;
    std::vector<Step> steps;
    size_t frames;
  };
  const Case cases[] = {
      {"fill of a black window", true, {kFill}, 0},
      {"fill of a window showing anything", false, {kFill}, 1},
      {"fill after a drawing", true, {kDrawAndShow, kFill}, 2},
      {"second fill", true, {kDrawAndShow, kFill, kShow, kFill}, 2},
      {"hold after a drawing", true, {kDrawAndShow, kShow, kHoldFrame}, 1},
      {"drawing off the canvas", true, {kDrawOffTheCanvas}, 0},
      {"exposed", true, {kExposed}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeScreen screen;
    PresentedCanvas canvas = screen.Open(NewSize::kAtNextFill, c.screen_black);
    for (const Step step : c.steps) {
      if (step == kDrawAndShow) canvas.Arc(1, 1, 9, 9);
      if (step == kDrawAndShow || step == kShow) canvas.Present();
      if (step == kFill) canvas.Repaint();
      if (step == kHoldFrame) canvas.PresentIfDue(1e6);
      if (step == kDrawOffTheCanvas) canvas.Line(-50, -50, -20, -9);
      if (step == kExposed) canvas.Exposed();
    }
    canvas.Present();
    EXPECT_EQ(screen.frames.size(), c.frames);
  }
}

}  // namespace
}  // namespace brenlow
