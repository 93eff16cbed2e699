#include "platform/win32/win32_picture.h"

#include <windows.h>

#include "platform/win32/gdi_canvas.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_parsing.h"

namespace brenlow {

std::optional<Picture> LoadBitmapFile(const std::string& path) {
  if (path.empty()) return std::nullopt;
  Win32Files files;
  const std::optional<std::string> bytes = files.ReadAll(path);
  if (!bytes || !BitmapFileIsWhole(*bytes)) return std::nullopt;
  HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bitmap) return std::nullopt;
  std::optional<Picture> result;
  BITMAP info{};
  // A limit far above any screen keeps the pixel count within size_t.
  constexpr LONG kMaxSide = 1 << 15;
  if (::GetObjectA(bitmap, sizeof info, &info) == sizeof info && info.bmWidth > 0 &&
      info.bmHeight > 0 && info.bmWidth <= kMaxSide && info.bmHeight <= kMaxSide) {
    Picture picture;
    picture.width = info.bmWidth;
    picture.height = info.bmHeight;
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    BITMAPINFO request = TopDownDib32(picture.width, picture.height);
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(picture.height),
                                 picture.pixels.data(), &request, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows == picture.height) {
      // 0x00RRGGBB as the DIB holds it, to COLORREF's 0x00BBGGRR.
      for (Colour& c : picture.pixels) {
        c = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
      }
      result = std::move(picture);
    }
  }
  ::DeleteObject(bitmap);
  return result;
}

}  // namespace brenlow
