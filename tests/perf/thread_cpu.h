// The calling thread's CPU time in seconds, for the benchmarks and the
// replay timings (coarse under Wine: time at least a second).
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <cstdint>
#else
#include <time.h>
#endif

inline double ThreadCpuSeconds() {
#ifdef _WIN32
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto value = [](const FILETIME& f) {
    return static_cast<double>((static_cast<std::uint64_t>(f.dwHighDateTime) << 32) |
                               f.dwLowDateTime) *
           1e-7;
  };
  return value(kernel) + value(user);
#else
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
#endif
}
