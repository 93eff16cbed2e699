// The saver's system on real Windows: user32, kernel32, GDI.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/system.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/win32_files.h"

namespace brenlow {

// The argument text of a command line: what follows the program's path,
// split off as the C runtime splits argv[0], leading blanks skipped.
std::string ArgumentsOf(const char* command_line);

// Whether a file's bytes hold a whole bitmap: a header the loader knows and
// every byte of palette and pixels that the header promises. Cut-off files
// are turned away before LoadImage reads past their end.
bool BitmapFileIsWhole(const std::string& bytes);

class Win32System : public System {
 public:
  Win32System();
  ~Win32System() override;

  std::string CommandLineArgs() override;
  std::uint32_t GetWindowsDirectoryA(char* buffer, std::uint32_t size) override;
  void SetScreenSaverActive(bool active) override;
  CursorPoint GetCursorPos() override;
  void ShowCursor(bool show) override;
  double Timer() override;
  void SleepAbout1ms() override;
  void BandPause() override;
  Canvas& OpenSaverWindow() override;
  WindowEvents DoEvents() override;
  std::optional<Picture> LoadPicture(const std::string& path) override;
  void MessageBox(const std::string& text, const std::string& title) override;
  Files& files() override { return files_; }
  OptionsDialogWindow& OptionsDialog() override;
  [[noreturn]] void EndProcess(int exit_code) override;

 private:
  static LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  Win32Files files_;
  std::unique_ptr<OptionsDialogWindow> options_dialog_;
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  std::unique_ptr<GdiCanvas> canvas_;
  LARGE_INTEGER counter_frequency_{};
  bool timer_period_set_ = false;
};

}  // namespace brenlow
