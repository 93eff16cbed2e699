// brenlow-idle's command line and its small configuration file: how many
// minutes without input start the saver, and which program is the saver.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brenlow {

// Minutes without input when neither the command line nor idle.conf says.
constexpr int kDefaultIdleMinutes = 10;

enum class IdleQuestion { kNone, kHelp, kVersion };

struct IdleOptions {
  IdleQuestion question = IdleQuestion::kNone;
  std::optional<double> minutes;     // --minutes N
  std::optional<std::string> saver;  // --saver PROGRAM
  // Why the command line cannot be followed (one line, Italian); empty when it can.
  std::string error;
};

// args: the arguments after the program's name.
IdleOptions ParseIdleOptions(const std::vector<std::string>& args);

// A number of minutes, fractions allowed (0.5 is half a minute), above 0
// and at most a day; nothing for anything else.
std::optional<double> ParseMinutes(std::string_view text);

// idle.conf: "minutes=N" lines; blank lines and lines starting with '#'
// say nothing. The last "minutes" line counts.
struct IdleConfig {
  std::optional<double> minutes;
  std::string error;  // names the line that cannot be read
};
IdleConfig ParseIdleConfig(std::string_view text);

// Where idle.conf lives: $XDG_CONFIG_HOME/brenlow/idle.conf, else
// $HOME/.config/brenlow/idle.conf; empty without either variable.
std::string IdleConfigPath(const char* xdg_config_home, const char* home);

// The text --help prints (Italian), naming the configuration file.
std::string IdleUsage(const std::string& config_file);

}  // namespace brenlow
