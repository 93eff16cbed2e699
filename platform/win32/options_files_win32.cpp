// The picture chooser's view of the disk, through kernel32.
#include "platform/win32/options_files_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/win32_files.h"

namespace brenlow {

namespace {

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

bool LessNoCase(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) < 0;
}

bool EndsWithNoCase(const std::string& name, const std::string& tail) {
  return name.size() >= tail.size() &&
         lstrcmpiA(name.c_str() + name.size() - tail.size(), tail.c_str()) == 0;
}

// Entries of a folder: directories or files, without "." and "..".
std::vector<std::string> List(const std::string& folder, const std::string& pattern,
                              bool directories) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  const UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
  HANDLE find = FindFirstFileA(Join(folder, pattern).c_str(), &data);
  SetErrorMode(old_mode);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const bool is_dir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (is_dir != directories) continue;
    if (std::strcmp(data.cFileName, ".") == 0 || std::strcmp(data.cFileName, "..") == 0) continue;
    names.emplace_back(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end(), LessNoCase);
  return names;
}

}  // namespace

std::vector<std::string> ChooserDrives() {
  std::vector<std::string> drives;
  const DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (mask & (1u << i)) drives.push_back(std::string(1, static_cast<char>('A' + i)) + ":");
  }
  return drives;
}

std::string ChooserCurrentFolder() {
  char buffer[MAX_PATH];
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
  if (length == 0 || length >= MAX_PATH) return "C:\\";
  return buffer;
}

std::variant<std::string, DriveError> ChooserDriveFolder(const std::string& drive) {
  // "X:" alone names the drive's current folder.
  char buffer[MAX_PATH];
  const DWORD length = GetFullPathNameA(drive.c_str(), MAX_PATH, buffer, nullptr);
  if (length == 0 || length >= MAX_PATH) return DriveError{false, Win32ErrorText(GetLastError())};
  const std::string folder = buffer;
  // Ask the drive itself, without the system's own "insert a disk" box.
  const UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS);
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  const DWORD error = GetLastError();
  SetErrorMode(old_mode);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return DriveError{error == ERROR_NOT_READY, Win32ErrorText(error)};
  }
  return folder;
}

std::vector<std::string> ChooserSubFolders(const std::string& folder) {
  return List(folder, "*", true);
}

std::vector<std::string> ChooserMatchingFiles(const std::string& folder,
                                              const std::string& pattern) {
  std::vector<std::string> names = List(folder, pattern, false);
  // FindFirstFile also matches short 8.3 names ("x.bmpx" as X~1.BMP).
  const std::string tail = pattern.size() > 1 && pattern[0] == '*' ? pattern.substr(1) : "";
  if (!tail.empty() && tail.find_first_of("*?") == std::string::npos) {
    std::erase_if(names, [&](const std::string& n) { return !EndsWithNoCase(n, tail); });
  }
  return names;
}

}  // namespace brenlow
