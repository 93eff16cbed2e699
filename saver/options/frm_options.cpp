#include "saver/options/frm_options.h"

#include <variant>

#include "saver/numbers.h"
#include "saver/settings.h"
#include "saver/shape_families.h"

namespace brenlow {

namespace {

constexpr char kFilePattern[] = "*.bmp";
// Form sizes in pixels at 12 twips per pixel.
constexpr int kFormWidth = 420;
constexpr int kCollapsedHeight = 200;
constexpr int kUnfoldedHeight = 400;
// The title of the program's own message boxes.
constexpr char kProgramTitle[] = "brenlow";

}  // namespace

std::string DriveOf(const std::string& path) { return path.substr(0, 2); }

frmOptions::frmOptions(System& system, Dichiarazioni& globals)
    : system_(system), globals_(globals) {}

void frmOptions::Show() { view().Load(*this); }

int frmOptions::Run() { return view().Run(); }

void frmOptions::Form_Load() {
  OptionsDialogWindow& form = view();
  SizeFactor = 12.0f / static_cast<float>(form.TwipsPerPixelX());
  form.SetFormWidth(ToInt32(form.TwipsPerPixelX() * kFormWidth * static_cast<double>(SizeFactor)));
  SizeFactor = 12.0f / static_cast<float>(form.TwipsPerPixelY());
  SetFormHeightPixels(kCollapsedHeight);
  form.MoveForm(ToInt32((form.ScreenWidth() - form.FormWidth()) / 2.0),
                ToInt32((form.ScreenHeight() - form.FormHeight()) / 2.0));
  std::vector<std::string> shapes;
  for (const ShapeFamily& family : kShapeFamilies) shapes.push_back(family.setting);
  form.SetCombo1List(shapes);
  const PixelRect text1 = form.Text1Rect();
  const int bottom = text1.top + text1.height;
  form.SetLine(1, 10, form.ScaleWidth() - 10, bottom + 25);
  form.SetLine(2, 10, form.ScaleWidth() - 10, bottom + 26);

  // The chooser starts on the process's current drive and folder.
  const std::string folder = form.CurrentFolder();
  drive_ = DriveOf(folder);
  form.ShowDrive(drive_);
  SetDir1(folder);
}

void frmOptions::Form_Activate() {
  view().SetText1(globals_.PictureSetting);
  view().SetCombo1(globals_.ShapeSetting);
  StartDrive = drive_;
}

void frmOptions::CmdOk_Click() {
  const std::string folder = WindowsFolder(system_);
  globals_.ShapeSetting = view().Combo1();
  const std::string path = SettingsPath(folder);
  const std::optional<FileError> error =
      WriteSettings(system_.files(), path, globals_.PictureSetting, globals_.ShapeSetting);
  if (error) {
    // The previous file is still whole; the user may retry or cancel.
    view().MessageBox("Impossibile salvare le impostazioni in " + path + ":\n" + error->reason,
                      kProgramTitle, MessageIcon::kError);
    return;
  }
  system_.EndProcess(0);
}

void frmOptions::CmdAnn_Click() { system_.EndProcess(0); }

void frmOptions::Combo1_KeyPress(int& key_ascii) { key_ascii = 0; }

void frmOptions::Text1_Click() { view().SelectText1(0, static_cast<int>(view().Text1().size())); }

void frmOptions::Cmdsfoglia_Click() { SetFormHeightPixels(kUnfoldedHeight); }

void frmOptions::SetFormHeightPixels(int pixels) {
  view().SetFormHeight(ToInt32(view().TwipsPerPixelY() * pixels * static_cast<double>(SizeFactor)));
}

void frmOptions::Drive1_Pick(const std::string& drive) { SetDrive1(drive); }

void frmOptions::SetDrive1(const std::string& drive) {
  if (drive == drive_) return;
  drive_ = drive;
  view().ShowDrive(drive_);
  Drive1_Change();
}

void frmOptions::Drive1_Change() {
  const std::variant<std::string, DriveError> folder = view().DriveFolder(drive_);
  if (const auto* error = std::get_if<DriveError>(&folder)) {
    if (error->not_ready) {
      view().MessageBox(error->message, kProgramTitle, MessageIcon::kNone);
      // A drive change of its own: runs this handler again for StartDrive.
      SetDrive1(StartDrive);
    }
    return;
  }
  SetDir1(std::get<std::string>(folder));
}

void frmOptions::Dir1_Open(const std::string& folder) { SetDir1(folder); }

void frmOptions::SetDir1(const std::string& folder) {
  dir_ = folder;
  view().ShowFolder(dir_);
  Dir1_Change();
}

// The file list follows the folder list.
void frmOptions::Dir1_Change() {
  file_folder_ = dir_;
  view().ShowFiles(file_folder_, kFilePattern);
}

void frmOptions::File1_Click(const std::string& path) {
  view().SetText1(path);
  globals_.PictureSetting = view().Text1();
}

void frmOptions::File1_DblClick(const std::string& path) {
  File1_Click(path);
  SetFormHeightPixels(kCollapsedHeight);
}

}  // namespace brenlow
