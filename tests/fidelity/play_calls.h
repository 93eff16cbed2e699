// Plays one call of a call list on any canvas: what the raster's comparison
// with GDI and the drawing benchmarks both replay.
#pragma once

#include "platform/canvas.h"
#include "tests/fidelity/trace_format.h"

namespace fidelity {

// Draws the call; returns false for what is not drawn (text, whose fonts
// differ, and a copy without a picture).
inline bool PlayCall(brenlow::Canvas& canvas, const Call& call, const brenlow::Picture* picture) {
  switch (call.op) {
    case Op::kCycle:
      canvas.Repaint();
      return true;
    case Op::kText:
      return false;
    case Op::kCopy:
      if (!picture) return false;
      canvas.CopyPicture(*picture, call.values[0], call.values[1], call.values[2], call.values[3],
                         call.values[4], call.values[5]);
      return true;
    default:
      canvas.SetRop2(call.rop);
      canvas.SetPenColour(call.colour);
      canvas.SetPenWidth(call.width);
      canvas.SetFillSolid(call.solid);
      if (call.op == Op::kRect) {
        canvas.Rectangle(call.box[0], call.box[1], call.box[2], call.box[3]);
      } else if (call.op == Op::kArc) {
        canvas.Arc(call.box[0], call.box[1], call.box[2], call.box[3]);
      } else {
        canvas.Line(call.values[0], call.values[1], call.values[2], call.values[3]);
      }
      return true;
  }
}

}  // namespace fidelity
