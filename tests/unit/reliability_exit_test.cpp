// Every way out of a running saver, in every phase of every family and
// every fade style: the cursor ends up visible, the system's screen saver
// is on again, the exit code tells how it ended, and nothing is drawn after
// the step that ended it; a failure says why on the log.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "platform/recording/recording_system.h"
#include "saver/app.h"
#include "saver_test_support.h"

namespace brenlow {
namespace {

enum Phase { kLoad, kFill, kShape, kLogo, kClosingHold, kFade, kFadeHold };
const char* const kPhases[] = {"picture load", "fill", "shape",    "logo",
                               "closing hold", "fade", "fade hold"};
enum Way { kSideways, kLeftOfMain, kKey, kCloseRequest, kError, kNoMemory, kOverflow };
const char* const kWays[] = {"sideways mouse",
                             "mouse left of the main display",
                             "key",
                             "close request",
                             "error",
                             "no memory",
                             "overflow"};

struct Ending {
  int exit_code = -1;
  std::string steps;    // from the way out on: p picture load, d drawing, c cursor read, e events
  Phase phase = kLoad;  // where the saver was when it ended
  RecordingSystem system;
};

// Runs "/S" with the family and a logo; the first step taken in `at` (with
// fade style `style` in the fade phases) makes the way out happen. The
// phases are told from the calls themselves, so the real RunBrenlow runs.
void RunUntil(Ending& end, Way way, Phase at, int style, const std::string& family) {
  RecordingSystem& system = end.system;
  system.args = "/S";
  // Far too wide for the 16-bit canvas width: the fill fails on its own.
  system.canvas.Resize(way == kOverflow ? 70000 : 48, 36);
  system.keep_log = false;
  system.memory_files.content["C:\\WINDOWS\\brlscsav.ini"] = "C:\\logo.bmp\r\n" + family + "\r\n";
  int fade_style = 0;
  bool moved = false, input = false;
  auto step = [&](char kind) {
    if (end.steps.empty() && (end.phase != at || (at >= kFade && fade_style != style))) return;
    end.steps += kind;
    if (end.steps.size() > 1) return;
    if (way == kError) throw std::runtime_error("injected");
    if (way == kNoMemory) throw std::bad_alloc();
    moved = way == kSideways || way == kLeftOfMain;
    input = way == kKey || way == kCloseRequest;
  };
  system.load_picture = [&](const std::string&) {
    step('p');
    return std::optional<Picture>(Picture{4, 4, std::vector<Colour>(16, 0xff)});
  };
  system.canvas.sink = [&](const DrawCall& c) {
    if (c.kind == DrawCall::kRepaint) {
      end.phase = kFill;
    } else if (c.kind == DrawCall::kText || c.kind == DrawCall::kCopy) {
      end.phase = kLogo;
    } else if (c.rop == kRopBlack && end.phase != kFade) {
      end.phase = kFade;
      fade_style = c.kind == DrawCall::kRect ? 3 : c.width == 7 ? 2 : 1;
    } else if (c.rop == kRopMaskPenNot) {
      end.phase = kShape;
    }
    step('d');
  };
  const int x = way == kLeftOfMain ? -5 : 100;
  system.cursor = [&](int n) {
    // A moment that never comes must fail, not spin for ever.
    if (n > 200000) throw ProcessEnded{-2};
    if (end.phase == kLogo) end.phase = kClosingHold;
    if (end.phase == kFade) end.phase = kFadeHold;
    step('c');
    return CursorPoint{moved ? x + (x < 0 ? -1 : 1) : x, 10};
  };
  system.events = [&](int) {
    step('e');
    return WindowEvents{input && way == kKey, input && way == kCloseRequest};
  };
  end.exit_code = RunToEnd(system);
}

TEST(ReliabilityExit, EveryWayOutInEveryPhaseOfEveryFamily) {
  for (const std::string family : {"Ovali", "Quadrati", "Triangoli", "Cerchi", "Ellissi"}) {
    for (int way = kSideways; way <= kOverflow; ++way) {
      for (int phase = kLoad; phase <= kFadeHold; ++phase) {
        // A move before the start position is read is no move; no memory
        // for the picture costs only the logo (BadPictures).
        if (phase == kLoad && (way == kSideways || way == kLeftOfMain || way == kNoMemory))
          continue;
        if (way == kOverflow && phase != kFill) continue;
        for (int style = 1; style <= (phase >= kFade ? 3 : 1); ++style) {
          const std::string what = family + ", " + kWays[way] + " in the " + kPhases[phase] +
                                   (phase >= kFade ? " " + std::to_string(style) : "");
          Ending end;
          testing::internal::CaptureStderr();
          RunUntil(end, static_cast<Way>(way), static_cast<Phase>(phase), style, family);
          const std::string log = testing::internal::GetCapturedStderr();
          ASSERT_FALSE(end.steps.empty()) << what << ": the moment never came";
          const bool failure = way >= kError;
          EXPECT_EQ(end.exit_code, failure ? 1 : 0) << what;
          if (failure) {
            // The failing step was the last, and the log says why.
            EXPECT_EQ(end.steps.size(), 1u) << what << ": " << end.steps;
            EXPECT_EQ(log.rfind("brenlow: Errore di run-time: ", 0), 0u) << what << ": " << log;
          } else {
            // The first check (or turn of the queue) after it ended the
            // saver, before anything more was drawn; keys and close requests
            // wait for the end of the cycle.
            const char ends_on = way <= kLeftOfMain ? 'c' : 'e';
            EXPECT_EQ(end.steps.find(ends_on), end.steps.size() - 1) << what << ": " << end.steps;
            if (ends_on == 'e') {
              EXPECT_EQ(end.phase, kFadeHold) << what;
            }
          }
          EXPECT_GE(end.system.show_cursor_count, 0) << what << ": cursor left hidden";
          EXPECT_TRUE(end.system.screen_saver_active) << what;
        }
      }
    }
  }
}

}  // namespace
}  // namespace brenlow
