#include "platform/win32/win32_system.h"

#include <mmsystem.h>

#include "platform/win32/options_dialog_win32.h"

namespace brenlow {
namespace {

constexpr char kSaverClass[] = "brenlow_saver";

// What the saver window's procedure heard since the last turn of the queue.
WindowEvents g_pending;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string ArgumentsOf(const char* command_line) {
  if (command_line == nullptr) return {};
  const char* p = command_line;
  // The program's path: quoted up to the next quote, or up to the first
  // blank; no escapes, as the C runtime reads argv[0].
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && !IsBlank(*p)) ++p;
  }
  while (IsBlank(*p)) ++p;
  return std::string(p);
}

namespace {

std::uint32_t Le(const std::string& b, size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

}  // namespace

bool BitmapFileIsWhole(const std::string& b) {
  constexpr std::uint64_t kFileHeader = 14;
  const std::uint64_t size = b.size();
  if (size < kFileHeader + 12 || b[0] != 'B' || b[1] != 'M') return false;
  const std::uint64_t pixels_at = Le(b, 10, 4);
  const std::uint64_t header = Le(b, 14, 4);
  if ((header != 12 && header < 40) || size < kFileHeader + header) return false;
  std::int64_t width, height;
  std::uint32_t bits, compression = 0, image_size = 0, colours_used = 0;
  std::uint64_t palette_entry;
  if (header == 12) {
    width = Le(b, 18, 2);
    height = Le(b, 20, 2);
    bits = Le(b, 24, 2);
    palette_entry = 3;
  } else {
    width = static_cast<std::int32_t>(Le(b, 18, 4));
    height = static_cast<std::int32_t>(Le(b, 22, 4));
    bits = Le(b, 28, 2);
    compression = Le(b, 30, 4);
    image_size = Le(b, 34, 4);
    colours_used = Le(b, 46, 4);
    palette_entry = 4;
  }
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  std::uint64_t tables = kFileHeader + header;
  if (compression == 3 && header == 40) tables += 12;  // the three colour masks
  if (bits <= 8) {
    const std::uint64_t colours = colours_used != 0 ? colours_used : (1u << bits);
    if (colours > 256) return false;
    tables += colours * palette_entry;
  }
  if (tables > size || pixels_at < kFileHeader + header || pixels_at > size) return false;
  switch (compression) {
    case 0:  // uncompressed
    case 3: {
      const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
      return pixels_at + stride * static_cast<std::uint64_t>(height) <= size;
    }
    case 1:  // run-length encoded, 8 and 4 bits
    case 2:
      return image_size > 0 && pixels_at + image_size <= size;
    default:
      return false;
  }
}

Win32System::Win32System() {
  ::QueryPerformanceFrequency(&counter_frequency_);
  timer_period_set_ = ::timeBeginPeriod(1) == TIMERR_NOERROR;
}

Win32System::~Win32System() {
  canvas_.reset();
  if (window_ && dc_) ::ReleaseDC(window_, dc_);
  if (timer_period_set_) ::timeEndPeriod(1);
}

std::string Win32System::CommandLineArgs() { return ArgumentsOf(::GetCommandLineA()); }

std::uint32_t Win32System::GetWindowsDirectoryA(char* buffer, std::uint32_t size) {
  return ::GetWindowsDirectoryA(buffer, size);
}

void Win32System::SetScreenSaverActive(bool active) {
  ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, nullptr, 0);
}

CursorPoint Win32System::GetCursorPos() {
  POINT point{};
  ::GetCursorPos(&point);
  return CursorPoint{point.x, point.y};
}

void Win32System::ShowCursor(bool show) { ::ShowCursor(show ? TRUE : FALSE); }

double Win32System::Timer() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

void Win32System::SleepAbout1ms() {
  // Sent messages (another program asking the window something) are served
  // here, so the window never looks hung during a hold; posted ones, keys
  // included, stay queued for the cycle's turn of the queue.
  MSG msg;
  ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  ::Sleep(1);
}

