#include "platform/screen/display_watcher.h"

namespace brenlow {

void DisplayWatcher::Follow() {
  if (!stopped_) Fit(displays_.Current());
}

void DisplayWatcher::Watch(double now, bool told) {
  if (stopped_ || (!told && now - last_look_ < kLookPeriod)) return;
  last_look_ = now;
  DisplayLayout layout = displays_.Current();
  if (!(layout == layout_)) Fit(layout);
}

void DisplayWatcher::Fit(const DisplayLayout& layout) {
  layout_ = layout;
  // Covers already made move to the monitors there are now; monitors that
  // came get new ones, those of monitors that went are destroyed.
  if (covers_.size() > layout.others.size()) covers_.resize(layout.others.size());
  bool made = false;
  for (size_t i = 0; i < layout.others.size(); ++i) {
    if (i < covers_.size()) {
      covers_[i]->Place(layout.others[i]);
    } else {
      covers_.push_back(displays_.OpenCover(layout.others[i]));
      made = true;
    }
  }
  displays_.PlaceSaverWindow(layout.primary);
  if (made) displays_.RaiseSaverWindow();
}

}  // namespace brenlow
