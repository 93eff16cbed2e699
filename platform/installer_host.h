// What the installer asks of the system. Much smaller than System: quillet
// only places files and shows one window, so its backends implement this.
#pragma once

#include <cstdint>
#include <string>

#include "platform/files.h"

namespace brenlow {

class InstallerHost {
 public:
  virtual ~InstallerHost() = default;

  // GetWindowsDirectoryA: fills buffer (size bytes) with the folder and a NUL
  // when it fits; returns what the Windows call returns.
  virtual std::uint32_t GetWindowsDirectoryA(char* buffer, std::uint32_t size) = 0;

  virtual Files& files() = 0;

  // A message box with an OK button; returns when the user has closed it.
  virtual void MessageBox(const std::string& text, const std::string& title) = 0;

  // Shows frmsetup with its one button carrying caption and returns once the
  // window has been closed, by the button or by any other way.
  virtual void ShowSetupWindow(const std::string& caption) = 0;
};

}  // namespace brenlow
