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

}  // namespace brenlow
