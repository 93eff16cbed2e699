// How long a cursor reading may stand in for a new one. Asking the system
// at every activity check costs more than the drawing (under Wine each ask
// is several server round trips and a question to the X server), so a
// reading stands for 4 ms while the saver draws: a move is still seen
// within a few milliseconds, and at 1 ms the readings cost a fifth of what
// the saver spends under Wine. It stands for up to kLongestHoldWaitMs after
// a wait that no pointer move woke (the pointer has not moved over the
// saver's windows), and not at all once a pointer move was heard. Times
// are seconds of a monotonic clock.
#pragma once

#include <algorithm>
#include <limits>

#include "platform/system.h"

namespace brenlow {

class CursorTrust {
 public:
  static constexpr double kWhileDrawing = 0.004;

  // Whether the last reading still stands at now.
  bool Fresh(double now) const { return now < valid_until_; }
  // A reading was taken at now.
  void Read(double now) {
    read_at_ = now;
    valid_until_ = now + kWhileDrawing;
  }
  // A wait ended with no pointer move heard.
  void QuietWait() {
    valid_until_ = std::max(valid_until_, read_at_ + kLongestHoldWaitMs / 1000.0);
  }
  // The pointer moved over the saver's windows.
  void Moved() { valid_until_ = std::numeric_limits<double>::lowest(); }

 private:
  double read_at_ = std::numeric_limits<double>::lowest();
  double valid_until_ = std::numeric_limits<double>::lowest();
};

}  // namespace brenlow
