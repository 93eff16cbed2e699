// The settings dialog's logic against a fake window and a fake disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <new>
#include <set>
#include <stdexcept>

#include "platform/recording/headless_saver.h"
#include "saver/app.h"
#include "saver/frm_prog.h"
#include "saver/options/frm_options.h"

namespace brenlow {
namespace {

struct FakeDisk : ChooserFileSystem {
  std::vector<std::string> drives = {"A:", "C:", "D:"};
  std::string current = "C:\\WORK";
  std::map<std::string, std::string> drive_folder = {{"C:", "C:\\WORK"}, {"D:", "D:\\"}};
  std::set<std::string> not_ready;
  std::map<std::string, std::vector<std::string>> subfolders;
  std::map<std::string, std::vector<std::string>> files;

  std::vector<std::string> Drives() override { return drives; }
  std::string CurrentFolder() override { return current; }
  std::variant<std::string, DriveError> DriveFolder(const std::string& drive) override {
    if (not_ready.count(drive)) return DriveError{true, "Periferica non pronta."};
    const auto it = drive_folder.find(drive);
    if (it == drive_folder.end()) return DriveError{false, "Errore generico."};
    return it->second;
  }
  std::vector<std::string> SubFolders(const std::string& folder) override {
    return subfolders[folder];
  }
  std::vector<std::string> MatchingFiles(const std::string& folder,
                                         const std::string& pattern) override {
    EXPECT_EQ(pattern, "*.bmp");
    return files[folder];
  }
};

struct FakeWindow : OptionsDialogWindow {
  OptionsDialogEvents* events = nullptr;
  FakeDisk disk;
  int tpp_x = 15, tpp_y = 15;
  int screen_w = 1024 * 15, screen_h = 768 * 15;
  int width = 0, height = 0, left = -1, top = -1;
  std::map<int, std::array<int, 3>> lines;
  std::string text1, combo1;
  std::vector<std::string> combo1_list;
  int sel_start = -1, sel_length = -1;
  std::vector<std::string> drives;
  int drive_selected = -1;
  std::vector<FolderEntry> folders;
  int folder_selected = -1;
  std::vector<std::string> file_list;
  std::vector<std::string> messages;
  std::vector<MessageIcon> icons;

  void Load(OptionsDialogEvents& e) override {
    events = &e;
    e.Form_Load();
  }
  int Run() override {
    events->Form_Activate();
    return 0;
  }
  int TwipsPerPixelX() override { return tpp_x; }
  int TwipsPerPixelY() override { return tpp_y; }
  int ScreenWidth() override { return screen_w; }
  int ScreenHeight() override { return screen_h; }
  int FormWidth() override { return width; }
  int FormHeight() override { return height; }
  void SetFormWidth(int twips) override { width = twips; }
  void SetFormHeight(int twips) override { height = twips; }
  void MoveForm(int l, int t) override { left = l, top = t; }
  // Inner width: the frame takes 3 pixels each side.
  int ScaleWidth() override { return width / tpp_x - 6; }
  PixelRect Text1Rect() override { return {16, 88, 241, 18}; }
  void SetLine(int line, int x1, int x2, int y) override { lines[line] = {x1, x2, y}; }
  std::string Text1() override { return text1; }
  void SetText1(const std::string& t) override { text1 = t; }
  void SelectText1(int s, int l) override { sel_start = s, sel_length = l; }
  std::string Combo1() override { return combo1; }
  void SetCombo1(const std::string& t) override { combo1 = t; }
  void SetCombo1List(const std::vector<std::string>& e) override { combo1_list = e; }
  void ShowDrives(const std::vector<std::string>& d, int s) override {
    drives = d;
    drive_selected = s;
  }
  void ShowFolders(const std::vector<FolderEntry>& f, int s) override {
    folders = f;
    folder_selected = s;
  }
  void ShowFiles(const std::vector<std::string>& f) override { file_list = f; }
  void MessageBox(const std::string& text, const std::string&, MessageIcon icon) override {
    messages.push_back(text);
    icons.push_back(icon);
  }
  ChooserFileSystem& FileSystem() override { return disk; }
};

const char kIni[] = "C:\\WINDOWS\\brlscsav.ini";

class OptionsDialog : public ::testing::Test {
 protected:
  void SetUp() override { system.options_dialog = &window; }

  // Start-up with "/C" as far as the dialog's activation.
  void Open(const std::string& ini_content) {
    system.memory_files.content[kIni] = ini_content;
    globals.PictureSetting = "C:\\WINDOWS\\BR_LOW.bmp";
    globals.ShapeSetting = "Ovali";
    dialog.Show();
    dialog.Run();
  }

