#include <gtest/gtest.h>

#include "platform/recording/recording_system.h"
#include "saver/frm_prog.h"

namespace brenlow {
namespace {

TEST(Startup, RunModeFromTheFirstTwoUpperCasedCharacters) {
  struct Case {
    const char* args;
    int mode;
  };
  for (const Case c : {Case{"/S", 1},
                       {"/s", 1},
                       {"/Sfoo bar", 1},
                       {"/C", 2},
                       {"/c:99", 2},
                       {"/c 1234", 2},
                       {"", 3},
                       {"/p 1234", 3},
                       {"/", 3},
                       {" /S", 3},
                       {"S", 3},
                       {"-s", 3},
                       {"/a", 3}}) {
    EXPECT_EQ(RunModeFromArgs(c.args), c.mode) << '"' << c.args << '"';
  }
}

struct LoadCase {
  const char* args;
  std::vector<std::string> calls;  // system calls after the argument text
  bool closed;
};

TEST(Startup, FormLoadActsOnTheRunModeThenReadsTheSettings) {
  const std::vector<std::string> read = {"GetWindowsDirectoryA 145"};
  const LoadCase cases[] = {
      {"/S", {"SystemParametersInfoA 17 0", "GetWindowsDirectoryA 145"}, false},
      {"/c:99",
       {"ShowOptions", "ShowCursor 1", "SystemParametersInfoA 17 1", "GetWindowsDirectoryA 145"},
       true},
      {"/p 1234", {"ShowCursor 1", "SystemParametersInfoA 17 1", "GetWindowsDirectoryA 145"}, true},
      {"", {"ShowCursor 1", "SystemParametersInfoA 17 1", "GetWindowsDirectoryA 145"}, true},
  };
  for (const LoadCase& c : cases) {
    RecordingSystem system;
    system.args = c.args;
    system.memory_files.content["C:\\WINDOWS\\brlscsav.ini"] = "C:\\pic.bmp\r\nOvali\r\n";
    Dichiarazioni globals;
    frmProg prog(system, globals);
    prog.ShowOptions = [&] { system.log.push_back("ShowOptions"); };
    prog.Form_Load();
    std::vector<std::string> calls(system.log.begin() + 1, system.log.end());
    EXPECT_EQ(calls, c.calls) << c.args;
    EXPECT_EQ(prog.closed(), c.closed) << c.args;
    EXPECT_EQ(globals.PictureSetting, "C:\\pic.bmp") << c.args;
    EXPECT_EQ(globals.ShapeSetting, "Ovali") << c.args;
    // The cursor is never hidden outside run mode 1.
    EXPECT_GE(system.show_cursor_count, 0);
  }
}

TEST(Startup, NoSettingsFileLeavesBothSettingsEmpty) {
  RecordingSystem system;
  system.args = "/S";
  Dichiarazioni globals;
  frmProg prog(system, globals);
  prog.Form_Load();
  EXPECT_EQ(globals.RunMode, 1);
  EXPECT_EQ(globals.PictureSetting, "");
  EXPECT_EQ(globals.ShapeSetting, "");
  EXPECT_FALSE(system.screen_saver_active);
}

}  // namespace
}  // namespace brenlow
