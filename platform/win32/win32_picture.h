// Loading a bitmap file with the system's own loader (LoadImage).
#pragma once

#include <optional>
#include <string>

#include "platform/canvas.h"

namespace brenlow {

// The picture of a bitmap file as COLORREF pixels, top row first; nothing
// when the file is missing, cut short, not a bitmap or absurdly large.
std::optional<Picture> LoadBitmapFile(const std::string& path);

}  // namespace brenlow