  RecordingSystem system;
  FakeWindow window;
  Dichiarazioni globals;
  frmOptions dialog{system, globals};
};

TEST_F(OptionsDialog, ActivationFillsFieldsAfterStartUpReadTheFile) {
  system.args = "/c:123";
  system.memory_files.content[kIni] = "D:\\PIC\\a.bmp\r\n\r\n";
  EXPECT_EQ(RunBrenlow(system), 0);
  EXPECT_EQ(window.text1, "D:\\PIC\\a.bmp");
  // An empty shape stays empty in the edit field.
  EXPECT_EQ(window.combo1, "");
}

// An error in one of the dialog's events (a window procedure hands it on to
// the event loop) is told in a message box and ends the program with code 1.
TEST_F(OptionsDialog, AnErrorInAnEventIsToldAndEndsWithCodeOne) {
  struct Case {
    std::function<void()> fail;
    const char* message;
  } cases[] = {
      {[] { throw std::bad_alloc(); }, "MessageBox brenlow: Errore di run-time: memoria esaurita."},
      {[] { throw std::runtime_error("disco rotto"); },
       "MessageBox brenlow: Errore di run-time: disco rotto"},
  };
  for (const Case& c : cases) {
    struct FailingWindow : FakeWindow {
      std::function<void()> fail;
      int Run() override {
        FakeWindow::Run();
        fail();
        return 0;
      }
    } failing;
    failing.fail = c.fail;
    RecordingSystem run;
    run.options_dialog = &failing;
    run.args = "/c";
    int code = -1;
    try {
      RunBrenlow(run);
    } catch (const ProcessEnded& end) {
      code = end.exit_code;
    }
    EXPECT_EQ(code, 1) << c.message;
    EXPECT_NE(std::find(run.log.begin(), run.log.end(), c.message), run.log.end()) << c.message;
  }
}

TEST_F(OptionsDialog, LayoutAtBothScreenResolutions) {
  struct Case {
    int tpp;
    int width_px, collapsed_px, unfolded_px;
  };
  for (const Case c : {Case{12, 420, 200, 400}, Case{15, 336, 160, 320}}) {
    SCOPED_TRACE(c.tpp);
    window.tpp_x = window.tpp_y = c.tpp;
    window.screen_w = 1024 * c.tpp;
    window.screen_h = 768 * c.tpp;
    dialog.Show();
    EXPECT_EQ(window.width, 5040);
    EXPECT_EQ(window.height, 2400);
    EXPECT_EQ(window.width / c.tpp, c.width_px);
    EXPECT_EQ(window.height / c.tpp, c.collapsed_px);
    EXPECT_EQ(window.left, (1024 * c.tpp - 5040) / 2);
    EXPECT_EQ(window.top, (768 * c.tpp - 2400) / 2);
    const int inner = c.width_px - 6;
    EXPECT_EQ(window.lines[1], (std::array<int, 3>{10, inner - 10, 88 + 18 + 25}));
    EXPECT_EQ(window.lines[2], (std::array<int, 3>{10, inner - 10, 88 + 18 + 26}));

    dialog.Cmdsfoglia_Click();
    dialog.Cmdsfoglia_Click();
    EXPECT_EQ(window.height, 4800);
    EXPECT_EQ(window.height / c.tpp, c.unfolded_px);
    EXPECT_EQ(window.width, 5040);
    window.disk.files["C:\\WORK"] = {"a.bmp"};
    dialog.SetDir1("C:\\WORK");
    dialog.File1_Click(0);
    EXPECT_EQ(window.height, 4800) << "a single click leaves the chooser open";
    dialog.File1_DblClick(0);
    EXPECT_EQ(window.height, 2400);
  }
}

// "&Ok" saves PictureSetting (not what was typed into Text1) and Combo1's
// text. Each entry the dialog offers then makes the saver draw its family,
// or a family at random for "Casuali".
TEST_F(OptionsDialog, OkSavesTheOfferedShapeAndTheSaverDrawsItsFamily) {
  const std::map<std::string, int> family_numbers = {
      {"Ovali", 1}, {"Quadrati", 2}, {"Triangoli", 3}, {"Cerchi", 4}, {"Ellissi", 5}};
  Open("old\r\nCerchi\r\nthird line\r\n");
  EXPECT_EQ(window.combo1_list, (std::vector<std::string>{"Casuali", "Quadrati", "Cerchi",
                                                          "Triangoli", "Ovali", "Ellissi"}));
  window.text1 = "typed by the user";
  for (const std::string& shape : window.combo1_list) {
    window.combo1 = shape;
    EXPECT_THROW(dialog.CmdOk_Click(), ProcessEnded);
    EXPECT_EQ(system.memory_files.content[kIni], "C:\\WINDOWS\\BR_LOW.bmp\r\n" + shape + "\r\n");
    EXPECT_EQ(globals.ShapeSetting, shape);

    HeadlessSaver saver(8, 6);
    saver.system.keep_log = false;
    saver.system.canvas.sink = [](const DrawCall&) {};
    saver.system.args = "/S";
    saver.system.memory_files.content = system.memory_files.content;
    saver.prog.Form_Load();
    struct Drawn : CycleObserver {
      std::set<int> families;
      void OnShape(int s) override { families.insert(s); }
    } drawn;
    saver.prog.set_observer(&drawn);
    for (int i = 0; i < 20; ++i) saver.prog.DrawCycle();
    const auto named = family_numbers.find(shape);
    if (named != family_numbers.end()) {
      EXPECT_EQ(drawn.families, std::set<int>{named->second}) << shape;
    } else {
      EXPECT_GT(drawn.families.size(), 1u) << shape;
    }
  }
}

TEST_F(OptionsDialog, OkWithoutChangesRewritesTheSameFile) {
  // Values unlike Open's, read by the saver's own start-up reader.
  const std::string file = "D:\\PIC\\mine.bmp\r\nTriangoli\r\n";
  system.memory_files.content[kIni] = file;
  frmProg(system, globals).ReadSettingsFile();
  dialog.Show();
  dialog.Run();
  EXPECT_EQ(window.text1, "D:\\PIC\\mine.bmp");
  EXPECT_EQ(window.combo1, "Triangoli");
  EXPECT_THROW(dialog.CmdOk_Click(), ProcessEnded);
  EXPECT_EQ(system.memory_files.content[kIni], file);
}

TEST_F(OptionsDialog, AnnullaWritesNothing) {
  Open("keep\r\nCerchi\r\n");
  window.combo1 = "Quadrati";
  dialog.File1_Click(-1);
  EXPECT_THROW(dialog.CmdAnn_Click(), ProcessEnded);
  EXPECT_EQ(system.memory_files.content[kIni], "keep\r\nCerchi\r\n");
}

TEST_F(OptionsDialog, FailedWriteKeepsDialogOpenAndOldFile) {
  Open("keep\r\nCerchi\r\n");
  system.memory_files.read_only.push_back(kIni);
  window.combo1 = "Quadrati";
  EXPECT_NO_THROW(dialog.CmdOk_Click());
  EXPECT_EQ(system.memory_files.content[kIni], "keep\r\nCerchi\r\n");
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0],
            "Impossibile salvare le impostazioni in C:\\WINDOWS\\brlscsav.ini:\nAccesso negato.");
  EXPECT_EQ(window.icons[0], MessageIcon::kError);
  // Once the folder is writable again, Ok saves and ends.
  system.memory_files.read_only.clear();
  EXPECT_THROW(dialog.CmdOk_Click(), ProcessEnded);
  EXPECT_EQ(system.memory_files.content[kIni], "C:\\WINDOWS\\BR_LOW.bmp\r\nQuadrati\r\n");
}

