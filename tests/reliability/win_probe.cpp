// A small Windows helper for the reliability tests under Wine: reports the
// saver process's GDI and USER objects, handles and memory, or asks its
// window to close as the system would.
//   brenlow_probe counts   ->  "gdi=N user=N handles=N"
//   brenlow_probe close    ->  posts WM_CLOSE to the saver window
//   brenlow_probe ping     ->  "answered_ms=N": how long the saver window
//                              took to answer a sent message (as the system
//                              asks before it calls a window hung); exit 4
//                              when it did not answer within 5 s
//   brenlow_probe invalidate -> marks the whole saver window for painting,
//                              as the system does when a window moved off
//                              it; "painted_ms=N" once it has painted, exit
//                              4 when it has not within a second
//   brenlow_probe active   ->  "active=0|1": the system's screen-saver
//                              activity (SPI_GETSCREENSAVEACTIVE)
//   brenlow_probe crash    ->  starts a thread in the saver process at an
//                              address that faults, so the saver's own
//                              crash handler runs, as for any crash
//   brenlow_probe foreground -> opens a window "brenlow-probe" and takes
//                              the foreground, as a reminder popping up
//                              would; keeps it until the saver window is
//                              gone (exit 0) or 120 s pass (exit 5)
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

HWND SaverWindow() { return ::FindWindowA("brenlow_saver", nullptr); }

// The saver window's process with the access asked for; null, said why, when
// there is no window or the process cannot be opened.
HANDLE SaverProcess(DWORD access) {
  DWORD pid = 0;
  HWND window = SaverWindow();
  if (window) ::GetWindowThreadProcessId(window, &pid);
  HANDLE process = pid ? ::OpenProcess(access, FALSE, pid) : nullptr;
  if (!process) std::printf("cannot open the saver's process (%lu)\n", pid);
  return process;
}

int Counts() {
  HANDLE process = SaverProcess(PROCESS_QUERY_INFORMATION);
  if (!process) return 3;
  DWORD handles = 0;
  ::GetProcessHandleCount(process, &handles);
  std::printf("gdi=%lu user=%lu handles=%lu\n", ::GetGuiResources(process, GR_GDIOBJECTS),
              ::GetGuiResources(process, GR_USEROBJECTS), handles);
  ::CloseHandle(process);
  return 0;
}

int Ping() {
  HWND window = SaverWindow();
  if (!window) return 2;
  const ULONGLONG start = ::GetTickCount64();
  DWORD_PTR result = 0;
  const LRESULT answered = ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &result);
  std::printf("answered_ms=%llu\n", static_cast<unsigned long long>(::GetTickCount64() - start));
  return answered ? 0 : 4;
}

int Invalidate() {
  HWND window = SaverWindow();
  if (!window) return 2;
  const ULONGLONG start = ::GetTickCount64();
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  RECT update;
  while (::GetUpdateRect(window, &update, FALSE)) {
    if (::GetTickCount64() - start > 1000) {
      std::printf("not painted within 1000 ms\n");
      return 4;
    }
    ::Sleep(5);
  }
  std::printf("painted_ms=%llu\n", static_cast<unsigned long long>(::GetTickCount64() - start));
  return 0;
}

int Close() {
  HWND window = SaverWindow();
  if (!window) return 2;
  return ::PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 3;
}

int Crash() {
  HANDLE process = SaverProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ);
  if (!process) return 3;
  // Nothing is mapped at address 16: the thread's first instruction faults.
  const auto start = reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<ULONG_PTR>(16));
  HANDLE thread = ::CreateRemoteThread(process, nullptr, 0, start, nullptr, 0, nullptr);
  ::CloseHandle(process);
  if (!thread) {
    std::printf("cannot start a thread: error %lu\n", ::GetLastError());
    return 4;
  }
  ::CloseHandle(thread);
  return 0;
}

int Active() {
  BOOL active = FALSE;
  if (!::SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) return 2;
  std::printf("active=%d\n", active ? 1 : 0);
  return 0;
}

int Foreground() {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = ::DefWindowProcA;
  window_class.hInstance = ::GetModuleHandleA(nullptr);
  window_class.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  window_class.lpszClassName = "brenlow_probe";
  ::RegisterClassA(&window_class);
  HWND window = ::CreateWindowExA(0, "brenlow_probe", "brenlow-probe", WS_OVERLAPPEDWINDOW, 100,
                                  100, 200, 150, nullptr, nullptr, window_class.hInstance, nullptr);
  if (!window) return 2;
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::SetForegroundWindow(window);
  const ULONGLONG deadline = ::GetTickCount64() + 120000;
  while (SaverWindow() && ::GetTickCount64() < deadline) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  const bool gone = SaverWindow() == nullptr;
  std::printf("saver window %s\n", gone ? "gone" : "still there");
  return gone ? 0 : 5;
}

}  // namespace

int main(int argc, char** argv) {
  const struct {
    const char* name;
    int (*run)();
  } commands[] = {{"counts", Counts},         {"close", Close},   {"ping", Ping},
                  {"invalidate", Invalidate}, {"active", Active}, {"crash", Crash},
                  {"foreground", Foreground}};
  for (const auto& c : commands)
    if (argc == 2 && std::strcmp(argv[1], c.name) == 0) return c.run();
  std::printf("usage: brenlow_probe counts|close|ping|invalidate|active|crash|foreground\n");
  return 1;
}
