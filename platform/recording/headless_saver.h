// The saver window on the recording platform, ready to draw without a
// screen: run mode 1, the given settings, the window open, the logo loaded
// and the start cursor noted. The tools, the unit tests, the benchmarks and
// the fuzz targets drive its cycle and its effects themselves.
#pragma once

#include <string>
#include <vector>

#include "platform/recording/recording_system.h"
#include "saver/frm_prog.h"

namespace brenlow {

struct HeadlessSaver {
  // load_picture reads the picture setting's file; without it the picture
  // comes from system.pictures.
  explicit HeadlessSaver(float width = 640, float height = 480, std::string shape = "",
                         std::string picture = "",
                         RecordingSystem::PictureLoader load_picture = nullptr);

  // The recorded drawing calls of one kind.
  std::vector<DrawCall> Calls(DrawCall::Kind kind) const;

  RecordingSystem system;
  Dichiarazioni globals;
  frmProg prog{system, globals};
};

}  // namespace brenlow
