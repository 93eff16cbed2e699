// Reading what Windows hands the saver: its command line. Free of
// windows.h, so the native unit tests can check it.
#include "platform/win32/win32_parsing.h"

namespace brenlow {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

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
  std::string base = local_app_data;
  if (base.back() == '\\') base.pop_back();
  return base + "\\VirtualStore" + path.substr(2);
}

}  // namespace brenlow
