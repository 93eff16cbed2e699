#include "platform/win32/win32_picture.h"

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

#include "platform/bitmap_file.h"
#include "platform/win32/gdi_canvas.h"

namespace brenlow {
namespace {

// The head of a file on a disk and the file's size; nothing for anything
// else. A device (NUL, CON, COM1) or a pipe named as the picture would
// answer nothing or never, and a folder cannot be opened.
std::optional<std::pair<std::string, std::uint64_t>> ReadHead(const std::string& path) {
  const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  const std::unique_ptr<std::remove_pointer_t<HANDLE>, decltype(&::CloseHandle)> closer(
      file, &::CloseHandle);
  LARGE_INTEGER size{};
  if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileSizeEx(file, &size)) {
    return std::nullopt;
  }
  std::string head(kBitmapHeadBytes, '\0');
  DWORD got = 0;
  if (!::ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &got, nullptr)) {
    return std::nullopt;
  }
  head.resize(got);
  return std::make_pair(std::move(head), static_cast<std::uint64_t>(size.QuadPart));
}

}  // namespace

std::optional<Picture> LoadBitmapFile(const std::string& path) {
  if (path.empty()) return std::nullopt;
  // The header and the size say whether the file is whole, without reading
  // (and holding) the whole of a large file in a 32-bit address space.
  const auto head = ReadHead(path);
  if (!head || !BitmapFileIsUsable(head->first, head->second)) return std::nullopt;
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
