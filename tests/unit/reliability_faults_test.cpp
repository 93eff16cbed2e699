// Faults on a real disk (a temporary folder, through PosixFiles): what the
// saver, the dialog's writer and the installer do, and that the previous
// settings file always survives.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>

#include "platform/posix/posix_files.h"
#include "platform/recording/recording_system.h"
#include "platform/soft/picture_io.h"
#include "saver/app.h"
#include "saver/settings.h"
#include "saver_test_support.h"

namespace brenlow {
namespace {

namespace fs = std::filesystem;

const char kOld[] = "C:\\old.bmp\r\nCerchi\r\n";

struct ChildLimits {
  bool unprivileged = false;          // drop root, so permissions count
  std::int64_t file_size_limit = -1;  // RLIMIT_FSIZE in bytes
};

// Runs fn in a child process under the limits, as a death test does: what
// it returns must match `expected`, a regular expression.
void ExpectInChild(const ChildLimits& limits, const std::function<std::string()>& fn,
                   const std::string& expected) {
  const auto run = [&] {
    if (limits.unprivileged && ::getuid() == 0) {
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(3);
    }
    // A full disk: writes past the limit fail with EFBIG instead of killing
    // the process. The limit is lifted again for the death test's report.
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    rlimit limit = before;
    if (limits.file_size_limit >= 0) limit.rlim_cur = static_cast<rlim_t>(limits.file_size_limit);
    ::signal(SIGXFSZ, SIG_IGN);
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(4);
    const std::string result = fn();
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::fputs(result.c_str(), stderr);
    std::_Exit(0);
  };
  EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), expected);
}

// The recording platform with the real disk and the real picture loader.
struct DiskSystem : RecordingSystem {
  explicit DiskSystem(const std::string& folder) {
    windows_folder = folder;
    files_ = &posix;
    args = "/S";
    canvas.Resize(64, 48);
    keep_log = false;
    canvas.sink = [this](const DrawCall& c) {
      if (c.kind == DrawCall::kCopy) ++copies;
      if (c.kind == DrawCall::kText) ++texts;
    };
    // Moves sideways once three cycles' worth of checks have passed.
    cursor = [](int n) { return CursorPoint{n < 3000 ? 5 : 6, 5}; };
    clock_step = 0.05;
    load_picture = [this](const std::string& path) {
      if (out_of_memory) throw std::bad_alloc();
      return LoadBmp(PosixFiles::NativePath(path));
    };
  }
  PosixFiles posix;
  bool out_of_memory = false;  // loading the picture finds no memory
  int copies = 0;
  int texts = 0;
};

std::string Bmp24(int width, int height, std::uint64_t pixel_bytes_kept) {
  return BitmapFile({.width = width, .height = height, .pixel_bytes_kept = pixel_bytes_kept});
}

long MaxRssKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A settings folder no writer can write into: the dialog's Ok fails with the
// system's reason, quillet stops at its first copy, nothing half-written is
// left and the previous file stays as it was.
TEST(ReliabilityFaults, UnwritableSettingsFolderKeepsThePreviousFile) {
  const struct Case {
    const char* name;
    ChildLimits limits;
    const char* reason;
    bool tmpfs = false;
  } cases[] = {
      {"read-only folder", {true, -1}, "Permission denied"},
      // Room for 8 bytes: every write of a whole file fails midway.
      {"full disk", {false, 8}, "File too large"},
      // Last: it skips where no tmpfs can be mounted (root in a container
      // that permits it).
      {"full 64 KiB tmpfs", {}, "No space left on device", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder t;
    const std::string win = t.path + (c.tmpfs ? "/disk/win" : "/win");
    fs::create_directories(t.path + "/disk");
    if (c.tmpfs && ::mount("tmpfs", (t.path + "/disk").c_str(), "tmpfs", 0, "size=64k") != 0) {
      GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    }
    struct Unmount {
      std::string path;
      bool mounted;
      ~Unmount() {
        if (mounted) ::umount2(path.c_str(), MNT_DETACH);
      }
    } unmount{t.path + "/disk", c.tmpfs};
    fs::create_directories(win);
    if (c.tmpfs) fs::create_symlink(win, t.path + "/win");
    fs::create_directories(t.path + "/ship");
    t.Write("win/brlscsav.ini", kOld);
    t.Write("ship/brenlow.scr", std::string(4096, 'p'));
    t.Write("ship/BR_LOW.bmp", Bmp24(4, 4, 48));
    fs::permissions(t.path + "/ship", fs::perms::all);
    if (c.limits.unprivileged) {
      fs::permissions(win, fs::perms::all & ~(fs::perms::owner_write | fs::perms::group_write |
                                              fs::perms::others_write));
    }
    if (c.tmpfs) {
      // Fill every last block.
      std::ofstream filler(t.path + "/disk/filler", std::ios::binary);
      const std::string block(512, 'f');
      while (filler.write(block.data(), block.size())) {
      }
      filler.clear();
      while (filler.put('f') && filler.flush()) {
      }
    }
    ExpectInChild(
        c.limits,
        [&] {
          PosixFiles files;
          const auto error = WriteSettings(files, win + "\\brlscsav.ini", "C:\\new.bmp", "Ovali");
          return error ? error->reason : std::string("written");
        },
        c.reason);
    ExpectInChild(
        c.limits, [&] { return RunInstaller(t); },
        R"(^1\|Impossibile copiare il file "brenlow\.scr".*Installazione interrotta\.)");
    EXPECT_EQ(t.Read("win/brlscsav.ini"), kOld);
    EXPECT_EQ(t.Names("/win"), std::vector<std::string>{"brlscsav.ini"});
  }
}

TEST(ReliabilityFaults, SettingsFileThatIsAFolder) {
  TempFolder t;
  fs::create_directories(t.path + "/brlscsav.ini/inside");
  t.Write("brlscsav.ini/inside/keep.txt", "mine");
  // The saver runs with empty settings and ends on a sideways move.
  DiskSystem system(t.path);
  EXPECT_EQ(RunToEnd(system), 0);
  EXPECT_GT(system.texts, 0);
  EXPECT_EQ(system.copies, 0);
  // A writer gets an error and the folder with its content stays.
  PosixFiles files;
  const auto error = WriteSettings(files, t.path + "\\brlscsav.ini", "C:\\x.bmp", "Ovali");
  ASSERT_TRUE(error.has_value());
  EXPECT_NE(error->reason.find("brlscsav.ini"), std::string::npos) << error->reason;
  EXPECT_EQ(t.Read("brlscsav.ini/inside/keep.txt"), "mine");
  EXPECT_EQ(t.Names(), std::vector<std::string>{"brlscsav.ini"});
}

// Whatever the picture setting names, the loader gives no picture and the
// saver runs without a logo and ends on a sideways move. (Which broken files
// the loader turns away is PictureIo's table; that every way out gives the
// cursor and the system's screen saver back, ReliabilityExit's.)
TEST(ReliabilityFaults, BadPicturesGiveARunningSaverWithoutLogo) {
  TempFolder t;
  const std::string whole = Bmp24(40, 30, UINT64_MAX);
  const std::string bad = t.path + "/bad.bmp", fifo = t.path + "/fifo.bmp";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct Case {
    const char* name;
    std::string bytes;  // written to bad.bmp
    std::string picture;
    bool out_of_memory = false;
  } cases[] = {
      {"cut mid-pixel-data", whole.substr(0, 54 + 40 * 3 * 12 + 17), bad},
      {"30000 x 30000 in its header", Bmp24(30000, 30000, 4096), bad},
      {"16000 x 16000, cut", Bmp24(16000, 16000, 4096), bad},
      {"missing", "", t.path + "/missing.bmp"},
      {"no name", "", ""},
      {"a name of 10 MB", "", std::string(10 * 1024 * 1024, 'x')},
      // No regular file: nothing to wait for, nothing to read without end.
      {"a folder", "", t.path},
      {"a device", "", "/dev/zero"},
      {"a FIFO", "", fifo},
      // A picture too large for the memory left: the logo goes, the saver stays.
      {"no memory while loading", whole, bad, true},
      {"a whole picture, shown", whole, bad},
  };
  for (const Case& c : cases) {
    t.Write("bad.bmp", c.bytes);
    const bool shown = c.bytes == whole && !c.out_of_memory;
    const long rss_before = MaxRssKb();
    DiskSystem system(t.path);
    system.out_of_memory = c.out_of_memory;
    system.posix.WriteAll(t.path + "\\brlscsav.ini", c.picture + "\r\nCerchi\r\n");
    EXPECT_EQ(RunToEnd(system), 0) << c.name;
    EXPECT_EQ(system.copies > 0, shown) << c.name;
    EXPECT_GT(system.texts, 0) << c.name;
    // Refused from the header: no picture-sized memory was ever taken.
    if (c.picture.size() < 4096) {
      EXPECT_LT(MaxRssKb() - rss_before, 64 * 1024) << c.name;
    }
  }
}

}  // namespace
}  // namespace brenlow
