// Files through kernel32, with Windows paths as they are.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/files.h"

namespace brenlow {

class Win32Files : public Files {
 public:
  std::optional<std::string> ReadAll(const std::string& path) override;
  std::optional<FileError> WriteAll(const std::string& path, const std::string& content) override;
  std::optional<FileError> Copy(const std::string& from, const std::string& to) override;
};

// The first bytes (at most max_bytes) of a file on a disk, and the file's
// size; nothing for anything else. A device (NUL, CON, COM1) or a pipe
// would answer nothing or never, and a folder cannot be opened.
struct FileHead {
  std::string bytes;
  std::uint64_t size = 0;
};
std::optional<FileHead> ReadDiskFileHead(const std::string& path, std::size_t max_bytes);

// The system's wording for a Win32 error code, without its line end.
std::string Win32ErrorText(unsigned long code);

// The Windows folder (GetWindowsDirectoryA) at whatever length; empty when
// the lookup fails.
std::string SystemWindowsFolder();

}  // namespace brenlow
