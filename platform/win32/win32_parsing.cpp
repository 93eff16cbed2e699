// Reading what Windows hands the programs: the saver's command line, the
// paths of a user's virtualized files. Free of windows.h, so the native
// unit tests can check it.
#include "platform/win32/win32_parsing.h"

#include <algorithm>
#include <cctype>

namespace brenlow {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool SamePath(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
    return std::tolower(x) == std::tolower(y);
  });
}

std::string WithoutTrailingSeparator(std::string folder) {
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace

std::string ArgumentsOf(const char* command_line) {
  if (command_line == nullptr) return {};
  const char* p = command_line;
  // The program's path: quoted up to the next quote, or up to the first
  // blank; no escapes, as the C runtime reads argv[0].
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && !IsBlank(*p)) ++p;
  }
  while (IsBlank(*p)) ++p;
  return std::string(p);
}

std::string VirtualStorePath(const std::string& local_app_data, const std::string& path) {
  const bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (!drive || local_app_data.empty()) return {};
  return WithoutTrailingSeparator(local_app_data) + "\\VirtualStore" + path.substr(2);
}

std::vector<std::string> UserCopyPaths(const std::string& path, const std::string& elevated_local,
                                       const std::string& session_profile) {
  // Local application data cannot be redirected: it is always here.
  const std::string session_local =
      session_profile.empty() ? "" : WithoutTrailingSeparator(session_profile) + "\\AppData\\Local";
  std::vector<std::string> copies;
  for (const std::string& local : {elevated_local, session_local}) {
    const std::string copy = VirtualStorePath(local, path);
    const auto same = [&copy](const std::string& c) { return SamePath(c, copy); };
    if (!copy.empty() && std::none_of(copies.begin(), copies.end(), same)) copies.push_back(copy);
  }
  return copies;
}

}  // namespace brenlow
