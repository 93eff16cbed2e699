// brenlow on the Linux desktop: "/S", "/C" and the rest of the run-mode
// table on SDL2, or, when a screen-saver host runs it, in the host's window.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "platform/posix/posix_files.h"
#include "platform/sdl/host_command_line.h"
#include "platform/sdl/host_window.h"
#include "platform/sdl/screen_check.h"
#include "platform/sdl/sdl_system.h"
#include "saver/app.h"
#include "saver/settings.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const brenlow::HostCommandLine request =
      brenlow::ParseHostCommandLine(args, std::getenv("XSCREENSAVER_WINDOW"));
  // Answered before SDL or X is touched, so they work without a display.
  if (request.question != brenlow::HostQuestion::kNone) {
    std::string answer = "brenlow " BRENLOW_VERSION "\n";
    if (request.question == brenlow::HostQuestion::kHelp) {
      std::string settings;
      try {
        settings =
            brenlow::PosixFiles::NativePath(brenlow::SettingsPath(brenlow::WindowsFolderInBuffer(
                brenlow::StandInWindowsFolderName(), brenlow::kWindowsFolderBuffer)));
      } catch (const std::exception& no_home) {
        settings = no_home.what();  // no home at all: the usage says so
      }
      answer = brenlow::HostUsage(settings);
    }
    std::fputs(answer.c_str(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
      std::perror("brenlow: impossibile scrivere sullo standard output");
      return 1;
    }
    return 0;
  }
  if (request.hosted) {
    if (!request.error.empty()) brenlow::ExitWithMessage(request.error);
    for (const std::string& option : request.ignored) {
      std::fprintf(stderr, "brenlow: opzione ignorata: %s\n", option.c_str());
    }
    brenlow::HostedSystem system(argc, argv, request);
    system.Connect();
    return brenlow::RunHosted(system, {request.shape, request.picture});
  }
  brenlow::SdlSystem system(argc, argv);
  return brenlow::RunBrenlow(system);
}
