// Files through kernel32, with Windows paths as they are.
#pragma once

#include "platform/files.h"

namespace brenlow {

class Win32Files : public Files {
 public:
  std::optional<std::string> ReadAll(const std::string& path) override;
  std::optional<FileError> WriteAll(const std::string& path, const std::string& content) override;
  std::optional<FileError> Copy(const std::string& from, const std::string& to) override;
};

// The system's wording for a Win32 error code, without its line end.
std::string Win32ErrorText(unsigned long code);

// The Windows folder (GetWindowsDirectoryA) at whatever length; empty when
// the lookup fails.
std::string SystemWindowsFolder();

}  // namespace brenlow
