#include "platform/win32/win32_displays.h"

#include <stdexcept>
#include <vector>

#include "platform/win32/win32_callbacks.h"
#include "platform/win32/win32_files.h"

namespace brenlow {
namespace {

BOOL CALLBACK AddOtherMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) noexcept {
  return Guarded<BOOL>(FALSE, [&] {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY)) {
      const RECT& r = info.rcMonitor;
      reinterpret_cast<std::vector<PixelBox>*>(data)->push_back({r.left, r.top, r.right, r.bottom});
    }
    return TRUE;
  });
}

// A black window of the saver's class over a monitor, topmost and without
// a cursor, whose keys and close requests count as the saver window's.
class Win32Cover : public Displays::Cover {
 public:
  Win32Cover(const PixelBox& r, const char* window_class, void* data) {
    window_ = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, window_class, "brenlow", WS_POPUP,
                                r.left, r.top, r.width(), r.height(), nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), data);
    RethrowCallbackError();
    if (!window_) throw std::runtime_error(Win32ErrorText(::GetLastError()));
    ::ShowWindow(window_, SW_SHOWNA);
    Paint();
  }
  ~Win32Cover() override { ::DestroyWindow(window_); }
  void Place(const PixelBox& r) override {
    ::SetWindowPos(window_, HWND_TOPMOST, r.left, r.top, r.width(), r.height(), SWP_NOACTIVATE);
    Paint();
  }

 private:
  // Black now, not at the cycle's turn of the queue.
  void Paint() {
    ::UpdateWindow(window_);
    RethrowCallbackError();
  }
  HWND window_;
};

}  // namespace

DisplayLayout Win32Displays::Current() {
  DisplayLayout layout;
  // The primary monitor starts at 0, 0.
  layout.primary = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::EnumDisplayMonitors(nullptr, nullptr, AddOtherMonitor,
                        reinterpret_cast<LPARAM>(&layout.others));
  RethrowCallbackError();
  return layout;
}

void Win32Displays::PlaceSaverWindow(const PixelBox& r) {
  // A new size reaches the canvas through WM_SIZE.
  ::SetWindowPos(window_, HWND_TOPMOST, r.left, r.top, r.width(), r.height(), SWP_NOACTIVATE);
  // What the window gained shows at once, painted from the pixels (black
  // there until the next canvas fill).
  ::RedrawWindow(window_, nullptr, nullptr, RDW_ERASENOW | RDW_UPDATENOW);
  RethrowCallbackError();
}

std::unique_ptr<Displays::Cover> Win32Displays::OpenCover(const PixelBox& bounds) {
  return std::make_unique<Win32Cover>(bounds, class_, data_);
}

void Win32Displays::RaiseSaverWindow() {
  ::SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  RethrowCallbackError();
}

}  // namespace brenlow
