#include "platform/recording/recording_system.h"

#include <algorithm>
#include <cmath>

namespace brenlow {

std::optional<std::string> MemoryFiles::ReadAll(const std::string& path) {
  const auto it = content.find(path);
  if (it == content.end()) return std::nullopt;
  return it->second;
}

std::optional<FileError> MemoryFiles::WriteAll(const std::string& path, const std::string& data) {
  if (std::find(read_only.begin(), read_only.end(), path) != read_only.end()) {
    return FileError{"Accesso negato."};
  }
  content[path] = data;
  return std::nullopt;
}

std::optional<FileError> MemoryFiles::Copy(const std::string& from, const std::string& to) {
  const auto it = content.find(from);
  if (it == content.end()) return FileError{"Impossibile trovare il file specificato."};
  return WriteAll(to, it->second);
}

RecordingSystem::RecordingSystem() = default;

std::string RecordingSystem::CommandLineArgs() {
  Log("CommandLineArgs");
  return args;
}

std::string RecordingSystem::WindowsDirectory() {
  Log("WindowsDirectory");
  return windows_folder;
}

void RecordingSystem::SetScreenSaverActive(bool active) {
  Log(std::string("SystemParametersInfoA 17 ") + (active ? "1" : "0"));
  screen_saver_active = active;
}

bool RecordingSystem::GetCursorPos(CursorPoint& point) {
  Log("GetCursorPos");
  const int call = cursor_calls++;
  if (cursor_failures.count(call)) return false;
  point = cursor(call);
  return true;
}

void RecordingSystem::ShowCursor(bool show) {
  Log(std::string("ShowCursor ") + (show ? "1" : "0"));
  show_cursor_count += show ? 1 : -1;
}

double RecordingSystem::Timer() {
  const double now = clock;
  clock += clock_step;
  monotonic += clock_step;
  if (const auto jump = clock_jumps.find(timer_calls++); jump != clock_jumps.end()) {
    clock += jump->second;
    if (clock < 0) clock += 86400.0;
  }
  if (clock >= 86400.0) clock -= 86400.0;
  return now;
}

double RecordingSystem::Monotonic() { return monotonic; }

void RecordingSystem::HoldPause(int max_ms) {
  if (keep_log) hold_waits.push_back(max_ms);
}

void RecordingSystem::BandPause(double seconds) {
  if (keep_log) band_waits.push_back(seconds);
  monotonic +=
      timer_tick > 0 && seconds > 0 ? std::ceil(seconds / timer_tick) * timer_tick : seconds;
}

Canvas& RecordingSystem::OpenSaverWindow() {
  Log("OpenSaverWindow");
  return window_canvas ? *window_canvas : canvas;
}

WindowEvents RecordingSystem::DoEvents() {
  Log("DoEvents");
  return events(do_events_calls++);
}

std::optional<Picture> RecordingSystem::LoadPicture(const std::string& path) {
  Log("LoadPicture " + path);
  if (load_picture) return load_picture(path);
  const auto it = pictures.find(path);
  if (it == pictures.end()) return std::nullopt;
  return it->second;
}

void RecordingSystem::MessageBox(const std::string& text, const std::string& title) {
  Log("MessageBox " + title + ": " + text);
}

void RecordingSystem::EndProcess(int exit_code) {
  Log("EndProcess " + std::to_string(exit_code));
  throw ProcessEnded{exit_code};
}

}  // namespace brenlow
