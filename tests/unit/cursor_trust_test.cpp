#include "platform/cursor_trust.h"

#include <gtest/gtest.h>

namespace brenlow {
namespace {

// When a cursor reading stops standing in for a new one, on an injected
// clock: a pointer moving where no saver window sees it is still noticed
// within kLongestHoldWaitMs of the reading.
TEST(CursorTrust, AReadingStandsFourMillisecondsOrAQuietWaitsLength) {
  constexpr double kHold = kLongestHoldWaitMs / 1000.0;
  struct Case {
    const char* name;
    const char* events;  // r: read at 10 s, R: read at 10.002 s, q: quiet wait, m: move heard
    double at;
    bool fresh;
  };
  const Case cases[] = {
      {"never read", "", 10.0, false},
      {"a quiet wait before any reading", "q", 10.0, false},
      {"just read", "r", 10.0, true},
      {"3.5 ms on", "r", 10.0035, true},
      {"4 ms on", "r", 10.004, false},
      {"after a quiet wait, 49 ms on", "rq", 10.0 + kHold - 0.001, true},
      {"after a quiet wait, 50 ms on", "rq", 10.0 + kHold, false},
      {"a quiet wait later keeps the reading's time", "rqq", 10.0 + kHold + 0.0001, false},
      {"a move heard", "rqm", 10.0001, false},
      {"a new reading after a move", "rmR", 10.005, true},
  };
  for (const Case& c : cases) {
    CursorTrust trust;
    for (const char* e = c.events; *e; ++e) {
      if (*e == 'q') trust.QuietWait();
      if (*e == 'm') trust.Moved();
      if (*e == 'r' || *e == 'R') trust.Read(*e == 'r' ? 10.0 : 10.002);
    }
    EXPECT_EQ(trust.Fresh(c.at), c.fresh) << c.name;
  }
}

}  // namespace
}  // namespace brenlow
