// Process-wide values of the saver program.
#pragma once

#include <cstdint>
#include <string>

namespace brenlow {

enum RunModeValue : std::int16_t {
  kRunSaver = 1,      // "/S"
  kRunConfigure = 2,  // "/C"
  kRunNothing = 3,    // anything else
};

struct Dichiarazioni {
  std::int16_t RunMode = 0;
  std::string PictureSetting;
  std::string ShapeSetting;
};

// Run mode from the command-line argument text: its first two characters,
// upper-cased.
std::int16_t RunModeFromArgs(const std::string& args);

}  // namespace brenlow
