// Every way out of a running saver, for every family and every hold: the
// cursor ends up visible, the system's screen saver is on again, and
// nothing is drawn after the end.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "platform/recording/recording_system.h"
#include "saver/app.h"
#include "saver/frm_prog.h"
#include "saver_test_support.h"

namespace brenlow {
namespace {

const char* const kFamilies[] = {"", "Ovali", "Quadrati", "Triangoli", "Cerchi", "Ellissi"};

enum class Phase { kFill, kShape, kClosingHold, kFade, kFadeHold };

// Follows the cycle: which phase the saver is in when it reads the cursor.
struct PhaseTracker : CycleObserver {
  Phase phase = Phase::kFill;
  int shape = 0;
  int fade = 0;
  void OnCycle() override { phase = Phase::kFill; }
  void OnShape(int s) override {
    shape = s;
    phase = Phase::kShape;
  }
  void OnFade(int style) override {
    fade = style;
    phase = Phase::kFade;
  }
  void OnCheck() override {
    if (phase == Phase::kFade) phase = Phase::kFadeHold;
  }
};

struct Ending {
  int exit_code = -1;
  size_t draws_at_trigger = 0;
  size_t draws_at_end = 0;
  bool triggered = false;
  bool text_before_end = false;
};

// shows: the ShowCursor calls expected, "01" once the cursor was hidden.
void ExpectRestored(const CursorRecordingSystem& system, const std::string& what,
                    const std::string& shows = "01") {
  EXPECT_EQ(system.shows, shows) << what;
  EXPECT_TRUE(system.screen_saver_active) << what;
}

// Starts the saver ("/S") with the given family and moves the mouse one
// pixel sideways the first time `when` holds at a cursor read.
Ending RunUntilMoved(CursorRecordingSystem& system, const std::string& family,
                     const std::function<bool(const PhaseTracker&)>& when) {
  system.args = "/S";
  system.canvas.Resize(48, 36);
  system.keep_log = false;
  system.memory_files.content["C:\\WINDOWS\\brlscsav.ini"] = "\r\n" + family + "\r\n";
  Dichiarazioni globals;
  frmProg prog(system, globals);
  PhaseTracker tracker;
  Ending ending;
  size_t draws = 0;
  bool text = false;
  system.canvas.sink = [&](const DrawCall& call) {
    ++draws;
    if (call.kind == DrawCall::kText) {
      text = true;
      tracker.phase = Phase::kClosingHold;  // the logo makes no checks
    }
  };
  prog.set_observer(&tracker);
  bool moved = false;
  system.cursor = [&](int n) {
    // A case whose moment never comes must fail, not spin for ever.
    if (n > 200000) throw ProcessEnded{-2};
    if (n > 0 && !moved && when(tracker)) {
      moved = true;
      ending.triggered = true;
      ending.draws_at_trigger = draws;
    }
    return CursorPoint{moved ? 101 : 100, 50};
  };
  try {
    prog.Form_Load();
    prog.ShowAndActivate();
  } catch (const ProcessEnded& end) {
    ending.exit_code = end.exit_code;
  }
  ending.draws_at_end = draws;
  ending.text_before_end = text;
  return ending;
}

TEST(ReliabilityExit, SidewaysMouseInEveryPhaseOfEveryFamily) {
  struct Case {
    Phase phase;
    const char* name;
  };
  for (int family = 1; family <= 5; ++family) {
    for (const Case c : {Case{Phase::kShape, "drawing"}, Case{Phase::kClosingHold, "closing hold"},
                         Case{Phase::kFadeHold, "fade hold"}}) {
      // Ovals make no checks while they draw; that case is below.
      if (family == 1 && c.phase == Phase::kShape) continue;
      const std::string what = std::string(kFamilies[family]) + ", " + c.name;
      CursorRecordingSystem system;
      const Ending end = RunUntilMoved(system, kFamilies[family],
                                       [&](const PhaseTracker& t) { return t.phase == c.phase; });
      ASSERT_TRUE(end.triggered) << what;
      EXPECT_EQ(end.exit_code, 0) << what;
      // The check that saw the move ended the process: nothing more drawn.
      EXPECT_EQ(end.draws_at_end, end.draws_at_trigger) << what;
      ExpectRestored(system, what);
    }
  }
}

TEST(ReliabilityExit, SidewaysMouseInTheHoldOfEveryFadeStyle) {
  for (int style = 1; style <= 3; ++style) {
    CursorRecordingSystem system;
    const Ending end = RunUntilMoved(system, "", [&](const PhaseTracker& t) {
      return t.phase == Phase::kFadeHold && t.fade == style;
    });
    ASSERT_TRUE(end.triggered) << "fade " << style;
    EXPECT_EQ(end.exit_code, 0) << "fade " << style;
    EXPECT_EQ(end.draws_at_end, end.draws_at_trigger) << "fade " << style;
    ExpectRestored(system, "fade " + std::to_string(style));
  }
}

// A move while nothing checks (the canvas fill, the ovals, the logo) is
// seen at the next check, and the saver still ends cleanly.
TEST(ReliabilityExit, MoveWhereNoCheckRunsIsSeenAtTheNextCheck) {
  for (const char* family : {"Ovali", "Cerchi", "Quadrati"}) {
    CursorRecordingSystem system;
    // The mouse moved during the fill (or the ovals); the first check to
    // read the cursor sees it.
    bool first = true;
    const Ending end = RunUntilMoved(system, family, [&](const PhaseTracker&) {
      const bool now = first;
      first = false;
      return now;
    });
    ASSERT_TRUE(end.triggered) << family;
    EXPECT_EQ(end.exit_code, 0) << family;
    // Ovals: the first check is in the closing hold, after the logo.
    EXPECT_EQ(end.text_before_end, std::string(family) == "Ovali") << family;
    ExpectRestored(system, family);
  }
}

// A failure inside the cycle ends the program with code 1, and still gives
// the cursor and the system's screen saver back.
TEST(ReliabilityExit, InjectedErrorsInEachStepRestoreCursorAndScreenSaver) {
  struct Case {
    const char* name;
    const char* family;
    // Throws from the canvas when this returns true for a drawing call.
    std::function<bool(const DrawCall&)> fail_draw;
    int fail_cursor_call;  // -1: never
    bool fail_picture;
  };
  auto shape_call = [](const DrawCall& c) { return c.rop == kRopMaskPenNot; };
  auto fade_call = [](const DrawCall& c) { return c.rop == kRopBlack; };
  const Case cases[] = {
      {"canvas fill", "Cerchi", [](const DrawCall& c) { return c.kind == DrawCall::kRect; }, -1,
       false},
      {"ovals", "Ovali", shape_call, -1, false},
      {"squares", "Quadrati", shape_call, -1, false},
      {"triangles", "Triangoli", shape_call, -1, false},
      {"circles", "Cerchi", shape_call, -1, false},
      {"ellipses", "Ellissi", shape_call, -1, false},
      {"logo", "Cerchi", [](const DrawCall& c) { return c.kind == DrawCall::kText; }, -1, false},
      {"fade", "Ovali", fade_call, -1, false},
      {"activity check", "Ellissi", nullptr, 5, false},
      // Not a lack of memory, which only costs the logo (ReliabilityFaults).
      {"picture loading", "Cerchi", nullptr, -1, true},
  };
  for (const Case& c : cases) {
    CursorRecordingSystem system;
    system.args = "/S";
    system.canvas.Resize(48, 36);
    system.keep_log = false;
    if (c.fail_picture) {
      system.load_picture = [](const std::string&) -> std::optional<Picture> {
        throw std::runtime_error("injected");
      };
    }
    system.memory_files.content["C:\\WINDOWS\\brlscsav.ini"] =
        std::string("C:\\logo.bmp\r\n") + c.family + "\r\n";
    system.pictures["C:\\logo.bmp"] = Picture{4, 4, std::vector<Colour>(16, 0xff)};
    bool failed = false;
    system.canvas.sink = [&](const DrawCall& call) {
      if (!failed && c.fail_draw && c.fail_draw(call)) {
        failed = true;
        throw std::runtime_error("injected");
      }
    };
    system.cursor = [&](int n) {
      if (n == c.fail_cursor_call) {
        failed = true;
        throw std::runtime_error("injected");
      }
      return CursorPoint{10, 10};
    };
    if (c.fail_picture) failed = true;
    int code = -1;
    try {
      RunBrenlow(system);
    } catch (const ProcessEnded& end) {
      code = end.exit_code;
    }
    EXPECT_TRUE(failed) << c.name;
    EXPECT_EQ(code, 1) << c.name;
    // A picture that fails to load ends the saver before the cursor is hidden.
    ExpectRestored(system, c.name, c.fail_picture ? "1" : "01");
  }
}

}  // namespace
}  // namespace brenlow
