// The settings dialog's logic against a fake window, and the chooser's lists.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <new>
#include <set>
#include <stdexcept>

#include "platform/chooser_lists.h"
#include "platform/recording/headless_saver.h"
#include "saver/app.h"
#include "saver/frm_prog.h"
#include "saver/options/frm_options.h"
#include "saver_test_support.h"

namespace brenlow {
namespace {

// The window of a system with drives; its lists are what it was asked to show.
struct FakeWindow : OptionsDialogWindow {
  OptionsDialogEvents* events = nullptr;
  int tpp = 15;  // twips per pixel both ways, on a screen of 1024 x 768 pixels
  int width = 0, height = 0;
  std::array<int, 2> corner = {-1, -1};  // left, top
  std::map<int, std::array<int, 3>> lines;
  std::string text1, combo1;
  std::vector<std::string> combo1_list;
  std::array<int, 2> selection = {-1, -1};  // start, length
  std::string drive, folder, file_folder, pattern;
  std::vector<std::string> messages;  // an error's with " (errore)"
  // The disk: the current folder, each drive's folder, drives not ready.
  std::string current = "C:\\WORK";
  std::map<std::string, std::string> drive_folder = {
      {"A:", "A:\\"}, {"C:", "C:\\WORK"}, {"D:", "D:\\"}};
  std::set<std::string> not_ready;
  std::function<void()> after_activation = [] {};

  void Load(OptionsDialogEvents& e) override {
    events = &e;
    e.Form_Load();
  }
  int Run() override {
    events->Form_Activate();
    after_activation();
    return 0;
  }
  int TwipsPerPixelX() override { return tpp; }
  int TwipsPerPixelY() override { return tpp; }
  int ScreenWidth() override { return 1024 * tpp; }
  int ScreenHeight() override { return 768 * tpp; }
  int FormWidth() override { return width; }
  int FormHeight() override { return height; }
  void SetFormWidth(int twips) override { width = twips; }
  void SetFormHeight(int twips) override { height = twips; }
  void MoveForm(int left, int top) override { corner = {left, top}; }
  // Inner width: the frame takes 3 pixels each side.
  int ScaleWidth() override { return width / tpp - 6; }
  PixelRect Text1Rect() override { return {16, 88, 241, 18}; }
  void SetLine(int line, int x1, int x2, int y) override { lines[line] = {x1, x2, y}; }
  std::string Text1() override { return text1; }
  void SetText1(const std::string& t) override { text1 = t; }
  void SelectText1(int start, int length) override { selection = {start, length}; }
  std::string Combo1() override { return combo1; }
  void SetCombo1(const std::string& t) override { combo1 = t; }
  void SetCombo1List(const std::vector<std::string>& e) override { combo1_list = e; }
  void ShowDrive(const std::string& d) override { drive = d; }
  void ShowFolder(const std::string& f) override { folder = f; }
  void ShowFiles(const std::string& f, const std::string& p) override {
    file_folder = f;
    pattern = p;
  }
  std::string CurrentFolder() override { return current; }
  std::variant<std::string, DriveError> DriveFolder(const std::string& d) override {
    if (not_ready.count(d)) return DriveError{true, "Periferica non pronta."};
    const auto it = drive_folder.find(d);
    if (it == drive_folder.end()) return DriveError{false, "Errore generico."};
    return it->second;
  }
  void MessageBox(const std::string& text, const std::string&, MessageIcon icon) override {
    messages.push_back(text + (icon == MessageIcon::kError ? " (errore)" : ""));
  }
};

const char kIni[] = "C:\\WINDOWS\\brlscsav.ini";

// The dialog on a recording system, as start-up with "/C" makes it.
struct DialogRun {
  DialogRun() { system.options_dialog = &window; }
  // Start-up as far as the dialog's activation, on the file's settings.
  void Open(const std::string& ini_content) {
    system.memory_files.content[kIni] = ini_content;
    frmProg(system, globals).ReadSettingsFile();
    dialog.Show();
    dialog.Run();
  }
  const std::string& ini() { return system.memory_files.content[kIni]; }

