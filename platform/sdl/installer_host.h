// quillet on the Linux desktop: the Windows folder's stand-in under the XDG
// data home, POSIX files, and an SDL window with the one button.
#pragma once

#include "platform/installer_host.h"
#include "platform/posix/posix_files.h"

namespace brenlow {

class SdlInstallerHost : public InstallerHost {
 public:
  std::string WindowsDirectory() override { return StandInWindowsFolder(); }
  Files& files() override { return files_; }
  // Linux files carry no streams.
  void DeleteStream(const std::string&) override {}
  // Nor does Linux virtualize a folder per user.
  void DeleteUserCopy(const std::string&) override {}
  void MessageBox(const std::string& text, const std::string& title) override;
  std::optional<std::string> ShowSetupWindow(const std::string& caption) override;

 private:
  PosixFiles files_;
};

}  // namespace brenlow
