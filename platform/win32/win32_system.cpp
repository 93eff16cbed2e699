#include "platform/win32/win32_system.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "platform/win32/gdi_canvas.h"
#include "platform/win32/options_dialog_win32.h"
#include "platform/win32/win32_callbacks.h"
#include "platform/win32/win32_parsing.h"
#include "platform/win32/win32_picture.h"
#include "platform/win32/window_surface.h"

namespace brenlow {
namespace {

constexpr char kSaverClass[] = "brenlow_saver";

// What the saver window's procedure heard since the last turn of the queue.
WindowEvents g_pending;
// The saver window and its canvas, told when that window's size changes
// (the cover windows on other monitors share the window procedure).
HWND g_saver_window = nullptr;
WindowSurface* g_canvas = nullptr;
// Whether the saver has had the foreground: only then is losing it a reason
// to end (a saver started without it keeps running).
bool g_had_foreground = false;

BOOL CALLBACK HideIfSaverWindow(HWND window, LPARAM) noexcept {
  char name[sizeof kSaverClass + 1] = {};
  if (::GetClassNameA(window, name, sizeof name) && lstrcmpA(name, kSaverClass) == 0) {
    ::ShowWindow(window, SW_HIDE);
  }
  return TRUE;
}
// The black windows over every monitor but the primary one.
std::vector<HWND> g_covers;

// The monitors: the primary's size (it starts at 0, 0) and the others' rectangles.
struct MonitorLayout {
  int width = 0;
  int height = 0;
  std::vector<RECT> others;
  bool operator==(const MonitorLayout& b) const {
    return width == b.width && height == b.height && others.size() == b.others.size() &&
           std::equal(others.begin(), others.end(), b.others.begin(),
                      [](const RECT& x, const RECT& y) { return ::EqualRect(&x, &y) != FALSE; });
  }
};
// What the windows were last fitted to.
MonitorLayout g_layout;

MonitorLayout CurrentLayout();
// Fits the covers and the saver window to the monitors as they are now.
void FollowMonitors();

}  // namespace

void HideSaverWindows() { ::EnumThreadWindows(::GetCurrentThreadId(), HideIfSaverWindow, 0); }

Win32System::Win32System() { ::QueryPerformanceFrequency(&counter_frequency_); }

Win32System::~Win32System() {
  g_covers.clear();
  g_layout = MonitorLayout{};
  g_canvas = nullptr;
  g_saver_window = nullptr;
  canvas_.reset();
  if (window_ && dc_) ::ReleaseDC(window_, dc_);
}

std::string Win32System::CommandLineArgs() { return ArgumentsOf(::GetCommandLineA()); }

void SetSystemScreenSaverActive(bool active) {
  ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, nullptr, 0);
  BOOL now = FALSE;
  ::SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &now, 0);
}

void Win32System::SetScreenSaverActive(bool active) { SetSystemScreenSaverActive(active); }

void Win32System::KeepResponsive() {
  // A look into the queue for paint requests only: sent messages (another
  // program asking the window something) are served, a window uncovered or
  // changed is painted from the drawing surface at once, the system sees a
  // thread that reads its queue and puts no "not responding" ghost over the
  // saver, and it presents what was drawn last (Wine shows a window's last
  // drawing only then). Posted messages, keys included, stay queued for the
  // cycle's turn of the queue.
  const ULONGLONG now = ::GetTickCount64();
  if (now - last_peek_ < 50) return;
  last_peek_ = now;
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
    ::DispatchMessageA(&msg);
    RethrowCallbackError();
  }
  RethrowCallbackError();
  WatchMonitors(now);
}

void Win32System::WatchMonitors(ULONGLONG now) {
  // Not every system sends WM_DISPLAYCHANGE (Wine does not when the X
  // screen changes under it): the monitors are looked at four times a
  // second as well, so a monitor that comes is covered well within one.
  if (!g_saver_window || now - last_monitor_look_ < 250) return;
  last_monitor_look_ = now;
  if (!(CurrentLayout() == g_layout)) FollowMonitors();
}

bool Win32System::GetCursorPos(CursorPoint& point) {
  // Called at every activity check, between the effects' drawing steps:
  // thousands a second while an effect draws.
  KeepResponsive();
  if (canvas_) canvas_->PresentIfDue();
  const double now = Monotonic();
  if (cursor_trust_.Fresh(now)) {
    point = last_cursor_;
    return true;
  }
  POINT read{};
  // Fails (access denied) while another desktop has the input; the point
  // then keeps its last value, so the check sees no movement.
  if (!::GetCursorPos(&read)) return false;
  last_cursor_ = CursorPoint{read.x, read.y};
  cursor_trust_.Read(now);
  point = last_cursor_;
  return true;
}

