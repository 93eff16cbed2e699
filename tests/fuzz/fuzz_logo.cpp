// What the saver does with any bytes named by the picture setting: load them
// as a bitmap, put them in the window's picture holder and reveal the logo
// once, on a recording canvas whose calls also go to a small software
// raster (so every pixel the copy reads is really read).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/recording/headless_saver.h"
#include "platform/soft/picture_io.h"
#include "platform/soft/soft_canvas.h"

namespace {

// One file per process, rewritten for every input.
const std::string& ScratchFile() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    std::string p = std::string(dir && *dir ? dir : "/tmp") + "/brenlow-fuzz-logo-XXXXXX";
    const int fd = ::mkstemp(p.data());
    if (fd < 0) std::abort();
    ::close(fd);
    std::atexit([] { ::unlink(ScratchFile().c_str()); });
    return p;
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = ScratchFile();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);

  static brenlow::SoftCanvas raster(160, 120);
  // Pictures come from the real loader.
  brenlow::HeadlessSaver saver(160, 120, "", path, brenlow::LoadBmp);
  saver.system.keep_log = false;
  saver.system.canvas.sink = [](const brenlow::DrawCall&) {};
  saver.system.canvas.forward = &raster;
  const brenlow::Picture& logo = saver.prog.Logo();
  if (!logo.empty() && logo.pixels.size() != static_cast<std::size_t>(logo.width) *
                                                 static_cast<std::size_t>(logo.height))
    std::abort();
  saver.prog.DisegnaLogo();
  return 0;
}
