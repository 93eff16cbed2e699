// The settings dialog on the Linux desktop.
#pragma once

#include <memory>

#include "platform/options_dialog.h"

namespace brenlow {

std::unique_ptr<OptionsDialogWindow> MakeSdlOptionsDialogWindow();

}  // namespace brenlow
