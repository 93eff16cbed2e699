// What the unit tests share: the headless saver, bitmap files made to
// measure, and quillet's system as a test double.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "installer/frmsetup.h"
#include "platform/installer_host.h"
#include "platform/posix/posix_files.h"
#include "platform/recording/headless_saver.h"
#include "saver/app.h"

namespace brenlow {

// A bitmap file as a test wants it; every field has the plain value.
struct BitmapFields {
  int width = 4;
  int height = 4;  // below 0: top row first
  int bits = 24;
  std::uint32_t compression = 0;  // 1 and 2: run-length data of image_size bytes
  std::uint32_t image_size = 0;
  std::vector<std::uint32_t> masks = {};  // with compression 3: red, green, blue
  std::uint32_t colours = 0;              // the header's colour count; 0: all 1 << bits
  std::vector<Colour> palette = {};       // its first entries; the rest are black
  // Top row first: palette indexes, 16-bit words as stored, or COLORREFs.
  std::vector<std::uint32_t> pixels = {};
  std::string encoded = {};  // run-length data as stored; image_size 0 takes its length
  bool core_header = false;  // the 12-byte header with 16-bit sizes
  // Pixel bytes written at most (the file is cut there); without pixels
  // given they are all 0x7f.
  std::uint64_t pixel_bytes_kept = UINT64_MAX;
};

// Runs brenlow to its end: the exit code it ended with, or -1 when it
// returned instead.
inline int RunToEnd(RecordingSystem& system) {
  try {
    RunBrenlow(system);
  } catch (const ProcessEnded& end) {
    return end.exit_code;
  }
  return -1;
}

// How many cycles drew each family and each fade style.
struct CycleCounts : CycleObserver {
  std::map<int, int> shapes, fades;
  void OnShape(int s) override { ++shapes[s]; }
  void OnFade(int s) override { ++fades[s]; }
};

// The box an ellipse or a rectangle was drawn in.
using Box = std::array<std::int32_t, 4>;
inline Box BoxOf(const DrawCall& c) { return {c.left, c.top, c.right, c.bottom}; }

// A fresh folder under /tmp, gone with everything in it at the end of the
// scope.
struct TempFolder {
  TempFolder() {
    char name[] = "/tmp/brenlow-test-XXXXXX";
    path = ::mkdtemp(name);
    // Reachable by the unprivileged user some cases switch to.
    std::filesystem::permissions(path, std::filesystem::perms::all);
  }
  ~TempFolder() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ignored)) {
      if (entry.is_directory())
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, ignored);
    }
    std::filesystem::remove_all(path, ignored);
  }
  std::string Write(const std::string& name, const std::string& content) const {
    const std::string file = path + "/" + name;
    std::ofstream(file, std::ios::binary) << content;
    return file;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(path + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // Names in the folder, to find leftover temporary files.
  std::vector<std::string> Names(const std::string& sub = "") const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path + sub))
      names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string path;
};

