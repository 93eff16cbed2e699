#include "platform/soft/picture_io.h"
#include "tools/tool_platform.h"

namespace brenlow {

std::optional<Picture> LoadToolPicture(const std::string& path) { return LoadBmp(path); }

void UseBinaryStdout() {}

}  // namespace brenlow
