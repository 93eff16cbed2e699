// quillet.exe: installs brenlow into the Windows folder.
#include <windows.h>
#undef MessageBox  // InstallerHost::MessageBox, not the user32 macro

#include "installer/frmsetup.h"
#include "platform/win32/installer_host.h"
#include "platform/win32/process_guard_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // No "insert a disk" box from a drive without a medium, and no error
  // report or run-time error box when it fails: quillet reports its own
  // failures, and changes nothing in the system to give back.
  brenlow::GuardProcess(nullptr);
  brenlow::Win32InstallerHost host;
  return brenlow::RunQuillet(host);
}
