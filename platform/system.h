// Everything the saver and its dialog ask of the operating system, apart
// from drawing. One interface, several backends: win32/, sdl/ (Linux) and
// the recording double used by the unit tests.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/canvas.h"
#include "platform/files.h"
#include "platform/options_dialog.h"

namespace brenlow {

struct CursorPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// What one turn of the event queue delivered to the saver window.
struct WindowEvents {
  bool key_down = false;
  bool close_requested = false;
};

// Thrown by EndProcess in backends that must not really exit (the tests);
// the real backends end the process on the spot.
struct ProcessEnded {
  int exit_code;
};

// The longest a hold sleeps between two looks at the clock and the cursor
// while nothing wakes it: a pointer moving where the saver's windows do not
// see it is still noticed within this time.
inline constexpr int kLongestHoldWaitMs = 50;

class System {
 public:
  virtual ~System() = default;

  // The argument text that follows the program's own path.
  virtual std::string CommandLineArgs() = 0;

  // The Windows folder as the system reports it (GetWindowsDirectoryA), at
  // whatever length; empty when the lookup fails. Callers apply their own
  // buffer size with WindowsFolderInBuffer.
  virtual std::string WindowsDirectory() = 0;

  // SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active, nullptr, 0).
  virtual void SetScreenSaverActive(bool active) = 0;

  // The saver window's share of the activity check, made just before the
  // cursor is read: serves the window (its paint requests, a host's resize),
  // shows what was drawn when a frame is due and follows the monitors. The
  // effects check thousands of times a second, so it is cheap when nothing
  // is due.
  virtual void Service() = 0;
  // GetCursorPos: reads the cursor's position into point, and does nothing
  // else. A backend may answer with a recent reading (CursorTrust). When the
  // read fails (Windows refuses it while another desktop has the input: a
  // UAC prompt, the lock screen, a switch of user), or while the system
  // cannot yet tell (Wayland and Xwayland know the pointer only once it has
  // been over the saver's windows), point keeps what it held. Returns
  // whether it was read.
  virtual bool GetCursorPos(CursorPoint& point) = 0;
  virtual void ShowCursor(bool show) = 0;

  // Seconds since midnight, with fractions; restarts at 0 at midnight and
  // follows every step of the wall clock (daylight saving, a time service).
  virtual double Timer() = 0;
  // Seconds from an arbitrary start, with sub-millisecond resolution, never
  // stepping back: it paces the logo's bands and bounds every hold, whatever
  // the wall clock does.
  virtual double Monotonic() = 0;
  // Gives the processor away between two passes of a hold: waits for the
  // pointer to move over the saver's windows, at most max_ms (the holds ask
  // for the time left, capped at kLongestHoldWaitMs). Keys are not waited
  // on: they stay queued for the cycle's turn of the event queue. After a
  // wait that nothing woke, a backend may answer GetCursorPos with its last
  // reading for up to kLongestHoldWaitMs from when it was taken.
  virtual void HoldPause(int max_ms) = 0;
  // The pause after each band of the logo: waits like HoldPause for at most
  // `seconds` (the time until the next band is due, which a backend may
  // round up to its timer's step; 0 when the reveal is behind its pace,
  // which waits for nothing), and keeps the window served and shown during
  // a reveal that may last seconds. May return early on input.
  virtual void BandPause(double seconds) = 0;

  // Opens the saver window: borderless, black, covering the primary screen.
  virtual Canvas& OpenSaverWindow() = 0;
  // One turn of the event queue for the saver window.
  virtual WindowEvents DoEvents() = 0;

  // Loads a bitmap file; nothing when it cannot be loaded.
  virtual std::optional<Picture> LoadPicture(const std::string& path) = 0;

  virtual void MessageBox(const std::string& text, const std::string& title) = 0;

  virtual Files& files() = 0;

  // The settings dialog's window.
  virtual OptionsDialogWindow& OptionsDialog() = 0;

  // Ends the process at once with the given exit code.
  [[noreturn]] virtual void EndProcess(int exit_code) = 0;
};

}  // namespace brenlow
