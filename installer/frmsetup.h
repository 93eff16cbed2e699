// The installer's window and the installation its load performs.
#pragma once

#include <optional>
#include <string>

#include "platform/installer_host.h"

namespace brenlow {

inline constexpr char kSetupDone[] = "Set Up Completato.";

// A rectangle in pixels.
struct SetupRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

class frmsetup {
 public:
  explicit frmsetup(InstallerHost& host) : host_(host) {}

  // The Windows folder as the system reports it, or the empty text when the
  // lookup writes nothing into its 255-byte buffer.
  std::string WinDir();

  // The whole installation: copy the saver, copy the logo, write the default
  // settings and remove the user's virtualized copy of them. Stops at the first step that fails and
  // returns the message for the user; what earlier steps did stays done.
  std::optional<std::string> Form_Load();

  // Outer size of the window: 3600 x 2400 twips, at 1440 / dpi twips per
  // pixel (300 x 200 pixels at 120 dpi, 240 x 160 at 96 dpi).
  static SetupRect FrameSize(int dpi_x, int dpi_y);

  // Command1 fills the inner area, leaving 10 pixels free on every side.
  static SetupRect Command1Bounds(int inner_width, int inner_height);

 private:
  InstallerHost& host_;
};

// quillet from start to end: installs, then shows the window until it is
// closed. Returns the process's exit code: 0 after the window, 1 when a step
// failed (the window is never shown then) or the window could not be made.
int RunQuillet(InstallerHost& host);

}  // namespace brenlow
