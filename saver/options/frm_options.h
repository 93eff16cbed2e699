// frmOptions: the settings dialog "Impostazioni" and its picture chooser.
// The behaviour of every event lives here; the widgets, and the disk behind
// the chooser's controls, are reached through OptionsDialogWindow.
#pragma once

#include <string>

#include "platform/system.h"
#include "saver/dichiarazioni.h"

namespace brenlow {

// The drive ("C:") of a Windows-style path.
std::string DriveOf(const std::string& path);

class frmOptions : public OptionsDialogEvents {
 public:
  frmOptions(System& system, Dichiarazioni& globals);

  // Loads the window modeless; it becomes active once start-up returns.
  void Show();
  // Runs the dialog until it ends the program; returns the exit code.
  int Run();

  void Form_Load() override;
  void Form_Activate() override;
  void CmdOk_Click() override;
  void CmdAnn_Click() override;
  void Combo1_KeyPress(int& key_ascii) override;
  void Text1_Click() override;
  void Cmdsfoglia_Click() override;
  void Drive1_Pick(const std::string& drive) override;
  void Dir1_Open(const std::string& folder) override;
  void File1_Click(const std::string& path) override;
  void File1_DblClick(const std::string& path) override;

  float SizeFactor = 0.0f;
  std::string StartDrive;

  // What the chooser shows now.
  const std::string& Drive1() const { return drive_; }
  const std::string& Dir1() const { return dir_; }
  const std::string& File1Path() const { return file_folder_; }

 private:
  OptionsDialogWindow& view() { return system_.OptionsDialog(); }
  void SetFormHeightPixels(int pixels);
  // Setting Drive1's drive: a change of drive raises Drive1_Change.
  void SetDrive1(const std::string& drive);
  void Drive1_Change();
  // Setting Dir1's folder raises Dir1_Change, which moves File1 with it.
  void SetDir1(const std::string& folder);
  void Dir1_Change();

  System& system_;
  Dichiarazioni& globals_;
  std::string drive_;
  std::string dir_;
  std::string file_folder_;
};

}  // namespace brenlow
