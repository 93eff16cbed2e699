#include "installer/frmsetup.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>

#include "saver/settings.h"

namespace brenlow {

namespace {

// The stream a browser adds to a downloaded file, and the unpacker to every
// file it takes out of a downloaded zip; a copy keeps it, and the system
// would warn about the installed saver at every start.
constexpr char kDownloadMark[] = ":Zone.Identifier";

// Twips of the window's outer size and twips per inch.
constexpr double kFrameWidthTwips = 3600.0;
constexpr double kFrameHeightTwips = 2400.0;
constexpr double kTwipsPerInch = 1440.0;

std::string CopyFailed(const std::string& from, const std::string& to, const FileError& error) {
  return "Impossibile copiare il file \"" + from + "\" in \"" + to + "\".\n\n" + error.reason +
         "\n\nInstallazione interrotta.";
}

std::string WriteFailed(const std::string& path, const FileError& error) {
  return "Impossibile scrivere il file delle impostazioni \"" + path + "\".\n\n" + error.reason +
         "\n\nInstallazione interrotta.";
}

int PixelsFromTwips(double twips, int dpi) {
  if (dpi <= 0) dpi = 96;
  return static_cast<int>(std::nearbyint(twips / (kTwipsPerInch / dpi)));
}

}  // namespace

std::string frmsetup::WinDir() { return WindowsFolderInBuffer(host_.WindowsDirectory(), 255); }

std::optional<std::string> frmsetup::Form_Load() {
  const std::string folder = WinDir();
  Files& files = host_.files();

  for (const char* name : {"brenlow.scr", "BR_LOW.bmp"}) {
    const std::string to = folder + "\\" + name;
    if (const auto error = files.Copy(name, to)) return CopyFailed(name, to, *error);
    host_.DeleteStream(to + kDownloadMark);
  }

  const std::string settings = SettingsPath(folder);
  if (const auto error = WriteSettings(files, settings, folder + "\\BR_LOW.bmp", kRandomShapes)) {
    return WriteFailed(settings, *error);
  }
  // Otherwise the saver would go on reading the user's own earlier choice
  // and installing again would not reset it.
  host_.DeleteUserCopy(settings);
  return std::nullopt;
}

SetupRect frmsetup::FrameSize(int dpi_x, int dpi_y) {
  return {0, 0, PixelsFromTwips(kFrameWidthTwips, dpi_x),
          PixelsFromTwips(kFrameHeightTwips, dpi_y)};
}

SetupRect frmsetup::Command1Bounds(int inner_width, int inner_height) {
  return {10, 10, std::max(0, inner_width - 20), std::max(0, inner_height - 20)};
}

int RunQuillet(InstallerHost& host) {
  constexpr char kTitle[] = "Installazione";
  std::string failure;
  try {
    frmsetup form(host);
    if (const auto message = form.Form_Load()) {
      failure = *message;
    } else if (const auto reason = host.ShowSetupWindow(kSetupDone)) {
      // The files are in place, but a window that cannot be made is a failure.
      failure = "I file sono stati installati, ma la finestra dell'installazione non si apre.\n\n" +
                *reason;
    } else {
      return 0;
    }
  } catch (const std::bad_alloc&) {
    failure = "Memoria esaurita.\n\nInstallazione interrotta.";
  } catch (const std::exception& error) {
    failure = std::string(error.what()) + "\n\nInstallazione interrotta.";
  }
  // Told once; a failure while telling it changes nothing.
  try {
    host.MessageBox(failure, kTitle);
  } catch (const std::exception&) {
  }
  return 1;
}

}  // namespace brenlow
