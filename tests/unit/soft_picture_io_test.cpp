// The bitmap check every backend's loader makes, BMP loading at every depth
// the logo may come in, refusal of bad files, and PNG writing read back.
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap_file.h"
#include "platform/soft/picture_io.h"
#include "saver_test_support.h"

namespace brenlow {
namespace {

// Every kind of bitmap the check lets through, on its first bytes alone,
// decoded to the exact pixels (top row first), from bytes written out here.
TEST(PictureIo, LoadsEveryKindToTheExactPixels) {
  const TempFolder t;
  const std::vector<Colour> palette16 = {0x000000, 0x0000ff, 0x00ff00, 0xff0000, 0x123456, 0xffffff,
                                         0x808080, 0x00ffff, 0x101010, 0x202020, 0x303030, 0x404040,
                                         0x505050, 0x606060, 0x707070, 0xabcdef};
  const std::vector<std::uint32_t> indices = {1, 0, 4, 15, 3, 5};  // 3 x 2
  auto colours = [&palette16](const std::vector<std::uint32_t>& at) {
    std::vector<Colour> out;
    for (auto i : at) out.push_back(palette16[i]);
    return out;
  };
  const std::vector<Colour> direct = {0x0000ff, 0x00ff00, 0xff0000, 0x123456, 0xfedcba, 0x010203};
  // 5-bit and 6-bit channels widen by repeating their top bits: 31 is 255,
  // 16 is 0x84, 32 of 63 is 0x82.
  const std::vector<std::uint32_t> words555 = {0x7c00, 0x03e0, 0x001f, 0x4101, 0x0000, 0x7fff};
  const std::vector<Colour> from555 = {0x0000ff, 0x00ff00, 0xff0000, 0x084284, 0x000000, 0xffffff};
  const std::vector<std::uint32_t> words565 = {0xffe0, 0x0400, 0x0800, 0x001f, 0xf800, 0x07e0};
  const std::vector<Colour> from565 = {0x00ffff, 0x008200, 0x000008, 0xff0000, 0x0000ff, 0x00ff00};
  const std::vector<std::uint32_t> masks565 = {0xf800, 0x07e0, 0x001f};
  struct Case {
    const char* name;
    BitmapFields file;
    std::vector<Colour> expected;
  } cases[] = {
      {"1 bit",
       {.width = 3,
        .height = 2,
        .bits = 1,
        .palette = {0x000000, 0x3366cc},
        .pixels = {1, 0, 0, 1, 1, 0}},
       {0x3366cc, 0, 0, 0x3366cc, 0x3366cc, 0}},
      {"4 bits",
       {.width = 3, .height = 2, .bits = 4, .palette = palette16, .pixels = indices},
       colours(indices)},
      {"8 bits",
       {.width = 3, .height = 2, .bits = 8, .palette = palette16, .pixels = indices},
       colours(indices)},
      {"8 bits, short palette",
       {.width = 3, .height = 2, .bits = 8, .colours = 16, .palette = palette16, .pixels = indices},
       colours(indices)},
      {"24 bits", {.width = 3, .height = 2, .pixels = direct}, direct},
      {"32 bits", {.width = 3, .height = 2, .bits = 32, .pixels = direct}, direct},
      {"16 bits, 5-5-5", {.width = 3, .height = 2, .bits = 16, .pixels = words555}, from555},
      {"16 bits, 5-6-5 masks",
       {.width = 3,
        .height = 2,
        .bits = 16,
        .compression = 3,
        .masks = masks565,
        .pixels = words565},
       from565},
      // Bottom row first. A run, an absolute run of odd length and its pad
      // byte, end of line; a run, a delta one right and one up, a run, end of
      // bitmap (the run after it is never drawn). What nothing sets is
      // index 0.
      {"run-length 8 bits",
       {.width = 5,
        .height = 3,
        .bits = 8,
        .compression = 1,
        .palette = palette16,
        .encoded = std::string("\x02\x01\x00\x03\x02\x03\x02\x00\x00\x00"
                               "\x01\x03\x00\x02\x01\x01\x02\x02\x00\x01\x05\x04",
                               22)},
       colours({0, 0, 2, 2, 0, 3, 0, 0, 0, 0, 1, 1, 2, 3, 2})},
      // A run alternates its two nibbles; an absolute run of five nibbles
      // takes three bytes and a pad byte.
      {"run-length 4 bits",
       {.width = 5,
        .height = 2,
        .bits = 4,
        .compression = 2,
        .palette = palette16,
        .encoded = std::string("\x05\x12\x00\x00\x00\x05\x32\x13\x20\x00\x00\x01", 12)},
       colours({3, 2, 1, 3, 2, 1, 2, 1, 2, 1})},
  };
  auto check = [&t](const std::string& name, const BitmapFields& file,
                    const std::vector<Colour>& expected) {
    SCOPED_TRACE(name);
    const std::string bytes = BitmapFile(file);
    ASSERT_TRUE(BitmapFileIsUsable(bytes, bytes.size()));
    EXPECT_TRUE(BitmapFileIsUsable(bytes.substr(0, kBitmapHeadBytes), bytes.size()));
    const std::optional<Picture> pic = LoadBmp(t.Write("p.bmp", bytes));
    ASSERT_TRUE(pic.has_value());
    EXPECT_EQ(pic->width, file.width);
    EXPECT_EQ(pic->height, file.height < 0 ? -file.height : file.height);
    EXPECT_EQ(pic->pixels, expected);
  };
  // Each uncompressed kind also top row first, and in the 12-byte core
  // header where that has the depth and no colour count.
  for (Case c : cases) {
    check(c.name, c.file, c.expected);
    if (c.file.compression == 1 || c.file.compression == 2) continue;
    c.file.height = -c.file.height;
    check(std::string(c.name) + ", top row first", c.file, c.expected);
    c.file.height = -c.file.height;
    if (c.file.compression != 0 || c.file.colours != 0 || c.file.bits == 16 || c.file.bits == 32)
      continue;
    c.file.core_header = true;
    check(std::string(c.name) + ", core header", c.file, c.expected);
  }
}

std::string Cut(const std::string& b, size_t missing) { return b.substr(0, b.size() - missing); }

std::string Rle(std::uint32_t image_size) {
  return BitmapFile(
      {.width = 10, .height = 10, .bits = 8, .compression = 1, .image_size = image_size});
}

// Every loader turns away what this check turns away, the soft one on the
// way in: what it refuses never reaches the decoder. (Each kind it takes is
// the loading test's.)
TEST(PictureIo, OneCheckTakesWholeFilesWithinTheLimits) {
  const TempFolder t;
  std::string wrong_magic = BitmapFile({});
  wrong_magic[1] = 'X';
  std::string offset_past_end = BitmapFile({});
  offset_past_end[12] = 0x10;  // pixels said to start 1 MiB in
  struct Case {
    const char* name;
    std::string bytes;
    bool usable;
  } cases[] = {
      {"24 bits", BitmapFile({.width = 120, .height = 120}), true},
      {"one byte short", Cut(BitmapFile({.width = 120, .height = 120}), 1), false},
      {"last row short", Cut(BitmapFile({.width = 120, .height = 120}), 100), false},
      {"two of 1000 rows", BitmapFile({.width = 3, .height = 1000, .pixel_bytes_kept = 24}), false},
      {"core header, one byte short", Cut(BitmapFile({.width = 9, .core_header = true}), 1), false},
      {"run-length data cut", Cut(Rle(64), 1), false},
      {"run-length without size", Rle(0), false},
      {"palette cut", BitmapFile({.width = 10, .height = 10, .bits = 8}).substr(0, 14 + 40 + 100),
       false},
      {"info header cut", BitmapFile({}).substr(0, 30), false},
      {"file header only", BitmapFile({}).substr(0, 14), false},
      {"empty", "", false},
      {"wrong magic", wrong_magic, false},
      {"pixels said to start past the end", offset_past_end, false},
      {"side over the limit", BitmapFile({.width = 100000, .height = 2}), false},
      {"size that overflows 32 bits",
       BitmapFile({.width = 0x7FFFFFFF, .height = 0x7FFFFFFF, .bits = 32, .pixel_bytes_kept = 0}),
       false},
      {"zero width", BitmapFile({.width = 0}), false},
      {"zero height", BitmapFile({.height = 0}), false},
      {"negative width", BitmapFile({.width = -3, .height = 2, .pixel_bytes_kept = 24}), false},
      {"7 bits a pixel", BitmapFile({.bits = 7}), false},
      {"embedded JPEG", BitmapFile({.compression = 4, .image_size = 10}), false},
      // The limits alone.
      {"16384 wide", BitmapFile({.width = 16384, .height = 1, .bits = 1}), true},
      {"16385 wide", BitmapFile({.width = 16385, .height = 1, .bits = 1}), false},
      {"16385 high", BitmapFile({.width = 1, .height = 16385, .bits = 1}), false},
      {"16384 x 4096", BitmapFile({.width = 16384, .height = 4096, .bits = 1}), true},
      {"16384 x 4097", BitmapFile({.width = 16384, .height = 4097, .bits = 1}), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BitmapFileIsUsable(c.bytes, c.bytes.size()), c.usable) << c.name;
    // The first bytes are all it reads.
    EXPECT_EQ(BitmapFileIsUsable(c.bytes.substr(0, kBitmapHeadBytes), c.bytes.size()), c.usable)
        << c.name;
    if (!c.usable) {
      EXPECT_FALSE(LoadBmp(t.Write("bad.bmp", c.bytes)).has_value()) << c.name;
    }
  }
}

TEST(PictureIo, PngReadsBackTheSamePixels) {
  const TempFolder t;
  const std::vector<Colour> pixels = {0x0000ff, 0x00ff00, 0xff0000, 0x123456, 0xfedcba, 0x010203};
  const std::string path = t.path + "/out.png";
  ASSERT_TRUE(WritePng(path, pixels, 3, 2));
  int w = 0, h = 0, n = 0;
  unsigned char* data = stbi_load(path.c_str(), &w, &h, &n, 3);
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(w, 3);
  ASSERT_EQ(h, 2);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(static_cast<Colour>(data[i * 3] | (data[i * 3 + 1] << 8) | (data[i * 3 + 2] << 16)),
              pixels[static_cast<size_t>(i)]);
  stbi_image_free(data);
  EXPECT_FALSE(WritePng(path, pixels, 4, 2));  // too few pixels
  EXPECT_FALSE(WritePng(t.path + "/no/such/dir.png", pixels, 3, 2));
}

}  // namespace
}  // namespace brenlow
