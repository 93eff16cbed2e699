// The settings dialog on the Linux desktop: one message box whose buttons
// are the shape entries plus "Annulla". The picture is kept as it is; the
// choice goes through the same frmOptions events as on Windows.
#include "platform/sdl/options_dialog_sdl.h"

#include <SDL.h>

#include <iterator>

namespace brenlow {

namespace {

const char* const kShapes[] = {"Casuali", "Quadrati", "Cerchi", "Triangoli", "Ovali", "Ellissi"};
constexpr int kShapeCount = static_cast<int>(std::size(kShapes));
constexpr int kAnnulla = kShapeCount;

// A chooser with nothing to choose: the picture cannot be changed here.
class NoDisk : public ChooserFileSystem {
 public:
  std::vector<std::string> Drives() override { return {"C:"}; }
  std::string CurrentFolder() override { return "C:\\"; }
  std::variant<std::string, DriveError> DriveFolder(const std::string&) override {
    return std::string("C:\\");
  }
  std::vector<std::string> SubFolders(const std::string&) override { return {}; }
  std::vector<std::string> MatchingFiles(const std::string&, const std::string&) override {
    return {};
  }
};

class OptionsDialogSdl : public OptionsDialogWindow {
 public:
  void Load(OptionsDialogEvents& events) override {
    events_ = &events;
    events.Form_Load();
  }

  int Run() override {
    events_->Form_Activate();
    // CmdOk_Click ends the program once the file is written; it returns only
    // when the file could not be written, and the user chooses again.
    for (;;) {
      const int choice = Ask();
      if (choice < 0 || choice == kAnnulla) {
        events_->CmdAnn_Click();
        return 0;
      }
      combo1_ = kShapes[choice];
      events_->CmdOk_Click();
    }
  }

  int TwipsPerPixelX() override { return 15; }
  int TwipsPerPixelY() override { return 15; }
  int ScreenWidth() override { return 1024 * 15; }
  int ScreenHeight() override { return 768 * 15; }
  int FormWidth() override { return width_; }
  int FormHeight() override { return height_; }
  void SetFormWidth(int twips) override { width_ = twips; }
  void SetFormHeight(int twips) override { height_ = twips; }
  void MoveForm(int, int) override {}
  int ScaleWidth() override { return width_ / 15; }
  PixelRect Text1Rect() override { return {16, 88, 240, 18}; }
  void SetLine(int, int, int, int) override {}
  std::string Text1() override { return text1_; }
  void SetText1(const std::string& text) override { text1_ = text; }
  void SelectText1(int, int) override {}
  std::string Combo1() override { return combo1_; }
  void SetCombo1(const std::string& text) override { combo1_ = text; }
  void ShowDrives(const std::vector<std::string>&, int) override {}
  void ShowFolders(const std::vector<FolderEntry>&, int) override {}
  void ShowFiles(const std::vector<std::string>&) override {}

  void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) override {
    SDL_ShowSimpleMessageBox(icon == MessageIcon::kError ? SDL_MESSAGEBOX_ERROR : 0, title.c_str(),
                             text.c_str(), nullptr);
  }

  ChooserFileSystem& FileSystem() override { return disk_; }

 private:
  // The index of the button pressed, or -1 when the box could not be shown.
  int Ask() {
    SDL_MessageBoxButtonData buttons[kShapeCount + 1] = {};
    for (int i = 0; i < kShapeCount; ++i) {
      buttons[i].buttonid = i;
      buttons[i].text = kShapes[i];
      if (combo1_ == kShapes[i]) buttons[i].flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    }
    buttons[kAnnulla].buttonid = kAnnulla;
    buttons[kAnnulla].text = "Annulla";
    buttons[kAnnulla].flags = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    const std::string message =
        "Forme: " + (combo1_.empty() ? std::string("-") : combo1_) + "\nImmagine/Logo: " + text1_;
    SDL_MessageBoxData data = {};
    data.flags = SDL_MESSAGEBOX_INFORMATION;
    data.title = "Impostazioni";
    data.message = message.c_str();
    data.numbuttons = kShapeCount + 1;
    data.buttons = buttons;
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return -1;
    return pressed;
  }

  OptionsDialogEvents* events_ = nullptr;
  NoDisk disk_;
  int width_ = 0;
  int height_ = 0;
  std::string text1_;
  std::string combo1_;
};

}  // namespace

std::unique_ptr<OptionsDialogWindow> MakeSdlOptionsDialogWindow() {
  return std::make_unique<OptionsDialogSdl>();
}

}  // namespace brenlow
