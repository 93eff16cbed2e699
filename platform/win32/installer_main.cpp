// quillet.exe: installs brenlow into the Windows folder.
#include <windows.h>
#undef MessageBox  // InstallerHost::MessageBox, not the user32 macro

#include "installer/frmsetup.h"
#include "platform/win32/installer_host.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // No "insert a disk" box from a drive without a medium, and no error
  // report box when it crashes: quillet reports its own failures.
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  brenlow::Win32InstallerHost host;
  return brenlow::RunQuillet(host);
}
