// brenlow-idle: starts "brenlow /S" once the desktop has been idle for a
// while, where no screen-saver host does it (Wayland desktops, GNOME, KDE
// Plasma, X11 without XScreenSaver). It waits for the saver to end, so two
// never run at once.
#include <limits.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/idle/idle_options.h"
#include "platform/idle/idle_source.h"

extern char** environ;

namespace brenlow {

void IdleFailure(const std::string& line) {
  std::fprintf(stderr, "brenlow-idle: %s\n", line.c_str());
  std::fflush(stderr);
  std::_Exit(1);
}

namespace {

// Beside this program first (the package's /usr/bin, the build tree), else
// on the PATH.
std::string DefaultSaver() {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self);
  if (length > 0 && length < static_cast<ssize_t>(sizeof self)) {
    std::string beside(self, static_cast<std::size_t>(length));
    beside.replace(beside.rfind('/') + 1, std::string::npos, "brenlow");
    if (access(beside.c_str(), X_OK) == 0) return beside;
  }
  return "brenlow";
}

// Runs the saver to its end. True when it ended as the saver does on the
// user's key or mouse; anything else is told on standard error.
bool RunSaver(const std::string& saver) {
  std::string program = saver, mode = "/S";
  char* argv[] = {program.data(), mode.data(), nullptr};
  pid_t pid = 0;
  if (const int error = posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ)) {
    IdleFailure("impossibile avviare " + saver + ": " + std::strerror(error));
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) IdleFailure("attesa di " + saver + ": " + std::strerror(errno));
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  std::fprintf(stderr, "brenlow-idle: %s /S è terminato %s %d; si attende il prossimo input\n",
               saver.c_str(), WIFEXITED(status) ? "con il codice" : "per il segnale",
               WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
  return false;
}

double ConfiguredMinutes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (path.empty() || !file) return kDefaultIdleMinutes;
  const std::string text(std::istreambuf_iterator<char>(file), {});
  const IdleConfig config = ParseIdleConfig(text);
  if (!config.error.empty()) IdleFailure(path + ": " + config.error);
  return config.minutes.value_or(kDefaultIdleMinutes);
}

}  // namespace
}  // namespace brenlow

int main(int argc, char** argv) {
  using namespace brenlow;
  const IdleOptions options =
      ParseIdleOptions(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
  const std::string config = IdleConfigPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  if (options.question != IdleQuestion::kNone) {
    const std::string answer = options.question == IdleQuestion::kHelp
                                   ? IdleUsage(config)
                                   : "brenlow-idle " BRENLOW_VERSION "\n";
    std::fputs(answer.c_str(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
      IdleFailure("impossibile scrivere sullo standard output");
    }
    return 0;
  }
  if (!options.error.empty()) IdleFailure(options.error);
  const double minutes = options.minutes ? *options.minutes : ConfiguredMinutes(config);

  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* x11 = std::getenv("DISPLAY");
  if ((!wayland || !*wayland) && (!x11 || !*x11)) {
    IdleFailure("nessuno schermo: né WAYLAND_DISPLAY né DISPLAY sono impostate");
  }
  std::unique_ptr<IdleSource> source;
  std::string reasons;
  for (auto open : {OpenWaylandIdle, OpenMutterIdle, OpenX11Idle}) {
    std::string why;
    if ((source = open(why))) break;
    reasons += (reasons.empty() ? "" : "; ") + why;
  }
  if (!source) IdleFailure("impossibile sapere quando il desktop è inattivo: " + reasons);

  const std::string saver = options.saver.value_or(DefaultSaver());
  const std::chrono::milliseconds idle(std::max(1LL, std::llround(minutes * 60000)));
  std::fprintf(stderr, "brenlow-idle: %s /S dopo %g minuti senza input (%s)\n", saver.c_str(),
               minutes, source->Name());
  // After a saver that failed, no new one until somebody is back.
  bool after_input = false;
  for (;;) {
    source->WaitIdle(idle, after_input);
    after_input = !RunSaver(saver);
  }
}
