// What the two developer tools share: their command line and a saver
// window on the recording platform whose clock always lets pauses end.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/recording/headless_saver.h"
#include "saver/settings.h"

namespace brenlow {

struct ToolOptions {
  int width = 640;
  int height = 480;
  std::string shape = kRandomShapes;
  // By default the generator starts where the saver's does, so the first
  // cycle draws what a freshly started saver draws.
  std::uint64_t seed = Random::kStartSeed;
  int cycles = 1;
  std::string picture;
  std::string out = ".";
  // brenlow-render's frame sequence: a frame every 1/fps seconds of the
  // scripted clock and every calls_per_frame drawing calls; 0: no sequence.
  int fps = 0;
  int calls_per_frame = 50;
};

// Parses the command line; prints the usage and returns nothing on error.
// with_out: the rendering tool's options too (--out, --fps, --calls-per-frame).
std::optional<ToolOptions> ParseToolOptions(int argc, char** argv, const char* usage,
                                            bool with_out);

// The saver window of a tool run: the options' size, settings and seed,
// pictures read as the saver on this system reads them, no log, and a clock
// that moves a tenth of a second per reading.
std::unique_ptr<HeadlessSaver> MakeToolSaver(const ToolOptions& options);

}  // namespace brenlow
