// What the picture chooser's list controls show and the paths their entries
// stand for, in Windows-style paths ("C:\IMG"). Plain text work, so the
// tests check it on any system.
#pragma once

#include <string>
#include <vector>

namespace brenlow {

// One line of the folder list: the ancestors of the current folder (open
// folders), then its subfolders, each indented by its depth.
struct FolderEntry {
  std::string name;  // what the list shows
  std::string path;  // the folder it stands for
  int depth = 0;
  bool open = false;
};

// The path of an entry of a folder: a drive root ("C:\") already ends in
// the separator.
std::string JoinChooserPath(const std::string& folder, const std::string& name);

// The folder list for a folder: its ancestors from the root down (open),
// then its subfolders.
std::vector<FolderEntry> FolderListFor(const std::string& folder,
                                       const std::vector<std::string>& subfolders);

}  // namespace brenlow
