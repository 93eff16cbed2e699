// quillet on Windows: kernel32 for the folder and the files, user32 for
// the message box and the window frmsetup.
#pragma once

#include "platform/installer_host.h"
#include "platform/win32/win32_files.h"

namespace brenlow {

class Win32InstallerHost : public InstallerHost {
 public:
  std::string WindowsDirectory() override { return SystemWindowsFolder(); }
  Files& files() override { return files_; }
  void DeleteStream(const std::string& path) override;
  void DeleteUserCopy(const std::string& path) override;
  void MessageBox(const std::string& text, const std::string& title) override;
  std::optional<std::string> ShowSetupWindow(const std::string& caption) override;

 private:
  Win32Files files_;
};

}  // namespace brenlow
