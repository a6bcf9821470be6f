// A folder of the test's own under the system's temporary folder: made with a unique name
// (mkdtemp) when constructed and removed with everything in it when destroyed, so that tests
// running at the same time, in this process or another, never meet each other's files.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace support {

class ScratchFolder {
public:
    // `purpose` names the folder for a reader of the temporary folder: vantrel-<purpose>-XXXXXX.
    explicit ScratchFolder(const std::string& purpose = "test") {
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("vantrel-" + purpose + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a scratch folder from " + pattern);
        }
        m_path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    operator const std::filesystem::path&() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    // The path of `name` inside the folder (nothing is made).
    std::filesystem::path File(const std::string& name) const { return m_path / name; }
    // Writes `text` to `name` inside the folder and returns its path.
    std::filesystem::path Write(const std::string& name, const std::string& text) const {
        const std::filesystem::path path = File(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

private:
    std::filesystem::path m_path;
};

// The whole content of a file, byte for byte ("" when it cannot be read).
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    if (in) {
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return text;
}

} // namespace support
