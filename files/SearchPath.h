// Finding a file the way the program's file search did: the program's own folder, the current
// folder, then each folder of the PATH variable, then the template folder of an install beside the
// program, and last the installed template folder. Used to locate the VHDL templates.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace files {

// The folders searched, in order: programFolder, currentFolder, pathVariable split at ':',
// programFolder/../share/vantrel/templates (when programFolder is given), then dataFolder. Empty
// entries are skipped.
std::vector<std::string> SearchFolders(const std::string& programFolder,
                                       const std::string& currentFolder,
                                       const std::string& pathVariable,
                                       const std::string& dataFolder = {});

// The folder of the running executable (from /proc/self/exe), empty when unknown.
std::string ProgramFolder();
// Where `cmake --install` puts the VHDL templates (<prefix>/share/vantrel/templates, fixed when
// the build is configured), so an installed program finds them from any folder.
std::string InstalledTemplateFolder();
// The whole search of this system: ProgramFolder(), the current folder, PATH, the share folder
// beside the program's, then InstalledTemplateFolder().
std::vector<std::string> SystemSearchFolders();

// The first folder/name (with defaultExtension added when the name has no extension) that is a
// regular file. A name with a folder part is only checked as given.
std::optional<std::string> SearchAlongPath(const std::string& name,
                                           const std::string& defaultExtension,
                                           const std::vector<std::string>& folders);

// The same search taking only a file `accept` takes: one it refuses (a generated firfilter.vhd
// in the current folder, where a template is wanted) is handed to `skipped` and the search goes
// on along the folders. A name with a folder part is checked as given, without `accept`.
std::optional<std::string>
SearchAlongPath(const std::string& name, const std::string& defaultExtension,
                const std::vector<std::string>& folders,
                const std::function<bool(const std::string& path)>& accept,
                const std::function<void(const std::string& path)>& skipped = {});

} // namespace files
