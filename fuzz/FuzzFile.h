// The fuzzer's input as a file for readers that take a path: an anonymous in-memory file,
// named through /proc/self/fd, removed when this object goes away.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

class FuzzFile {
public:
    FuzzFile(const uint8_t* data, size_t size) : m_fd(::memfd_create("fuzz-input", MFD_CLOEXEC)) {
        size_t written = 0;
        while (m_fd >= 0 && written < size) {
            const ssize_t n = ::write(m_fd, data + written, size - written);
            if (n <= 0) {
                break;
            }
            written += static_cast<size_t>(n);
        }
    }
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;
    ~FuzzFile() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    bool Ok() const { return m_fd >= 0; }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(m_fd); }

private:
    int m_fd;
};
