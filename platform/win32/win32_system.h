// The saver's system on real Windows: user32, kernel32, GDI.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/cursor_trust.h"
#include "platform/system.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_parsing.h"
#include "platform/win32/window_surface.h"

namespace brenlow {

// Hides every window of the saver (its own and the cover windows), so that
// whatever lies under them is seen and can be used; safe to call from a
// crash handler.
void HideSaverWindows();
// Switches the system's screen saver on or off and reads the setting back:
// Wine hands the change to the X server lazily and loses it when the
// process ends right after, leaving the user's screen saver off for good.
void SetSystemScreenSaverActive(bool active);

class Win32System : public System {
 public:
  Win32System();
  ~Win32System() override;

  std::string CommandLineArgs() override;
  std::string WindowsDirectory() override { return SystemWindowsFolder(); }
  void SetScreenSaverActive(bool active) override;
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
  Files& files() override { return files_; }
  OptionsDialogWindow& OptionsDialog() override;
  [[noreturn]] void EndProcess(int exit_code) override;

 private:
  void KeepResponsive();
  // Sleeps until a mouse message arrives for the thread or max_ms pass.
  void WaitForMouse(int max_ms);
  // Fits the saver's windows again when the monitors changed.
  void WatchMonitors(ULONGLONG now);
  static LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wparam,
                                          LPARAM lparam) noexcept;

  Win32Files files_;
  std::unique_ptr<OptionsDialogWindow> options_dialog_;
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  std::unique_ptr<WindowSurface> canvas_;
  LARGE_INTEGER counter_frequency_{};
  ULONGLONG last_peek_ = 0;
  ULONGLONG last_monitor_look_ = 0;
  // The last cursor reading, and how long it stands in for a new one.
  CursorPoint last_cursor_{};
  CursorTrust cursor_trust_;
};

}  // namespace brenlow
