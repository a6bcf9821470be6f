// The plot renderer, loaded on demand: a run that draws nothing never maps Qt's GUI libraries,
// so designing, reports, files and HDL start as a small program does. The module is looked for
// next to the program (a build tree), then in the installation's library folder.
#include "cli/PictureModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "plots/PictureRender.h"

namespace cli {

namespace {

// The folder of the running program, from /proc/self/exe; empty when unknown.
std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) {
        return std::string();
    }
    std::string folder(path, static_cast<size_t>(n));
    const size_t slash = folder.rfind('/');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

struct LoadedModule {
    plots::RenderModuleEntry entry = nullptr;
    std::string problem;
};

const LoadedModule& Module() {
    static const LoadedModule loaded = [] {
        LoadedModule module;
        const std::string folder = ProgramFolder();
        std::vector<std::string> candidates = {folder + "/" + plots::kRenderModuleName};
#ifdef VANTREL_RENDER_MODULE_DIR
        candidates.push_back(folder + "/" VANTREL_RENDER_MODULE_DIR "/" + plots::kRenderModuleName);
#endif
        for (const std::string& path : candidates) {
            if (::access(path.c_str(), R_OK) != 0) {
                continue;
            }
            void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle == nullptr) {
                const char* error = ::dlerror();
                module.problem = error != nullptr ? error : path + " cannot be loaded";
                return module;
            }
            // The module stays loaded for the rest of the run.
            module.entry = reinterpret_cast<plots::RenderModuleEntry>(
                ::dlsym(handle, plots::kRenderModuleEntry));
            if (module.entry == nullptr) {
                module.problem = path + " has no " + plots::kRenderModuleEntry;
            }
            return module;
        }
        module.problem = std::string("the plot renderer ") + plots::kRenderModuleName +
                         " is not installed beside vantrel-cli (looked in " + folder +
#ifdef VANTREL_RENDER_MODULE_DIR
                         " and " + folder + "/" VANTREL_RENDER_MODULE_DIR +
#endif
                         ")";
        return module;
    }();
    return loaded;
}

} // namespace

std::string RenderPictureThroughModule(platform::PictureFormat format, platform::Size size,
                                       const platform::PageRenderer& draw, std::string& problem) {
    const LoadedModule& module = Module();
    std::string bytes;
    if (module.entry == nullptr) {
        problem = module.problem;
        return bytes;
    }
    if (!module.entry(format, size, draw, bytes)) {
        bytes.clear();
    }
    return bytes;
}

} // namespace cli
