// The software canvas's pixels and what every primitive paints them with:
// the ROP2 code as two masks, single pixels, clipped row spans, repaint.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/canvas.h"

namespace brenlow::soft {

constexpr std::uint32_t kRgbMask = 0x00ffffffu;

// A ROP2 code with its pen colour: new = (old AND and_mask) XOR xor_mask.
// An and_mask of zero means the old pixel is not read.
struct RopMasks {
  std::uint32_t and_mask;
  std::uint32_t xor_mask;
};
RopMasks MasksFor(int rop, Colour colour);

// A pen of one of the two kinds a ROP2 code makes: one that only stores
// (and_mask 0: black, white, copy, not copy) and one that reads the old pixel.
// Hot loops are instantiated for each kind, chosen once per call, so that no
// pixel tests it. Paint<true> gives the same pixels for every pen.
template <bool kReads>
struct Paint {
  std::uint32_t and_mask;
  std::uint32_t xor_mask;

  void operator()(Colour* p) const { *p = kReads ? (*p & and_mask) ^ xor_mask : xor_mask; }
  void Span(Colour* p, std::int64_t n) const {
    for (std::int64_t i = 0; i < n; ++i) (*this)(p + i);
  }
};

// Calls f(Paint<false>) or f(Paint<true>) for the masks.
template <class F>
void WithPaint(const RopMasks& m, F&& f) {
  if (m.and_mask == 0)
    f(Paint<false>{0, m.xor_mask});
  else
    f(Paint<true>{m.and_mask, m.xor_mask});
}

// Storage for a canvas's pixels: large blocks are aligned to 2 MB and
// backed by huge pages where the system allows, so that a full-screen canvas
// is touched in a handful of page faults instead of thousands (on virtual
// machines each fault costs tens of microseconds: most of the time to the
// first frame).
template <class T>
struct PageBlockAllocator {
  using value_type = T;
  PageBlockAllocator() = default;
  template <class U>
  PageBlockAllocator(const PageBlockAllocator<U>&) {}
  T* allocate(std::size_t n) { return static_cast<T*>(AllocateBlock(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) { FreeBlock(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const PageBlockAllocator<U>&) const {
    return true;
  }

  static void* AllocateBlock(std::size_t bytes);
  static void FreeBlock(void* p, std::size_t bytes);
};
using Pixels = std::vector<Colour, PageBlockAllocator<Colour>>;

// W x H pixels in COLORREF layout, row by row from the top.
class Surface {
 public:
  Surface(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  const Pixels& pixels() const { return pixels_; }
  Pixels& pixels() { return pixels_; }
  Colour* data() { return pixels_.data(); }
  Colour* row(std::int64_t y) { return pixels_.data() + static_cast<size_t>(y) * width_; }

  void Plot(std::int64_t x, std::int64_t y, const RopMasks& m) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Colour& d = pixels_[static_cast<size_t>(y) * width_ + static_cast<size_t>(x)];
    // Pens that ignore the old pixel need no read: stores do not wait on
    // cache misses, reads do.
    d = m.and_mask == 0 ? m.xor_mask : (d & m.and_mask) ^ m.xor_mask;
  }
  // Pixels [left, right) of row y, clipped.
  void FillRow(std::int64_t y, std::int64_t left, std::int64_t right, const RopMasks& m);
  void FillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                const RopMasks& m);
  // Everything black.
  void Clear();

 private:
  int width_;
  int height_;
  Pixels pixels_;
};

}  // namespace brenlow::soft
