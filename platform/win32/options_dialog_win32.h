// The settings dialog's window on Win32.
#pragma once

#include <memory>

#include "platform/options_dialog.h"

namespace brenlow {

std::unique_ptr<OptionsDialogWindow> MakeOptionsDialogWindow();

}  // namespace brenlow
