// Reading what Windows hands the saver: its command line.
#pragma once

#include <string>

namespace brenlow {

// The argument text of a command line: what follows the program's path,
// split off as the C runtime splits argv[0], leading blanks skipped.
std::string ArgumentsOf(const char* command_line);

}  // namespace brenlow
