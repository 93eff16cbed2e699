// The one check a bitmap file passes before any backend's loader sees it, so
// that a logo shows on every system or on none.
#pragma once

#include <cstdint>
#include <string>

namespace brenlow {

// Pictures larger than this are refused before any pixel memory is taken.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr long long kMaxPicturePixels = 64LL * 1024 * 1024;

// The bytes at the start of a file that the check reads.
inline constexpr std::size_t kBitmapHeadBytes = 54;

// Whether a file holds a whole bitmap within the limits: a header the
// loaders know, sides and area within the limits above, and as many bytes
// as its palette and pixels need. head holds the file's first bytes
// (kBitmapHeadBytes of them, or all of a shorter file; more do no harm), so
// a huge file is judged without reading it, and a cut-off one is turned away
// before a loader reads past its end.
bool BitmapFileIsUsable(const std::string& head, std::uint64_t file_size);

}  // namespace brenlow
