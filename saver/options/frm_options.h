// frmOptions: the settings dialog "Impostazioni".
#pragma once

#include "platform/system.h"
#include "saver/dichiarazioni.h"

namespace brenlow {

class frmOptions : public OptionsDialogEvents {
 public:
  frmOptions(System& system, Dichiarazioni& globals);

  // Loads the window modeless; it becomes active once start-up returns.
  void Show();
  // Runs the dialog until it ends the program; returns the exit code.
  int Run();

  void Form_Activate() override;
  void CmdOk_Click() override;
  void CmdAnn_Click() override;

 private:
  System& system_;
  Dichiarazioni& globals_;
};

}  // namespace brenlow
