// The settings file brlscsav.ini: two CR LF lines, the picture path and the
// shape family, in the Windows folder. The saver, its dialog and the
// installer all read and write it through these functions.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/system.h"

namespace brenlow {

// The shape value that leaves the family to chance every cycle; the
// installer writes it.
inline constexpr char kRandomShapes[] = "Casuali";

struct SettingsValues {
  std::string picture;
  std::string shape;
};

// The buffer the saver reads the Windows folder into.
inline constexpr std::size_t kWindowsFolderBuffer = 145;

// The Windows folder, as the saver looks it up (kWindowsFolderBuffer).
std::string WindowsFolder(System& system);

// Folder followed by "\brlscsav.ini", joined as they are.
std::string SettingsPath(const std::string& windows_folder);

// The file's bytes for the two values.
std::string FormatSettings(const std::string& picture, const std::string& shape);

// Reads the values from the file's bytes. Each value: leading blanks
// skipped; a value that starts with a double quote runs to the next double
// quote; otherwise the rest of the line. A missing line leaves its value empty.
SettingsValues ParseSettings(const std::string& content);

// Reads the file; a missing or unreadable file yields empty values.
SettingsValues ReadSettings(Files& files, const std::string& path);

std::optional<FileError> WriteSettings(Files& files, const std::string& path,
                                       const std::string& picture, const std::string& shape);

}  // namespace brenlow
