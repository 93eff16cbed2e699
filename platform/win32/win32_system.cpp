#include "platform/win32/win32_system.h"

#include <cmath>
#include <stdexcept>

#include "platform/win32/options_dialog_win32.h"
#include "platform/win32/win32_callbacks.h"
#include "platform/win32/win32_picture.h"

namespace brenlow {
namespace {

constexpr char kSaverClass[] = "brenlow_saver";

// How often the activity check looks for paint requests, in seconds.
constexpr double kPaintLookPeriod = 0.05;

BOOL CALLBACK HideIfSaverWindow(HWND window, LPARAM) noexcept {
  char name[sizeof kSaverClass + 1] = {};
  if (::GetClassNameA(window, name, sizeof name) && lstrcmpA(name, kSaverClass) == 0) {
    ::ShowWindow(window, SW_HIDE);
  }
  return TRUE;
}

}  // namespace

void HideSaverWindows() { ::EnumThreadWindows(::GetCurrentThreadId(), HideIfSaverWindow, 0); }

Win32System::Win32System() { ::QueryPerformanceFrequency(&counter_frequency_); }

Win32System::~Win32System() {
  canvas_.reset();
  framebuffer_.reset();
  watcher_.reset();
  displays_.reset();
  if (window_) {
    // The window outlives the system; its procedure no longer finds it.
    ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    if (dc_) ::ReleaseDC(window_, dc_);
  }
}

std::string Win32System::CommandLineArgs() { return ArgumentsOf(::GetCommandLineA()); }

void SetSystemScreenSaverActive(bool active) {
  ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, nullptr, 0);
  BOOL now = FALSE;
  ::SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &now, 0);
}

void Win32System::SetScreenSaverActive(bool active) { SetSystemScreenSaverActive(active); }

void Win32System::KeepResponsive(double now) {
  // A look into the queue for paint requests only: sent messages (another
  // program asking the window something) are served, a window uncovered or
  // changed is painted from the pixels at once, the system sees a thread
  // that reads its queue and puts no "not responding" ghost over the saver,
  // and Wine shows a window's last drawing. Posted messages, keys included,
  // stay queued for the cycle's turn of the queue.
  if (now - last_peek_ < kPaintLookPeriod) return;
  last_peek_ = now;
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
    ::DispatchMessageA(&msg);
    RethrowCallbackError();
  }
  RethrowCallbackError();
}

void Win32System::Service() {
  // Called at every activity check, between the effects' drawing steps:
  // thousands a second while an effect draws.
  const double now = Monotonic();
  KeepResponsive(now);
  if (canvas_) canvas_->PresentIfDue(now);
  if (watcher_) watcher_->Watch(now);
}

bool Win32System::GetCursorPos(CursorPoint& point) {
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
  Service();
}

void Win32System::BandPause(double seconds) {
  // A very tall logo reveals for many seconds: the queue is looked into
  // here too, so the system never takes the saver for hung. Without a raised
  // timer resolution a wait may last a timer tick (about 16 ms); the bands
  // due by then follow at once, so the reveal keeps its length.
  if (seconds > 0) WaitForMouse(static_cast<int>(std::ceil(seconds * 1000.0)));
  Service();
}

LRESULT CALLBACK Win32System::SaverWindowProc(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam) noexcept {
  return Guarded<LRESULT>(0, [&]() -> LRESULT {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
      ::SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32System*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcA(window, message, wparam, lparam);
    return self->OnMessage(window, message, wparam, lparam);
  });
}

LRESULT Win32System::OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // The cover windows on other monitors share the procedure.
  const bool saver_window = window == window_;
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      pending_.key_down = true;
      return 0;
    case WM_CLOSE:
      // The cycle closes the window itself, through its close handler.
      pending_.close_requested = true;
      return 0;
    case WM_PAINT:
      if (saver_window && framebuffer_) {
        framebuffer_->Paint(window);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      // The pixels paint every point: no black flash first.
      if (saver_window && framebuffer_) return 1;
      break;
    case WM_ACTIVATEAPP:
      // Another program took the foreground (a reminder, an elevated
      // tool): the saver gets out of its way at once, so that the key
      // pressed next reaches a window the user sees, and ends as on a
      // close request. Until it has ended no monitor gets a cover again.
      // Moves between the saver's own windows stay inside the thread and
      // send no such message.
      if (wparam) {
        had_foreground_ = true;
      } else if (had_foreground_) {
        HideSaverWindows();
        if (watcher_) watcher_->Stop();
        pending_.close_requested = true;
      }
      break;
    case WM_SIZE:
      if (saver_window && canvas_) canvas_->Resize(LOWORD(lparam), HIWORD(lparam));
      break;
    case WM_SYSCOMMAND:
      // No other screen saver and no monitor power-down over this one.
      if ((wparam & 0xFFF0) == SC_SCREENSAVE || (wparam & 0xFFF0) == SC_MONITORPOWER) {
        return 0;
      }
      break;
    case WM_DISPLAYCHANGE:
      // Every top-level window hears it; the saver window answers for all.
      if (saver_window && watcher_) watcher_->Follow();
      break;
    default:
      break;
  }
  return ::DefWindowProcA(window, message, wparam, lparam);
}

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

  window_ = ::CreateWindowExA(WS_EX_TOPMOST, kSaverClass, "brenlow", WS_POPUP, 0, 0,
                              ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                              nullptr, nullptr, instance, this);
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
  framebuffer_ =
      std::make_unique<DibFramebuffer>(dc_, inner.right - inner.left, inner.bottom - inner.top);
  // The class's black brush keeps the window black until the first frame.
  canvas_ = std::make_unique<PresentedCanvas>(
      *framebuffer_, [this] { return Monotonic(); }, PresentedCanvas::NewSize::kAtNextFill, true);
  // Covers over the other monitors; the saver window stays above them.
  displays_ = std::make_unique<Win32Displays>(window_, kSaverClass, this);
  watcher_ = std::make_unique<DisplayWatcher>(*displays_);
  watcher_->Follow();
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
  const WindowEvents events = pending_;
  pending_ = WindowEvents{};
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
