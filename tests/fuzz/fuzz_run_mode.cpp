// The command-line switch: any argument text gives one of the three modes.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "saver/dichiarazioni.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string args(reinterpret_cast<const char*>(data), size);
  const std::int16_t mode = brenlow::RunModeFromArgs(args);
  if (mode != brenlow::kRunSaver && mode != brenlow::kRunConfigure && mode != brenlow::kRunNothing)
    std::abort();
  // Only the first two characters count.
  const bool s =
      size >= 2 && args[0] == '/' && std::toupper(static_cast<unsigned char>(args[1])) == 'S';
  const bool c =
      size >= 2 && args[0] == '/' && std::toupper(static_cast<unsigned char>(args[1])) == 'C';
  if (s != (mode == brenlow::kRunSaver) || c != (mode == brenlow::kRunConfigure)) std::abort();
  return 0;
}
