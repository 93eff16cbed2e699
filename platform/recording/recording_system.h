// The test double of the system: every call is logged, the clock and the
// cursor are scripted, and ending the process throws ProcessEnded.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/recording/recording_canvas.h"
#include "platform/system.h"

namespace brenlow {

// Files held in memory, keyed by their Windows-style path.
class MemoryFiles : public Files {
 public:
  std::optional<std::string> ReadAll(const std::string& path) override;
  std::optional<FileError> WriteAll(const std::string& path, const std::string& content) override;
  std::optional<FileError> Copy(const std::string& from, const std::string& to) override;

  std::map<std::string, std::string> content;
  // Paths that refuse to be written.
  std::vector<std::string> read_only;
};

class RecordingSystem : public System {
 public:
  using PictureLoader = std::function<std::optional<Picture>(const std::string& path)>;

  RecordingSystem();

  std::string CommandLineArgs() override;
  std::string WindowsDirectory() override;
  void SetScreenSaverActive(bool active) override;
  void Service() override { ++service_calls; }
  bool GetCursorPos(CursorPoint& point) override;
  void ShowCursor(bool show) override;
  double Timer() override;
  double Monotonic() override;
  void HoldPause(int max_ms) override;
  void BandPause(double seconds) override;
  Canvas& OpenSaverWindow() override;
  WindowEvents DoEvents() override;
  std::optional<Picture> LoadPicture(const std::string& path) override;
  void MessageBox(const std::string& text, const std::string& title) override;
  Files& files() override { return *files_; }
  OptionsDialogWindow& OptionsDialog() override { return *options_dialog; }
  [[noreturn]] void EndProcess(int exit_code) override;

  // Script.
  std::string args;
  std::string windows_folder = "C:\\WINDOWS";
  // Seconds since midnight; every Timer() call advances it, and the
  // monotonic clock with it, by clock_step. A band pause advances the
  // monotonic clock by the time it was asked to wait.
  double clock = 36000.0;
  double clock_step = 0.01;
  double monotonic = 1000.0;
  // Steps of the wall clock alone (daylight saving, a time service): after
  // the n-th Timer() call (0-based) the day clock moves by this many seconds.
  std::map<int, double> clock_jumps;
  // A band pause that waits lasts a whole number of these (a coarse system
  // timer); 0: exactly as asked.
  double timer_tick = 0;
  // Cursor position for the n-th GetCursorPos call (0-based).
  std::function<CursorPoint(int call)> cursor = [](int) { return CursorPoint{100, 100}; };
  // The GetCursorPos calls that fail (0-based), leaving the point as it was.
  std::set<int> cursor_failures;
  // Events for the n-th DoEvents call.
  std::function<WindowEvents(int call)> events = [](int) { return WindowEvents{}; };
  std::map<std::string, Picture> pictures;
  // When set, LoadPicture reads pictures with it instead of from pictures.
  PictureLoader load_picture;
  bool keep_log = true;

  // What happened.
  std::vector<std::string> log;
  int cursor_calls = 0;
  int service_calls = 0;  // not logged: the log keeps the saver's own calls
  int timer_calls = 0;
  int do_events_calls = 0;
  int show_cursor_count = 0;  // the system's display counter: shown when >= 0
  bool screen_saver_active = true;
  std::vector<int> hold_waits;     // max_ms of each HoldPause, with keep_log
  std::vector<double> band_waits;  // the seconds of each BandPause, with keep_log
  RecordingCanvas canvas{640, 480};
  // When set, the saver window draws here instead of on canvas (benchmarks
  // that time the drawing alone).
  Canvas* window_canvas = nullptr;
  MemoryFiles memory_files;
  Files* files_ = &memory_files;
  // Set by tests that drive the dialog.
  OptionsDialogWindow* options_dialog = nullptr;

 private:
  void Log(std::string line) {
    if (keep_log) log.push_back(std::move(line));
  }
};

}  // namespace brenlow
