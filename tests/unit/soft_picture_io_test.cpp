// BMP loading at every depth the logo may come in, refusal of bad files,
// and PNG writing read back.
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/soft/picture_io.h"

namespace brenlow {
namespace {

namespace fs = std::filesystem;

void Le(std::vector<unsigned char>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// A minimal Windows BMP writer: 3x2 pixels given as palette indices (<= 8
// bits) or COLORREF values (24 and 32 bits).
std::vector<unsigned char> MakeBmp(int bpp, int w, int h, const std::vector<Colour>& palette,
                                   const std::vector<std::uint32_t>& values, bool top_down) {
  const int row_bytes = ((w * bpp + 31) / 32) * 4;
  const int pal_bytes = bpp <= 8 ? static_cast<int>(palette.size()) * 4 : 0;
  const std::uint32_t offset = 14 + 40 + pal_bytes;
  std::vector<unsigned char> out;
  out.push_back('B');
  out.push_back('M');
  Le(out, offset + row_bytes * h, 4);
  Le(out, 0, 4);
  Le(out, offset, 4);
  Le(out, 40, 4);
  Le(out, static_cast<std::uint32_t>(w), 4);
  Le(out, static_cast<std::uint32_t>(top_down ? -h : h), 4);
  Le(out, 1, 2);
  Le(out, static_cast<std::uint32_t>(bpp), 2);
  Le(out, 0, 4);  // BI_RGB
  Le(out, static_cast<std::uint32_t>(row_bytes * h), 4);
  Le(out, 2835, 4);
  Le(out, 2835, 4);
  Le(out, bpp <= 8 ? static_cast<std::uint32_t>(palette.size()) : 0, 4);
  Le(out, 0, 4);
  if (bpp <= 8)
    for (Colour c : palette) {
      out.push_back(static_cast<unsigned char>(c >> 16));  // blue
      out.push_back(static_cast<unsigned char>(c >> 8));
      out.push_back(static_cast<unsigned char>(c));  // red
      out.push_back(0);
    }
  for (int r = 0; r < h; ++r) {
    const int y = top_down ? r : h - 1 - r;
    std::vector<unsigned char> row(static_cast<size_t>(row_bytes), 0);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t v = values[static_cast<size_t>(y) * w + x];
      if (bpp <= 8) {
        const int bit = x * bpp;
        row[bit / 8] |= static_cast<unsigned char>(v << (8 - bpp - bit % 8));
      } else {
        const int b = x * bpp / 8;
        row[b] = static_cast<unsigned char>(v >> 16);
        row[b + 1] = static_cast<unsigned char>(v >> 8);
        row[b + 2] = static_cast<unsigned char>(v);
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

class PictureIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() /
        ("brenlow_picture_io_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  fs::path dir_;
};

TEST_F(PictureIoTest, LoadsEveryDepth) {
  const std::vector<Colour> palette16 = {0x000000, 0x0000ff, 0x00ff00, 0xff0000, 0x123456, 0xffffff,
                                         0x808080, 0x00ffff, 0x101010, 0x202020, 0x303030, 0x404040,
                                         0x505050, 0x606060, 0x707070, 0xabcdef};
  const std::vector<std::uint32_t> indices = {1, 0, 4, 15, 3, 5};  // 3 x 2
  std::vector<Colour> expected16;
  for (auto i : indices) expected16.push_back(palette16[i]);
  const std::vector<Colour> direct = {0x0000ff, 0x00ff00, 0xff0000, 0x123456, 0xfedcba, 0x010203};
  struct {
    int bpp;
    bool top_down;
    std::vector<Colour> palette;
    std::vector<std::uint32_t> values;
    std::vector<Colour> expected;
  } cases[] = {
      {1, false, {0x000000, 0x3366cc}, {1, 0, 0, 1, 1, 0}, {0x3366cc, 0, 0, 0x3366cc, 0x3366cc, 0}},
      {4, false, palette16, indices, expected16},
      {8, false, palette16, indices, expected16},
      {24, false, {}, direct, direct},
      {24, true, {}, direct, direct},
      {32, false, {}, direct, direct},
  };
  for (const auto& tc : cases) {
    const std::string path = Write("p" + std::to_string(tc.bpp) + (tc.top_down ? "t" : "") + ".bmp",
                                   MakeBmp(tc.bpp, 3, 2, tc.palette, tc.values, tc.top_down));
    const std::optional<Picture> pic = LoadBmp(path);
    ASSERT_TRUE(pic.has_value()) << tc.bpp << " bits";
    EXPECT_EQ(pic->width, 3);
    EXPECT_EQ(pic->height, 2);
    EXPECT_EQ(pic->pixels, tc.expected) << tc.bpp << " bits";
  }
}

TEST_F(PictureIoTest, RefusesBadFiles) {
  const std::vector<std::uint32_t> values(6, 0);
  std::vector<unsigned char> huge = MakeBmp(24, 3, 2, {}, values, false);
  huge[18] = 0xa0, huge[19] = 0x86, huge[20] = 0x01;  // width 100000
  std::vector<unsigned char> negative_width = MakeBmp(24, 3, 2, {}, values, false);
  negative_width[21] = 0xff;
  std::vector<unsigned char> truncated = MakeBmp(24, 3, 2, {}, values, false);
  truncated.resize(60);
  // Sides within bounds, area not: 16384 x 16384 claims a gigabyte.
  std::vector<unsigned char> vast = MakeBmp(24, 3, 2, {}, values, false);
  vast[18] = 0x00, vast[19] = 0x40, vast[22] = 0x00, vast[23] = 0x40;
  // A claimed height of 1000 rows with two rows of data behind it.
  std::vector<unsigned char> short_rows = MakeBmp(24, 3, 2, {}, values, false);
  short_rows[22] = 0xe8, short_rows[23] = 0x03;
  std::vector<unsigned char> not_bmp = {'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                        0,   0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const struct {
    const char* name;
    std::vector<unsigned char> bytes;
  } cases[] = {{"huge", huge}, {"negative width", negative_width}, {"truncated", truncated},
               {"vast", vast}, {"rows missing", short_rows},       {"not a bmp", not_bmp},
               {"empty", {}}};
  for (const auto& tc : cases)
    EXPECT_FALSE(LoadBmp(Write("bad.bmp", tc.bytes)).has_value()) << tc.name;
  EXPECT_FALSE(LoadBmp((dir_ / "missing.bmp").string()).has_value());
}

TEST_F(PictureIoTest, PngReadsBackTheSamePixels) {
  const std::vector<Colour> pixels = {0x0000ff, 0x00ff00, 0xff0000, 0x123456, 0xfedcba, 0x010203};
  const std::string path = (dir_ / "out.png").string();
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
  EXPECT_FALSE(WritePng((dir_ / "no" / "such" / "dir.png").string(), pixels, 3, 2));
}

}  // namespace
}  // namespace brenlow
