// Finding a file the way the program's file search did: the program's own folder, the current
// folder, then each folder of the PATH variable. Used to locate the VHDL templates.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The folders searched, in order: programFolder, currentFolder, then pathVariable split at ':'.
// Empty entries are skipped.
std::vector<std::string> SearchFolders(const std::string& programFolder,
                                       const std::string& currentFolder,
                                       const std::string& pathVariable);

// The first folder/name (with defaultExtension added when the name has no extension) that is a
// regular file. A name with a folder part is only checked as given.
std::optional<std::string> SearchAlongPath(const std::string& name,
                                           const std::string& defaultExtension,
                                           const std::vector<std::string>& folders);

} // namespace platform
