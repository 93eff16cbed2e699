// Reading BMP pictures and writing PNG frames for the software raster.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace brenlow {

// A 1-, 4-, 8-, 16-, 24- or 32-bit BMP file as COLORREF pixels; nothing when
// the file is missing or fails BitmapFileIsUsable.
std::optional<Picture> LoadBmp(const std::string& path);

// Writes w x h COLORREF pixels (top row first) as an RGB PNG file.
bool WritePng(const std::string& path, std::span<const Colour> pixels, int w, int h);

}  // namespace brenlow
