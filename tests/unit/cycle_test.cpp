// The saver's cycle: its random choices, its end, its holds, and a long run
// on the software canvas with the heap measured before and after.
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "platform/soft/soft_canvas.h"
#include "saver/app.h"
#include "saver/shape_families.h"
#include "saver_test_support.h"

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime (GCC ships no header for it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace brenlow {
namespace {

TEST(Cycle, LogoBandsFollowThePictureHeight) {
  const float cases[][2] = {{0, 0},     {0.5f, 0.5f},  {1, 1},     {50, 50},
                            {150, 150}, {199.5f, 199}, {200, 200}, {600, 200}};
  for (const auto& c : cases) EXPECT_EQ(LogoBandsFor(c[0]), c[1]) << c[0];
}

// Over many cycles every family and every fade style comes up about equally.
TEST(Cycle, RandomShapesAndFadeStylesAreEvenlySpread) {
  for (const std::string setting : {"", "Casuali", "ovali", "Cerchi "}) {
    HeadlessSaver f(8, 6, setting);
    CycleCounts observer;
    f.prog.set_observer(&observer);
    f.system.keep_log = false;
    f.system.canvas.sink = [](const DrawCall&) {};
    const int cycles = 1500;
    for (int i = 0; i < cycles; ++i) f.prog.DrawCycle();
    ASSERT_EQ(observer.shapes.size(), 5u) << setting;
    for (const auto& [shape, count] : observer.shapes) {
      EXPECT_NEAR(count, cycles / 5, cycles / 10) << setting << " shape " << shape;
    }
    ASSERT_EQ(observer.fades.size(), 3u);
    for (const auto& [style, count] : observer.fades) {
      EXPECT_NEAR(count, cycles / 3, cycles / 10) << "fade " << style;
    }
  }
}

// Only a sideways move ends the saver. A cursor read that fails (Windows
// refuses it while a UAC prompt or the lock screen has the input) leaves the
// member as it was: the saver sees no movement and runs on, until a read
// succeeds again.
TEST(Cycle, OnlyASidewaysMoveAGoodReadSeesEnds) {
  struct Case {
    const char* name;
    std::set<int> failures;
    std::function<CursorPoint(int)> cursor;
    int cycles;            // DoEvents calls before the end
    int last_cursor_call;  // the read that ended the saver; -1: a key did
  };
  std::set<int> blackout;
  for (int call = 3; call < 60; ++call) blackout.insert(call);
  const auto still = [](int) { return CursorPoint{100, 100}; };
  const auto up_and_down = [](int n) { return CursorPoint{100, n}; };
  // Sideways from the read numbered `at` on.
  const auto moved_from = [](int at) {
    return [at](int n) { return CursorPoint{n < at ? 100 : 130, 100}; };
  };
  const Case cases[] = {
      {"the pointer moves up and down", {}, up_and_down, 2, -1},
      {"reads fail for a while, the pointer stays", blackout, still, 2, -1},
      {"reads fail, then the pointer is found moved", blackout, moved_from(60), 0, 60},
      // Another desktop had the input as the saver started: the first read
      // that succeeds is the start position, and only a move after it ends.
      {"the reads at activation and the first check fail", {0, 1}, still, 2, -1},
      {"the read at activation fails, the pointer moves later", {0}, moved_from(40), 0, 40},
  };
  for (const Case& c : cases) {
    RecordingSystem system;
    system.args = "/S";
    system.canvas.Resize(16, 12);
    system.keep_log = false;
    system.memory_files.content["C:\\WINDOWS\\brlscsav.ini"] = "\r\nCerchi\r\n";
    system.cursor = c.cursor;
    system.cursor_failures = c.failures;
    // A key at the second turn of the queue ends a saver that ran on.
    system.events = [](int n) { return WindowEvents{n >= 1}; };
    EXPECT_EQ(RunToEnd(system), 0) << c.name;
    EXPECT_EQ(system.do_events_calls, c.cycles) << c.name;
    if (c.last_cursor_call >= 0) {
      EXPECT_EQ(system.cursor_calls, c.last_cursor_call + 1) << c.name;
    }
  }
}

// Holds end on the whole second after their rounded start (halves to even),
// by the day clock; a monotonic clock bounds every hold by its longest
// length (3.5 s, 1.5 s), so no step of the wall clock freezes the screen or
// cuts a hold short by more than the step itself.
TEST(Cycle, HoldsLastWhatTheySayWhateverTheWallClockDoes) {
  struct Case {
    const char* name;
    double start;
    std::map<int, double> jumps;  // Timer() call -> seconds the wall clock moves
    bool closing;                 // ClosingPause (3 s) or the fade's hold (1 s)
    double lasts;                 // by the monotonic clock, to the clock's next step
  };
  const Case cases[] = {
      {"the fade's, rounded down", 100.4, {}, false, 0.6},
      {"the fade's, a half rounded down", 100.5, {}, false, 0.5},
      {"the fade's, rounded up", 100.6, {}, false, 1.4},
      {"steady", 36000.2, {}, true, 2.8},
      {"back an hour (daylight saving ends)", 36000.2, {{50, -3600}}, true, 3.5},
      {"back an hour, the fade's hold", 36000.2, {{20, -3600}}, false, 1.5},
      {"forward an hour", 36000.2, {{500, 3600}}, true, 0.5},
      {"back five seconds", 36000.2, {{100, -5}}, true, 3.5},
      {"midnight", 86399.7, {}, true, 3.3},
      {"midnight, then back a second", 86399.7, {{100, -1}}, true, 3.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessSaver f;
    f.system.clock = c.start;
    f.system.clock_step = 0.001;
    f.system.clock_jumps = c.jumps;
    const double begun = f.system.monotonic;
    if (c.closing) {
      f.prog.ClosingPause();
    } else {
      f.prog.Evanescenza();
    }
    const double lasted = f.system.monotonic - begun;
    EXPECT_GE(lasted, c.lasts - 1e-9);
    EXPECT_LE(lasted, c.lasts + 0.0021);
    // Each pass checked the mouse and then waited instead of spinning: at
    // most kLongestHoldWaitMs, and no longer than the pause has left.
    const std::vector<int>& waits = f.system.hold_waits;
    EXPECT_GT(waits.size(), 100u);
    EXPECT_TRUE(std::all_of(waits.begin(), waits.end(),
                            [](int w) { return w >= 1 && w <= kLongestHoldWaitMs; }));
    EXPECT_EQ(waits.front(), kLongestHoldWaitMs);
    // A jump forward ends a hold at once, whatever its last wait.
    if (c.jumps.empty() || c.jumps.begin()->second < 0) {
      EXPECT_LE(waits.back(), 2);
    }
    if (c.closing) {
      EXPECT_EQ(waits.size(), static_cast<size_t>(f.system.cursor_calls));
    }
  }
}

TEST(Cycle, EmptyCanvasDrawsNoShapesAndDividesByNothing) {
  for (const std::string shape : {"Ovali", "Quadrati", "Triangoli", "Cerchi", "Ellissi"}) {
    HeadlessSaver f(640, 0, shape, "p.bmp", [](const std::string&) { return Picture{0, 0, {}}; });
    EXPECT_NO_THROW(f.prog.DrawCycle()) << shape;
    EXPECT_TRUE(f.Calls(DrawCall::kArc).empty()) << shape;
  }
}

// Bytes the program holds on the heap right now.
size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

TEST(ReliabilityLongRun, TwoHundredCyclesOnTheSoftCanvasKeepMemoryFlat) {
  Picture logo{50, 40, std::vector<Colour>(50 * 40)};
  for (size_t i = 0; i < logo.pixels.size(); ++i)
    logo.pixels[i] = static_cast<Colour>(i * 2654435761u);
  HeadlessSaver saver(160, 120, "", "C:\\logo.bmp", [&](const std::string&) { return logo; });
  SoftCanvas soft(160, 120);
  saver.system.canvas.forward = &soft;
  saver.system.canvas.sink = [](const DrawCall&) {};
  saver.system.keep_log = false;
  saver.system.clock_step = 0.05;
  frmProg& prog = saver.prog;
  CycleCounts count;
  prog.set_observer(&count);

  auto cycle = [&](int i) {
    saver.globals.ShapeSetting = kShapeFamilies[i % 6].setting;
    prog.DrawCycle();
  };
  // One cycle of each family first: fonts, glyph caches and the like are
  // made once and then kept.
  for (int i = 0; i < 6; ++i) cycle(i);
  const size_t heap_before = HeapInUse();
  for (int i = 0; i < 200; ++i) cycle(i);
  const size_t heap_after = HeapInUse();
  EXPECT_FALSE(prog.closed());
  EXPECT_EQ(count.shapes.size(), 5u);
  EXPECT_EQ(count.fades.size(), 3u);
  // Nothing held per cycle: a leak of even one pen-sized object per cycle
  // would add up to more than this over 200 cycles.
  EXPECT_LT(static_cast<long long>(heap_after) - static_cast<long long>(heap_before), 8 * 1024)
      << heap_before << " -> " << heap_after << " bytes";
}

}  // namespace
}  // namespace brenlow
