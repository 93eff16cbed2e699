#include <gtest/gtest.h>

#include <map>

#include "platform/recording/recording_system.h"
#include "saver/frm_prog.h"

namespace brenlow {
namespace {

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
      // The cursor is never hidden outside run mode 1.
      EXPECT_GE(system.show_cursor_count, 0);
      EXPECT_EQ(system.screen_saver_active, c.closed);
    }
  }
}

}  // namespace
}  // namespace brenlow
