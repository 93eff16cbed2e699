// Measures the logo's band pause on this machine: 600 pauses, the number of
// bands a 480-pixel logo takes, must stay well under a second.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/win32/win32_system.h"

int main() {
  brenlow::Win32System system;
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  std::vector<double> runs;
  for (int run = 0; run < 5; ++run) {
    ::QueryPerformanceCounter(&start);
    for (int band = 0; band < 600; ++band) system.BandPause();
    ::QueryPerformanceCounter(&end);
    runs.push_back(static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
  }
  // The shortest single pause shows the pause itself, free of the time a
  // busy machine takes the processor away.
  double shortest = 1.0;
  for (int i = 0; i < 2000; ++i) {
    ::QueryPerformanceCounter(&start);
    system.BandPause();
    ::QueryPerformanceCounter(&end);
    shortest =
        std::min(shortest, static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
  }
  std::printf("shortest single pause: %.3f ms\n", shortest * 1000);
  std::sort(runs.begin(), runs.end());
  std::printf("600 band pauses: min %.3f s, median %.3f s, max %.3f s\n", runs.front(), runs[2],
              runs.back());
  return 0;
}
