// What the tools ask of the system they run on.
#pragma once

#include <optional>
#include <string>

#include "platform/canvas.h"

namespace brenlow {

// A bitmap file, read the way the saver on this system reads it.
std::optional<Picture> LoadToolPicture(const std::string& path);

// Standard output takes bytes as they are: no CR added before LF, so every
// build prints the same bytes.
void UseBinaryStdout();

}  // namespace brenlow
