// Files on a POSIX file system. Windows-style paths are mapped by turning
// every backslash into a slash, so "folder\brlscsav.ini" lands in folder.
#pragma once

#include <string>

#include "platform/files.h"

namespace brenlow {

class PosixFiles : public Files {
 public:
  std::optional<std::string> ReadAll(const std::string& path) override;
  std::optional<FileError> WriteAll(const std::string& path, const std::string& content) override;
  std::optional<FileError> Copy(const std::string& from, const std::string& to) override;

  static std::string NativePath(const std::string& path);
};

// The Linux stand-in for the Windows folder: $XDG_DATA_HOME/brenlow, or
// ~/.local/share/brenlow with the home from HOME or, without it, from the
// user database; created when missing. Throws std::runtime_error, saying
// why, when there is no home to put it in.
std::string StandInWindowsFolder();
// Its name alone, for those that only tell where it is.
std::string StandInWindowsFolderName();

// The folder that holds the stand-in, from XDG_DATA_HOME, HOME and the
// user database's home (each may be null); only absolute paths count.
std::optional<std::string> StandInWindowsBase(const char* xdg_data_home, const char* home,
                                              const char* user_db_home);

}  // namespace brenlow