void Win32System::BandPause() {
  // About 0.7 ms: ~600 bands of a tall logo take under half a second.
  LARGE_INTEGER start, now;
  ::QueryPerformanceCounter(&start);
  const LONGLONG ticks = counter_frequency_.QuadPart * 7 / 10000;
  do {
    ::QueryPerformanceCounter(&now);
  } while (now.QuadPart - start.QuadPart < ticks);
}

LRESULT CALLBACK Win32System::SaverWindowProc(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
  try {
    switch (message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        g_pending.key_down = true;
        return 0;
      case WM_CLOSE:
        // The cycle closes the window itself, through its close handler.
        g_pending.close_requested = true;
        return 0;
      case WM_SYSCOMMAND:
        // No other screen saver and no monitor power-down over this one.
        if ((wparam & 0xFFF0) == SC_SCREENSAVE || (wparam & 0xFFF0) == SC_MONITORPOWER) {
          return 0;
        }
        break;
      default:
        break;
    }
    return ::DefWindowProcA(window, message, wparam, lparam);
  } catch (...) {
    return 0;
  }
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

  const int width = ::GetSystemMetrics(SM_CXSCREEN);
  const int height = ::GetSystemMetrics(SM_CYSCREEN);
  window_ = ::CreateWindowExA(WS_EX_TOPMOST, kSaverClass, "brenlow", WS_POPUP, 0, 0, width, height,
                              nullptr, nullptr, instance, nullptr);
  if (!window_) ::ExitProcess(1);
  ::ShowWindow(window_, SW_SHOW);
  ::SetForegroundWindow(window_);
  ::SetActiveWindow(window_);
  ::SetFocus(window_);
  ::UpdateWindow(window_);
  dc_ = ::GetDC(window_);
  canvas_ = std::make_unique<GdiCanvas>(window_, dc_);
  return *canvas_;
}

WindowEvents Win32System::DoEvents() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  const WindowEvents events = g_pending;
  g_pending = WindowEvents{};
  return events;
}

std::optional<Picture> Win32System::LoadPicture(const std::string& path) {
  if (path.empty()) return std::nullopt;
  const std::optional<std::string> bytes = files_.ReadAll(path);
  if (!bytes || !BitmapFileIsWhole(*bytes)) return std::nullopt;
  HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bitmap) return std::nullopt;
  std::optional<Picture> result;
  BITMAP info{};
  // A limit far above any screen keeps the pixel count within size_t.
  constexpr LONG kMaxSide = 1 << 15;
  if (::GetObjectA(bitmap, sizeof info, &info) == sizeof info && info.bmWidth > 0 &&
      info.bmHeight > 0 && info.bmWidth <= kMaxSide && info.bmHeight <= kMaxSide) {
    Picture picture;
    picture.width = info.bmWidth;
    picture.height = info.bmHeight;
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = picture.width;
    request.bmiHeader.biHeight = -picture.height;  // top row first
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(picture.height),
                                 picture.pixels.data(), &request, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows == picture.height) {
      // 0x00RRGGBB as the DIB holds it, to COLORREF's 0x00BBGGRR.
      for (Colour& c : picture.pixels) {
        c = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
      }
      result = std::move(picture);
    }
  }
  ::DeleteObject(bitmap);
  return result;
}

void Win32System::MessageBox(const std::string& text, const std::string& title) {
  ::MessageBoxA(window_, text.c_str(), title.c_str(), MB_OK);
}

OptionsDialogWindow& Win32System::OptionsDialog() {
  if (!options_dialog_) options_dialog_ = MakeOptionsDialogWindow();
  if (!options_dialog_) EndProcess(0);
  return *options_dialog_;
}

void Win32System::EndProcess(int exit_code) { ::ExitProcess(static_cast<UINT>(exit_code)); }

}  // namespace brenlow
