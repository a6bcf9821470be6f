#include "files/SearchPath.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace files {

std::vector<std::string> SearchFolders(const std::string& programFolder,
                                       const std::string& currentFolder,
                                       const std::string& pathVariable,
                                       const std::string& dataFolder) {
    std::vector<std::string> folders;
    const auto add = [&folders](const std::string& folder) {
        if (!folder.empty()) {
            folders.push_back(folder);
        }
    };
    add(programFolder);
    add(currentFolder);
    std::string::size_type start = 0;
    while (start <= pathVariable.size()) {
        const std::string::size_type colon = pathVariable.find(':', start);
        const std::string::size_type end = colon == std::string::npos ? pathVariable.size() : colon;
        add(pathVariable.substr(start, end - start));
        start = end + 1;
    }
    // An installed program lives in <prefix>/bin and its templates in <prefix>/share, whatever
    // the prefix (the Debian package installs to /usr, a plain install to /usr/local or any
    // --prefix), so the folder beside the program's is tried before the configure-time one.
    if (!programFolder.empty()) {
        add((std::filesystem::path(programFolder) / ".." / "share" / "vantrel" / "templates")
                .lexically_normal()
                .string());
    }
    add(dataFolder);
    return folders;
}

std::string ProgramFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.parent_path().string();
}

std::string InstalledTemplateFolder() {
#ifdef VANTREL_TEMPLATE_DIR
    return VANTREL_TEMPLATE_DIR;
#else
    return {};
#endif
}

std::vector<std::string> SystemSearchFolders() {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    const char* path = std::getenv("PATH");
    return SearchFolders(ProgramFolder(), error ? std::string() : current.string(),
                         path == nullptr ? std::string() : path, InstalledTemplateFolder());
}

std::optional<std::string> SearchAlongPath(const std::string& name,
                                           const std::string& defaultExtension,
                                           const std::vector<std::string>& folders) {
    return SearchAlongPath(name, defaultExtension, folders, {});
}

std::optional<std::string>
SearchAlongPath(const std::string& name, const std::string& defaultExtension,
                const std::vector<std::string>& folders,
                const std::function<bool(const std::string& path)>& accept,
                const std::function<void(const std::string& path)>& skipped) {
    namespace fs = std::filesystem;
    if (name.empty()) {
        return std::nullopt;
    }
    fs::path file(name);
    if (!file.has_extension() && !defaultExtension.empty()) {
        file += defaultExtension;
    }
    const auto isFile = [](const fs::path& candidate) {
        std::error_code error;
        return fs::is_regular_file(candidate, error);
    };
    if (file.has_parent_path()) {
        return isFile(file) ? std::optional<std::string>(file.string()) : std::nullopt;
    }
    for (const std::string& folder : folders) {
        const fs::path candidate = fs::path(folder) / file;
        if (!isFile(candidate)) {
            continue;
        }
        if (!accept || accept(candidate.string())) {
            return candidate.string();
        }
        if (skipped) {
            skipped(candidate.string());
        }
    }
    return std::nullopt;
}

} // namespace files
