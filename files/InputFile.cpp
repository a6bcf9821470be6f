// The bounded reader. The file is opened without blocking (a FIFO without a writer would
// otherwise stall the program in open()), then its kind decides how it is read.
#include "files/InputFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

constexpr size_t kChunk = size_t{64} << 10;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int Get() const { return m_fd; }

private:
    int m_fd;
};

InputFile Refusal(std::string reason) {
    InputFile file;
    file.reason = std::move(reason);
    return file;
}

std::string CapText(size_t cap) {
    if (cap >= (size_t{1} << 20) && cap % (size_t{1} << 20) == 0) {
        return std::to_string(cap >> 20) + " MiB";
    }
    return std::to_string(cap) + " bytes";
}

std::string TooLarge(size_t cap) {
    return "larger than " + CapText(cap) + ": not read";
}

// Appends up to one chunk; returns the read() result (EINTR retried).
ssize_t ReadChunk(int fd, std::string& text, size_t cap) {
    const size_t used = text.size();
    const size_t room = std::min(kChunk, cap + 1 - used); // one byte more tells "over the cap"
    text.resize(used + room);
    ssize_t got;
    do {
        got = ::read(fd, text.data() + used, room);
    } while (got < 0 && errno == EINTR);
    const int error = errno;
    text.resize(used + (got > 0 ? static_cast<size_t>(got) : 0));
    errno = error; // the caller tells EAGAIN from a read error
    return got;
}

InputFile ReadRegular(int fd, size_t cap) {
    InputFile file;
    for (;;) {
        const ssize_t got = ReadChunk(fd, file.text, cap);
        if (got < 0) {
            return Refusal(std::strerror(errno));
        }
        if (file.text.size() > cap) {
            return Refusal(TooLarge(cap));
        }
        if (got == 0) {
            break;
        }
    }
    file.ok = true;
    return file;
}

// Waits up to `wait` for the FIFO to have data or a hang-up; false on a timeout.
bool WaitForFifo(int fd, std::chrono::milliseconds wait) {
    pollfd entry{fd, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&entry, 1, static_cast<int>(wait.count()));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

// A FIFO opened without blocking: read() gives 0 both when no writer has come yet and at the
// end of a writer's data, and EAGAIN while a writer is connected but silent. Until a writer is
// seen, a 0 means "no writer yet", which gets kFifoWriterWait to change.
InputFile ReadFifo(int fd, size_t cap) {
    InputFile file;
    bool writerSeen = false;
    bool waitedForWriter = false;
    for (;;) {
        const ssize_t got = ReadChunk(fd, file.text, cap);
        if (file.text.size() > cap) {
            return Refusal(TooLarge(cap));
        }
        if (got > 0) {
            writerSeen = true;
            continue;
        }
        if (got == 0) {
            if (writerSeen) {
                break;
            }
            if (waitedForWriter) {
                return Refusal("a FIFO without a writer: not read");
            }
            waitedForWriter = true;
            (void)WaitForFifo(fd, kFifoWriterWait);
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return Refusal(std::strerror(errno));
        }
        writerSeen = true;
        if (!WaitForFifo(fd, kFifoIdleWait)) {
            return Refusal("the FIFO's writer sent nothing for " +
                           std::to_string(kFifoIdleWait.count() / 1000) + " s: not read");
        }
    }
    file.ok = true;
    return file;
}

// What the kind of an opened file allows.
InputFile ReadOpened(int fd, size_t cap) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return Refusal(std::strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        return Refusal(std::strerror(EISDIR));
    }
    if (S_ISFIFO(info.st_mode)) {
        return ReadFifo(fd, cap);
    }
    if (!S_ISREG(info.st_mode)) {
        return Refusal("not a regular file or a FIFO: not read");
    }
    if (info.st_size > 0 && static_cast<unsigned long long>(info.st_size) > cap) {
        return Refusal(TooLarge(cap)); // refused before a single byte is read
    }
    // A regular file never blocks; reading it the ordinary way also serves /proc files.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return ReadRegular(fd, cap);
}

// Standard input ("-"): whatever it is connected to (a pipe, a terminal, a redirected file or
// device) is read to its end and waited for as long as it takes, since the caller chose to
// hand it over; only the cap applies, and a directory is refused.
InputFile ReadStandardInput(size_t cap) {
    struct stat info {};
    if (::fstat(STDIN_FILENO, &info) != 0) {
        return Refusal(std::strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        return Refusal(std::strerror(EISDIR));
    }
    InputFile file;
    for (;;) {
        const ssize_t got = ReadChunk(STDIN_FILENO, file.text, cap);
        if (file.text.size() > cap) {
            return Refusal(TooLarge(cap));
        }
        if (got > 0) {
            continue;
        }
        if (got == 0) {
            break;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return Refusal(std::strerror(errno));
        }
        // A stream left in non-blocking mode by whoever started the program: wait for data.
        pollfd entry{STDIN_FILENO, POLLIN, 0};
        while (::poll(&entry, 1, -1) < 0 && errno == EINTR) {
        }
    }
    file.ok = true;
    file.opened = true;
    return file;
}

} // namespace

namespace {
std::atomic<bool> g_standardStreamNames{false};
} // namespace

void UseStandardStreamNames(bool use) {
    g_standardStreamNames = use;
}

bool IsStandardStreamPath(const std::string& path) {
    return g_standardStreamNames && path == kStandardStreamPath;
}

InputFile ReadInputFile(const std::string& path, size_t cap) {
    if (path.empty()) {
        return Refusal(std::strerror(ENOENT));
    }
    if (IsStandardStreamPath(path)) {
        return ReadStandardInput(cap);
    }
    int raw;
    do {
        raw = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (raw < 0 && errno == EINTR);
    if (raw < 0) {
        return Refusal(std::strerror(errno));
    }
    const FileDescriptor fd(raw);
    InputFile file = ReadOpened(fd.Get(), cap);
    file.opened = true;
    return file;
}

std::string QuotedPath(const std::string& path) {
    bool control = false;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        control = control || byte < 0x20 || byte == 0x7f;
    }
    if (!control) {
        return path;
    }
    std::string quoted = "\"";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\n':
            quoted += "\\n";
            break;
        case '\t':
            quoted += "\\t";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        default:
            if (byte < 0x20 || byte == 0x7f) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\x%02x", byte);
                quoted += escape;
            } else {
                quoted += c;
            }
        }
    }
    quoted += '"';
    return quoted;
}

} // namespace files