inline std::string BitmapFile(const BitmapFields& bmp) {
  std::string b;
  auto put = [&b](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b += static_cast<char>((v >> (8 * i)) & 0xff);
  };
  const int rows = bmp.height < 0 ? -bmp.height : bmp.height;
  const std::uint64_t stride = (static_cast<std::uint64_t>(bmp.width) * bmp.bits + 31) / 32 * 4;
  const bool rle = bmp.compression == 1 || bmp.compression == 2;
  const std::uint32_t image_size =
      bmp.image_size == 0 ? static_cast<std::uint32_t>(bmp.encoded.size()) : bmp.image_size;
  const std::uint64_t data = rle ? image_size : stride * rows;
  const std::uint32_t entries = bmp.bits > 8 ? 0 : bmp.colours ? bmp.colours : 1u << bmp.bits;
  const std::uint32_t header = bmp.core_header ? 12 : 40;
  const std::uint32_t masks = bmp.compression == 3 ? 12 : 0;
  const std::uint32_t offset = 14 + header + masks + entries * (bmp.core_header ? 3 : 4);
  b += "BM";
  put(static_cast<std::uint32_t>(offset + data), 4);
  put(0, 4);
  put(offset, 4);
  put(header, 4);
  const int side = bmp.core_header ? 2 : 4;  // the core header's sizes are 16-bit
  put(static_cast<std::uint32_t>(bmp.width), side);
  put(static_cast<std::uint32_t>(bmp.height), side);
  put(1, 2);
  put(static_cast<std::uint32_t>(bmp.bits), 2);
  if (!bmp.core_header) {
    put(bmp.compression, 4);
    put(rle ? image_size : static_cast<std::uint32_t>(data), 4);
    put(2835, 4);
    put(2835, 4);
    put(bmp.colours, 4);
    put(0, 4);
  }
  for (std::uint32_t i = 0; i < masks / 4; ++i) put(i < bmp.masks.size() ? bmp.masks[i] : 0, 4);
  for (std::uint32_t i = 0; i < entries; ++i) {
    const Colour c = i < bmp.palette.size() ? bmp.palette[i] : 0;
    put(((c & 0xff) << 16) | (c & 0xff00) | ((c >> 16) & 0xff), bmp.core_header ? 3 : 4);
  }
  const std::uint64_t kept = std::min(data, bmp.pixel_bytes_kept);
  if (!bmp.encoded.empty()) return b.append(bmp.encoded.substr(0, kept));
  if (bmp.pixels.empty()) return b.append(kept, '\x7f');
  for (int r = 0; r < rows; ++r) {
    const int y = bmp.height < 0 ? r : rows - 1 - r;  // bottom row first unless top-down
    std::string row(stride, '\0');
    for (int x = 0; x < bmp.width; ++x) {
      const std::uint32_t v = bmp.pixels[static_cast<size_t>(y) * bmp.width + x];
      const int bit = x * bmp.bits;
      if (bmp.bits <= 8) {
        row[bit / 8] = static_cast<char>(row[bit / 8] | (v << (8 - bmp.bits - bit % 8)));
      } else if (bmp.bits == 16) {
        row[bit / 8] = static_cast<char>(v);
        row[bit / 8 + 1] = static_cast<char>(v >> 8);
      } else {
        row[bit / 8] = static_cast<char>(v >> 16);  // blue, green, red
        row[bit / 8 + 1] = static_cast<char>(v >> 8);
        row[bit / 8 + 2] = static_cast<char>(v);
      }
    }
    b += row;
  }
  return b.substr(0, b.size() - data + kept);
}

// quillet's system: the Windows folder as the system reports it, files in
// memory (or any other Files), and a record of what the user was shown.
class FakeInstallerHost : public InstallerHost {
 public:
  std::string WindowsDirectory() override { return windows_folder; }
  Files& files() override { return *files_; }
  void DeleteStream(const std::string& path) override { deleted_streams.push_back(path); }
  void DeleteUserCopy(const std::string& path) override { deleted_user_copies.push_back(path); }
  void MessageBox(const std::string& text, const std::string&) override {
    messages.push_back(text);
  }
  std::optional<std::string> ShowSetupWindow(const std::string& caption) override {
    windows.push_back(caption);
    return window_failure;
  }

  std::string windows_folder = "C:\\WINDOWS";
  MemoryFiles memory;
  Files* files_ = &memory;
  std::vector<std::string> messages;
  std::vector<std::string> windows;
  std::vector<std::string> deleted_streams;
  std::vector<std::string> deleted_user_copies;
  std::optional<std::string> window_failure;  // why the window cannot be made
};

// Runs quillet on the disk with the shipped files in ship/ and the Windows
// folder win/; returns its exit code and each message after a "|".
inline std::string RunInstaller(const TempFolder& t) {
  // Back in the folder before, however quillet ends, so later tests find
  // their relative paths.
  const std::filesystem::path before = std::filesystem::current_path();
  std::error_code error;
  std::filesystem::current_path(t.path + "/ship", error);
  if (error) return "no ship folder: " + error.message();
  const std::shared_ptr<void> back(nullptr, [&before](void*) {
    std::error_code ignored;
    std::filesystem::current_path(before, ignored);
  });
  PosixFiles disk;
  FakeInstallerHost host;
  host.windows_folder = t.path + "/win";
  host.files_ = &disk;
  std::string result = std::to_string(RunQuillet(host));
  for (const std::string& message : host.messages) result += "|" + message;
  return result;
}

}  // namespace brenlow
