// The Win32 backend's parts that need no Windows, checked natively: the
// parsing of its command line, the settings dialog's layout, and the guard
// of its callbacks.
#include "platform/win32/win32_parsing.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "installer/frmsetup.h"
#include "platform/win32/options_layout_win32.h"
#include "platform/win32/win32_callbacks.h"
#include "platform/win32/window_frame_win32.h"

namespace brenlow {
namespace {

// Frames as systems draw them, from Wine's thin one to Windows 10 and 11 at
// 96 and 144 dpi: the dialog, collapsed and unfolded, and quillet's window
// keep at least the client area of the design frame, a frame no thicker
// than the design's (Wine's) keeps the sizes asked, and the collapsed
// dialog still holds its two lines under the picture's text box.
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
    const int text_bottom =
        PixelsFromTwips(kText1Twips, tpp, tpp).top + PixelsFromTwips(kText1Twips, tpp, tpp).height;
    for (const int twips : {2400, 4800}) {
      const int outer = FittedOuter(PixelsFromTwips(twips, tpp), design.height, f.extra.height);
      const int client = outer - f.extra.height;
      EXPECT_GE(client, PixelsFromTwips(twips, tpp) - design.height) << twips;
      if (thin) {
        EXPECT_EQ(outer * tpp, twips);
      }
      // The lines lie 25 and 26 pixels under the text box.
      EXPECT_GE(client, text_bottom + 27) << twips;
      // Read back, the form has the height it was given.
      EXPECT_EQ(DesignOuter(outer, design.height, f.extra.height) * tpp, twips);
    }
    const SetupRect quillet = frmsetup::FrameSize(f.dpi, f.dpi);
    const int width = FittedOuter(quillet.width, design.width, f.extra.width);
    const int height = FittedOuter(quillet.height, design.height, f.extra.height);
    EXPECT_GE(width - f.extra.width, quillet.width - design.width);
    EXPECT_GE(height - f.extra.height, quillet.height - design.height);
    if (thin) {
      EXPECT_EQ(width, quillet.width);
      EXPECT_EQ(height, quillet.height);
    }
  }
}

TEST(VirtualStorePath, IsTheDrivelessPathUnderTheUsersVirtualStore) {
  const std::string local = "C:\\Users\\anna\\AppData\\Local";
  struct Case {
    std::string local, path, copy;
  } cases[] = {
      {local, "C:\\WINDOWS\\brlscsav.ini", local + "\\VirtualStore\\WINDOWS\\brlscsav.ini"},
      {local + "\\", "d:\\w\\x.ini", local + "\\VirtualStore\\w\\x.ini"},
      {local, "\\brlscsav.ini", ""},            // no drive: the lookup failed
      {local, "\\\\server\\share\\x.ini", ""},  // network paths are not virtualized
      {local, "C:brlscsav.ini", ""},
      {"", "C:\\WINDOWS\\brlscsav.ini", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(VirtualStorePath(c.local, c.path), c.copy) << c.path;
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

// The rectangles the Win32 dialog gives its controls, at 96 dpi (15 twips
// per pixel) and 120 dpi (12): the nearest pixel, not the truncated one
// (972 twips at 15 are 64.8 pixels, so 65).
TEST(OptionsLayout, ControlsAreRoundedToTheNearestPixel) {
  struct Case {
    const char* name;
    TwipsRect twips;
    PixelRect at15, at12;
  } cases[] = {
      {"CmdOk", kCmdOkTwips, {224, 8, 65, 25}, {280, 10, 81, 31}},
      {"CmdAnn", kCmdAnnTwips, {224, 40, 65, 25}, {280, 50, 81, 31}},
      {"Combo1", kCombo1Twips, {16, 24, 161, 19}, {20, 30, 201, 24}},
      {"Label1", kLabel1Twips, {16, 8, 49, 17}, {20, 10, 61, 21}},
      {"Label2", kLabel2Twips, {24, 64, 105, 17}, {30, 80, 131, 21}},
      {"Text1", kText1Twips, {16, 88, 241, 18}, {20, 110, 301, 23}},
      {"Drive1", kDrive1Twips, {128, 262, 161, 19}, {160, 327, 201, 24}},
      {"Dir1", kDir1Twips, {128, 136, 161, 120}, {160, 170, 201, 150}},
      {"File1", kFile1Twips, {16, 136, 105, 136}, {20, 170, 131, 170}},
      {"Cmdsfoglia", kCmdsfogliaTwips, {264, 88, 25, 17}, {330, 110, 31, 21}},
  };
  auto same = [](const PixelRect& a, const PixelRect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(same(PixelsFromTwips(c.twips, 15, 15), c.at15)) << c.name << " at 15";
    EXPECT_TRUE(same(PixelsFromTwips(c.twips, 12, 12), c.at12)) << c.name << " at 12";
  }
  // Halves go to the even neighbour.
  EXPECT_EQ(PixelsFromTwips(30, 12), 2);
  EXPECT_EQ(PixelsFromTwips(42, 12), 4);
  // The dialog's font, 8 points: 11, 13 and 16 pixels at 96, 120 and 144 dpi.
  EXPECT_EQ(FontPixels(kDialogFontPoints, 96), 11);
  EXPECT_EQ(FontPixels(kDialogFontPoints, 120), 13);
  EXPECT_EQ(FontPixels(kDialogFontPoints, 144), 16);
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
