#include "platform/cursor_trust.h"

#include <gtest/gtest.h>

#include <functional>

namespace brenlow {
namespace {

// When a cursor reading stops standing in for a new one, on an injected
// clock: a pointer moving where no saver window sees it is still noticed
// within kLongestHoldWaitMs of the reading.
TEST(CursorTrust, AReadingStandsFourMillisecondsOrAQuietWaitsLength) {
  constexpr double kHold = kLongestHoldWaitMs / 1000.0;
  struct Case {
    const char* name;
    std::function<void(CursorTrust&)> events;
    double at;
    bool fresh;
  };
  const auto read_at_10 = [](CursorTrust& t) { t.Read(10.0); };
  const auto quiet = [](CursorTrust& t) {
    t.Read(10.0);
    t.QuietWait();
  };
  const Case cases[] = {
      {"never read", [](CursorTrust&) {}, 10.0, false},
      {"a quiet wait before any reading", [](CursorTrust& t) { t.QuietWait(); }, 10.0, false},
      {"just read", read_at_10, 10.0, true},
      {"3.5 ms on", read_at_10, 10.0035, true},
      {"4 ms on", read_at_10, 10.004, false},
      {"after a quiet wait, 49 ms on", quiet, 10.0 + kHold - 0.001, true},
      {"after a quiet wait, 50 ms on", quiet, 10.0 + kHold, false},
      {"a quiet wait later keeps the reading's time",
       [](CursorTrust& t) {
         t.Read(10.0);
         t.QuietWait();
         t.QuietWait();
       },
       10.0 + kHold + 0.0001, false},
      {"a move heard",
       [](CursorTrust& t) {
         t.Read(10.0);
         t.QuietWait();
         t.Moved();
       },
       10.0001, false},
      {"a new reading after a move",
       [](CursorTrust& t) {
         t.Read(10.0);
         t.Moved();
         t.Read(10.002);
       },
       10.005, true},
  };
  for (const Case& c : cases) {
    CursorTrust trust;
    c.events(trust);
    EXPECT_EQ(trust.Fresh(c.at), c.fresh) << c.name;
  }
}

}  // namespace
}  // namespace brenlow
