// Reading what Windows hands the programs: the saver's command line, the
// paths of a user's virtualized files.
#pragma once

#include <string>
#include <vector>

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

// The virtualized copies of path that quillet removes: the one of the user
// it runs as (local application data folder elevated_local) and the one of
// the user signed in to the session (profile folder session_profile), who
// is someone else when a standard user gave an administrator's password.
// Each copy once, compared without case as Windows compares paths; an empty
// folder (not found) gives none.
std::vector<std::string> UserCopyPaths(const std::string& path, const std::string& elevated_local,
                                       const std::string& session_profile);

}  // namespace brenlow
