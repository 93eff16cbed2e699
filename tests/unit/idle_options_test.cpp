// brenlow-idle's minutes, from its command line and from idle.conf.
#include "platform/idle/idle_options.h"

#include <gtest/gtest.h>

namespace brenlow {
namespace {

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
    std::string line;
    for (const std::string& arg : c.args) line += "[" + arg + "]";
    SCOPED_TRACE(line);
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
