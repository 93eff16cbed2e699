// quillet for the Linux desktop.
#include "installer/frmsetup.h"
#include "platform/sdl/installer_host.h"

int main() {
  brenlow::SdlInstallerHost host;
  return brenlow::RunQuillet(host);
}
