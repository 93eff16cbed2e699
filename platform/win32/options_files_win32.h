// The picture chooser's view of the disk on Win32.
#pragma once

#include <memory>

#include "platform/options_dialog.h"

namespace brenlow {

std::unique_ptr<ChooserFileSystem> MakeWin32ChooserFileSystem();

}  // namespace brenlow
