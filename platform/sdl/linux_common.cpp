#include "platform/sdl/linux_common.h"

#include <time.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "platform/sdl/options_dialog_module.h"
#include "platform/soft/picture_io.h"

namespace brenlow {

LinuxCommon::LinuxCommon(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (i > 1) args_ += ' ';
    args_ += argv[i];
  }
}

LinuxCommon::~LinuxCommon() = default;

std::string LinuxCommon::WindowsDirectory() {
  try {
    return StandInWindowsFolder();
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "brenlow: %s\n", error.what());
    throw;
  }
}

double LinuxCommon::Timer() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + now.tv_nsec / 1e9;
}

double LinuxCommon::Monotonic() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::optional<Picture> LinuxCommon::LoadPicture(const std::string& path) {
  return LoadBmp(PosixFiles::NativePath(path));
}

OptionsDialogWindow& LinuxCommon::OptionsDialog() {
  if (!options_dialog_) options_dialog_ = LoadOptionsDialogWindow();
  return *options_dialog_;
}

}  // namespace brenlow
