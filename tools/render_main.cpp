// brenlow-render: runs one cycle on the software raster and writes PNG
// frames after the canvas fill, after the shapes, after the logo and in the
// middle of the fade.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/soft/picture_io.h"
#include "platform/soft/soft_canvas.h"
#include "tools/tool_common.h"

namespace {

constexpr const char* kUsage = "--size WxH --shape NAME [--seed N] [--picture FILE] [--out DIR]";

using brenlow::DrawCall;

// Follows one cycle and calls back at the four moments worth a frame.
class Stages : public brenlow::CycleObserver {
 public:
  std::function<void(const char*)> snapshot;
  long fade_calls = 0;      // drawing calls of the fade so far
  long fade_midpoint = -1;  // when to take the fade frame

  void OnFactors(int, int, int) override { snapshot("1-fill"); }
  void OnFade(int) override {
    snapshot("3-logo");
    in_fade_ = true;
  }
  void OnCall(const DrawCall& call) {
    if (call.kind == DrawCall::kText && !logo_started_) {
      logo_started_ = true;
      snapshot("2-shapes");
    }
    if (in_fade_ && (call.kind == DrawCall::kLine || call.kind == DrawCall::kRect)) {
      if (fade_calls++ == fade_midpoint) snapshot("4-fade");
    }
  }

 private:
  bool logo_started_ = false;
  bool in_fade_ = false;
};

// Runs the cycle once; returns the number of drawing calls of the fade.
// Frames that cannot be written are counted in failures.
long RunCycle(const brenlow::ToolOptions& options, brenlow::SoftCanvas* soft, long midpoint,
              int& failures) {
  const auto saver = brenlow::MakeToolSaver(options);
  Stages stages;
  stages.fade_midpoint = midpoint;
  stages.snapshot = [&](const char* name) {
    if (!soft) return;
    const std::string path = options.out + "/" + options.shape + "-" + name + ".png";
    if (!brenlow::WritePng(path, soft->pixels(), soft->width(), soft->height())) {
      std::fprintf(stderr, "brenlow-render: cannot write %s\n", path.c_str());
      ++failures;
    } else {
      std::printf("%s\n", path.c_str());
    }
  };
  saver->prog.set_observer(&stages);
  saver->system.canvas.forward = soft;
  saver->system.canvas.sink = [&](const DrawCall& call) { stages.OnCall(call); };
  saver->prog.DrawCycle();
  return stages.fade_calls;
}

}  // namespace

int main(int argc, char** argv) {
  const auto options = brenlow::ParseToolOptions(argc, argv, kUsage, true);
  if (!options) return 2;
  std::error_code made;
  std::filesystem::create_directories(options->out, made);
  if (made) {
    std::fprintf(stderr, "brenlow-render: cannot make %s: %s\n", options->out.c_str(),
                 made.message().c_str());
    return 1;
  }
  int failures = 0;
  try {
    // A dry run counts the fade's calls, so the fade frame can be its middle.
    const long fade_calls = RunCycle(*options, nullptr, -1, failures);
    brenlow::SoftCanvas soft(options->width, options->height);
    RunCycle(*options, &soft, fade_calls / 2, failures);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "brenlow-render: %s\n", error.what());
    return 1;
  }
  return failures == 0 ? 0 : 1;
}
