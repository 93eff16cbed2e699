// Evanescenza: wipes the canvas to black in one of three styles, then
// holds the black screen for about a second.
#include <cmath>

#include "saver/frm_prog.h"
#include "saver/numbers.h"

namespace brenlow {

void frmProg::Evanescenza() {
  canvas_->SetRop2(kRopBlack);
  canvas_->SetPenWidth(1);
  canvas_->SetFillSolid(false);
  const std::int16_t FadeStyle = static_cast<std::int16_t>(Int(3 * random_.Next()) + 1);
  ShapeChoice = FadeStyle;
  if (observer_) observer_->OnFade(FadeStyle);

  if (FadeStyle == 1) {
    // Horizontal blinds: ten passes, each blackening every tenth row.
    RectLeft = 0;
    do {
      const float h = canvas_->ScaleHeight();
      for (float FadeCounter = RectLeft; FadeCounter <= h; FadeCounter += 10) {
        canvas_->Line(0, FadeCounter, canvas_->ScaleWidth(), FadeCounter);
      }
      RectLeft += 1;
    } while (RectLeft < 10);
  } else if (FadeStyle == 2) {
    // A bar as long as the diagonal turning half a turn about the centre.
    canvas_->SetPenWidth(7);
    const double h = canvas_->ScaleHeight();
    const double w = canvas_->ScaleWidth();
    const double Diagonal = std::sqrt(h * h + w * w);
    Counter = ToInt16(Diagonal / 2);
    const double cx = static_cast<float>(CanvasWidth) / 2.0f;
    const double cy = CanvasHeight / 2.0f;
    for (double FadeCounter = 0; FadeCounter <= 180; FadeCounter += 0.5) {
      Point1X = static_cast<float>(Counter * std::cos(FadeCounter * kDegreesToRadians) + cx);
      Point1Y = static_cast<float>(cy - Counter * std::sin(FadeCounter * kDegreesToRadians));
      Point2X =
          static_cast<float>(Counter * std::cos((FadeCounter + 180) * kDegreesToRadians) + cx);
      Point2Y =
          static_cast<float>(cy - Counter * std::sin((FadeCounter + 180) * kDegreesToRadians));
      canvas_->Line(Point2X, Point2Y, Point1X, Point1Y);
    }
    canvas_->SetPenWidth(1);
  } else {
    // Frames closing in from the edges, in three interleaved passes.
    std::int32_t FadePass = 0;
    RectLeft = 0;
    RectTop = 0;
    RectRight = canvas_->ScaleWidth();
    RectBottom = canvas_->ScaleHeight();
    for (;;) {
      canvas_->Rectangle(ToInt32(RectLeft), ToInt32(RectTop), ToInt32(RectRight),
                         ToInt32(RectBottom));
      RectLeft += 3;
      RectTop += 3;
      RectRight -= 3;
      RectBottom -= 3;
      if (canvas_->ScaleWidth() / 2.0f >= RectLeft) continue;
      ++FadePass;
      if (FadePass > 2) break;
      const float inset = static_cast<float>(FadePass);
      RectLeft = inset;
      RectTop = inset;
      RectRight = canvas_->ScaleWidth() - inset;
      RectBottom = canvas_->ScaleHeight() - inset;
    }
  }
  HoldFor(1);
}

}  // namespace brenlow
