#include "saver/settings.h"

namespace brenlow {

std::string WindowsFolder(System& system) {
  return WindowsFolderInBuffer(system.WindowsDirectory(), kWindowsFolderBuffer);
}

std::string SettingsPath(const std::string& windows_folder) {
  return windows_folder + "\\brlscsav.ini";
}

std::string FormatSettings(const std::string& picture, const std::string& shape) {
  return picture + "\r\n" + shape + "\r\n";
}

namespace {

// Reads one value starting at pos and moves pos past its line.
std::string ReadValue(const std::string& s, size_t& pos) {
  const size_t n = s.size();
  while (pos < n && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
  std::string value;
  if (pos < n && s[pos] == '"') {
    const size_t close = s.find('"', pos + 1);
    const size_t end = close == std::string::npos ? n : close;
    value = s.substr(pos + 1, end - pos - 1);
    pos = end == n ? n : end + 1;
    // Whatever follows the closing quote on that line belongs to no value.
    const size_t eol = s.find('\n', pos);
    pos = eol == std::string::npos ? n : eol + 1;
    return value;
  }
  const size_t eol = s.find('\n', pos);
  const size_t end = eol == std::string::npos ? n : eol;
  value = s.substr(pos, end - pos);
  if (!value.empty() && value.back() == '\r') value.pop_back();
  pos = eol == std::string::npos ? n : eol + 1;
  return value;
}

}  // namespace

SettingsValues ParseSettings(const std::string& content) {
  SettingsValues values;
  size_t pos = 0;
  if (pos >= content.size()) return values;
  values.picture = ReadValue(content, pos);
  if (pos >= content.size()) return values;
  values.shape = ReadValue(content, pos);
  return values;
}

SettingsValues ReadSettings(Files& files, const std::string& path) {
  const std::optional<std::string> content = files.ReadAll(path);
  if (!content) return {};
  return ParseSettings(*content);
}

std::optional<FileError> WriteSettings(Files& files, const std::string& path,
                                       const std::string& picture, const std::string& shape) {
  return files.WriteAll(path, FormatSettings(picture, shape));
}

}  // namespace brenlow
