#include "platform/chooser_lists.h"

namespace brenlow {

std::string JoinChooserPath(const std::string& folder, const std::string& name) {
  if (folder.size() > 3) return folder + "\\" + name;
  return folder + name;
}

std::vector<FolderEntry> FolderListFor(const std::string& folder,
                                       const std::vector<std::string>& subfolders) {
  std::vector<FolderEntry> entries;
  // The root keeps its separator ("C:\"); every further level is one name.
  std::size_t end = folder.find('\\');
  if (end == std::string::npos) end = folder.size() - 1;
  entries.push_back({folder.substr(0, end + 1), folder.substr(0, end + 1), 0, true});
  std::size_t start = end + 1;
  while (start < folder.size()) {
    std::size_t next = folder.find('\\', start);
    if (next == std::string::npos) next = folder.size();
    if (next > start) {
      entries.push_back({folder.substr(start, next - start), folder.substr(0, next),
                         static_cast<int>(entries.size()), true});
    }
    start = next + 1;
  }
  const int depth = static_cast<int>(entries.size());
  for (const std::string& name : subfolders) {
    entries.push_back({name, JoinChooserPath(folder, name), depth, false});
  }
  return entries;
}

}  // namespace brenlow