void Win32System::ShowCursor(bool show) { ::ShowCursor(show ? TRUE : FALSE); }

double Win32System::Timer() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

double Win32System::Monotonic() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(counter_frequency_.QuadPart);
}

void Win32System::WaitForMouse(int max_ms) {
  // What was drawn is shown before the thread sleeps.
  if (canvas_) canvas_->Present();
  // Sleeps until the pointer moves over the thread's windows or max_ms pass;
  // no raised timer resolution is needed for that. Mouse messages are of no
  // use to the saver (it reads the cursor itself) and are taken out, so the
  // next wait waits for a new move; keys stay queued for the cycle's turn.
  const DWORD woke = ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(max_ms), QS_MOUSE,
                                                   MWMO_INPUTAVAILABLE);
  if (woke == WAIT_OBJECT_0) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    RethrowCallbackError();
    cursor_trust_.Moved();
  } else if (woke == WAIT_TIMEOUT) {
    // No mouse message: the pointer has not moved over the saver's windows,
    // so the last reading stands for a while instead of asking the system
    // at every check (under Wine each reading is a server round trip). A
    // pointer moving elsewhere (captured by another program) is still seen
    // within kLongestHoldWaitMs.
    cursor_trust_.QuietWait();
  }
}

void Win32System::HoldPause(int max_ms) {
  WaitForMouse(max_ms);
  KeepResponsive();
}

void Win32System::BandPause(double seconds) {
  // A very tall logo reveals for many seconds: the queue is looked into
  // here too, so the system never takes the saver for hung. Without a raised
  // timer resolution a wait may last a timer tick (about 16 ms); the bands
  // due by then follow at once, so the reveal keeps its length.
  if (seconds > 0) {
    WaitForMouse(static_cast<int>(std::ceil(seconds * 1000.0)));
  } else if (canvas_) {
    canvas_->PresentIfDue();
  }
  KeepResponsive();
}

LRESULT CALLBACK Win32System::SaverWindowProc(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam) noexcept {
  return Guarded<LRESULT>(0, [&]() -> LRESULT {
    switch (message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        g_pending.key_down = true;
        return 0;
      case WM_CLOSE:
        // The cycle closes the window itself, through its close handler.
        g_pending.close_requested = true;
        return 0;
      case WM_PAINT:
        if (g_canvas && window == g_saver_window) {
          PAINTSTRUCT paint;
          HDC dc = ::BeginPaint(window, &paint);
          g_canvas->Paint(dc, paint.rcPaint);
          ::EndPaint(window, &paint);
          return 0;
        }
        break;
      case WM_ERASEBKGND:
        // The surface paints every pixel: no black flash first.
        if (g_canvas && window == g_saver_window) return 1;
        break;
      case WM_ACTIVATEAPP:
        // Another program took the foreground (a reminder, an elevated
        // tool): the saver gets out of its way at once, so that the key
        // pressed next reaches a window the user sees, and ends as on a
        // close request. Moves between the saver's own windows stay inside
        // the thread and send no such message.
        if (wparam) {
          g_had_foreground = true;
        } else if (g_had_foreground) {
          HideSaverWindows();
          g_pending.close_requested = true;
        }
        break;
      case WM_SIZE:
        if (g_canvas && window == g_saver_window) g_canvas->Resize(LOWORD(lparam), HIWORD(lparam));
        break;
      case WM_SYSCOMMAND:
        // No other screen saver and no monitor power-down over this one.
        if ((wparam & 0xFFF0) == SC_SCREENSAVE || (wparam & 0xFFF0) == SC_MONITORPOWER) {
          return 0;
        }
        break;
      case WM_DISPLAYCHANGE:
        // Every top-level window hears it; the saver window answers for all.
        if (window == g_saver_window) FollowMonitors();
        break;
      default:
        break;
    }
    return ::DefWindowProcA(window, message, wparam, lparam);
  });
}

namespace {

BOOL CALLBACK AddOtherMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) noexcept {
  return Guarded<BOOL>(FALSE, [&] {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY)) {
      reinterpret_cast<std::vector<RECT>*>(data)->push_back(info.rcMonitor);
    }
    return TRUE;
  });
}

// The rectangles of every monitor but the primary one.
std::vector<RECT> OtherMonitors() {
  std::vector<RECT> rects;
  ::EnumDisplayMonitors(nullptr, nullptr, AddOtherMonitor, reinterpret_cast<LPARAM>(&rects));
  RethrowCallbackError();
  return rects;
}

