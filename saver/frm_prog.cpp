#include "saver/frm_prog.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "saver/numbers.h"
#include "saver/settings.h"
#include "saver/shape_families.h"

namespace brenlow {

frmProg::frmProg(System& system, Dichiarazioni& globals) : system_(system), globals_(globals) {}

void frmProg::Form_Load() {
  globals_.RunMode = RunModeFromArgs(system_.CommandLineArgs());
  switch (globals_.RunMode) {
    case kRunConfigure:
      if (ShowOptions) ShowOptions();
      Close();
      break;
    case kRunNothing:
      Close();
      break;
    default:
      system_.SetScreenSaverActive(false);
      break;
  }
  ReadSettingsFile();
}

void frmProg::ReadSettingsFile() {
  const SettingsValues values = ReadSettings(system_.files(), SettingsPath(WindowsFolder(system_)));
  globals_.PictureSetting = values.picture;
  globals_.ShapeSetting = values.shape;
}

void frmProg::OpenWindow() { canvas_ = &system_.OpenSaverWindow(); }

void frmProg::ShowAndActivate() {
  OpenWindow();
  Form_Activate();
}

float LogoBandsFor(float height) {
  float bands = height;
  for (int i = 200; i >= 1; --i) {
    if (height / static_cast<float>(i) >= 1.0f) {
      bands = static_cast<float>(i);
      break;
    }
  }
  return bands;
}

void frmProg::LoadLogo() {
  logo_ = Picture{};
  if (!globals_.PictureSetting.empty()) {
    // A file that cannot be loaded leaves the holder empty: the saver runs
    // on without a picture rather than ending. So does a picture too large
    // for the memory left (a 32-bit process has 2 GB of addresses).
    try {
      if (std::optional<Picture> picture = system_.LoadPicture(globals_.PictureSetting)) {
        logo_ = std::move(*picture);
      }
    } catch (const std::bad_alloc&) {
      logo_ = Picture{};
    }
  }
  LogoBands = LogoBandsFor(static_cast<float>(logo_.height));
}

void frmProg::Form_Activate() {
  LoadLogo();
  start_cursor_read_ = system_.GetCursorPos(StartCursor);
  if (!HostOwnsInput) system_.ShowCursor(false);
  DisegnaForm();
}

void frmProg::DisegnaForm() {
  for (;;) DrawCycle();
}

void frmProg::DrawCycle() {
  canvas_->Repaint();
  if (observer_) observer_->OnCycle();
  Sfondo();
  if (observer_) observer_->OnFactors(RedFactor, GreenFactor, BlueFactor);
  random_.SeedFromClock(system_.Timer());
  ShapeChoice = static_cast<std::int16_t>(Int(random_.Next() * 5) + 1);
  for (const ShapeFamily& family : kShapeFamilies) {
    if (family.choice != 0 && globals_.ShapeSetting == family.setting) ShapeChoice = family.choice;
  }
  if (observer_) observer_->OnShape(ShapeChoice);
  for (const ShapeFamily& family : kShapeFamilies) {
    if (family.choice == ShapeChoice) (this->*family.effect)();
  }
  Evanescenza();
  const WindowEvents events = system_.DoEvents();
  if (events.key_down && !HostOwnsInput) Form_KeyDown(0, 0);
  if (events.close_requested) Close();
}

void frmProg::Form_KeyDown(std::int16_t, std::int16_t) { Close(); }

void frmProg::Close() {
  if (closed_) return;
  Form_QueryUnload(0, 0);
  closed_ = true;
}

void frmProg::Form_QueryUnload(std::int16_t, std::int16_t) {
  if (!HostOwnsInput) {
    system_.ShowCursor(true);
    system_.SetScreenSaverActive(true);
  }
  if (globals_.RunMode == kRunSaver) system_.EndProcess(0);
}

void frmProg::CheckActivity() {
  if (observer_) observer_->OnCheck();
  system_.Service();
  // A failed read leaves CurrentCursor as it was: no movement is seen.
  const bool read = system_.GetCursorPos(CurrentCursor);
  if (read && !start_cursor_read_) {
    StartCursor = CurrentCursor;
    start_cursor_read_ = true;
  }
  if (CurrentCursor.x != StartCursor.x && start_cursor_read_ && !HostOwnsInput) Close();
}

void frmProg::HoldFor(int seconds) {
  constexpr double kDay = 86400.0;
  PauseStart = ToInt32(system_.Timer());
  const double end = static_cast<double>(PauseStart) + seconds;
  // The start is rounded to the whole second, so a pause lasts at most half
  // a second more than it says.
  const double longest_end = system_.Monotonic() + seconds + 0.5;
  double last = -1.0, wraps = 0.0;
  for (;;) {
    const double now = system_.Timer();
    // The clock restarts at midnight; count on from the day before. Small
    // steps back (clock adjustments) are not a new day, and a step back
    // across midnight returns to the day before.
    if (now < last - kDay / 2) wraps += kDay;
    if (last >= 0 && now > last + kDay / 2) wraps -= kDay;
    last = now;
    if (now + wraps >= end) return;
    const double mono_left = longest_end - system_.Monotonic();
    if (mono_left <= 0) return;
    CheckActivity();
    // Wakes on a pointer move over the saver's windows at once; otherwise
    // the clock and the cursor are looked at again within kLongestHoldWaitMs.
    const double left_ms = std::ceil(std::min(end - now - wraps, mono_left) * 1000.0);
    system_.HoldPause(static_cast<int>(std::clamp(left_ms, 1.0, double{kLongestHoldWaitMs})));
  }
}

void frmProg::PaceBand(double due) {
  double ahead = due - system_.Monotonic();
  do {
    system_.BandPause(std::max(ahead, 0.0));
  } while ((ahead = due - system_.Monotonic()) > 0);
}

void frmProg::ClosingPause() { HoldFor(3); }

}  // namespace brenlow
