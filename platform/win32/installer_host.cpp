#include "platform/win32/installer_host.h"

#include <windows.h>
#undef MessageBox  // InstallerHost::MessageBox, not the user32 macro
#include <sddl.h>
#include <wtsapi32.h>

#include <cmath>

#include "assets/quillet_rc.h"
#include "installer/frmsetup.h"
#include "platform/win32/win32_callbacks.h"
#include "platform/win32/win32_parsing.h"
#include "platform/win32/window_frame_win32.h"

namespace brenlow {

namespace {

constexpr int kCommand1 = 1;
constexpr char kClassName[] = "frmsetup";
// Command1's design-time bounds in twips (left, top, width, height).
constexpr int kDesignTwips[4] = {300, 300, 4200, 2700};

struct SetupWindow {
  HWND button = nullptr;
  HCURSOR hand = nullptr;
  int dpi_x = 96;
  int dpi_y = 96;
};

// The nearest pixel, halves to even, as the frame's size (MulDiv would round
// halves up).
int PixelsFromTwips(int twips, int dpi) {
  return static_cast<int>(std::nearbyint(twips * static_cast<double>(dpi) / 1440.0));
}

// The fixed outer size, giving the client area it has on the design frame.
SetupRect FittedFrame(HWND hwnd, const SetupWindow& self) {
  SetupRect frame = frmsetup::FrameSize(self.dpi_x, self.dpi_y);
  const FrameExtra design = DesignFrame(self.dpi_x, self.dpi_y);
  const FrameExtra actual = ActualFrame(hwnd);
  frame.width = FittedOuter(frame.width, design.width, actual.width);
  frame.height = FittedOuter(frame.height, design.height, actual.height);
  return frame;
}

// Holds the frame at its fixed size and lays the button out inside it. The
// SetWindowPos below raises a nested WM_SIZE, which finds the size already
// right and only lays out.
void Form_Resize(HWND hwnd, const SetupWindow& self) {
  const SetupRect frame = FittedFrame(hwnd, self);
  RECT outer;
  GetWindowRect(hwnd, &outer);
  if (outer.right - outer.left != frame.width || outer.bottom - outer.top != frame.height) {
    SetWindowPos(hwnd, nullptr, 0, 0, frame.width, frame.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (!self.button) return;
  RECT inner;
  GetClientRect(hwnd, &inner);
  const SetupRect b = frmsetup::Command1Bounds(inner.right, inner.bottom);
  MoveWindow(self.button, b.left, b.top, b.width, b.height, TRUE);
}

LRESULT HandleFrmSetup(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<SetupWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_WINDOWPOSCHANGING:
      // A size change asked from outside (the frame dragged, the display
      // server resizing) is held at the fixed size before it happens.
      if (self && !IsIconic(hwnd) && !IsZoomed(hwnd)) {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lparam);
        if (!(pos->flags & SWP_NOSIZE)) {
          const SetupRect frame = FittedFrame(hwnd, *self);
          pos->cx = frame.width;
          pos->cy = frame.height;
        }
      }
      break;
    case WM_SIZE:
      // Only a window in its normal state can take the fixed size.
      if (self && wparam == SIZE_RESTORED) Form_Resize(hwnd, *self);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == kCommand1 && HIWORD(wparam) == BN_CLICKED) {
        DestroyWindow(hwnd);
        return 0;
      }
      break;
    case WM_SETCURSOR:
      if (self && self->hand && reinterpret_cast<HWND>(wparam) == self->button &&
          LOWORD(lparam) == HTCLIENT) {
        SetCursor(self->hand);
        return TRUE;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK FrmSetupProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  return Guarded<LRESULT>(0, [&] { return HandleFrmSetup(hwnd, message, wparam, lparam); });
}

// Closes the window when the installer's own code fails on the way out.
class WindowGuard {
 public:
  explicit WindowGuard(HWND hwnd) : hwnd_(hwnd) {}
  ~WindowGuard() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  WindowGuard(const WindowGuard&) = delete;
  WindowGuard& operator=(const WindowGuard&) = delete;

 private:
  HWND hwnd_;
};

std::string SessionText(WTS_INFO_CLASS what) {
  char* text = nullptr;
  DWORD bytes = 0;
  if (!WTSQuerySessionInformationA(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, what, &text,
                                   &bytes)) {
    return {};
  }
  std::string value = text;
  WTSFreeMemory(text);
  return value;
}

// The profile folder of the user signed in to this session, or empty. Asked
// of the session and the registry rather than of that user's processes,
// whose tokens an administrator may not open.
std::string SessionUserProfile() {
  const std::string user = SessionText(WTSUserName);
  if (user.empty()) return {};
  const std::string domain = SessionText(WTSDomainName);
  const std::string account = domain.empty() ? user : domain + "\\" + user;
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD sid_size = sizeof sid;
  char found_domain[256];
  DWORD domain_size = sizeof found_domain;
  SID_NAME_USE use;
  char* sid_text = nullptr;
  if (!LookupAccountNameA(nullptr, account.c_str(), sid, &sid_size, found_domain, &domain_size,
                          &use) ||
      !ConvertSidToStringSidA(sid, &sid_text)) {
    return {};
  }
  const std::string key_name =
      std::string("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\") + sid_text;
  LocalFree(sid_text);
  HKEY key;
  // The 64-bit view on 64-bit Windows: a 32-bit quillet must not be
  // redirected.
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_name.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                    &key) != ERROR_SUCCESS) {
    return {};
  }
  char profile[MAX_PATH];
  DWORD bytes = sizeof profile;
  // RRF_RT_REG_SZ takes REG_EXPAND_SZ too, expanded ("%SystemDrive%\Users\x").
  const LSTATUS read =
      RegGetValueA(key, nullptr, "ProfileImagePath", RRF_RT_REG_SZ, nullptr, profile, &bytes);
  RegCloseKey(key);
  return read == ERROR_SUCCESS ? profile : "";
}

}  // namespace

void Win32InstallerHost::DeleteStream(const std::string& path) {
  // A missing stream (or file) is what most installs find: nothing to say.
  DeleteFileA(path.c_str());
}

void Win32InstallerHost::DeleteUserCopy(const std::string& path) {
  char local[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH);
  const std::string elevated_local = length > 0 && length < MAX_PATH ? local : "";
  // Most users never saved settings of their own: nothing to say then.
  for (const std::string& copy : UserCopyPaths(path, elevated_local, SessionUserProfile())) {
    DeleteFileA(copy.c_str());
  }
}

void Win32InstallerHost::MessageBox(const std::string& text, const std::string& title) {
  MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
  RethrowCallbackError();
}

std::optional<std::string> Win32InstallerHost::ShowSetupWindow(const std::string& caption) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  SetupWindow self;
  const HDC screen = GetDC(nullptr);
  self.dpi_x = GetDeviceCaps(screen, LOGPIXELSX);
  self.dpi_y = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  self.hand = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_QUILLET_HAND));

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = FrmSetupProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_QUILLET));
  wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_QUILLET), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassExA(&wc);

  // A normal resizable frame without minimise and maximise: the resize
  // handling holds a size only the normal state can have.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
  const SetupRect frame = frmsetup::FrameSize(self.dpi_x, self.dpi_y);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - frame.width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - frame.height) / 2;
  const HWND hwnd = CreateWindowExA(0, kClassName, "", style, x, y, frame.width, frame.height,
                                    nullptr, nullptr, instance, &self);
  if (!hwnd) return Win32ErrorText(GetLastError());
  const WindowGuard window(hwnd);
  RethrowCallbackError();

  self.button = CreateWindowExA(
      0, "BUTTON", caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
      PixelsFromTwips(kDesignTwips[0], self.dpi_x), PixelsFromTwips(kDesignTwips[1], self.dpi_y),
      PixelsFromTwips(kDesignTwips[2], self.dpi_x), PixelsFromTwips(kDesignTwips[3], self.dpi_y),
      hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCommand1)), instance, nullptr);
  if (!self.button) return Win32ErrorText(GetLastError());
  // Times New Roman, 14.25 points, regular.
  const HFONT font = CreateFontA(-MulDiv(1425, self.dpi_y, 7200), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                 FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN, "Times New Roman");
  SendMessageA(self.button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  ShowWindow(hwnd, SW_SHOWNORMAL);
  Form_Resize(hwnd, self);
  UpdateWindow(hwnd);
  SetFocus(self.button);
  RethrowCallbackError();

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(hwnd, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    RethrowCallbackError();
  }
  DeleteObject(font);
  return std::nullopt;
}

}  // namespace brenlow
