// What the installer asks of the system. Much smaller than System: quillet
// only places files and shows one window, so its backends implement this.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/files.h"

namespace brenlow {

class InstallerHost {
 public:
  virtual ~InstallerHost() = default;

  // The Windows folder as the system reports it (GetWindowsDirectoryA), at
  // whatever length; empty when the lookup fails. Callers apply their own
  // buffer size with WindowsFolderInBuffer.
  virtual std::string WindowsDirectory() = 0;

  virtual Files& files() = 0;

  // Deletes a file's alternate data stream, such as the download mark
  // "C:\WINDOWS\brenlow.scr:Zone.Identifier"; nothing when the file has no
  // such stream or the system knows no streams.
  virtual void DeleteStream(const std::string& path) = 0;

  // Deletes the copy of path that the system's file virtualization keeps
  // for the user running the program: under UAC an unelevated 32-bit saver
  // writes C:\WINDOWS\x into that user's VirtualStore and reads it from
  // there first. Nothing where there is no such copy or no virtualization.
  virtual void DeleteUserCopy(const std::string& path) = 0;

  // A message box with an OK button; returns when the user has closed it.
  virtual void MessageBox(const std::string& text, const std::string& title) = 0;

  // Shows frmsetup with its one button carrying caption and returns once the
  // window has been closed, by the button or by any other way; or, at once,
  // why the window could not be made.
  virtual std::optional<std::string> ShowSetupWindow(const std::string& caption) = 0;
};

}  // namespace brenlow
