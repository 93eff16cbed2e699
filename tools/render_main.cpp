// brenlow-render: runs one cycle on the software raster and writes PNG
// frames after the canvas fill, after the shapes, after the logo and in the
// middle of the fade; with --fps, the whole cycle as a numbered sequence.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/soft/picture_io.h"
#include "platform/soft/soft_canvas.h"
#include "tools/tool_common.h"

namespace {

constexpr const char* kUsage =
    "--size WxH --shape NAME [--seed N] [--picture FILE] [--out DIR] "
    "[--fps N [--calls-per-frame K]]";

using brenlow::DrawCall;

// Writes the canvas to DIR/SHAPE-SUFFIX.png and prints the path; counts a
// frame that cannot be written in failures.
std::function<void(const std::string&)> FrameWriter(const brenlow::ToolOptions& options,
                                                    const brenlow::SoftCanvas& soft,
                                                    int& failures) {
  return [&options, &soft, &failures](const std::string& suffix) {
    const std::string path = options.out + "/" + options.shape + "-" + suffix + ".png";
    if (!brenlow::WritePng(path, soft.pixels(), soft.width(), soft.height())) {
      std::fprintf(stderr, "brenlow-render: cannot write %s\n", path.c_str());
      ++failures;
    } else {
      std::printf("%s\n", path.c_str());
    }
  };
}

// Follows one cycle and calls back at the four moments worth a frame.
class Stages : public brenlow::CycleObserver {
 public:
  std::function<void(const std::string&)> snapshot;
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
  stages.snapshot = [](const std::string&) {};
  if (soft) stages.snapshot = FrameWriter(options, *soft, failures);
  saver->prog.set_observer(&stages);
  saver->system.canvas.forward = soft;
  saver->system.canvas.sink = [&](const DrawCall& call) { stages.OnCall(call); };
  saver->prog.DrawCycle();
  return stages.fade_calls;
}

// The cycle at a steady pace: a frame every 1/fps seconds of the scripted
// clock, which only moves in the holds and the pauses, and one every
// calls_per_frame drawing calls, which make the fill, the outlines, the
// band reveal and the wipe.
class Sequence : public brenlow::CycleObserver {
 public:
  Sequence(const brenlow::RecordingSystem& system, int fps, int calls_per_frame,
           std::function<void(const std::string&)> write)
      : system_(system),
        step_(1.0 / fps),
        calls_per_frame_(calls_per_frame),
        write_(std::move(write)),
        last_clock_(system.clock) {}

  void OnCycle() override { Frame(); }
  void OnCheck() override { FollowClock(); }
  void OnCall() {
    if (++calls_ % calls_per_frame_ == 0) Frame();
    FollowClock();
  }
  void Frame() {
    char number[16];
    std::snprintf(number, sizeof number, "%04d", ++frames_);
    write_(number);
  }

 private:
  void FollowClock() {
    double moved = system_.clock - last_clock_;
    if (moved < 0) moved += 86400.0;  // past midnight
    last_clock_ = system_.clock;
    elapsed_ += moved;
    while (elapsed_ >= next_) {
      Frame();
      next_ += step_;
    }
  }

  const brenlow::RecordingSystem& system_;
  const double step_;
  const long calls_per_frame_;
  std::function<void(const std::string&)> write_;
  double last_clock_;
  double elapsed_ = 0;
  double next_ = step_;
  long calls_ = 0;
  int frames_ = 0;
};

void RunSequence(const brenlow::ToolOptions& options, int& failures) {
  const auto saver = brenlow::MakeToolSaver(options);
  // Fine enough that every frame of a hold has a clock reading of its own.
  saver->system.clock_step = std::min(saver->system.clock_step, 0.5 / options.fps);
  brenlow::SoftCanvas soft(options.width, options.height);
  Sequence sequence(saver->system, options.fps, options.calls_per_frame,
                    FrameWriter(options, soft, failures));
  saver->prog.set_observer(&sequence);
  saver->system.canvas.forward = &soft;
  saver->system.canvas.sink = [&](const DrawCall&) { sequence.OnCall(); };
  saver->prog.DrawCycle();
  sequence.Frame();  // the black screen the next cycle starts from
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
    if (options->fps > 0) {
      RunSequence(*options, failures);
      return failures == 0 ? 0 : 1;
    }
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
