// The picture chooser's view of the disk on Win32: what its three list
// controls show, and where a drive's folder is.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "platform/options_dialog.h"

namespace brenlow {

// The drives that exist, by letter and colon ("C:").
std::vector<std::string> ChooserDrives();
// The process's current folder.
std::string ChooserCurrentFolder();
// The current folder of a drive, or why it cannot be read.
std::variant<std::string, DriveError> ChooserDriveFolder(const std::string& drive);
// Names of the subfolders of a folder, sorted.
std::vector<std::string> ChooserSubFolders(const std::string& folder);
// Names of the files of a folder that match a pattern such as "*.bmp", sorted.
std::vector<std::string> ChooserMatchingFiles(const std::string& folder,
                                              const std::string& pattern);

}  // namespace brenlow
