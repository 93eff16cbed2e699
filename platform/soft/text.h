// Text through FreeType: one TrueType font file, anti-aliased in the pen
// colour over what is there, underlined with the font's own metrics.
#pragma once

#include <memory>
#include <string>

#include "platform/soft/surface.h"

namespace brenlow::soft {

class TextRenderer {
 public:
  // The font is loaded at the first drawing; a file that cannot be loaded
  // is reported once and no text is drawn.
  explicit TextRenderer(std::string font_file);
  ~TextRenderer();

  const std::string& font_file() const { return font_file_; }

  // (x, y) is the top left corner; the size is in points at 96 dpi.
  void Draw(Surface& surface, float x, float y, const std::string& text, float points,
            Colour colour);

 private:
  struct Face;
  std::string font_file_;
  std::unique_ptr<Face> face_;
};

}  // namespace brenlow::soft
