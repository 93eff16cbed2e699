// The saver's system on real Windows: user32, kernel32, GDI.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/cursor_trust.h"
#include "platform/screen/display_watcher.h"
#include "platform/screen/presented_canvas.h"
#include "platform/system.h"
#include "platform/win32/dib_framebuffer.h"
#include "platform/win32/win32_displays.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_parsing.h"

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
  void Service() override;
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
  // Serves the window without taking input: see Service.
  void KeepResponsive(double now);
  // Sleeps until a mouse message arrives for the thread or max_ms pass.
  void WaitForMouse(int max_ms);
  // The saver window's and the covers' procedure; the system is in their
  // user data.
  static LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wparam,
                                          LPARAM lparam) noexcept;
  LRESULT OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  Win32Files files_;
  std::unique_ptr<OptionsDialogWindow> options_dialog_;
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  // Made with the window, in this order.
  std::unique_ptr<Win32Displays> displays_;
  std::unique_ptr<DisplayWatcher> watcher_;
  std::unique_ptr<DibFramebuffer> framebuffer_;
  std::unique_ptr<PresentedCanvas> canvas_;
  LARGE_INTEGER counter_frequency_{};
  double last_peek_ = 0;
  // What the windows' procedure heard since the last turn of the queue.
  WindowEvents pending_;
  // Whether the saver has had the foreground: only then is losing it a
  // reason to end (a saver started without it keeps running).
  bool had_foreground_ = false;
  // The last cursor reading, and how long it stands in for a new one.
  CursorPoint last_cursor_{};
  CursorTrust cursor_trust_;
};

}  // namespace brenlow
