// Reading what Windows hands the saver: its command line.
#pragma once

#include <string>

namespace brenlow {

// The argument text of a command line: what follows the program's path,
// split off as the C runtime splits argv[0], leading blanks skipped.
std::string ArgumentsOf(const char* command_line);

// Where the system's file virtualization keeps a user's copy of path: the
// user's local application data folder, then "VirtualStore", then path
// without its drive ("C:\WINDOWS\x" -> "<local>\VirtualStore\WINDOWS\x").
// Empty for a path without a drive letter (network paths are never
// virtualized) or without a local folder.
std::string VirtualStorePath(const std::string& local_app_data, const std::string& path);

}  // namespace brenlow
