// The saver draws on the primary monitor and covers every other one with a
// black window; when monitors come, go or change size the windows follow, so
// no part of any screen shows the desktop. The policy is here; a backend
// lists the monitors and places the windows (Displays).
#pragma once

#include <limits>
#include <memory>
#include <vector>

#include "platform/screen/pixel_box.h"

namespace brenlow {

// Where the monitors are on the virtual screen.
struct DisplayLayout {
  PixelBox primary{0, 0, 640, 480};
  std::vector<PixelBox> others;
  bool operator==(const DisplayLayout&) const = default;
};

class Displays {
 public:
  // A black window over one monitor; it goes when destroyed.
  class Cover {
   public:
    virtual ~Cover() = default;
    virtual void Place(const PixelBox& bounds) = 0;
  };

  virtual ~Displays() = default;
  // The monitors as they are now.
  virtual DisplayLayout Current() = 0;
  // Fits the saver window (and its canvas) to the primary monitor.
  virtual void PlaceSaverWindow(const PixelBox& bounds) = 0;
  virtual std::unique_ptr<Cover> OpenCover(const PixelBox& bounds) = 0;
  // New covers were shown above the saver window: it goes back on top,
  // where monitors overlap.
  virtual void RaiseSaverWindow() = 0;
};

class DisplayWatcher {
 public:
  // Not every system tells of a monitor change (SDL on X sees no mode
  // change, Wine no change of the X screen): the monitors are looked at
  // this often as well, in seconds, so a monitor that comes is covered well
  // within a second.
  static constexpr double kLookPeriod = 0.25;

  explicit DisplayWatcher(Displays& displays) : displays_(displays) {}

  // Fits the windows to the monitors as they are now.
  void Follow();
  // Follows when the monitors changed; looks at most every kLookPeriod
  // (now in seconds of a monotonic clock) unless told of a change.
  void Watch(double now, bool told = false);
  // The saver's windows were hidden for good (another program took the
  // foreground): from now on nothing is placed, made or shown.
  void Stop() { stopped_ = true; }

  const DisplayLayout& layout() const { return layout_; }

 private:
  void Fit(const DisplayLayout& layout);

  Displays& displays_;
  DisplayLayout layout_;
  std::vector<std::unique_ptr<Displays::Cover>> covers_;
  double last_look_ = std::numeric_limits<double>::lowest();
  bool stopped_ = false;
};

}  // namespace brenlow
