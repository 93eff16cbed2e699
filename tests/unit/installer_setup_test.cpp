#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <vector>

#include "installer/frmsetup.h"
#include "platform/recording/recording_system.h"
#include "saver_test_support.h"

namespace brenlow {
namespace {

constexpr char kSettings[] = "C:\\WINDOWS\\brlscsav.ini";
constexpr char kSaver[] = "C:\\WINDOWS\\brenlow.scr";
constexpr char kLogo[] = "C:\\WINDOWS\\BR_LOW.bmp";
constexpr char kDefaults[] = "C:\\WINDOWS\\BR_LOW.bmp\r\nCasuali\r\n";

// Each scenario starts from the folder with both shipped files and an older
// installation whose settings the user had changed.
TEST(InstallerTest, InstallationSteps) {
  struct Case {
    const char* name;
    // A source removed from the current folder, or a destination that
    // refuses to be written: the file the failure's message names.
    std::string missing, read_only;
    int exit_code;
    const char *saver, *logo;  // "new" or "old" content afterwards
    std::string settings;
    // Copies that lost the mark of a downloaded file, which a copy carries
    // over from the unpacked zip: none, the saver, or the saver and the logo.
    size_t unmarked;
  };
  const std::string old = "D:\\foto\\mare.bmp\r\nCerchi\r\n";
  const std::vector<Case> cases = {
      {"second install replaces all", "", "", 0, "new", "new", kDefaults, 2},
      {"missing saver copies nothing", "brenlow.scr", "", 1, "old", "old", old, 0},
      {"missing logo keeps the saver copy and the old settings", "BR_LOW.bmp", "", 1, "new", "old",
       old, 1},
      {"saver in use", "", kSaver, 1, "old", "old", old, 0},
      {"settings cannot be written", "", kSettings, 1, "new", "new", old, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeInstallerHost host;
    auto& files = host.memory.content;
    files = {{"brenlow.scr", "new saver"},
             {"BR_LOW.bmp", "new logo"},
             {kSaver, "old saver"},
             {kLogo, "old logo"},
             {kSettings, old}};
    files.erase(c.missing);
    if (!c.read_only.empty()) host.memory.read_only = {c.read_only};

    EXPECT_EQ(RunQuillet(host), c.exit_code);
    // The user's virtualized settings go only once the defaults are written:
    // the saver reads that copy first, and a failed install keeps both.
    EXPECT_EQ(host.deleted_user_copies,
              c.exit_code == 0 ? std::vector<std::string>{kSettings} : std::vector<std::string>{});
    const std::vector<std::string> marks = {std::string(kSaver) + ":Zone.Identifier",
                                            std::string(kLogo) + ":Zone.Identifier"};
    EXPECT_EQ(host.deleted_streams,
              std::vector<std::string>(marks.begin(), marks.begin() + c.unmarked));
    EXPECT_EQ(files[kSaver], c.saver + std::string(" saver"));
    EXPECT_EQ(files[kLogo], c.logo + std::string(" logo"));
    EXPECT_EQ(files[kSettings], c.settings);
    if (c.exit_code == 0) {
      EXPECT_TRUE(host.messages.empty());
      EXPECT_EQ(host.windows, std::vector<std::string>{"Set Up Completato."});
    } else {
      // The failure is told, with the file and the system's reason, and the
      // window that says it all went well never opens.
      const char* reason =
          c.missing.empty() ? "Accesso negato." : "Impossibile trovare il file specificato.";
      EXPECT_THAT(host.messages,
                  testing::ElementsAre(testing::AllOf(testing::HasSubstr(c.missing + c.read_only),
                                                      testing::HasSubstr(reason))));
      EXPECT_TRUE(host.windows.empty());
    }
  }
}

// A fresh install writes exactly the three files into the Windows folder,
// even when its window cannot be made (that is told and ends with code 1).
// A folder too long for the 255-byte buffer gives none: they go to the root.
TEST(InstallerTest, FreshInstallWritesExactlyTheThreeFiles) {
  const struct {
    std::string reported, folder;
    std::optional<std::string> window_failure = std::nullopt;
  } cases[] = {
      {"C:\\WINDOWS", "C:\\WINDOWS"},
      {"", ""},
      {std::string(254, 'a'), std::string(254, 'a')},
      // 255 characters plus the NUL do not fit: Windows writes nothing.
      {std::string(255, 'a'), ""},
      {"C:\\WINDOWS", "C:\\WINDOWS", "No available video device"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reported.size());
    FakeInstallerHost host;
    host.windows_folder = c.reported;
    host.window_failure = c.window_failure;
    host.memory.content = {{"brenlow.scr", "saver"}, {"BR_LOW.bmp", "logo"}};
    EXPECT_EQ(RunQuillet(host), c.window_failure ? 1 : 0);
    const std::map<std::string, std::string> expected = {
        {"brenlow.scr", "saver"},
        {"BR_LOW.bmp", "logo"},
        {c.folder + "\\brenlow.scr", "saver"},
        {c.folder + "\\BR_LOW.bmp", "logo"},
        {c.folder + "\\brlscsav.ini", c.folder + "\\BR_LOW.bmp\r\nCasuali\r\n"}};
    EXPECT_EQ(host.memory.content, expected);
    EXPECT_THAT(host.messages, testing::SizeIs(c.window_failure ? 1 : 0));
    EXPECT_THAT(host.messages, testing::Each(testing::HasSubstr(c.window_failure.value_or(""))));
  }
}

// The same steps on a real disk: sources relative to the current folder,
// destinations in a folder given the Windows way.
TEST(InstallerTest, InstallsIntoATemporaryFolderOnDisk) {
  namespace fs = std::filesystem;
  const TempFolder t;
  fs::create_directories(t.path + "/ship");
  fs::create_directories(t.path + "/win");
  const std::string settings_text = t.path + "/win\\BR_LOW.bmp\r\nCasuali\r\n";

  // Without the saver nothing is copied.
  t.Write("ship/BR_LOW.bmp", "BM logo");
  const std::string refused = RunInstaller(t);
  EXPECT_THAT(refused, testing::MatchesRegex(R"(1\|[^|]*brenlow\.scr[^|]*)"));
  EXPECT_TRUE(fs::is_empty(t.path + "/win"));

  t.Write("ship/brenlow.scr", "MZ saver");
  // The copies keep their sources' permission bits: the saver stays a
  // program that can run.
  const auto rwx = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                   fs::perms::others_read | fs::perms::others_exec;
  const auto rw = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(t.path + "/ship/brenlow.scr", rwx);
  fs::permissions(t.path + "/ship/BR_LOW.bmp", rw);
  EXPECT_EQ(RunInstaller(t), "0");
  EXPECT_EQ(t.Read("win/brenlow.scr"), "MZ saver");
  EXPECT_EQ(t.Read("win/BR_LOW.bmp"), "BM logo");
  EXPECT_EQ(fs::status(t.path + "/win/brenlow.scr").permissions(), rwx);
  EXPECT_EQ(fs::status(t.path + "/win/BR_LOW.bmp").permissions(), rw);
  EXPECT_EQ(t.Read("win/brlscsav.ini"), settings_text);

  // The user's later choice is discarded by a second run.
  t.Write("win/brlscsav.ini", "x.bmp\r\nOvali\r\n");
  EXPECT_EQ(RunInstaller(t), "0");
  EXPECT_EQ(t.Read("win/brlscsav.ini"), settings_text);
}

TEST(InstallerTest, WindowIs3600By2400TwipsWithATenPixelMargin) {
  const auto sides = [](const SetupRect& r) {
    return std::vector<int>{r.left, r.top, r.width, r.height};
  };
  // dpi across, dpi down, width, height.
  const int frames[][4] = {
      {96, 96, 240, 160}, {120, 120, 300, 200}, {144, 144, 360, 240}, {120, 96, 300, 160}};
  for (const auto& f : frames)
    EXPECT_EQ(sides(frmsetup::FrameSize(f[0], f[1])), (std::vector<int>{0, 0, f[2], f[3]}));
  EXPECT_EQ(sides(frmsetup::Command1Bounds(284, 162)), (std::vector<int>{10, 10, 264, 142}));
  EXPECT_EQ(frmsetup::Command1Bounds(15, 15).width, 0);
}

}  // namespace
}  // namespace brenlow
