// Long runs on the software canvas: 200 cycles over every family and every
// fade style, with the heap measured before and after.
#include <gtest/gtest.h>
#include <malloc.h>

#include "platform/soft/soft_canvas.h"
#include "saver/shape_families.h"
#include "saver_test_support.h"

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
  CycleCounts count;
  prog.set_observer(&count);

  auto cycle = [&](int i) {
    saver.globals.ShapeSetting = kShapeFamilies[i % 6].setting;
    prog.DrawCycle();
  };
  // One cycle of each family first: fonts, glyph caches and the like are
  // made once and then kept.
  for (int i = 0; i < 6; ++i) cycle(i);
  const size_t heap_before = HeapInUse();
  for (int i = 0; i < 200; ++i) cycle(i);
  const size_t heap_after = HeapInUse();
  EXPECT_FALSE(prog.closed());
  EXPECT_EQ(count.shapes.size(), 5u);
  EXPECT_EQ(count.fades.size(), 3u);
  // Nothing held per cycle: a leak of even one pen-sized object per cycle
  // would add up to more than this over 200 cycles.
  EXPECT_LT(static_cast<long long>(heap_after) - static_cast<long long>(heap_before), 8 * 1024)
      << heap_before << " -> " << heap_after << " bytes";
}

}  // namespace
}  // namespace brenlow
