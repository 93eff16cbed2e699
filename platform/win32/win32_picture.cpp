#include "platform/win32/win32_picture.h"

#include <windows.h>

#include <memory>
#include <type_traits>

#include "platform/bitmap_file.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/win32_files.h"

namespace brenlow {

std::optional<Picture> LoadBitmapFile(const std::string& path) {
  if (path.empty()) return std::nullopt;
  // The header and the size say whether the file is whole, without reading
  // (and holding) the whole of a large file in a 32-bit address space.
  const std::optional<FileHead> head = ReadDiskFileHead(path, kBitmapHeadBytes);
  if (!head || !BitmapFileIsUsable(head->bytes, head->size)) return std::nullopt;
  HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bitmap) return std::nullopt;
  // Deleted however this ends, an allocation failure below included.
  const std::unique_ptr<std::remove_pointer_t<HBITMAP>, decltype(&::DeleteObject)> bitmap_owner(
      bitmap, &::DeleteObject);
  std::optional<Picture> result;
  BITMAP info{};
  if (::GetObjectA(bitmap, sizeof info, &info) == sizeof info && info.bmWidth > 0 &&
      info.bmHeight > 0 && info.bmWidth <= kMaxPictureSide && info.bmHeight <= kMaxPictureSide) {
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
      for (Colour& c : picture.pixels) c = SwapRedBlue(c);
      result = std::move(picture);
    }
  }
  return result;
}

}  // namespace brenlow
