// The settings window on the Linux desktop lives in a module of its own
// (GTK 3), loaded only for "/C": the saver itself starts and runs without
// any of it in its memory.
#pragma once

#include <memory>

#include "platform/options_dialog.h"

// What the module exports: a new dialog window, or null when no display can
// be opened.
extern "C" brenlow::OptionsDialogWindow* brenlow_create_options_dialog();

namespace brenlow {

// The module's file name, beside the program or in its library folder.
inline constexpr char kOptionsDialogModule[] = "brenlow-dialog-gtk.so";

// Loads the module and makes the window; prints why and ends the process
// with code 1 when there is no screen or no module.
std::unique_ptr<OptionsDialogWindow> LoadOptionsDialogWindow();

}  // namespace brenlow
