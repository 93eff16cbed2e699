#include "saver/options/frm_options.h"

#include "saver/settings.h"

namespace brenlow {

frmOptions::frmOptions(System& system, Dichiarazioni& globals)
    : system_(system), globals_(globals) {}

void frmOptions::Show() { system_.OptionsDialog().Load(*this); }

int frmOptions::Run() { return system_.OptionsDialog().Run(); }

void frmOptions::Form_Activate() {}

void frmOptions::CmdOk_Click() {
  const std::string folder = WindowsFolder(system_);
  WriteSettings(system_.files(), SettingsPath(folder), globals_.PictureSetting,
                globals_.ShapeSetting);
  system_.EndProcess(0);
}

void frmOptions::CmdAnn_Click() { system_.EndProcess(0); }

}  // namespace brenlow
