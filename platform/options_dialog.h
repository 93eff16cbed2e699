// The settings dialog's window, as the platform provides it. The dialog's
// behaviour lives in saver/options (frmOptions) and reaches the widgets and
// the picture chooser only through this interface. The chooser's controls
// read the disk themselves, as list controls do; the logic names the drive,
// the folder and the pattern to show and hears what the user chose.
#pragma once

#include <string>
#include <variant>
#include <vector>

namespace brenlow {

// What the dialog logic hears from its window. Every toolkit names what the
// user chose, whether its chooser is three lists or one browsing widget.
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
  // The user picked a drive ("C:") in Drive1.
  virtual void Drive1_Pick(const std::string& drive) = 0;
  // The user opened a folder in Dir1 (double-click or Enter).
  virtual void Dir1_Open(const std::string& folder) = 0;
  // The selection of File1 moved to a file (click or arrow keys): its full
  // path.
  virtual void File1_Click(const std::string& path) = 0;
  virtual void File1_DblClick(const std::string& path) = 0;
};

// Why a drive's folder cannot be reached.
struct DriveError {
  bool not_ready = false;  // the device-unavailable case: no medium, not ready
  std::string message;     // the system's own description
};

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

enum class MessageIcon { kNone, kError };

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

  // The picture chooser. Drive1 lists the system's drives, this one
  // selected; a window without drives (one tree from "/") has no Drive1.
  virtual void ShowDrive(const std::string& drive) = 0;
  // Dir1 shows a folder among its ancestors and its subfolders.
  virtual void ShowFolder(const std::string& folder) = 0;
  // File1 lists the files of a folder that match a pattern such as "*.bmp".
  virtual void ShowFiles(const std::string& folder, const std::string& pattern) = 0;
  // The process's current folder, where the chooser starts.
  virtual std::string CurrentFolder() = 0;
  // The current folder of a drive, or why it cannot be read.
  virtual std::variant<std::string, DriveError> DriveFolder(const std::string& drive) = 0;

  // A message box with an OK button, modal to the dialog.
  virtual void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) = 0;
};

}  // namespace brenlow
