// The values of the shape setting, in the order the settings dialog lists
// them: what each one makes the saver draw. The saver's choice, both dialogs
// and the tests read this one table.
#pragma once

#include <cstdint>

#include "saver/frm_prog.h"
#include "saver/settings.h"

namespace brenlow {

struct ShapeFamily {
  const char* setting;  // the value in the settings file and the entry of Combo1
  std::int16_t choice;  // the ShapeChoice it forces; 0 leaves it to chance every cycle
  void (frmProg::*effect)();
};

inline constexpr ShapeFamily kShapeFamilies[] = {
    {kRandomShapes, 0, nullptr},            // a family at random
    {"Quadrati", 2, &frmProg::Quadrati},    // squares
    {"Cerchi", 4, &frmProg::Cerchi},        // circles
    {"Triangoli", 3, &frmProg::Triangoli},  // triangles
    {"Ovali", 1, &frmProg::Ovali},          // ovals
    {"Ellissi", 5, &frmProg::Ellissi},      // ellipses
};

}  // namespace brenlow
