// The fuzzer's input as a file for readers that take a path: an anonymous in-memory file,
// named through /proc/self/fd, removed when this object goes away.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// libFuzzer keeps inputs to a few kilobytes unless told otherwise; a reader with a byte cap
// should be fuzzed up to that cap, where the trouble of large files lies. Called from
// LLVMFuzzerInitialize, before libFuzzer reads its flags: adds -max_len=CAP unless the command
// line gives a -max_len of its own.
inline void DefaultMaxLen(int* argc, char*** argv, size_t cap) {
    for (int i = 1; i < *argc; ++i) {
        if (std::string_view((*argv)[i]).starts_with("-max_len=")) {
            return;
        }
    }
    static std::string flag = "-max_len=" + std::to_string(cap);
    static std::vector<char*> args;
    args.assign(*argv, *argv + *argc);
    args.push_back(flag.data());
    args.push_back(nullptr);
    *argc += 1;
    *argv = args.data();
}

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
