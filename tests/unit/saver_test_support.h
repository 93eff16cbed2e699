// A saver window on the recording platform, ready to draw.
#pragma once

#include "platform/recording/recording_system.h"
#include "saver/frm_prog.h"

namespace brenlow {

struct SaverFixture {
  explicit SaverFixture(float width = 640, float height = 480, std::string shape = "") {
    system.canvas.Resize(width, height);
    globals.RunMode = kRunSaver;
    globals.ShapeSetting = std::move(shape);
    prog.OpenWindow();
    prog.StartCursor = system.cursor(0);
  }
  std::vector<DrawCall> Calls(DrawCall::Kind kind) const {
    std::vector<DrawCall> out;
    for (const DrawCall& c : system.canvas.calls) {
      if (c.kind == kind) out.push_back(c);
    }
    return out;
  }

  RecordingSystem system;
  Dichiarazioni globals;
  frmProg prog{system, globals};
};

}  // namespace brenlow
