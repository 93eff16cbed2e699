#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace brenlow {

namespace {

FileError Errno(const std::string& path) { return FileError{path + ": " + std::strerror(errno)}; }

// Writes all bytes to a new temporary file beside path and renames it over
// path; on any failure the temporary file goes and path is untouched. The
// new file gets 0644 less the umask, or exactly the permission bits given.
std::optional<FileError> ReplaceFile(const std::string& path, const std::string& content,
                                     std::optional<mode_t> mode = std::nullopt) {
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Errno(path);
  if (mode && ::fchmod(fd, *mode) != 0) {
    const FileError error = Errno(path);
    ::close(fd);
    ::unlink(temp.c_str());
    return error;
  }
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const FileError error = Errno(path);
      ::close(fd);
      ::unlink(temp.c_str());
      return error;
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    const FileError error = Errno(path);
    ::unlink(temp.c_str());
    return error;
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const FileError error = Errno(path);
    ::unlink(temp.c_str());
    return error;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> StandInWindowsBase(const char* xdg_data_home, const char* home,
                                              const char* user_db_home) {
  if (xdg_data_home && *xdg_data_home == '/') return std::string(xdg_data_home);
  // A relative home would put the settings wherever the program was started.
  for (const char* folder : {home, user_db_home}) {
    if (folder && *folder == '/') return std::string(folder) + "/.local/share";
  }
  return std::nullopt;
}

std::string StandInWindowsFolderName() {
  const struct passwd* user = ::getpwuid(::getuid());
  const std::optional<std::string> base = StandInWindowsBase(
      std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), user ? user->pw_dir : nullptr);
  if (!base) {
    throw std::runtime_error(
        "Nessuna cartella per le impostazioni: HOME non è impostata e l'utente " +
        std::to_string(::getuid()) + " non ha una cartella personale nel database degli utenti.");
  }
  return *base + "/brenlow";
}

std::string StandInWindowsFolder() {
  const std::string folder = StandInWindowsFolderName();
  // Create each missing level; an existing folder is fine.
  for (size_t slash = 1; slash != std::string::npos;) {
    slash = folder.find('/', slash + 1);
    ::mkdir(folder.substr(0, slash).c_str(), 0755);
  }
  return folder;
}

std::string PosixFiles::NativePath(const std::string& path) {
  std::string native = path;
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

std::optional<std::string> PosixFiles::ReadAll(const std::string& path) {
  const std::string native = NativePath(path);
  std::FILE* file = std::fopen(native.c_str(), "rb");
  if (!file) return std::nullopt;
  std::string content;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, n);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return content;
}

std::optional<FileError> PosixFiles::WriteAll(const std::string& path, const std::string& content) {
  return ReplaceFile(NativePath(path), content);
}

std::optional<FileError> PosixFiles::Copy(const std::string& from, const std::string& to) {
  const std::optional<std::string> content = ReadAll(from);
  if (!content) return Errno(NativePath(from));
  // The copy keeps the source's permission bits: an installed program
  // must stay executable.
  struct stat source {};
  if (::stat(NativePath(from).c_str(), &source) != 0) return Errno(NativePath(from));
  return ReplaceFile(NativePath(to), *content, source.st_mode & 0777);
}

}  // namespace brenlow
