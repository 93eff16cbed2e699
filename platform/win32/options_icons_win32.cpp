#include "platform/win32/options_icons_win32.h"

#include <cstdint>
#include <vector>

namespace brenlow {

namespace {

// The 16 colours of the standard VGA palette, as 0xRRGGBB.
constexpr std::uint32_t kVga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                    0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                    0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr std::uint32_t kTransparent = 0xFFFFFFFFu;

// An icon from a square of 0xRRGGBB pixels (kTransparent = see-through).
HICON IconFromPixels(const std::vector<std::uint32_t>& pixels, int size) {
  BITMAPV5HEADER header = {};
  header.bV5Size = sizeof(header);
  header.bV5Width = size;
  header.bV5Height = -size;
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                    &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  std::vector<std::uint8_t> mask_bits(static_cast<size_t>(size) * ((size + 15) / 16 * 2), 0);
  const int mask_stride = (size + 15) / 16 * 2;
  auto* out = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const std::uint32_t p = pixels[y * size + x];
      if (p == kTransparent) {
        out[y * size + x] = 0;
        mask_bits[y * mask_stride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      } else {
        out[y * size + x] = 0xFF000000u | p;
      }
    }
  }
  HBITMAP mask = CreateBitmap(size, size, 1, 1, mask_bits.data());
  ICONINFO info = {};
  info.fIcon = TRUE;
  info.hbmColor = colour;
  info.hbmMask = mask;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour);
  DeleteObject(mask);
  return icon;
}

// 16x16 folders; k black, d dark yellow, y yellow, w white, . transparent.
constexpr const char* kOpenFolder[16] = {
    "................", "................", "................", ".kkkkk..........",
    "kwyyyyk.........", "kyyyyykkkkkkk...", "kyyyyyyyyyyyk...", "kyykkkkkkkkkkkk.",
    "kyykdddddddddddk", "kykdddddddddddk.", "kykddddddddddk..", "kkdddddddddddk..",
    "kkddddddddddk...", "kkkkkkkkkkkk....", "................", "................"};
constexpr const char* kClosedFolder[16] = {
    "................", "................", "..kkkkk.........", ".kwyyyyk........",
    "kwyyyyyykkkkkk..", "kwwwwwwwwwwwwk..", "kwyyyyyyyyyyydk.", "kwyyyyyyyyyyydk.",
    "kwyyyyyyyyyyydk.", "kwyyyyyyyyyyydk.", "kwyyyyyyyyyyydk.", "kwyyyyyyyyyyydk.",
    "kdddddddddddddk.", ".kkkkkkkkkkkkk..", "................", "................"};

std::uint32_t Glyph(char c, bool grey) {
  switch (c) {
    case 'k':
      return grey ? kVga[8] : kVga[0];
    case 'd':
      return grey ? kVga[8] : kVga[3];
    case 'y':
      return grey ? kVga[7] : kVga[11];
    case 'w':
      return grey ? kVga[15] : kVga[15];
    default:
      return kTransparent;
  }
}

HICON FromArt(const char* const* art, bool grey) {
  std::vector<std::uint32_t> pixels(16 * 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) pixels[y * 16 + x] = Glyph(art[y][x], grey);
  }
  return IconFromPixels(pixels, 16);
}

}  // namespace

HICON MakeGridIcon(int size) {
  // Four by four squares with a one-cell black seam, in bright VGA colours.
  constexpr int kColours[16] = {12, 10, 9, 11, 14, 13, 12, 10, 9, 11, 14, 13, 12, 10, 9, 11};
  std::vector<std::uint32_t> pixels(static_cast<size_t>(size) * size, kVga[0]);
  const int cell = size / 4;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const int cx = x % cell, cy = y % cell;
      if (cx == 0 || cy == 0 || x == size - 1 || y == size - 1) continue;
      const int index = (y / cell) * 4 + x / cell;
      // A white spot in each square's top-left corner gives the grid some depth.
      pixels[y * size + x] = (cx == 1 && cy == 1) ? kVga[15] : kVga[kColours[index % 16]];
    }
  }
  return IconFromPixels(pixels, size);
}

HICON MakeFolderGlyph(bool grey) { return FromArt(kOpenFolder, grey); }

HICON MakeClosedFolderGlyph() { return FromArt(kClosedFolder, false); }

}  // namespace brenlow
