// The settings dialog's window, as the platform provides it. The dialog's
// behaviour lives in saver/options (frmOptions) and reaches the widgets
// only through this interface; the chooser reads the disk only through
// ChooserFileSystem.
#pragma once

#include <string>
#include <variant>
#include <vector>

namespace brenlow {

// What the dialog logic hears from its window. Indexes count entries of the
// lists as last handed to the window.
class OptionsDialogEvents {
 public:
  virtual ~OptionsDialogEvents() = default;
  virtual void Form_Load() = 0;
  virtual void Form_Activate() = 0;
  virtual void CmdOk_Click() = 0;
  virtual void CmdAnn_Click() = 0;
  // A character typed into Combo1; set it to 0 to discard it.
  virtual void Combo1_KeyPress(int& key_ascii) = 0;
  virtual void Text1_Click() = 0;
  virtual void Cmdsfoglia_Click() = 0;
  // The user picked an entry of Drive1.
  virtual void Drive1_Pick(int index) = 0;
  // The user opened an entry of Dir1 (double-click or Enter).
  virtual void Dir1_Open(int index) = 0;
  // The selection of File1 moved to an entry (click or arrow keys).
  virtual void File1_Click(int index) = 0;
  virtual void File1_DblClick(int index) = 0;
  // The same from a chooser that browses the disk by itself (a desktop's
  // own file chooser): it names the file's full path instead of an entry.
  virtual void File1_ClickPath(const std::string& path) = 0;
  virtual void File1_DblClickPath(const std::string& path) = 0;
};

// One line of the folder list: the ancestors of the current folder (open
// folders), then its subfolders, each indented by its depth.
struct FolderEntry {
  std::string name;  // what the list shows
  std::string path;  // the folder it stands for
  int depth = 0;
  bool open = false;
};

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

enum class MessageIcon { kNone, kError };

class ChooserFileSystem;

// The window itself: the form, its controls and a message box owned by it.
// Sizes of the form are in twips (its outer frame), positions inside it in
// pixels, as the dialog's drawing unit is the pixel.
class OptionsDialogWindow {
 public:
  virtual ~OptionsDialogWindow() = default;
  // Creates the window hidden, calls events.Form_Load, and arranges for
  // events.Form_Activate to run once Run has started the event loop.
  virtual void Load(OptionsDialogEvents& events) = 0;
  // Shows the window and runs its events until the program ends.
  virtual int Run() = 0;

  virtual int TwipsPerPixelX() = 0;
  virtual int TwipsPerPixelY() = 0;
  virtual int ScreenWidth() = 0;  // twips
  virtual int ScreenHeight() = 0;
  virtual int FormWidth() = 0;  // twips
  virtual int FormHeight() = 0;
  virtual void SetFormWidth(int twips) = 0;
  virtual void SetFormHeight(int twips) = 0;
  virtual void MoveForm(int left_twips, int top_twips) = 0;
  virtual int ScaleWidth() = 0;  // inner width, pixels
  virtual PixelRect Text1Rect() = 0;
  // The separator's strokes: line 1 or 2, from (x1, y) to (x2, y).
  virtual void SetLine(int line, int x1, int x2, int y) = 0;

  virtual std::string Text1() = 0;
  virtual void SetText1(const std::string& text) = 0;
  virtual void SelectText1(int start, int length) = 0;
  virtual std::string Combo1() = 0;
  virtual void SetCombo1(const std::string& text) = 0;
  // The entries of Combo1's list, in order; for windows that do not carry
  // them in their own layout.
  virtual void SetCombo1List(const std::vector<std::string>& /*entries*/) {}

  virtual void ShowDrives(const std::vector<std::string>& drives, int selected) = 0;
  virtual void ShowFolders(const std::vector<FolderEntry>& folders, int selected) = 0;
  virtual void ShowFiles(const std::vector<std::string>& files) = 0;

  // A message box with an OK button, modal to the dialog.
  virtual void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) = 0;

  // The disk as the picture chooser sees it.
  virtual ChooserFileSystem& FileSystem() = 0;
};

// Why a drive's folder cannot be reached.
struct DriveError {
  bool not_ready = false;  // the device-unavailable case: no medium, not ready
  std::string message;     // the system's own description
};

// What the picture chooser asks of the disk. Paths are Windows-style
// ("C:\IMG"); a drive is named by its letter and colon ("C:").
class ChooserFileSystem {
 public:
  virtual ~ChooserFileSystem() = default;
  virtual std::vector<std::string> Drives() = 0;
  // The process's current folder.
  virtual std::string CurrentFolder() = 0;
  // The current folder of a drive, or why it cannot be read.
  virtual std::variant<std::string, DriveError> DriveFolder(const std::string& drive) = 0;
  // Names of the subfolders of a folder, sorted.
  virtual std::vector<std::string> SubFolders(const std::string& folder) = 0;
  // Names of the files of a folder that match a pattern such as "*.bmp", sorted.
  virtual std::vector<std::string> MatchingFiles(const std::string& folder,
                                                 const std::string& pattern) = 0;
};

}  // namespace brenlow
