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

HeadlessSaver::HeadlessSaver(const ToolOptions& options) {
  system.canvas.Resize(static_cast<float>(options.width), static_cast<float>(options.height));
  system.keep_log = false;
  system.clock_step = 0.1;
  globals.RunMode = kRunSaver;
  globals.ShapeSetting = options.shape;
  globals.PictureSetting = options.picture;
  if (!options.picture.empty()) {
    if (std::optional<Picture> picture = LoadToolPicture(options.picture)) {
      system.pictures[options.picture] = std::move(*picture);
    } else {
      std::fprintf(stderr, "%s: not a readable bitmap; drawing without a logo\n",
                   options.picture.c_str());
    }
  }
  prog.random().Seed(options.seed);
  prog.OpenWindow();
  prog.LoadLogo();
  prog.StartCursor = system.GetCursorPos();
}

}  // namespace brenlow
