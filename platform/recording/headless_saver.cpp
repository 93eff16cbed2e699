#include "platform/recording/headless_saver.h"

#include <utility>

namespace brenlow {

HeadlessSaver::HeadlessSaver(float width, float height, std::string shape, std::string picture,
                             RecordingSystem::PictureLoader load_picture) {
  system.canvas.Resize(width, height);
  system.load_picture = std::move(load_picture);
  globals.RunMode = kRunSaver;
  globals.ShapeSetting = std::move(shape);
  globals.PictureSetting = std::move(picture);
  prog.OpenWindow();
  prog.LoadLogo();
  prog.StartCursor = system.cursor(0);
}

std::vector<DrawCall> HeadlessSaver::Calls(DrawCall::Kind kind) const {
  std::vector<DrawCall> out;
  for (const DrawCall& c : system.canvas.calls) {
    if (c.kind == kind) out.push_back(c);
  }
  return out;
}

}  // namespace brenlow