TEST_F(OptionsDialog, KeyFilterDiscardsEveryCharacter) {
  for (int key : {int{'a'}, int{'Z'}, int{'0'}, int{' '}, 8, 13, 255}) {
    int code = key;
    dialog.Combo1_KeyPress(code);
    EXPECT_EQ(code, 0) << key;
  }
}

TEST_F(OptionsDialog, Text1ClickSelectsAll) {
  Open("");
  dialog.Text1_Click();
  EXPECT_EQ(window.sel_start, 0);
  EXPECT_EQ(window.sel_length, static_cast<int>(std::string("C:\\WINDOWS\\BR_LOW.bmp").size()));
}

TEST(JoinChooserPath, NoDoubledSeparatorAtARoot) {
  struct Case {
    const char* folder;
    const char* expected;
  };
  for (const Case c : {Case{"C:\\", "C:\\logo.bmp"}, Case{"C:\\IMG", "C:\\IMG\\logo.bmp"},
                       Case{"C:\\A", "C:\\A\\logo.bmp"}}) {
    EXPECT_EQ(JoinChooserPath(c.folder, "logo.bmp"), c.expected);
  }
}

TEST(FolderListFor, AncestorsThenSubfolders) {
  const auto entries = FolderListFor("C:\\IMG\\OLD", {"A", "B"});
  ASSERT_EQ(entries.size(), 5u);
  const std::vector<std::tuple<std::string, std::string, int, bool>> expected = {
      {"C:\\", "C:\\", 0, true},
      {"IMG", "C:\\IMG", 1, true},
      {"OLD", "C:\\IMG\\OLD", 2, true},
      {"A", "C:\\IMG\\OLD\\A", 3, false},
      {"B", "C:\\IMG\\OLD\\B", 3, false}};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(std::tie(entries[i].name, entries[i].path, entries[i].depth, entries[i].open),
              expected[i]);
  }
  const auto root = FolderListFor("D:\\", {"X"});
  ASSERT_EQ(root.size(), 2u);
  EXPECT_EQ(root[1].path, "D:\\X");
}

