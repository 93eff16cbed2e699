#include "platform/soft/surface.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace brenlow::soft {

RopMasks MasksFor(int rop, Colour colour) {
  // ROP2 code - 1 is a truth table: bit (2 * pen + dest) gives the result.
  const unsigned code = static_cast<unsigned>(rop - 1);
  auto all = [code](int pen, int dest) -> std::uint32_t {
    return ((code >> (pen * 2 + dest)) & 1u) ? ~0u : 0u;
  };
  const std::uint32_t p = colour & kRgbMask;
  const std::uint32_t when_dest_0 = (p & all(1, 0)) | (~p & all(0, 0));
  const std::uint32_t when_dest_1 = (p & all(1, 1)) | (~p & all(0, 1));
  // New = (old AND a) XOR x, with the spare byte kept at zero.
  return RopMasks{when_dest_0 ^ when_dest_1, when_dest_0 & kRgbMask};
}

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
}  // namespace

template <class T>
void* PageBlockAllocator<T>::AllocateBlock(std::size_t bytes) {
  if (bytes < kHugePage) return ::operator new(bytes);
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* p = std::aligned_alloc(kHugePage, rounded);
  if (!p) throw std::bad_alloc();
  // A hint only: without huge pages the block is plain memory.
  madvise(p, rounded, MADV_HUGEPAGE);
  return p;
}

template <class T>
void PageBlockAllocator<T>::FreeBlock(void* p, std::size_t bytes) {
  if (bytes < kHugePage) {
    ::operator delete(p);
  } else {
    std::free(p);
  }
}

template struct PageBlockAllocator<Colour>;

Surface::Surface(int width, int height)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0) {}

void Surface::Clear() { std::fill(pixels_.begin(), pixels_.end(), 0u); }

void Surface::FillRow(std::int64_t y, std::int64_t left, std::int64_t right, const RopMasks& m) {
  if (y < 0 || y >= height_) return;
  left = std::max<std::int64_t>(left, 0);
  right = std::min<std::int64_t>(right, width_);
  if (left >= right) return;
  Colour* r = row(y);
  if (m.and_mask == 0 && m.xor_mask == 0) {
    std::memset(r + left, 0, static_cast<size_t>(right - left) * sizeof(Colour));
  } else if (m.and_mask == 0) {
    std::fill(r + left, r + right, m.xor_mask);
  } else {
    for (std::int64_t x = left; x < right; ++x) r[x] = (r[x] & m.and_mask) ^ m.xor_mask;
  }
}

void Surface::FillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                       const RopMasks& m) {
  top = std::max<std::int64_t>(top, 0);
  bottom = std::min<std::int64_t>(bottom, height_);
  for (std::int64_t y = top; y < bottom; ++y) FillRow(y, left, right, m);
}

}  // namespace brenlow::soft
