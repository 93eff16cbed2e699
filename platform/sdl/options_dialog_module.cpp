#include "platform/sdl/options_dialog_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/sdl/screen_check.h"

namespace brenlow {

namespace {

std::string ProgramFolder() {
  std::vector<char> path(4096);
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) return ".";
  const std::string program(path.data(), static_cast<size_t>(length));
  const std::size_t slash = program.rfind('/');
  return slash == std::string::npos ? "." : program.substr(0, slash);
}

}  // namespace

std::unique_ptr<OptionsDialogWindow> LoadOptionsDialogWindow() {
  if (!ScreensInEnvironment().any()) ExitForNoScreen();
  // The build tree keeps the module beside the program; an installed
  // program finds it in its library folder, relative to its own.
  const std::string folder = ProgramFolder();
  std::string why;
  for (const std::string& path : {folder + "/" + kOptionsDialogModule,
                                  folder + "/" BRENLOW_MODULE_FOLDER "/" + kOptionsDialogModule}) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
      if (why.empty()) why = dlerror();
      continue;
    }
    auto* create = reinterpret_cast<decltype(&brenlow_create_options_dialog)>(
        dlsym(module, "brenlow_create_options_dialog"));
    if (!create)
      ExitWithMessage("il modulo " + path + " non contiene la finestra delle impostazioni");
    OptionsDialogWindow* window = create();
    if (!window) ExitForNoScreen();
    return std::unique_ptr<OptionsDialogWindow>(window);
  }
  ExitWithMessage("impossibile caricare la finestra delle impostazioni: " + why);
}

}  // namespace brenlow
