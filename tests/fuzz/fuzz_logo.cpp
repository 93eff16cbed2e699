// What the saver does with any bytes named by the picture setting: load them
// as a bitmap, put them in the window's picture holder and reveal the logo
// once, on a recording canvas whose picture copies also go to a small
// software raster (so every pixel the copy reads is really read).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/recording/headless_saver.h"
#include "platform/soft/picture_io.h"
#include "platform/soft/soft_canvas.h"

namespace {

// Paints the picture copies on a raster; the rest (text) costs time and
// has nothing to do with the picture.
class CopyOnly : public brenlow::Canvas {
 public:
  void SetRop2(int) override {}
  void SetPenColour(brenlow::Colour) override {}
  void SetPenWidth(int) override {}
  void SetFillSolid(bool) override {}
  void Arc(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
  void Rectangle(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
  void Line(float, float, float, float) override {}
  void CopyPicture(const brenlow::Picture& picture, float dest_x, float dest_y, float width,
                   float height, float src_x, float src_y) override {
    raster.CopyPicture(picture, dest_x, dest_y, width, height, src_x, src_y);
  }
  void SetFontSize(float) override {}
  void PrintText(float, float, const std::string&) override {}
  float ScaleWidth() const override { return raster.ScaleWidth(); }
  float ScaleHeight() const override { return raster.ScaleHeight(); }
  void Repaint() override {}

  brenlow::SoftCanvas raster{160, 120};
};

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

  static CopyOnly raster;
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
