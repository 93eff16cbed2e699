// What the two Linux systems (the desktop window and a host's window) have
// in common: the command line, the clocks, files, pictures and the settings
// window's module. Each system holds one and answers through it.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/canvas.h"
#include "platform/options_dialog.h"
#include "platform/posix/posix_files.h"

namespace brenlow {

class LinuxCommon {
 public:
  LinuxCommon(int argc, char** argv);
  ~LinuxCommon();

  const std::string& args() const { return args_; }
  PosixFiles& files() { return files_; }
  // The stand-in for the Windows folder; says on the terminal too when
  // there is none (the running saver ends without a box).
  std::string WindowsDirectory();
  // Seconds since local midnight, and of the monotonic clock.
  static double Timer();
  static double Monotonic();
  std::optional<Picture> LoadPicture(const std::string& path);
  OptionsDialogWindow& OptionsDialog();

 private:
  std::string args_;
  PosixFiles files_;
  std::unique_ptr<OptionsDialogWindow> options_dialog_;
};

}  // namespace brenlow
