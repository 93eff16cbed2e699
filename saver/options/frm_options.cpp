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

std::string JoinChooserPath(const std::string& folder, const std::string& name) {
  if (folder.size() > 3) return folder + "\\" + name;
  return folder + name;
}

std::string DriveOf(const std::string& path) { return path.substr(0, 2); }

std::vector<FolderEntry> FolderListFor(const std::string& folder,
                                       const std::vector<std::string>& subfolders) {
  std::vector<FolderEntry> entries;
  // The root keeps its separator ("C:\"); every further level is one name.
  std::size_t end = folder.find('\\');
  if (end == std::string::npos) end = folder.size() - 1;
  entries.push_back({folder.substr(0, end + 1), folder.substr(0, end + 1), 0, true});
  std::size_t start = end + 1;
  while (start < folder.size()) {
    std::size_t next = folder.find('\\', start);
    if (next == std::string::npos) next = folder.size();
    if (next > start) {
      entries.push_back({folder.substr(start, next - start), folder.substr(0, next),
                         static_cast<int>(entries.size()), true});
    }
    start = next + 1;
  }
  const int depth = static_cast<int>(entries.size());
  for (const std::string& name : subfolders) {
    entries.push_back({name, JoinChooserPath(folder, name), depth, false});
  }
  return entries;
}

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
  drives_ = disk().Drives();
  const std::string folder = disk().CurrentFolder();
  drive_ = DriveOf(folder);
  ShowDriveList();
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

void frmOptions::ShowDriveList() {
  int selected = -1;
  for (std::size_t i = 0; i < drives_.size(); ++i) {
    if (drives_[i] == drive_) selected = static_cast<int>(i);
  }
  view().ShowDrives(drives_, selected);
}

void frmOptions::Drive1_Pick(int index) {
  if (index < 0 || index >= static_cast<int>(drives_.size())) return;
  SetDrive1(drives_[index]);
}

void frmOptions::SetDrive1(std::string drive) {
  if (drive == drive_) return;
  drive_ = drive;
  ShowDriveList();
  Drive1_Change();
}

void frmOptions::Drive1_Change() {
  const std::variant<std::string, DriveError> folder = disk().DriveFolder(drive_);
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

void frmOptions::SetDir1(std::string folder) {
  dir_ = folder;
  folders_ = FolderListFor(folder, disk().SubFolders(folder));
  int selected = 0;
  for (std::size_t i = 0; i < folders_.size(); ++i) {
    if (folders_[i].path == folder) selected = static_cast<int>(i);
  }
  view().ShowFolders(folders_, selected);
  // Dir1_Change: the file list follows the folder list.
  file_folder_ = folder;
  files_ = disk().MatchingFiles(folder, kFilePattern);
  view().ShowFiles(files_);
}

void frmOptions::Dir1_Open(int index) {
  if (index < 0 || index >= static_cast<int>(folders_.size())) return;
  SetDir1(folders_[index].path);
}

void frmOptions::File1_Click(int index) {
  if (index < 0 || index >= static_cast<int>(files_.size())) return;
  File1_ClickPath(JoinChooserPath(file_folder_, files_[index]));
}

void frmOptions::File1_DblClick(int index) {
  File1_Click(index);
  SetFormHeightPixels(kCollapsedHeight);
}

void frmOptions::File1_ClickPath(const std::string& path) {
  view().SetText1(path);
  globals_.PictureSetting = view().Text1();
}

void frmOptions::File1_DblClickPath(const std::string& path) {
  File1_ClickPath(path);
  SetFormHeightPixels(kCollapsedHeight);
}

}  // namespace brenlow
