#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "platform/win32/win32_picture.h"
#include "tools/tool_platform.h"

namespace brenlow {

std::optional<Picture> LoadToolPicture(const std::string& path) { return LoadBitmapFile(path); }

void UseBinaryStdout() { _setmode(_fileno(stdout), _O_BINARY); }

}  // namespace brenlow
