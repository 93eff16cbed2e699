// frmOptions: the settings dialog "Impostazioni" and its picture chooser.
// The behaviour of every event lives here; the widgets are reached through
// OptionsDialogWindow and the disk through ChooserFileSystem.
#pragma once

#include <string>
#include <vector>

#include "platform/system.h"
#include "saver/dichiarazioni.h"

namespace brenlow {

// Picture path of a file in a folder: a drive root ("C:\") already ends in
// the separator.
std::string JoinChooserPath(const std::string& folder, const std::string& name);

// The folder list for a folder: its ancestors from the root down (open),
// then its subfolders.
std::vector<FolderEntry> FolderListFor(const std::string& folder,
                                       const std::vector<std::string>& subfolders);

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
  void Drive1_Pick(int index) override;
  void Dir1_Open(int index) override;
  void File1_Click(int index) override;
  void File1_DblClick(int index) override;
  void File1_ClickPath(const std::string& path) override;
  void File1_DblClickPath(const std::string& path) override;

  // Setting Drive1's drive: a change of drive raises Drive1_Change. The
  // setters take copies: callers pass entries of the lists they replace.
  void SetDrive1(std::string drive);
  void Drive1_Change();
  // Setting Dir1's folder moves File1 with it.
  void SetDir1(std::string folder);

  float SizeFactor = 0.0f;
  std::string StartDrive;

  // What the chooser shows now.
  const std::string& Drive1() const { return drive_; }
  const std::string& Dir1() const { return dir_; }
  const std::string& File1Path() const { return file_folder_; }

 private:
  OptionsDialogWindow& view() { return system_.OptionsDialog(); }
  ChooserFileSystem& disk() { return view().FileSystem(); }
  void SetFormHeightPixels(int pixels);
  void ShowDriveList();

  System& system_;
  Dichiarazioni& globals_;
  std::vector<std::string> drives_;
  std::string drive_;
  std::string dir_;
  std::vector<FolderEntry> folders_;
  std::string file_folder_;
  std::vector<std::string> files_;
};

}  // namespace brenlow
