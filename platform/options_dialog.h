// The settings dialog's window, as the platform provides it. The dialog's
// behaviour lives in saver/options (frmOptions) and reaches the widgets
// only through this interface.
#pragma once

#include <string>

namespace brenlow {

// What the dialog logic hears from its window.
class OptionsDialogEvents {
 public:
  virtual ~OptionsDialogEvents() = default;
  virtual void Form_Activate() = 0;
  virtual void CmdOk_Click() = 0;
  virtual void CmdAnn_Click() = 0;
};

// The window itself.
class OptionsDialogWindow {
 public:
  virtual ~OptionsDialogWindow() = default;
  // Creates the window (hidden until Run).
  virtual void Load(OptionsDialogEvents& events) = 0;
  // Shows the window and runs its events until the program ends.
  virtual int Run() = 0;
};

}  // namespace brenlow
