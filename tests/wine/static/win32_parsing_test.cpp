// The Win32 backend's parsing of the command line and of bitmap files,
// checked natively.
#include "platform/win32/win32_parsing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace brenlow {
namespace {

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

void Put(std::string& b, size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A bitmap file with a 40-byte header and all its bytes.
std::string Bitmap(int width, int height, int bits, std::uint32_t compression = 0,
                   std::uint32_t image_size = 0, std::uint32_t colours = 0) {
  const std::uint32_t palette = bits <= 8 ? (colours ? colours : 1u << bits) * 4 : 0;
  const std::uint32_t masks = compression == 3 ? 12 : 0;
  const std::uint32_t offset = 14 + 40 + masks + palette;
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * bits + 31) / 32 * 4;
  const std::uint32_t pixels =
      compression == 1 || compression == 2 ? image_size : stride * (height < 0 ? -height : height);
  std::string b(offset + pixels, '\0');
  b[0] = 'B';
  b[1] = 'M';
  Put(b, 2, static_cast<std::uint32_t>(b.size()), 4);
  Put(b, 10, offset, 4);
  Put(b, 14, 40, 4);
  Put(b, 18, static_cast<std::uint32_t>(width), 4);
  Put(b, 22, static_cast<std::uint32_t>(height), 4);
  Put(b, 26, 1, 2);
  Put(b, 28, static_cast<std::uint32_t>(bits), 2);
  Put(b, 30, compression, 4);
  Put(b, 34, image_size, 4);
  Put(b, 46, colours, 4);
  return b;
}

// The same with the 12-byte core header.
std::string CoreBitmap(int width, int height, int bits) {
  const std::uint32_t palette = bits <= 8 ? (1u << bits) * 3 : 0;
  const std::uint32_t offset = 14 + 12 + palette;
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * bits + 31) / 32 * 4;
  std::string b(offset + stride * height, '\0');
  b[0] = 'B';
  b[1] = 'M';
  Put(b, 10, offset, 4);
  Put(b, 14, 12, 4);
  Put(b, 18, static_cast<std::uint32_t>(width), 2);
  Put(b, 20, static_cast<std::uint32_t>(height), 2);
  Put(b, 22, 1, 2);
  Put(b, 24, static_cast<std::uint32_t>(bits), 2);
  return b;
}

std::string Cut(std::string b, size_t missing) { return b.substr(0, b.size() - missing); }

TEST(BitmapFileIsWhole, TakesWholeFilesAndTurnsAwayCutOrForeignOnes) {
  std::string wrong_magic = Bitmap(4, 4, 24);
  wrong_magic[1] = 'X';
  std::string offset_past_end = Bitmap(4, 4, 24);
  Put(offset_past_end, 10, 100000, 4);
  std::string huge = Bitmap(1, 1, 32);
  Put(huge, 18, 0x7FFFFFFF, 4);
  Put(huge, 22, 0x7FFFFFFF, 4);
  struct Case {
    const char* name;
    std::string bytes;
    bool whole;
  } cases[] = {
      {"24 bits", Bitmap(120, 120, 24), true},
      {"24 bits, rows padded", Bitmap(3, 5, 24), true},
      {"32 bits, top row first", Bitmap(7, -9, 32), true},
      {"8 bits with palette", Bitmap(10, 10, 8), true},
      {"8 bits, short palette", Bitmap(10, 10, 8, 0, 0, 16), true},
      {"1 bit", Bitmap(33, 2, 1), true},
      {"16 bits with masks", Bitmap(5, 5, 16, 3), true},
      {"run-length 8 bits", Bitmap(10, 10, 8, 1, 64), true},
      {"core header", CoreBitmap(9, 4, 24), true},
      {"core header, 4 bits", CoreBitmap(9, 4, 4), true},
      {"one byte short", Cut(Bitmap(120, 120, 24), 1), false},
      {"last row short", Cut(Bitmap(120, 120, 24), 100), false},
      {"core header, one byte short", Cut(CoreBitmap(9, 4, 24), 1), false},
      {"run-length data cut", Cut(Bitmap(10, 10, 8, 1, 64), 1), false},
      {"run-length without size", Bitmap(10, 10, 8, 1, 0), false},
      {"palette cut", Bitmap(10, 10, 8).substr(0, 14 + 40 + 100), false},
      {"info header cut", Bitmap(4, 4, 24).substr(0, 30), false},
      {"file header only", Bitmap(4, 4, 24).substr(0, 14), false},
      {"empty", "", false},
      {"text", "this is text, not a bitmap\r\n", false},
      {"wrong magic", wrong_magic, false},
      {"pixels said to start past the end", offset_past_end, false},
      {"size that overflows 32 bits", huge, false},
      {"zero width", Bitmap(0, 4, 24), false},
      {"zero height", Bitmap(4, 0, 24), false},
      {"7 bits a pixel", Bitmap(4, 4, 7), false},
      {"embedded JPEG", Bitmap(4, 4, 24, 4, 10), false},
  };
  for (const Case& c : cases) EXPECT_EQ(BitmapFileIsWhole(c.bytes), c.whole) << c.name;
}

}  // namespace
}  // namespace brenlow