TEST_F(OptionsDialog, ChooserStartsOnCurrentFolderAndFollowsTheLists) {
  window.disk.subfolders["C:\\WORK"] = {"IMG"};
  window.disk.files["C:\\WORK\\IMG"] = {"logo.bmp", "zz.bmp"};
  window.disk.files["D:\\"] = {"root.bmp"};
  Open("");
  EXPECT_EQ(window.drive_selected, 1);
  EXPECT_EQ(window.folders[window.folder_selected].path, "C:\\WORK");
  ASSERT_EQ(window.folders.size(), 3u);
  dialog.Dir1_Open(2);
  EXPECT_EQ(dialog.File1Path(), "C:\\WORK\\IMG");
  EXPECT_EQ(window.file_list, (std::vector<std::string>{"logo.bmp", "zz.bmp"}));
  dialog.File1_Click(1);
  EXPECT_EQ(window.text1, "C:\\WORK\\IMG\\zz.bmp");
  EXPECT_EQ(globals.PictureSetting, "C:\\WORK\\IMG\\zz.bmp");

  dialog.Drive1_Pick(2);
  EXPECT_EQ(dialog.Dir1(), "D:\\");
  dialog.File1_DblClick(0);
  EXPECT_EQ(globals.PictureSetting, "D:\\root.bmp");
  EXPECT_THROW(dialog.CmdOk_Click(), ProcessEnded);
  EXPECT_EQ(system.memory_files.content[kIni], "D:\\root.bmp\r\nOvali\r\n");
}

// A desktop's own file chooser names the picked file by its path: the same
// pick, the same fold, the same file written by Ok.
TEST_F(OptionsDialog, ChooserThatNamesPathsPicksAndFoldsLikeTheLists) {
  Open("");
  dialog.Cmdsfoglia_Click();
  dialog.File1_ClickPath("/home/u/Immagini/logo.bmp");
  EXPECT_EQ(window.text1, "/home/u/Immagini/logo.bmp");
  EXPECT_EQ(globals.PictureSetting, "/home/u/Immagini/logo.bmp");
  EXPECT_EQ(window.height, 4800) << "a single click leaves the chooser open";
  dialog.File1_DblClickPath("/srv/pics/other.bmp");
  EXPECT_EQ(window.height, 2400);
  window.combo1 = "Triangoli";
  EXPECT_THROW(dialog.CmdOk_Click(), ProcessEnded);
  EXPECT_EQ(system.memory_files.content[kIni], "/srv/pics/other.bmp\r\nTriangoli\r\n");
}

TEST_F(OptionsDialog, DriveNotReadyGoesBackToStartDrive) {
  window.disk.not_ready = {"A:"};
  window.disk.subfolders["D:\\"] = {"X"};
  Open("");
  dialog.Drive1_Pick(2);  // D: works
  EXPECT_EQ(dialog.Dir1(), "D:\\");
  dialog.Drive1_Pick(0);  // A: has no medium
  EXPECT_EQ(window.messages, std::vector<std::string>{"Periferica non pronta."});
  EXPECT_EQ(window.icons[0], MessageIcon::kNone);
  // Back to the drive at activation, not to the drive shown before.
  EXPECT_EQ(dialog.Drive1(), "C:");
  EXPECT_EQ(window.drive_selected, 1);
  EXPECT_EQ(dialog.Dir1(), "C:\\WORK");
  EXPECT_EQ(dialog.File1Path(), "C:\\WORK");
}

TEST_F(OptionsDialog, StartDriveNotReadyEitherShowsSecondMessageAndStops) {
  window.disk.current = "A:\\";
  window.disk.drive_folder["A:"] = "A:\\";
  window.disk.subfolders["A:\\"] = {"OLD"};
  Open("");
  EXPECT_EQ(dialog.StartDrive, "A:");
  window.disk.not_ready = {"A:", "D:"};
  dialog.Drive1_Pick(2);
  EXPECT_EQ(window.messages.size(), 2u);
  EXPECT_EQ(dialog.Drive1(), "A:");
  // The lists keep the folder they showed.
  EXPECT_EQ(dialog.Dir1(), "A:\\");
  EXPECT_EQ(window.folders.size(), 2u);
}

TEST_F(OptionsDialog, OtherDriveErrorsAreSilent) {
  window.disk.drives.push_back("E:");  // no folder: a generic failure
  Open("");
  dialog.Drive1_Pick(3);
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(dialog.Drive1(), "E:");
  EXPECT_EQ(dialog.Dir1(), "C:\\WORK");
}

}  // namespace
}  // namespace brenlow
