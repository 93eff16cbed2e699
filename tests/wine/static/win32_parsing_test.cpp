// The Win32 backend's parts that need no Windows, checked natively: the
// parsing of its command line, the settings dialog's layout, and the guard
// of its callbacks.
#include "platform/win32/win32_parsing.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "installer/frmsetup.h"
#include "platform/win32/options_layout_win32.h"
#include "platform/win32/win32_callbacks.h"
#include "platform/win32/window_frame_win32.h"

namespace brenlow {
namespace {

// Frames as systems draw them, from Wine's thin one to Windows 10 and 11 at
// 96 and 144 dpi: the dialog, collapsed and unfolded, and quillet's window
// keep at least the client area of the design frame (see OptionsLayout for
// what that holds), and a frame no thicker than the design's (Wine's) keeps
// the sizes asked.
TEST(WindowFrame, ClientAreaIsTheDesignsOnEveryFrame) {
  struct Frame {
    const char* name;
    int dpi;
    FrameExtra extra;
  } frames[] = {
      {"Wine at 96 dpi", 96, {6, 25}},        {"Windows 10 at 96 dpi", 96, {16, 39}},
      {"Windows 11 at 96 dpi", 96, {10, 37}}, {"Wine at 120 dpi", 120, {6, 30}},
      {"Wine at 144 dpi", 144, {8, 34}},      {"Windows 10 at 144 dpi", 144, {22, 57}},
  };
  for (const Frame& f : frames) {
    SCOPED_TRACE(f.name);
    const int tpp = 1440 / f.dpi;
    const FrameExtra design = DesignFrame(f.dpi, f.dpi);
    const bool thin = f.extra.width <= design.width && f.extra.height <= design.height;
    // The dialog's heights, collapsed and unfolded, and quillet's.
    const SetupRect quillet = frmsetup::FrameSize(f.dpi, f.dpi);
    for (const int asked :
         {PixelsFromTwips(2400, tpp), PixelsFromTwips(4800, tpp), quillet.height}) {
      const int outer = FittedOuter(asked, design.height, f.extra.height);
      EXPECT_GE(outer - f.extra.height, asked - design.height) << asked;
      if (thin) {
        EXPECT_EQ(outer, asked);
      }
      // Read back, the window has the height it was given.
      EXPECT_EQ(DesignOuter(outer, design.height, f.extra.height), asked);
    }
    const int width = FittedOuter(quillet.width, design.width, f.extra.width);
    EXPECT_GE(width - f.extra.width, quillet.width - design.width);
    if (thin) {
      EXPECT_EQ(width, quillet.width);
    }
  }
}

// A file's copies in the users' virtual stores, under the path without its
// drive. An administrator's password given for a standard user: both
// users' copies go, each once, whatever the case and separators of the
// folders.
TEST(UserCopyPaths, TheElevatedUsersAndTheSessionUsersEachOnce) {
  const std::string ini = "C:\\WINDOWS\\brlscsav.ini";
  const std::string admin = "C:\\Users\\admin\\AppData\\Local";
  const std::string anna = "C:\\Users\\anna";
  const std::string store = "\\VirtualStore\\WINDOWS\\brlscsav.ini";
  struct Case {
    std::string path, elevated, profile;
    std::vector<std::string> copies;
  } cases[] = {
      {ini, admin, anna, {admin + store, anna + "\\AppData\\Local" + store}},
      {ini, admin, anna + "\\", {admin + store, anna + "\\AppData\\Local" + store}},
      {ini, anna + "\\AppData\\Local", anna, {anna + "\\AppData\\Local" + store}},  // not elevated
      {ini, "c:\\users\\ANNA\\appdata\\local\\", anna, {"c:\\users\\ANNA\\appdata\\local" + store}},
      {ini, admin, "", {admin + store}},  // no session user found
      {ini, "", anna, {anna + "\\AppData\\Local" + store}},
      {ini, "", "", {}},
      {"d:\\w\\x.ini", admin + "\\", "", {admin + "\\VirtualStore\\w\\x.ini"}},
      {"\\brlscsav.ini", admin, anna, {}},          // no drive: the lookup failed
      {"\\\\server\\share\\x.ini", admin, "", {}},  // network paths are not virtualized
      {"C:brlscsav.ini", admin, "", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UserCopyPaths(c.path, c.elevated, c.profile), c.copies)
        << c.path << " " << c.elevated << " " << c.profile;
  }
}

TEST(ArgumentsOf, SplitsOffTheProgramPathAsTheRuntimeDoes) {
  struct Case {
    const char* command_line;
    const char* args;
  } cases[] = {
      {"brenlow.scr /S", "/S"},
      {"C:\\WINDOWS\\brenlow.scr /p 1234", "/p 1234"},
      {"\"C:\\Program Files\\brenlow.scr\" /c:99", "/c:99"},
      {"\"C:\\x y\\brenlow.scr\"/S", "/S"},  // the closing quote ends the path
      {"brenlow.scr \t  /s", "/s"},
      {"brenlow.scr /S  ", "/S  "},  // only leading blanks go
      {"brenlow.scr", ""},
      {"\"C:\\brenlow.scr\"", ""},
      {"\"C:\\never closed /S", ""},
      {"", ""},
      {"  /S", "/S"},  // blank path: all of it is skipped
  };
  for (const Case& c : cases) EXPECT_EQ(ArgumentsOf(c.command_line), c.args) << c.command_line;
  EXPECT_EQ(ArgumentsOf(nullptr), "");
}

// The dialog as a user sees it at 96 dpi (15 twips per pixel), 120 dpi (12)
// and 144 dpi (10): collapsed, the caption, the shape box, the picture path
// and its button, the two buttons and the two lines under the path lie
// inside the window and the chooser below its foot; unfolded, the chooser
// fits too; no two controls overlap; captions sit above their boxes, the
// buttons in a column at the right, the folder list above the drive list,
// the picture button right of the path.
TEST(OptionsLayout, ControlsInsideTheWindowApartAndInPlace) {
  struct Control {
    const char* name;
    TwipsRect twips;
    bool chooser;
  };
  const Control controls[] = {
      {"CmdOk", kCmdOkTwips, false},   {"CmdAnn", kCmdAnnTwips, false},
      {"Combo1", kCombo1Twips, false}, {"Label1", kLabel1Twips, false},
      {"Label2", kLabel2Twips, false}, {"Text1", kText1Twips, false},
      {"Drive1", kDrive1Twips, true},  {"Dir1", kDir1Twips, true},
      {"File1", kFile1Twips, true},    {"Cmdsfoglia", kCmdsfogliaTwips, false},
  };
  for (const int tpp : {15, 12, 10}) {
    SCOPED_TRACE(std::to_string(tpp) + " twips per pixel");
    const int dpi = 1440 / tpp;
    const FrameExtra frame = DesignFrame(dpi, dpi);
    // The client area of the window, 420 x 200 pixels at 12 twips per
    // pixel collapsed and 400 high unfolded, whatever the screen.
    const int width = PixelsFromTwips(5040, tpp) - frame.width;
    const int collapsed = PixelsFromTwips(2400, tpp) - frame.height;
    const int unfolded = PixelsFromTwips(4800, tpp) - frame.height;
    auto px = [tpp](const TwipsRect& t) { return PixelsFromTwips(t, tpp, tpp); };
    auto right = [](const PixelRect& r) { return r.left + r.width; };
    auto bottom = [](const PixelRect& r) { return r.top + r.height; };
    for (const Control& c : controls) {
      const PixelRect r = px(c.twips);
      EXPECT_GT(r.width, 0) << c.name;
      EXPECT_GT(r.height, 0) << c.name;
      EXPECT_GE(r.left, 0) << c.name;
      EXPECT_LE(right(r), width) << c.name;
      // The chooser's controls lie below the collapsed window's foot.
      EXPECT_GE(r.top, c.chooser ? collapsed : 0) << c.name;
      EXPECT_LE(bottom(r), c.chooser ? unfolded : collapsed) << c.name;
      for (const Control* o = &c + 1; o != std::end(controls); ++o) {  // each pair once
        const PixelRect q = px(o->twips);
        const bool apart =
            right(r) <= q.left || right(q) <= r.left || bottom(r) <= q.top || bottom(q) <= r.top;
        // The form's Label1 reaches 12 twips into Combo1 (a pixel once
        // rounded), below the caption's text.
        const bool caption_foot = std::string(c.name) + "/" + o->name == "Combo1/Label1";
        EXPECT_TRUE(apart || caption_foot) << c.name << " overlaps " << o->name;
      }
    }
    const PixelRect ok = px(kCmdOkTwips), cancel = px(kCmdAnnTwips), combo = px(kCombo1Twips),
                    label1 = px(kLabel1Twips), label2 = px(kLabel2Twips), text = px(kText1Twips),
                    drive = px(kDrive1Twips), dir = px(kDir1Twips), file = px(kFile1Twips),
                    browse = px(kCmdsfogliaTwips);
    EXPECT_EQ(ok.left, cancel.left);
    EXPECT_EQ(ok.width, cancel.width);
    EXPECT_LT(bottom(ok), cancel.top);
    EXPECT_GT(ok.left, right(combo));
    EXPECT_EQ(label1.left, combo.left);
    EXPECT_LT(label1.top, combo.top);
    EXPECT_LE(bottom(label1), combo.top + 1);
    EXPECT_LE(bottom(label2), text.top);
    // The lines lie 25 and 26 pixels under the text box.
    EXPECT_GE(collapsed, bottom(text) + 27);
    EXPECT_EQ(text.top, browse.top);
    EXPECT_LE(right(text), browse.left);
    EXPECT_EQ(dir.left, drive.left);
    EXPECT_EQ(dir.width, drive.width);
    EXPECT_LE(bottom(dir), drive.top);
    EXPECT_EQ(file.top, dir.top);
    EXPECT_LE(right(file), dir.left);
  }
  // The nearest pixel, not the truncated one: the 972-twip buttons are 65
  // pixels wide at 15 twips per pixel (64.8), the 2412-twip boxes 201 at 12.
  EXPECT_EQ(PixelsFromTwips(kCmdOkTwips, 15, 15).width, 65);
  EXPECT_EQ(PixelsFromTwips(kCombo1Twips, 12, 12).width, 201);
  // Halves go to the even neighbour.
  EXPECT_EQ(PixelsFromTwips(30, 12), 2);
  EXPECT_EQ(PixelsFromTwips(42, 12), 4);
}

// The dialog's 8-point font and the logo's 14-point address, at the scales
// of the monitors Windows offers: the nearest pixel, halves to even.
TEST(FontPixels, NearestPixelAtEveryMonitorScale) {
  struct Case {
    double points;
    std::vector<std::pair<int, int>> dpi_pixels;
  } cases[] = {
      {kDialogFontPoints, {{96, 11}, {120, 13}, {144, 16}}},
      {14, {{96, 19}, {120, 23}, {144, 28}, {168, 33}, {192, 37}, {288, 56}}},
      {14.25, {{144, 28}, {120, 24}}},  // 28.5 and 23.75
  };
  for (const Case& c : cases) {
    for (const auto& [dpi, pixels] : c.dpi_pixels)
      EXPECT_EQ(FontPixels(c.points, dpi), pixels) << c.points << " " << dpi;
  }
}

// An exception in a callback is kept, the callback answers the neutral
// value, and the next rethrow gives the first exception once.
TEST(CallbackGuard, KeepsTheFirstExceptionForTheLoopToRethrow) {
  EXPECT_EQ(Guarded<long>(0, [] { return 7L; }), 7);
  EXPECT_NO_THROW(RethrowCallbackError());
  EXPECT_EQ(Guarded<long>(-1, []() -> long { throw std::runtime_error("first"); }), -1);
  EXPECT_EQ(Guarded<long>(-2, []() -> long { throw std::logic_error("second"); }), -2);
  try {
    RethrowCallbackError();
    ADD_FAILURE() << "nothing rethrown";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "first");
  }
  EXPECT_NO_THROW(RethrowCallbackError());
}

}  // namespace
}  // namespace brenlow
