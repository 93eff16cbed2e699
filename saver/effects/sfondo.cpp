// Sfondo: the canvas fill that opens every cycle, a grid of tiles of 50
// nested square outlines, and the cycle's canvas size and colour factors.
#include "saver/frm_prog.h"
#include "saver/numbers.h"

namespace brenlow {

void frmProg::Sfondo() {
  CanvasHeight = canvas_->ScaleHeight();
  CanvasWidth = ToInt16(canvas_->ScaleWidth());
  ColourStep = static_cast<double>(CanvasHeight) / 255.0;
  canvas_->SetRop2(kRopCopyPen);
  RectLeft = 0;
  RectRight = 100;
  RectTop = 0;
  RectBottom = 100;
  do {
    RedFactor = static_cast<std::int16_t>(Int(3 * random_.Next()));
    GreenFactor = static_cast<std::int16_t>(Int(3 * random_.Next()));
    BlueFactor = static_cast<std::int16_t>(Int(3 * random_.Next()));
  } while (RedFactor == 0 || GreenFactor == 0 || BlueFactor == 0);

  const int rows = static_cast<int>(Int(CanvasHeight / 100.0)) + 1;
  const int columns = static_cast<int>(Int(CanvasWidth / 100.0)) + 1;
  for (int TileRow = 1; TileRow <= rows; ++TileRow) {
    for (int TileColumn = 1; TileColumn <= columns; ++TileColumn) {
      for (int TileRing = 1; TileRing <= 50; ++TileRing) {
        canvas_->SetPenColour(Rgb(20 + TileRing * RedFactor, 20 + TileRing * GreenFactor,
                                  20 + TileRing * BlueFactor));
        canvas_->Rectangle(ToInt32(RectLeft), ToInt32(RectTop), ToInt32(RectRight),
                           ToInt32(RectBottom));
        RectLeft += 1;
        RectTop += 1;
        RectRight -= 1;
        RectBottom -= 1;
      }
      // Next tile: 99 units to the right, overlapping its neighbour by one.
      RectLeft += 49;
      RectTop -= 50;
      RectRight += 149;
      RectBottom += 50;
    }
    RectLeft = 0;
    RectRight = 100;
    RectTop += 100;
    RectBottom += 100;
  }
}

}  // namespace brenlow
