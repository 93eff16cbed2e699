// The settings reader against any bytes someone may leave in brlscsav.ini.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "saver/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  const brenlow::SettingsValues values = brenlow::ParseSettings(content);
  // Every value is a piece of the file: nothing is invented or read beyond it.
  if (values.picture.size() > size || values.shape.size() > size) std::abort();
  if (values.picture.size() + values.shape.size() > size) std::abort();
  // What a writer writes reads back, unless it holds a line break or starts
  // with a quote or a blank (values no writer produces).
  auto plain = [](const std::string& v) {
    return v.find_first_of("\r\n") == std::string::npos &&
           (v.empty() || (v[0] != '"' && v[0] != ' ' && v[0] != '\t'));
  };
  if (plain(values.picture) && plain(values.shape)) {
    const brenlow::SettingsValues again =
        brenlow::ParseSettings(brenlow::FormatSettings(values.picture, values.shape));
    if (again.picture != values.picture || again.shape != values.shape) std::abort();
  }
  return 0;
}
