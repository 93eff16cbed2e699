// Long runs on the software canvas: 200 cycles over every family and every
// fade style, with the heap measured before and after.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "platform/recording/headless_saver.h"
#include "platform/soft/soft_canvas.h"
#include "saver/shape_families.h"

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime (GCC ships no header for it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace brenlow {
namespace {

// Bytes the program holds on the heap right now.
size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  }
  return -1;
}

TEST(ReliabilityLongRun, TwoHundredCyclesOnTheSoftCanvasKeepMemoryFlat) {
  Picture logo{50, 40, std::vector<Colour>(50 * 40)};
  for (size_t i = 0; i < logo.pixels.size(); ++i)
    logo.pixels[i] = static_cast<Colour>(i * 2654435761u);
  HeadlessSaver saver(160, 120, "", "C:\\logo.bmp", [&](const std::string&) { return logo; });
  SoftCanvas soft(160, 120);
  saver.system.canvas.forward = &soft;
  saver.system.canvas.sink = [](const DrawCall&) {};
  saver.system.keep_log = false;
  saver.system.clock_step = 0.05;
  frmProg& prog = saver.prog;
  struct Count : CycleObserver {
    std::map<int, int> shapes, fades;
    void OnShape(int s) override { ++shapes[s]; }
    void OnFade(int s) override { ++fades[s]; }
  } count;
  prog.set_observer(&count);

  auto cycle = [&](int i) {
    saver.globals.ShapeSetting = kShapeFamilies[i % 6].setting;
    prog.DrawCycle();
  };
  // One cycle of each family first: fonts, glyph caches and the like are
  // made once and then kept.
  for (int i = 0; i < 6; ++i) cycle(i);
  const size_t heap_before = HeapInUse();
  const long rss_before = StatusKb("VmRSS:");
  const int cycles = 200;
  for (int i = 0; i < cycles; ++i) cycle(i);
  const size_t heap_after = HeapInUse();
  const long rss_after = StatusKb("VmRSS:");
  std::printf("%d cycles: heap %zu -> %zu bytes, VmRSS %ld -> %ld kB\n", cycles, heap_before,
              heap_after, rss_before, rss_after);
  RecordProperty("heap_before", std::to_string(heap_before));
  RecordProperty("heap_after", std::to_string(heap_after));

  EXPECT_FALSE(prog.closed());
  EXPECT_EQ(count.shapes.size(), 5u);
  EXPECT_EQ(count.fades.size(), 3u);
  // Nothing held per cycle: a leak of even one pen-sized object per cycle
  // would add up to more than this over 200 cycles.
  EXPECT_LT(static_cast<long long>(heap_after) - static_cast<long long>(heap_before), 8 * 1024);
}

}  // namespace
}  // namespace brenlow
