#include "platform/cursor_trust.h"

#include <gtest/gtest.h>

#include <vector>

namespace brenlow {
namespace {

// When a cursor reading stops standing in for a new one, on an injected
// clock: a pointer moving where no saver window sees it is still noticed
// within kLongestHoldWaitMs of the reading.
TEST(CursorTrust, AReadingStandsFourMillisecondsOrAQuietWaitsLength) {
  constexpr double kHold = kLongestHoldWaitMs / 1000.0;
  enum Event { kRead, kReadLater, kQuietWait, kMoveHeard };  // reads at 10 s and 10.002 s
  struct Case {
    const char* name;
    std::vector<Event> events;
    double at;
    bool fresh;
  };
  const Case cases[] = {
      {"never read", {}, 10.0, false},
      {"a quiet wait before any reading", {kQuietWait}, 10.0, false},
      {"just read", {kRead}, 10.0, true},
      {"3.5 ms on", {kRead}, 10.0035, true},
      {"4 ms on", {kRead}, 10.004, false},
      {"after a quiet wait, 49 ms on", {kRead, kQuietWait}, 10.0 + kHold - 0.001, true},
      {"after a quiet wait, 50 ms on", {kRead, kQuietWait}, 10.0 + kHold, false},
      {"a quiet wait later keeps the reading's time",
       {kRead, kQuietWait, kQuietWait},
       10.0 + kHold + 0.0001,
       false},
      {"a move heard", {kRead, kQuietWait, kMoveHeard}, 10.0001, false},
      {"a new reading after a move", {kRead, kMoveHeard, kReadLater}, 10.005, true},
  };
  for (const Case& c : cases) {
    CursorTrust trust;
    for (const Event e : c.events) {
      if (e == kQuietWait) trust.QuietWait();
      if (e == kMoveHeard) trust.Moved();
      if (e == kRead || e == kReadLater) trust.Read(e == kRead ? 10.0 : 10.002);
    }
    EXPECT_EQ(trust.Fresh(c.at), c.fresh) << c.name;
  }
}

}  // namespace
}  // namespace brenlow
