// What the two developer tools share: their command line and a saver
// window on the recording platform whose clock always lets pauses end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/recording/recording_system.h"
#include "saver/frm_prog.h"

namespace brenlow {

struct ToolOptions {
  int width = 640;
  int height = 480;
  std::string shape = "Casuali";
  // By default the generator starts where the saver's does, so the first
  // cycle draws what a freshly started saver draws.
  std::uint64_t seed = Random::kStartSeed;
  int cycles = 1;
  std::string picture;
  std::string out = ".";
};

// Parses the command line; prints the usage and returns nothing on error.
std::optional<ToolOptions> ParseToolOptions(int argc, char** argv, const char* usage,
                                            bool with_out);

// A saver window ready to run cycles headless: the logo loaded, the start
// cursor noted, a clock that moves a tenth of a second per reading.
struct HeadlessSaver {
  explicit HeadlessSaver(const ToolOptions& options);

  RecordingSystem system;
  Dichiarazioni globals;
  frmProg prog{system, globals};
};

}  // namespace brenlow
