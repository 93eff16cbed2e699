// DisegnaLogo: the maker's address near the bottom left, then the picture
// revealed band by band in the top left corner.
#include "saver/frm_prog.h"
#include "saver/numbers.h"

namespace brenlow {

void frmProg::DisegnaLogo() {
  const float h = canvas_->ScaleHeight();
  canvas_->SetPenColour(MakeColour(255, 255, 255));
  canvas_->SetFontSize(14);
  canvas_->PrintText(0, h - h / 20.0f, kMakerAddress);

  // No picture, or one of height 0: nothing to reveal and no band height.
  if (logo_.empty() || LogoBands <= 0) return;
  const float LogoBandHeight = static_cast<float>(logo_.height) / LogoBands;
  const std::int16_t LogoWidth = ToInt16(logo_.width);
  std::int16_t LogoPass = 0;
  // Each band is drawn at its time on the monotonic clock; the pause after
  // it is a wait, not a spin, so a reveal that runs ahead sleeps.
  const double reveal_start = system_.Monotonic();
  double band = 0;
  do {
    const float last_top = static_cast<float>(logo_.height) - 1.0f;
    for (float LogoBandTop = LogoPass; LogoBandTop <= last_top; LogoBandTop += LogoBandHeight) {
      canvas_->CopyPicture(logo_, 0, LogoBandTop, LogoWidth, LogoBandHeight, 0, LogoBandTop);
      band += 1;
      PaceBand(reveal_start + band * kLogoBandSeconds);
    }
    LogoPass = Add16(LogoPass, 1);
  } while (static_cast<float>(LogoPass) < LogoBandHeight);
}

}  // namespace brenlow
