// The saver's system on real Windows: user32, kernel32, GDI.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/system.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_parsing.h"

namespace brenlow {

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
  void HoldPause(int max_ms) override;
  void BandPause() override;
  Canvas& OpenSaverWindow() override;
  WindowEvents DoEvents() override;
  std::optional<Picture> LoadPicture(const std::string& path) override;
  void MessageBox(const std::string& text, const std::string& title) override;
  Files& files() override { return files_; }
  OptionsDialogWindow& OptionsDialog() override;
  [[noreturn]] void EndProcess(int exit_code) override;

 private:
  void KeepResponsive();
  // Fits the saver's windows again when the monitors changed.
  void WatchMonitors(ULONGLONG now);
  static LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wparam,
                                          LPARAM lparam) noexcept;

  Win32Files files_;
  std::unique_ptr<OptionsDialogWindow> options_dialog_;
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  std::unique_ptr<GdiCanvas> canvas_;
  LARGE_INTEGER counter_frequency_{};
  ULONGLONG last_peek_ = 0;
  ULONGLONG last_monitor_look_ = 0;
  // The last cursor reading, and until when (tick count) it stands in for a
  // new one: after a hold pause in which no mouse message came.
  CursorPoint last_cursor_{};
  ULONGLONG last_cursor_read_ = 0;
  ULONGLONG cursor_valid_until_ = 0;
};

}  // namespace brenlow
