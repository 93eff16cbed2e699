// The Win32 backend's parsing of its command line, checked natively.
#include "platform/win32/win32_parsing.h"

#include <gtest/gtest.h>

#include <string>

namespace brenlow {
namespace {

TEST(ArgumentsOf, SplitsOffTheProgramPathAsTheRuntimeDoes) {
  struct Case {
    const char* command_line;
    const char* args;
  } cases[] = {
      {"brenlow.scr /S", "/S"},
      {"C:\\WINDOWS\\brenlow.scr /p 1234", "/p 1234"},
      {"\"C:\\Program Files\\brenlow.scr\" /c:99", "/c:99"},
      {"\"C:\\x y\\brenlow.scr\"/S", "/S"},  // the closing quote ends the path
      {"brenlow.scr \t  /s", "/s"},
      {"brenlow.scr /S  ", "/S  "},  // only leading blanks go
      {"brenlow.scr", ""},
      {"\"C:\\brenlow.scr\"", ""},
      {"\"C:\\never closed /S", ""},
      {"", ""},
      {"  /S", "/S"},  // blank path: all of it is skipped
  };
  for (const Case& c : cases) EXPECT_EQ(ArgumentsOf(c.command_line), c.args) << c.command_line;
  EXPECT_EQ(ArgumentsOf(nullptr), "");
}

}  // namespace
}  // namespace brenlow