MonitorLayout CurrentLayout() {
  return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), OtherMonitors()};
}

// The drawing covers the primary screen; every other monitor gets a black
// window of the saver's class, without a cursor, whose keys and close
// requests count as the saver window's. Covers already made are moved to
// the monitors there are now, made for monitors that came and destroyed
// for monitors that went.
void FitCovers(const std::vector<RECT>& monitors) {
  while (g_covers.size() > monitors.size()) {
    ::DestroyWindow(g_covers.back());
    g_covers.pop_back();
    RethrowCallbackError();
  }
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  for (size_t i = 0; i < monitors.size(); ++i) {
    const RECT& r = monitors[i];
    if (i < g_covers.size()) {
      ::SetWindowPos(g_covers[i], HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOACTIVATE);
    } else {
      HWND cover = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kSaverClass, "brenlow",
                                     WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                     nullptr, nullptr, instance, nullptr);
      RethrowCallbackError();
      if (!cover) throw std::runtime_error(Win32ErrorText(::GetLastError()));
      g_covers.push_back(cover);
      ::ShowWindow(cover, SW_SHOWNA);
    }
    // Black now, not at the cycle's turn of the queue.
    ::UpdateWindow(g_covers[i]);
    RethrowCallbackError();
  }
}

void FollowMonitors() {
  g_layout = CurrentLayout();
  FitCovers(g_layout.others);
  // The new size reaches the drawing surface through WM_SIZE.
  ::SetWindowPos(g_saver_window, HWND_TOPMOST, 0, 0, g_layout.width, g_layout.height,
                 SWP_NOACTIVATE);
  // What the window gained shows at once, painted from the drawing surface
  // (black there until the next canvas fill).
  ::RedrawWindow(g_saver_window, nullptr, nullptr, RDW_ERASENOW | RDW_UPDATENOW);
  RethrowCallbackError();
}

}  // namespace

Canvas& Win32System::OpenSaverWindow() {
  if (canvas_) return *canvas_;
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  // Its own DC: the drawing state set on it stays from one call to the next.
  window_class.style = CS_OWNDC;
  window_class.lpfnWndProc = SaverWindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(1));
  window_class.hCursor = nullptr;
  window_class.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  window_class.lpszClassName = kSaverClass;
  ::RegisterClassExA(&window_class);

  // Covers first, so the saver window lies above them where monitors
  // overlap.
  g_layout = CurrentLayout();
  FitCovers(g_layout.others);
  window_ = ::CreateWindowExA(WS_EX_TOPMOST, kSaverClass, "brenlow", WS_POPUP, 0, 0, g_layout.width,
                              g_layout.height, nullptr, nullptr, instance, nullptr);
  RethrowCallbackError();
  // Thrown, not ended here, so that the saver's own ending gives the cursor
  // and the system's screen saver back.
  if (!window_) throw std::runtime_error(Win32ErrorText(::GetLastError()));
  ::ShowWindow(window_, SW_SHOW);
  ::SetForegroundWindow(window_);
  ::SetActiveWindow(window_);
  ::SetFocus(window_);
  ::UpdateWindow(window_);
  RethrowCallbackError();
  dc_ = ::GetDC(window_);
  RECT inner{};
  ::GetClientRect(window_, &inner);
  canvas_ =
      std::make_unique<WindowSurface>(dc_, inner.right - inner.left, inner.bottom - inner.top);
  g_canvas = canvas_.get();
  g_saver_window = window_;
  return *canvas_;
}

WindowEvents Win32System::DoEvents() {
  if (canvas_) canvas_->Present();
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
    RethrowCallbackError();
  }
  const WindowEvents events = g_pending;
  g_pending = WindowEvents{};
  return events;
}

std::optional<Picture> Win32System::LoadPicture(const std::string& path) {
  return LoadBitmapFile(path);
}

void Win32System::MessageBox(const std::string& text, const std::string& title) {
  ::MessageBoxA(window_, text.c_str(), title.c_str(), MB_OK);
  RethrowCallbackError();
}

OptionsDialogWindow& Win32System::OptionsDialog() {
  if (!options_dialog_) options_dialog_ = MakeOptionsDialogWindow();
  if (!options_dialog_) EndProcess(0);
  return *options_dialog_;
}

void Win32System::EndProcess(int exit_code) { ::ExitProcess(static_cast<UINT>(exit_code)); }

}  // namespace brenlow
