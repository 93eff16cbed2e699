#include "tools/tool_common.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/tool_platform.h"

namespace brenlow {

std::optional<ToolOptions> ParseToolOptions(int argc, char** argv, const char* usage,
                                            bool with_out) {
  ToolOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    bool ok = value != nullptr;
    if (ok && flag == "--size") {
      ok = std::sscanf(value, "%dx%d", &options.width, &options.height) == 2 && options.width > 0 &&
           options.height >= 0 && options.width <= 32767 && options.height <= 32767;
    } else if (ok && flag == "--shape") {
      options.shape = value;
    } else if (ok && flag == "--seed") {
      options.seed = std::strtoull(value, nullptr, 10);
    } else if (ok && flag == "--cycles") {
      options.cycles = std::atoi(value);
      ok = options.cycles > 0;
    } else if (ok && flag == "--picture") {
      options.picture = value;
    } else if (ok && with_out && flag == "--out") {
      options.out = value;
    } else if (ok && with_out && flag == "--fps") {
      options.fps = std::atoi(value);
      ok = options.fps > 0 && options.fps <= 100;
    } else if (ok && with_out && flag == "--calls-per-frame") {
      options.calls_per_frame = std::atoi(value);
      ok = options.calls_per_frame > 0;
    } else {
      ok = false;
    }
    if (!ok) {
      std::fprintf(stderr, "usage: %s %s\n", argv[0], usage);
      return std::nullopt;
    }
    ++i;
  }
  return options;
}

std::unique_ptr<HeadlessSaver> MakeToolSaver(const ToolOptions& options) {
  auto saver = std::make_unique<HeadlessSaver>(static_cast<float>(options.width),
                                               static_cast<float>(options.height), options.shape,
                                               options.picture, LoadToolPicture);
  if (!options.picture.empty() && saver->prog.Logo().empty()) {
    std::fprintf(stderr, "%s: not a readable bitmap; drawing without a logo\n",
                 options.picture.c_str());
  }
  saver->system.keep_log = false;
  saver->system.clock_step = 0.1;
  saver->prog.random().Seed(options.seed);
  return saver;
}

}  // namespace brenlow
