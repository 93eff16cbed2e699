// Start-up: the run mode from the argument text, what Form_Load does with
// it, and the settings file it reads.
#include "saver/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "platform/posix/posix_files.h"
#include "platform/recording/recording_system.h"
#include "saver/frm_prog.h"

namespace brenlow {
namespace {

TEST(Settings, WindowsFolderReadsTheFolderThroughA145ByteBuffer) {
  RecordingSystem system;
  EXPECT_EQ(WindowsFolder(system), "C:\\WINDOWS");
  system.windows_folder = std::string(144, 'x');  // fits with its NUL
  EXPECT_EQ(WindowsFolder(system), system.windows_folder);
  system.windows_folder = std::string(145, 'x');  // does not: nothing written
  EXPECT_EQ(WindowsFolder(system), "");
}

// Where the Linux stand-in for the Windows folder lives. Without any home
// the settings must not land at the file system's root ("/brlscsav.ini").
TEST(Settings, StandInFolderBaseTable) {
  struct Case {
    const char* xdg;
    const char* home;
    const char* user_db;
    std::optional<std::string> base;
  } cases[] = {
      {"/x/data", "/home/u", "/home/db", "/x/data"},
      {nullptr, "/home/u", "/home/db", "/home/u/.local/share"},
      {"relative", "/home/u", "/home/db", "/home/u/.local/share"},
      {nullptr, nullptr, "/home/db", "/home/db/.local/share"},
      {"", "", "/home/db", "/home/db/.local/share"},
      {nullptr, "relative", "/home/db", "/home/db/.local/share"},
      {nullptr, nullptr, nullptr, std::nullopt},
      {"", "", "", std::nullopt},
      {nullptr, nullptr, "relative", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StandInWindowsBase(c.xdg, c.home, c.user_db), c.base)
        << testing::PrintToString(std::tuple(c.xdg, c.home, c.user_db));
  }
}

// The values each file reads as; where the file is the one the writer
// makes for those values, the writer makes exactly it.
TEST(Settings, ParseAndWriteTable) {
  struct Case {
    const char* name;
    std::string content;
    std::string picture;
    std::string shape;
  };
  const std::string huge(10 * 1000 * 1000, 'a');
  const Case cases[] = {
      {"installer file", "C:\\WINDOWS\\BR_LOW.bmp\r\nCasuali\r\n", "C:\\WINDOWS\\BR_LOW.bmp",
       "Casuali"},
      {"no picture chosen", "\r\nOvali\r\n", "", "Ovali"},
      {"comma in the path stays whole", "C:\\Foto, 2024\\logo.bmp\r\nCerchi\r\n",
       "C:\\Foto, 2024\\logo.bmp", "Cerchi"},
      {"quoted values", "\"C:\\a b\\x.bmp\"\r\n  \"Quadrati\"\r\n", "C:\\a b\\x.bmp", "Quadrati"},
      {"text after a closing quote is dropped", "\"a\",b\r\nEllissi\r\n", "a", "Ellissi"},
      {"leading blanks skipped", "   C:\\x.bmp\r\n\tTriangoli\r\n", "C:\\x.bmp", "Triangoli"},
      {"one line", "C:\\x.bmp\r\n", "C:\\x.bmp", ""},
      {"no shape chosen", "D:\\x y\\z.bmp\r\n\r\n", "D:\\x y\\z.bmp", ""},
      {"no final line end", "C:\\x.bmp\r\nOvali", "C:\\x.bmp", "Ovali"},
      {"bare LF", "C:\\x.bmp\nOvali\n", "C:\\x.bmp", "Ovali"},
      {"third line ignored", "p\r\nOvali\r\nextra\r\n", "p", "Ovali"},
      {"empty file", "", "", ""},
      {"unclosed quote runs to the end", "\"abc\r\nOvali", "abc\r\nOvali", ""},
      {"lower case kept as written", "p\r\novali\r\n", "p", "ovali"},
      {"binary garbage", std::string("\0\xff\x01\r\n\xfe", 6), std::string("\0\xff\x01", 3),
       "\xfe"},
  };
  for (const Case& c : cases) {
    const SettingsValues v = ParseSettings(c.content);
    EXPECT_EQ(v.picture, c.picture) << c.name;
    EXPECT_EQ(v.shape, c.shape) << c.name;
    MemoryFiles files;
    if (c.content == c.picture + "\r\n" + c.shape + "\r\n") {
      EXPECT_FALSE(WriteSettings(files, "s.ini", c.picture, c.shape)) << c.name;
      EXPECT_EQ(files.content["s.ini"], c.content) << c.name;
    }
  }
  const SettingsValues big = ParseSettings(huge + "\r\nOvali\r\n");
  EXPECT_EQ(big.picture.size(), huge.size());
  EXPECT_EQ(big.shape, "Ovali");
}

// Only the first two characters count, so this is every argument text
// there is: each two-byte start, alone and with text after it, and each
// shorter text.
TEST(Startup, RunModeFromTheFirstTwoUpperCasedCharacters) {
  const std::map<std::string, int> switches = {{"/S", 1}, {"/s", 1}, {"/C", 2}, {"/c", 2}};
  int wrong = 0;
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      const std::string head{static_cast<char>(first), static_cast<char>(second)};
      const auto it = switches.find(head);
      const int mode = it == switches.end() ? kRunNothing : it->second;
      for (const char* tail : {"", ":99", " 1234", "foo bar", "/C"}) {
        if (RunModeFromArgs(head + tail) != mode && ++wrong <= 10) {
          ADD_FAILURE() << "\"" << head + tail << "\" gives " << RunModeFromArgs(head + tail);
        }
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  for (const std::string shorter : {"", "/", "S", "s"}) {
    EXPECT_EQ(RunModeFromArgs(shorter), kRunNothing) << '"' << shorter << '"';
  }
}

// Each argument text with and without a settings file.
TEST(Startup, FormLoadActsOnTheRunModeThenReadsTheSettings) {
  const struct {
    const char* args;
    std::vector<std::string> calls;  // system calls after the argument text
    bool closed;
  } cases[] = {
      {"/S", {"SystemParametersInfoA 17 0", "WindowsDirectory"}, false},
      {"/c:99",
       {"ShowOptions", "ShowCursor 1", "SystemParametersInfoA 17 1", "WindowsDirectory"},
       true},
      {"/p 1234", {"ShowCursor 1", "SystemParametersInfoA 17 1", "WindowsDirectory"}, true},
      {"", {"ShowCursor 1", "SystemParametersInfoA 17 1", "WindowsDirectory"}, true},
  };
  for (const auto& c : cases) {
    for (const bool file : {true, false}) {
      SCOPED_TRACE(std::string(c.args) + (file ? "" : ", no settings file"));
      RecordingSystem system;
      system.args = c.args;
      if (file)
        system.memory_files.content["C:\\WINDOWS\\brlscsav.ini"] = "C:\\pic.bmp\r\nOvali\r\n";
      Dichiarazioni globals;
      frmProg prog(system, globals);
      prog.ShowOptions = [&] { system.log.push_back("ShowOptions"); };
      prog.Form_Load();
      std::vector<std::string> calls(system.log.begin() + 1, system.log.end());
      EXPECT_EQ(calls, c.calls);
      EXPECT_EQ(prog.closed(), c.closed);
      EXPECT_EQ(globals.PictureSetting, file ? "C:\\pic.bmp" : "");
      EXPECT_EQ(globals.ShapeSetting, file ? "Ovali" : "");
    }
  }
}

}  // namespace
}  // namespace brenlow
