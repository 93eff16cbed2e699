// Sequential text files and file copies, addressed with Windows-style paths
// ("C:\WINDOWS\brlscsav.ini"); backends map them to their own file system.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace brenlow {

// Why a file operation failed, as the system words it.
struct FileError {
  std::string reason;
};

class Files {
 public:
  virtual ~Files() = default;

  // The whole content of a file, or nothing when it cannot be opened or read.
  virtual std::optional<std::string> ReadAll(const std::string& path) = 0;

  // Replaces the file's content: written to a temporary file beside it and
  // then put in place, so a failure leaves the previous file whole.
  virtual std::optional<FileError> WriteAll(const std::string& path,
                                            const std::string& content) = 0;

  // Copies a file, replacing an existing destination.
  virtual std::optional<FileError> Copy(const std::string& from, const std::string& to) = 0;
};

// The Windows folder as GetWindowsDirectoryA leaves it in a buffer of
// buffer_size bytes: whole when it fits with its closing NUL; otherwise the
// call writes nothing and the buffer reads as the empty text.
inline std::string WindowsFolderInBuffer(const std::string& folder, std::size_t buffer_size) {
  return folder.size() < buffer_size ? folder : std::string();
}

}  // namespace brenlow
