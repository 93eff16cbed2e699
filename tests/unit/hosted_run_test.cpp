// The saver as a screen-saver host runs it: what the host passes, and what
// it owns (the input, the end); and brenlow-idle's minutes, from its command
// line and from idle.conf.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <sstream>
#include <utility>

#include "platform/idle/idle_options.h"
#include "platform/recording/recording_system.h"
#include "platform/sdl/host_command_line.h"
#include "platform/sdl/screen_check.h"
#include "saver/app.h"

namespace brenlow {
namespace {

// The host's SIGTERM, seen from a test: ends the run from outside.
struct HostEnded {};

TEST(HostedRun, HostValuesReplaceTheFileAndInputNeverEndsIt) {
  struct Case {
    const char* name;
    std::optional<std::string> shape, picture;
    bool arcs;  // Cerchi (the file's) draws arcs, Quadrati none
    std::string loaded;
  };
  const Case cases[] = {
      {"the file's values", std::nullopt, std::nullopt, true, "C:\\file.bmp"},
      {"the host's shape", "Quadrati", std::nullopt, false, "C:\\file.bmp"},
      {"the host's picture", std::nullopt, "/usr/share/brenlow/BR_LOW.bmp", true,
       "/usr/share/brenlow/BR_LOW.bmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingSystem system;
    system.canvas.Resize(32, 24);
    system.memory_files.content["C:\\WINDOWS\\brlscsav.ini"] = "C:\\file.bmp\r\nCerchi\r\n";
    // The pointer moves sideways all the time and a key comes every cycle.
    system.cursor = [](int n) { return CursorPoint{n, 0}; };
    system.events = [](int n) {
      if (n == 2) throw HostEnded{};
      return WindowEvents{true, false};
    };
    EXPECT_THROW(RunHosted(system, {c.shape, c.picture}), HostEnded);
    EXPECT_EQ(system.do_events_calls, 3) << "three whole cycles";
    EXPECT_THAT(system.log, testing::Contains("LoadPicture " + c.loaded));
    // The cursor and the system's saver are the host's.
    for (const char* hosts : {"ShowCursor", "SystemParametersInfoA"})
      EXPECT_THAT(system.log, testing::Not(testing::Contains(testing::StartsWith(hosts))));
    const bool arcs = std::any_of(system.canvas.calls.begin(), system.canvas.calls.end(),
                                  [](const DrawCall& d) { return d.kind == DrawCall::kArc; });
    EXPECT_EQ(arcs, c.arcs);
  }
}

// (Plain hex and decimal ids: the hosts' rows below.)
TEST(HostCommandLine, WindowIdsInTheHostsWritings) {
  const struct {
    const char* text;
    unsigned long id;
  } ids[] = {{"0X1A00007", 0x1a00007ul}, {"0xffffffff", 0xfffffffful}};
  for (const auto& c : ids) EXPECT_EQ(ParseWindowId(c.text), c.id) << c.text;
  for (const char* bad :
       {"0x100000000", "4294967296", "0", "0x", "", "12abc", " 12", "-5", "0x12g"})
    EXPECT_EQ(ParseWindowId(bad), std::nullopt) << '"' << bad << '"';
}

// What a parse found, in one line a row of a table can hold.
std::string Found(const HostCommandLine& r) {
  std::ostringstream s;
  s << (r.hosted ? "hosted" : "not hosted") << (r.root ? " root" : "") << std::hex;
  if (r.window) s << " window 0x" << *r.window;
  if (r.shape) s << " shape " << *r.shape;
  if (r.picture) s << " picture " << *r.picture;
  if (!r.ignored.empty()) s << " ignoring " << r.ignored.size();
  if (r.question != HostQuestion::kNone) {
    s << (r.question == HostQuestion::kHelp ? " asks help" : " asks version");
  }
  if (!r.error.empty()) s << ": " << r.error;
  return s.str();
}

TEST(HostCommandLine, WhatEachHostPasses) {
  const struct {
    const char* name;
    const char* args;  // split at spaces
    const char* env;
    std::string found;
  } cases[] = {
      {"XScreenSaver 6", "--root", "0x400007", "hosted root window 0x400007"},
      {"xsecurelock", "-root", "4194311", "hosted root window 0x400007"},
      {"settings page", "--root -shape Cerchi -picture /p/a.bmp", "0x400007",
       "hosted root window 0x400007 shape Cerchi picture /p/a.bmp"},
      {"-root alone draws on the root", "-root", nullptr, "hosted root"},
      {"-window-id wins over the variable", "--window-id 0x99", "garbage", "hosted window 0x99"},
      {"standard options do no harm",
       "-root -fps -no-fps -install -noinstall -visual default -mono -window --unknown", nullptr,
       "hosted root ignoring 9"},
      {"the run switch is never hosted", "/S", "0x400007", "not hosted"},
      {"the configure switch neither", "/c:123", "0x400007", "not hosted"},
      {"nothing at all", "", nullptr, "not hosted"},
      {"an empty variable is none", "", "", "not hosted"},
      {"garbage in the variable", "--root", "window",
       "hosted root: XSCREENSAVER_WINDOW non valido: window"},
      {"garbage after -window-id", "-window-id 0xZZ", nullptr,
       "hosted: numero di finestra non valido: 0xZZ"},
      {"-picture without its file", "-root -picture", nullptr,
       "hosted root: manca il file dell'immagine dopo -picture"},
      // Help and version answer whatever follows.
      {"--help", "--help", "0x400007", "hosted window 0x400007 asks help"},
      {"-h", "-h", "0x400007", "hosted window 0x400007 asks help"},
      {"-help", "-help", "0x400007", "hosted window 0x400007 asks help"},
      {"--version", "--version", "0x400007", "hosted window 0x400007 asks version"},
      {"help after host options", "-root -fps --help", "0x400007",
       "hosted root window 0x400007 ignoring 1 asks help"},
      {"help before a bad window id", "-h -window-id 0xZZ", "0x400007",
       "hosted window 0x400007 asks help"},
      {"the first question counts", "--version --help", "0x400007",
       "hosted window 0x400007 asks version"},
      {"a shape named -h is a shape", "-shape -h", "0x400007", "hosted window 0x400007 shape -h"},
      {"help after the run switch", "/S --help", "0x400007", "not hosted"},
      {"a longer word is unknown", "--helpful", "0x400007", "hosted window 0x400007 ignoring 1"},
  };
  for (const auto& c : cases) {
    std::istringstream words(c.args);
    const std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
    EXPECT_EQ(Found(ParseHostCommandLine(args, c.env)), c.found) << c.name;
  }
}

// A screen is named by DISPLAY or WAYLAND_DISPLAY, or handed over as a
// connection in WAYLAND_SOCKET; an empty variable names none.
TEST(ScreenCheck, WhatTheEnvironmentNames) {
  const char* const kNames[] = {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET"};
  const struct {
    std::array<const char*, 3> values;
    std::string x11, wayland;
  } cases[] = {
      {{nullptr, nullptr, nullptr}, "", ""},
      {{"", "", ""}, "", ""},
      {{":1", nullptr, nullptr}, ":1", ""},
      {{nullptr, "wayland-1", "7"}, "", "wayland-1"},
      {{":1", nullptr, "7"}, ":1", "WAYLAND_SOCKET=7"},
  };
  const auto put = [&](size_t i, const char* value) {
    if (value) {
      setenv(kNames[i], value, 1);
    } else {
      unsetenv(kNames[i]);
    }
  };
  std::array<std::optional<std::string>, 3> saved;
  for (size_t i = 0; i < saved.size(); ++i) {
    if (const char* value = std::getenv(kNames[i])) saved[i] = value;
  }
  for (const auto& c : cases) {
    for (size_t i = 0; i < saved.size(); ++i) put(i, c.values[i]);
    const NamedScreens screens = ScreensInEnvironment();
    EXPECT_EQ(std::pair(screens.x11, screens.wayland), std::pair(c.x11, c.wayland));
  }
  for (size_t i = 0; i < saved.size(); ++i) put(i, saved[i] ? saved[i]->c_str() : nullptr);
}

TEST(IdleOptions, MinutesFromTheCommandLine) {
  struct Case {
    std::vector<std::string> args;
    std::optional<double> minutes;
    bool error;
    IdleQuestion question = IdleQuestion::kNone;
  };
  const Case cases[] = {
      {{}, std::nullopt, false},
      {{"--minutes", "5"}, 5, false},
      {{"--minutes", "0.05"}, 0.05, false},  // how the tests wait seconds
      {{"--minutes", "1440"}, 1440, false},
      {{"--minutes", "1441"}, std::nullopt, true},
      {{"--minutes", "0"}, std::nullopt, true},
      {{"--minutes", "-3"}, std::nullopt, true},
      {{"--minutes", "2,5"}, std::nullopt, true},
      {{"--minutes", "5min"}, std::nullopt, true},
      {{"--minutes", "nan"}, std::nullopt, true},
      {{"--minutes", "inf"}, std::nullopt, true},
      {{"--minutes", ""}, std::nullopt, true},
      {{"--minutes"}, std::nullopt, true},
      {{"--saver"}, std::nullopt, true},
      {{"/S"}, std::nullopt, true},
      {{"--minutes", "x", "--help"}, std::nullopt, true},
      {{"--help", "--minutes", "x"}, std::nullopt, false, IdleQuestion::kHelp},
      {{"-h"}, std::nullopt, false, IdleQuestion::kHelp},
      {{"--version"}, std::nullopt, false, IdleQuestion::kVersion},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const IdleOptions options = ParseIdleOptions(c.args);
    EXPECT_EQ(options.minutes, c.minutes);
    EXPECT_EQ(!options.error.empty(), c.error) << options.error;
    EXPECT_EQ(options.question, c.question);
  }
  EXPECT_EQ(ParseIdleOptions({"--saver", "/tmp/s", "--minutes", "2"}).saver, "/tmp/s");
}

TEST(IdleOptions, MinutesFromTheConfigurationFile) {
  struct Case {
    const char* text;
    std::optional<double> minutes;
    const char* error;  // a word the message has, or null
  };
  const Case cases[] = {
      {"", std::nullopt, nullptr},
      {"minutes=7\n", 7, nullptr},
      {"# mine\r\n\r\n  minutes=1.5  \r\n", 1.5, nullptr},
      {"minutes=3\nminutes=4", 4, nullptr},
      {"minutes=3\nminuti=4\n", std::nullopt, "riga 2"},
      {"minutes = 3\n", std::nullopt, "riga 1"},
      {"\nminutes=0\n", std::nullopt, "riga 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const IdleConfig config = ParseIdleConfig(c.text);
    if (c.error) {
      EXPECT_NE(config.error.find(c.error), std::string::npos) << config.error;
    } else {
      EXPECT_EQ(config.error, "");
      EXPECT_EQ(config.minutes, c.minutes);
    }
  }
  EXPECT_EQ(IdleConfigPath("/x", "/h"), "/x/brenlow/idle.conf");
  EXPECT_EQ(IdleConfigPath("", "/h"), "/h/.config/brenlow/idle.conf");
  EXPECT_EQ(IdleConfigPath(nullptr, nullptr), "");
}

}  // namespace
}  // namespace brenlow
