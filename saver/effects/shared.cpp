// What the shape effects share: the polar point, the colour rule and the
// ellipse primitive.
#include <cmath>

#include "saver/frm_prog.h"
#include "saver/numbers.h"

namespace brenlow {

void frmProg::PolarPoint(double radius, double degrees, float& x, float& y) const {
  const double radians = degrees * kDegreesToRadians;
  const double centre_x = static_cast<float>(CanvasWidth) / 2.0f;
  const double centre_y = CanvasHeight / 2.0f;
  x = static_cast<float>(radius * std::cos(radians) + centre_x);
  y = static_cast<float>(centre_y - radius * std::sin(radians));
}

Colour frmProg::Rgb(int red, int green, int blue) {
  return MakeColour(std::min(red, 255), std::min(green, 255), std::min(blue, 255));
}

void frmProg::Ellipse(float left, float top, float right, float bottom) {
  canvas_->Arc(ToInt32(left), ToInt32(top), ToInt32(right), ToInt32(bottom));
}

}  // namespace brenlow
