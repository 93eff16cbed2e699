#include "platform/win32/window_frame_win32.h"

#include <windows.h>

namespace brenlow {

unsigned WindowDpi(HWND window) {
  if (!window) return 0;
  // Looked up at run time: older systems (and some Wine versions) lack one
  // or both functions.
  using DpiOf = UINT(WINAPI*)(HWND);
  static const auto dpi_of = reinterpret_cast<DpiOf>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (const UINT dpi = dpi_of ? dpi_of(window) : 0) return dpi;
  using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const HMODULE shcore = LoadLibraryExA("shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  static const auto for_monitor = reinterpret_cast<DpiForMonitor>(
      reinterpret_cast<void*>(shcore ? GetProcAddress(shcore, "GetDpiForMonitor") : nullptr));
  UINT dpi_x = 0, dpi_y = 0;
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  if (!for_monitor || FAILED(for_monitor(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY),
                                         kEffectiveDpi, &dpi_x, &dpi_y))) {
    return 0;
  }
  return dpi_y;
}

FrameExtra ActualFrame(HWND window) {
  RECT r{0, 0, 0, 0};
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
  const DWORD ex_style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
  // Looked up at run time: older systems lack it.
  using ForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  const auto for_dpi = reinterpret_cast<ForDpi>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi")));
  const UINT dpi = WindowDpi(window);
  if (!(for_dpi && dpi && for_dpi(&r, style, FALSE, ex_style, dpi))) {
    AdjustWindowRectEx(&r, style, FALSE, ex_style);
  }
  return {r.right - r.left, r.bottom - r.top};
}

void MakeThreadSystemDpiAware() {
  using SetContext = HANDLE(WINAPI*)(HANDLE);
  const auto set_context = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext")));
  // DPI_AWARENESS_CONTEXT_SYSTEM_AWARE, which older headers lack.
  if (set_context) set_context(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-2)));
}

}  // namespace brenlow
