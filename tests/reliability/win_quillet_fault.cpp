// quillet.exe with an exception that no handler takes, thrown once the
// files are in place, for the test of its terminate path under Wine.
#include <windows.h>
#undef MessageBox  // InstallerHost::MessageBox, not the user32 macro

#include "installer/frmsetup.h"
#include "platform/win32/installer_host.h"
#include "platform/win32/process_guard_win32.h"

namespace {

// Not a std::exception: quillet's own error path lets it pass.
struct Unexpected {};

class FaultyHost : public brenlow::Win32InstallerHost {
 public:
  void DeleteUserCopy(const std::string&) override { throw Unexpected{}; }
};

}  // namespace

// As quillet.exe's own WinMain.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  brenlow::GuardProcess(nullptr);
  FaultyHost host;
  return brenlow::RunQuillet(host);
}
