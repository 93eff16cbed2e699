// The calling thread's CPU time in seconds, for the benchmarks and the
// replay timings (coarse under Wine: time at least a second), and the one
// loop that times a replayed case.
#pragma once

#include <time.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

// Under mingw, winpthreads' clock_gettime reads GetThreadTimes.
inline double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Plays one case's calls (round() returns how many it played) for at least
// `rounds` rounds and at least a second, so the thread's CPU time means
// something even under Wine, and prints the time a call took in the form
// perf_report.py and compare_with_wine.sh read, then `end`. Returns the CPU
// seconds of one round.
template <typename Round>
double PrintTimePerCall(const std::string& name, int rounds, const char* end, Round&& round) {
  std::size_t played = 0;
  const double cpu0 = ThreadCpuSeconds();
  const auto t0 = std::chrono::steady_clock::now();
  double wall = 0;
  int r = 0;
  for (; r < rounds || wall < 1.0; ++r) {
    played += round();
    wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }
  const double cpu = ThreadCpuSeconds() - cpu0;
  const double n = played ? static_cast<double>(played) : 1.0;
  std::printf("%s wall %.1f ns/call cpu %.1f ns/call (%zu calls)%s", name.c_str(), wall * 1e9 / n,
              cpu * 1e9 / n, played, end);
  std::fflush(stdout);
  return cpu / r;
}
