#include "platform/soft/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "platform/soft/raster_math.h"

namespace brenlow::soft {
namespace {

// UTF-8 when the bytes form it, otherwise one character per byte (Latin-1).
std::vector<std::uint32_t> DecodeText(const std::string& text) {
  std::vector<std::uint32_t> out;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  for (size_t i = 0; i < n;) {
    const unsigned c = s[i];
    int extra = c >= 0xf0 && c < 0xf8 ? 3 : c >= 0xe0 ? 2 : c >= 0xc2 && c < 0xe0 ? 1 : 0;
    if (c >= 0xf8) extra = 0;
    bool ok = extra > 0 && i + extra < n;
    std::uint32_t cp = c & (0x3fu >> extra);
    for (int k = 1; ok && k <= extra; ++k) {
      if (i + k >= n || (s[i + k] & 0xc0) != 0x80)
        ok = false;
      else
        cp = (cp << 6) | (s[i + k] & 0x3f);
    }
    if (ok) {
      out.push_back(cp);
      i += extra + 1;
    } else {
      out.push_back(c);
      ++i;
    }
  }
  return out;
}

Colour Blend(Colour under, Colour over, unsigned alpha) {
  Colour out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const unsigned u = (under >> shift) & 0xff, o = (over >> shift) & 0xff;
    out |= ((u * (255 - alpha) + o * alpha + 127) / 255) << shift;
  }
  return out;
}

}  // namespace

struct TextRenderer::Face {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  bool failed = false;
  ~Face() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

TextRenderer::TextRenderer(std::string font_file) : font_file_(std::move(font_file)) {}

TextRenderer::~TextRenderer() = default;

void TextRenderer::Draw(Surface& surface, float x, float y, const std::string& text, float points,
                        Colour colour) {
  if (!face_) {
    face_ = std::make_unique<Face>();
    if (FT_Init_FreeType(&face_->library) != 0 ||
        FT_New_Face(face_->library, font_file_.c_str(), 0, &face_->face) != 0) {
      std::fprintf(stderr, "brenlow: cannot load font %s; text is not drawn\n", font_file_.c_str());
      face_->failed = true;
    }
  }
  if (face_->failed || text.empty()) return;
  FT_Face face = face_->face;
  // Point size at 96 dots per inch, whole pixels like a GDI font height.
  const double wanted = std::isfinite(points) ? points * 96.0 / 72.0 : 1.0;
  const long pixels = std::lround(std::clamp(wanted, 1.0, 4096.0));
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0) return;

  const std::int64_t left = RoundToInt(x);
  const std::int64_t baseline = RoundToInt(y) + (face->size->metrics.ascender >> 6);
  std::int64_t pen = left;
  for (std::uint32_t cp : DecodeText(text)) {
    if (FT_Load_Char(face, cp, FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot g = face->glyph;
    const FT_Bitmap& bm = g->bitmap;
    for (unsigned row = 0; row < bm.rows; ++row) {
      const std::int64_t py = baseline - g->bitmap_top + row;
      if (py < 0 || py >= surface.height()) continue;
      const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(row) * bm.pitch;
      for (unsigned col = 0; col < bm.width; ++col) {
        const std::int64_t px = pen + g->bitmap_left + col;
        if (px < 0 || px >= surface.width() || src[col] == 0) continue;
        Colour& d = surface.row(py)[px];
        d = Blend(d, colour, src[col]);
      }
    }
    pen += g->advance.x >> 6;
  }
  // Underline from the font's own position and thickness.
  const FT_Fixed yscale = face->size->metrics.y_scale;
  const long pos = FT_MulFix(face->underline_position, yscale) >> 6;
  const long thick =
      std::max(1L, static_cast<long>(FT_MulFix(face->underline_thickness, yscale) >> 6));
  const std::int64_t utop = baseline - pos;
  surface.FillRect(left, utop, pen, utop + thick, MasksFor(kRopCopyPen, colour));
}

}  // namespace brenlow::soft
