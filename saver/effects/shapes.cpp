// The five shape families. Each draws with R2_MASKPENNOT, so overlapping
// strokes interfere, then shows the logo and holds for about three seconds.
// On an empty canvas (height 0) they draw nothing: their colour scales
// would divide by zero.
#include "saver/frm_prog.h"
#include "saver/numbers.h"

namespace brenlow {

void frmProg::Cerchi() {
  canvas_->SetRop2(kRopMaskPenNot);
  if (CanvasHeight > 0) {
    Counter = 0;
    for (;;) {
      const double level = Int(Counter / ColourStep);
      canvas_->SetPenColour(Rgb(ToInt16(level * RedFactor), ToInt16(level * GreenFactor),
                                ToInt16(level * BlueFactor)));
      for (int angle = 0; angle <= 360; angle += 10) {
        CheckActivity();
        PolarPoint(Counter, angle, Point1X, Point1Y);
        Ellipse(Point1X, Point1Y, static_cast<float>(CanvasWidth) / 2.0f, CanvasHeight / 2.0f);
      }
      if (canvas_->ScaleHeight() / 2.0f > Counter) {
        Counter = Add16(Counter, 1);
      } else {
        break;
      }
    }
  }
  DisegnaLogo();
  ClosingPause();
}

void frmProg::Ellissi() {
  canvas_->SetRop2(kRopMaskPenNot);
  if (CanvasHeight > 0) {
    Counter = 0;
    float start_angle = 0;
    const std::int16_t increment = 45;
    do {
      const float end_angle = start_angle + 360.0f;
      for (double angle = start_angle; angle <= end_angle; angle += 40) {
        CheckActivity();
        const double level = start_angle / 300.0;
        canvas_->SetPenColour(Rgb(ToInt16(level * RedFactor), ToInt16(level * GreenFactor),
                                  ToInt16(level * BlueFactor)));
        PolarPoint(Counter, angle, Point1X, Point1Y);
        PolarPoint(Counter, angle + 180, Point2X, Point2Y);
        Ellipse(Point1X, Point1Y, Point2X, Point2Y);
      }
      Counter = Add16(Counter, 1);
      start_angle += increment;
    } while (canvas_->ScaleHeight() / 2.0f > Counter);
  }
  DisegnaLogo();
  ClosingPause();
}

void frmProg::Ovali() {
  canvas_->SetRop2(kRopMaskPenNot);
  if (CanvasHeight > 0) {
    const float end = CanvasHeight / 2.0f;
    const float centre_x = static_cast<float>(CanvasWidth) / 2.0f;
    for (int k = 0; k <= end; ++k) {
      const double level = Int(k / ColourStep);
      canvas_->SetPenColour(Rgb(ToInt16(RedFactor * level), ToInt16(GreenFactor * level),
                                ToInt16(BlueFactor * level)));
      Ellipse(centre_x - static_cast<float>(k), static_cast<float>(k),
              centre_x + static_cast<float>(k), CanvasHeight - static_cast<float>(k));
    }
  }
  DisegnaLogo();
  ClosingPause();
}

void frmProg::Quadrati() {
  canvas_->SetRop2(kRopMaskPenNot);
  if (CanvasHeight > 0) {
    Counter = ToInt16(canvas_->ScaleHeight() / 2.0f);
    do {
      const float scale = static_cast<float>(Counter) / 5.0f;
      ColourStep = scale;
      canvas_->SetPenColour(Rgb(ToInt16(RedFactor * ColourStep), ToInt16(GreenFactor * ColourStep),
                                ToInt16(BlueFactor * ColourStep)));
      for (int angle = 0; angle <= 360; angle += 40) {
        CheckActivity();
        PolarPoint(Counter, angle, Point1X, Point1Y);
        PolarPoint(Counter, angle + 90, Point2X, Point2Y);
        PolarPoint(Counter, angle + 180, Point3X, Point3Y);
        PolarPoint(Counter, angle + 270, Point4X, Point4Y);
        canvas_->Line(Point1X, Point1Y, Point2X, Point2Y);
        canvas_->Line(Point2X, Point2Y, Point3X, Point3Y);
        canvas_->Line(Point3X, Point3Y, Point4X, Point4Y);
        canvas_->Line(Point4X, Point4Y, Point1X, Point1Y);
      }
      Counter = Add16(Counter, -1);
    } while (Counter > 0);
  }
  DisegnaLogo();
  ClosingPause();
}

void frmProg::Triangoli() {
  canvas_->SetRop2(kRopMaskPenNot);
  if (CanvasHeight > 0) {
    Counter = 0;
    do {
      for (int angle = 0; angle <= 360; angle += 10) {
        CheckActivity();
        canvas_->SetPenColour(Rgb(RedFactor * angle, GreenFactor * angle, BlueFactor * angle));
        PolarPoint(Counter, angle, Point1X, Point1Y);
        PolarPoint(Counter, angle + 135, Point2X, Point2Y);
        PolarPoint(Counter, angle + 270, Point3X, Point3Y);
        canvas_->Line(Point1X, Point1Y, Point2X, Point2Y);
        canvas_->Line(Point2X, Point2Y, Point3X, Point3Y);
        canvas_->Line(Point3X, Point3Y, Point1X, Point1Y);
      }
      Counter = Add16(Counter, 1);
    } while (canvas_->ScaleHeight() / 2.0f > Counter);
  }
  DisegnaLogo();
  ClosingPause();
}

}  // namespace brenlow
