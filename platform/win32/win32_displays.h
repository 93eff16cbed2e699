// The monitors of a Windows desktop for the display watcher, and the saver
// window and the black covers placed over them.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/screen/display_watcher.h"

namespace brenlow {

class Win32Displays : public Displays {
 public:
  // Covers are windows of the saver window's class; their procedure finds
  // window_data in their user data, as the saver window's does.
  Win32Displays(HWND saver_window, const char* window_class, void* window_data)
      : window_(saver_window), class_(window_class), data_(window_data) {}

  DisplayLayout Current() override;
  void PlaceSaverWindow(const PixelBox& bounds) override;
  std::unique_ptr<Cover> OpenCover(const PixelBox& bounds) override;
  void RaiseSaverWindow() override;

 private:
  HWND window_;
  const char* class_;
  void* data_;
};

}  // namespace brenlow
