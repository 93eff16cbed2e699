// Reading what Windows hands the saver: the command line and bitmap files.
#pragma once

#include <cstdint>
#include <string>

namespace brenlow {

// The argument text of a command line: what follows the program's path,
// split off as the C runtime splits argv[0], leading blanks skipped.
std::string ArgumentsOf(const char* command_line);

// Whether a file's bytes hold a whole bitmap: a header the loader knows and
// every byte of palette and pixels that the header promises. Cut-off files
// are turned away before LoadImage reads past their end.
bool BitmapFileIsWhole(const std::string& bytes);

}  // namespace brenlow
