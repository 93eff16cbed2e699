#include "saver/app.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "saver/frm_prog.h"
#include "saver/options/frm_options.h"

namespace brenlow {

namespace {

constexpr char kRunTimeError[] = "Errore di run-time: ";

const char* ErrorDetail(const std::exception& error) {
  return dynamic_cast<const std::bad_alloc*>(&error) ? "memoria esaurita." : error.what();
}

std::string ErrorReport(const std::exception& error) {
  return kRunTimeError + std::string(ErrorDetail(error));
}

// The running saver has no one to show a box to: it says why it ended where
// its starter keeps a program's errors (a terminal, the screen saver
// daemon's log; on Windows nowhere). Nothing allocated: memory may be out.
void ReportToLog(const std::exception& error) {
  std::fprintf(stderr, "brenlow: %s%s\n", kRunTimeError, ErrorDetail(error));
}

}  // namespace

int RunBrenlow(System& system) {
  Dichiarazioni globals;
  frmProg prog(system, globals);
  frmOptions options(system, globals);
  prog.ShowOptions = [&] { options.Show(); };
  try {
    prog.Form_Load();
    if (globals.RunMode == kRunConfigure) return options.Run();
    if (globals.RunMode != kRunSaver) return 0;
    prog.ShowAndActivate();
  } catch (const ProcessEnded&) {
    throw;
  } catch (const std::exception& error) {
    // Whatever went wrong, the user gets the cursor and the system's own
    // screen saver back.
    if (globals.RunMode == kRunSaver) {
      ReportToLog(error);
      system.ShowCursor(true);
      system.SetScreenSaverActive(true);
    } else {
      // The settings dialog was in the user's hands: tell why it went away.
      // (The saver runs unattended and only logs why.) A second failure
      // while the box is up changes nothing: the program ends.
      try {
        system.MessageBox(ErrorReport(error), "brenlow");
      } catch (const std::exception&) {
      }
    }
    system.EndProcess(1);
  }
  return 0;  // not reached: run mode 1 ends the process from inside
}

int RunHosted(System& system, const HostSettings& settings) {
  Dichiarazioni globals;
  globals.RunMode = kRunSaver;
  frmProg prog(system, globals);
  prog.HostOwnsInput = true;
  try {
    prog.ReadSettingsFile();
    if (settings.picture) globals.PictureSetting = *settings.picture;
    if (settings.shape) globals.ShapeSetting = *settings.shape;
    prog.ShowAndActivate();
  } catch (const ProcessEnded&) {
    throw;
  } catch (const std::exception& error) {
    ReportToLog(error);
    system.EndProcess(1);
  }
  return 0;  // not reached: the cycle never returns
}

}  // namespace brenlow
