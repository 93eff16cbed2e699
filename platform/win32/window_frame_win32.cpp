#include "platform/win32/window_frame_win32.h"

#include <windows.h>

namespace brenlow {

FrameExtra ActualFrame(HWND window) {
  RECT r{0, 0, 0, 0};
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
  const DWORD ex_style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
  // Looked up at run time: older systems lack both functions.
  using ForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  using DpiOf = UINT(WINAPI*)(HWND);
  HMODULE user32 = GetModuleHandleA("user32.dll");
  const auto for_dpi = reinterpret_cast<ForDpi>(
      reinterpret_cast<void*>(GetProcAddress(user32, "AdjustWindowRectExForDpi")));
  const auto dpi_of =
      reinterpret_cast<DpiOf>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
  const UINT dpi = dpi_of ? dpi_of(window) : 0;
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