  RecordingSystem system;
  FakeWindow window;
  Dichiarazioni globals;
  frmOptions dialog{system, globals};
};

class OptionsDialog : public ::testing::Test, protected DialogRun {};

// Start-up with "/C" reads the file and the activation fills the fields
// (an empty shape stays empty). An error in one of the dialog's events (a
// window procedure hands it on to the event loop) is told in a message box
// and ends the program with code 1.
TEST(OptionsDialogStart, FieldsFromTheFileAndAnErrorInAnEventEndsWithCodeOne) {
  struct Case {
    std::function<void()> fail;
    std::string message;  // empty: none, and the dialog returns
  } cases[] = {
      {[] {}, ""},
      {[] { throw std::bad_alloc(); }, "MessageBox brenlow: Errore di run-time: memoria esaurita."},
      {[] { throw std::runtime_error("disco rotto"); },
       "MessageBox brenlow: Errore di run-time: disco rotto"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    DialogRun run;
    run.window.after_activation = c.fail;
    run.system.args = "/c:123";
    run.system.memory_files.content[kIni] = "D:\\PIC\\a.bmp\r\n\r\n";
    EXPECT_EQ(RunToEnd(run.system), c.message.empty() ? -1 : 1);
    EXPECT_EQ(run.window.text1, "D:\\PIC\\a.bmp");
    EXPECT_EQ(run.window.combo1, "");
    EXPECT_THAT(run.system.log, testing::Contains(c.message).Times(c.message.empty() ? 0 : 1));
  }
}

// 5040 x 2400 twips, centred: 420 x 200 pixels at 12 twips per pixel, 336
// x 160 at 15. Unfolded (twice: no further) to 4800; a click on a file
// leaves it so, a double-click folds it.
TEST_F(OptionsDialog, LayoutAtBothScreenResolutions) {
  for (const int tpp : {12, 15}) {
    SCOPED_TRACE(tpp);
    window.tpp = tpp;
    dialog.Show();
    EXPECT_EQ(window.width, 5040);
    EXPECT_EQ(window.height, 2400);
    EXPECT_EQ(window.corner, (std::array{(1024 * tpp - 5040) / 2, (768 * tpp - 2400) / 2}));
    const int inner = 5040 / tpp - 6;
    EXPECT_EQ(window.lines[1], (std::array<int, 3>{10, inner - 10, 88 + 18 + 25}));
    EXPECT_EQ(window.lines[2], (std::array<int, 3>{10, inner - 10, 88 + 18 + 26}));

    dialog.Cmdsfoglia_Click();
    dialog.Cmdsfoglia_Click();
    EXPECT_EQ(window.height, 4800);
    EXPECT_EQ(window.width, 5040);
    dialog.File1_Click("C:\\WORK\\a.bmp");
    EXPECT_EQ(window.height, 4800);
    dialog.File1_DblClick("C:\\WORK\\a.bmp");
    EXPECT_EQ(window.height, 2400);
  }
}

// "&Ok" saves PictureSetting (not what was typed into Text1) and Combo1's
// text. Each family the dialog offers is then the one the saver draws
// ("Casuali" draws at random: the cycle tests count that).
TEST_F(OptionsDialog, OkSavesTheOfferedShapeAndTheSaverDrawsItsFamily) {
  const std::map<std::string, int> family_numbers = {
      {"Ovali", 1}, {"Quadrati", 2}, {"Triangoli", 3}, {"Cerchi", 4}, {"Ellissi", 5}};
  Open("C:\\WINDOWS\\BR_LOW.bmp\r\nCerchi\r\nthird line\r\n");
  EXPECT_EQ(window.combo1_list, (std::vector<std::string>{"Casuali", "Quadrati", "Cerchi",
                                                          "Triangoli", "Ovali", "Ellissi"}));
  window.text1 = "typed by the user";
  for (const std::string& shape : window.combo1_list) {
    window.combo1 = shape;
    EXPECT_THROW(dialog.CmdOk_Click(), ProcessEnded);
    EXPECT_EQ(ini(), "C:\\WINDOWS\\BR_LOW.bmp\r\n" + shape + "\r\n");

    HeadlessSaver saver(8, 6);
    saver.system.memory_files.content = system.memory_files.content;
    saver.prog.ReadSettingsFile();
    CycleCounts drawn;
    saver.prog.set_observer(&drawn);
    for (int i = 0; i < 20; ++i) saver.prog.DrawCycle();
    const auto named = family_numbers.find(shape);
    if (named != family_numbers.end()) {
      EXPECT_EQ(drawn.shapes, (std::map<int, int>{{named->second, 20}})) << shape;
    }
  }
}

// What each way out writes. Ok saves the last file picked (a path from
// either toolkit, a double-click's too) and Combo1's text; without changes
// it rewrites what the saver's own reader read. Annulla writes nothing.
TEST(OptionsDialogEndings, WhatEachButtonWrites) {
  struct Case {
    const char* file;
    std::vector<std::string> picks;  // files clicked, the last one double-clicked
    const char* shape;               // picked in Combo1; null: none
    void (frmOptions::*button)();
    const char* written;  // null: the file as it was
  } cases[] = {
      {"D:\\PIC\\mine.bmp\r\nTriangoli\r\n", {}, nullptr, &frmOptions::CmdOk_Click, nullptr},
      {"keep\r\nCerchi\r\n", {"C:\\WORK\\x.bmp"}, "Quadrati", &frmOptions::CmdAnn_Click, nullptr},
      {"keep\r\nCerchi\r\n",
       {"C:\\WORK\\IMG\\zz.bmp", "/home/u/Immagini/logo.bmp"},
       "Triangoli",
       &frmOptions::CmdOk_Click,
       "/home/u/Immagini/logo.bmp\r\nTriangoli\r\n"},
  };
  for (const Case& c : cases) {
    DialogRun run;
    run.Open(c.file);
    for (const std::string& path : c.picks) {
      if (&path == &c.picks.back()) {
        run.dialog.File1_DblClick(path);
      } else {
        run.dialog.File1_Click(path);
      }
      EXPECT_EQ(run.window.text1, path);
      EXPECT_EQ(run.globals.PictureSetting, path);
    }
    if (c.shape) run.window.combo1 = c.shape;
    EXPECT_THROW((run.dialog.*c.button)(), ProcessEnded);
    EXPECT_EQ(run.ini(), c.written ? c.written : c.file);
  }
}

TEST_F(OptionsDialog, FailedWriteKeepsDialogOpenAndOldFile) {
  Open("keep\r\nCerchi\r\n");
  system.memory_files.read_only.push_back(kIni);
  window.combo1 = "Quadrati";
  EXPECT_NO_THROW(dialog.CmdOk_Click());
  EXPECT_EQ(ini(), "keep\r\nCerchi\r\n");
  EXPECT_EQ(window.messages,
            std::vector<std::string>{"Impossibile salvare le impostazioni in "
                                     "C:\\WINDOWS\\brlscsav.ini:\nAccesso negato. (errore)"});
  // Once the folder is writable again, Ok saves and ends.
  system.memory_files.read_only.clear();
  EXPECT_THROW(dialog.CmdOk_Click(), ProcessEnded);
  EXPECT_EQ(ini(), "keep\r\nQuadrati\r\n");
}

TEST_F(OptionsDialog, KeyFilterDiscardsEveryCharacterAndText1ClickSelectsAll) {
  for (int key : {int{'a'}, int{'Z'}, int{'0'}, int{' '}, 8, 13, 255}) {
    int code = key;
    dialog.Combo1_KeyPress(code);
    EXPECT_EQ(code, 0) << key;
  }
  Open("C:\\WINDOWS\\BR_LOW.bmp\r\nOvali\r\n");
  dialog.Text1_Click();
  EXPECT_EQ(window.selection,
            (std::array{0, static_cast<int>(std::string("C:\\WINDOWS\\BR_LOW.bmp").size())}));
}

TEST(OptionsChooserLists, PathsAndFolderRows) {
  // No doubled separator at a drive's root.
  EXPECT_EQ(JoinChooserPath("C:\\", "logo.bmp"), "C:\\logo.bmp");
  EXPECT_EQ(JoinChooserPath("C:\\A", "logo.bmp"), "C:\\A\\logo.bmp");
  // The ancestors, open, then the subfolders one level deeper: name, path,
  // depth and "+" for an open folder.
  const auto rows = [](const std::vector<FolderEntry>& entries) {
    std::vector<std::string> described;
    for (const FolderEntry& e : entries) {
      described.push_back(e.name + " " + e.path + " " + std::to_string(e.depth) +
                          (e.open ? "+" : ""));
    }
    return described;
  };
  EXPECT_EQ(rows(FolderListFor("C:\\IMG\\OLD", {"A", "B"})),
            (std::vector<std::string>{"C:\\ C:\\ 0+", "IMG C:\\IMG 1+", "OLD C:\\IMG\\OLD 2+",
                                      "A C:\\IMG\\OLD\\A 3", "B C:\\IMG\\OLD\\B 3"}));
  EXPECT_EQ(rows(FolderListFor("D:\\", {"X"})),
            (std::vector<std::string>{"D:\\ D:\\ 0+", "X D:\\X 1"}));
}

// The chooser starts on the current drive and folder, File1 on "*.bmp".
// Opening a folder moves File1 with Dir1; a drive change moves both to the
// drive's folder. A drive that is not ready is told, with no icon, and
// sends the lists back to the drive at activation (StartDrive), which stops
// when StartDrive is not ready either; other failures are silent and leave
// the lists.
TEST(OptionsDialogChooser, FoldersAndDrives) {
  struct Case {
    const char* current;              // the folder at start
    std::set<std::string> not_ready;  // after activation
    std::vector<std::string> steps;   // a drive ("D:") picked, or a folder opened
    std::size_t messages;
    const char* drive;   // what Drive1 shows after
    const char* folder;  // what Dir1 and File1 show after
  } cases[] = {
      {"C:\\WORK", {}, {}, 0, "C:", "C:\\WORK"},
      {"C:\\WORK", {}, {"C:\\WORK\\IMG"}, 0, "C:", "C:\\WORK\\IMG"},
      {"C:\\WORK", {}, {"D:"}, 0, "D:", "D:\\"},
      // Back to StartDrive, not to the drive before.
      {"C:\\WORK", {"A:"}, {"D:", "A:"}, 1, "C:", "C:\\WORK"},
      {"A:\\", {"A:", "D:"}, {"D:"}, 2, "A:", "A:\\"},
      {"C:\\WORK", {}, {"E:"}, 0, "E:", "C:\\WORK"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    DialogRun run;
    run.window.current = c.current;
    run.Open("");
    run.window.not_ready = c.not_ready;
    for (const std::string& step : c.steps) {
      if (step.size() == 2) {
        run.dialog.Drive1_Pick(step);
      } else {
        run.dialog.Dir1_Open(step);
      }
    }
    EXPECT_EQ(run.window.messages, std::vector<std::string>(c.messages, "Periferica non pronta."));
    EXPECT_EQ(run.dialog.Drive1(), c.drive);
    EXPECT_EQ(run.window.drive, c.drive);
    for (const std::string& shown :
         {run.dialog.Dir1(), run.window.folder, run.dialog.File1Path(), run.window.file_folder}) {
      EXPECT_EQ(shown, c.folder);
    }
    EXPECT_EQ(run.window.pattern, "*.bmp");
  }
}

}  // namespace
}  // namespace brenlow
