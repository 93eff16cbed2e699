// GDI's geometric solid pen wider than one pixel: a round cap at both ends
// and the body between them, each pixel painted once, the end covered.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/soft/surface.h"

namespace brenlow::soft {

class WidePen {
 public:
  // Rebuilds the cap when the width changes.
  void SetWidth(int width);
  int width() const { return width_; }

  void Draw(Surface& surface, std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
            const RopMasks& m) const;

 private:
  // One row of the round cap, relative to the end point: [left, right).
  struct CapRow {
    std::int32_t dy, left, right;
  };
  int width_ = 0;
  std::vector<CapRow> cap_;
};

}  // namespace brenlow::soft
