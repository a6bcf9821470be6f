// The output-file component: how every writer of the program puts a file on disk, and how the
// batch commands make sure standard output really received what they printed.
#include "files/OutputFile.h"
#include "files/InputFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <random>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

// How many symbolic links are followed before the target counts as a loop (the kernel's limit).
constexpr int kMaxLinkDepth = 40;

// The temporary file's name is short and made relative to the target's folder, so that every
// target whose own path the system accepts can be written (a long folder path plus a long
// temporary name would pass PATH_MAX); its prefix tells a stray one (after a power cut) apart.
constexpr const char* kTemporaryPrefix = ".vt-";
constexpr int kTemporaryLetters = 6;
constexpr int kTemporaryAttempts = 100;

OutputResult Failure(const std::string& path, int error) {
    OutputResult result;
    result.path = path;
    result.reason = std::strerror(error != 0 ? error : EIO);
    return result;
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    if (slash == 0) {
        return "/";
    }
    return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a new temporary file in the folder open as folderFd, readable and writable by the
// user only until its mode is set; its name (relative to the folder) goes to `name`.
int CreateTemporary(int folderFd, std::string& name) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        name = kTemporaryPrefix;
        for (int i = 0; i < kTemporaryLetters; ++i) {
            name += kLetters[random() % (sizeof kLetters - 1)];
        }
        const int fd = openat(folderFd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// The descriptor a "/proc/self/fd/N" or "/dev/fd/N" name stands for, or -1. Such a name is an
// open stream of this very program (standard output when N is 1): it is written in place,
// after what the stream already holds, and never replaced by a rename.
int DescriptorOf(const std::string& name) {
    for (const std::string_view prefix : {"/proc/self/fd/", "/dev/fd/"}) {
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        int fd = 0;
        for (size_t i = prefix.size(); i < name.size(); ++i) {
            const char c = name[i];
            if (c < '0' || c > '9' || fd > 100000) {
                return -1;
            }
            fd = fd * 10 + (c - '0');
        }
        return fd;
    }
    return -1;
}

// Follows `path` through any chain of symbolic links to the name that is finally written.
// A dangling link yields the (not yet existing) file it names, which is then created. A name
// of an open descriptor ends the chain there, in `descriptor`.
bool ResolveLinks(const std::string& path, std::string& resolved, int& descriptor, int& error) {
    resolved = path;
    descriptor = -1;
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        descriptor = DescriptorOf(resolved);
        if (descriptor >= 0) {
            return true;
        }
        struct stat info {};
        if (lstat(resolved.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return true;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t length = readlink(resolved.c_str(), link.data(), link.size());
        if (length < 0) {
            error = errno;
            return false;
        }
        link.resize(static_cast<size_t>(length));
        resolved = (link.front() == '/') ? link : DirectoryOf(resolved) + "/" + link;
    }
    error = ELOOP;
    return false;
}

// The standard stream (1 or 2) that writes to the same file as `info`, or -1.
int StandardStreamOf(const struct stat& info) {
    for (const int fd : {STDOUT_FILENO, STDERR_FILENO}) {
        struct stat stream {};
        if (fstat(fd, &stream) == 0 && stream.st_dev == info.st_dev &&
            stream.st_ino == info.st_ino) {
            return fd;
        }
    }
    return -1;
}

// Writes all of `content` to `fd`, resuming after signals and short writes.
int WriteAll(int fd, std::string_view content) {
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t written = write(fd, content.data() + done, content.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        done += static_cast<size_t>(written);
    }
    return 0;
}

// A device or FIFO: there is nothing to replace, so the text goes straight into it. Opening a
// FIFO waits for its reader, as any program writing to a named pipe does.
OutputResult WriteInPlace(const std::string& path, const std::string& target,
                          std::string_view content) {
    int fd;
    do {
        fd = open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return Failure(path, errno);
    }
    int error = WriteAll(fd, content);
    if (close(fd) != 0 && error == 0 && errno != EINTR) {
        error = errno;
    }
    if (error != 0) {
        return Failure(path, error);
    }
    OutputResult result;
    result.ok = true;
    result.path = path;
    return result;
}

// A stream the program already has open: what it printed so far goes out first, then the text
// is appended through the same descriptor, so the stream's own later output follows it.
OutputResult WriteToDescriptor(const std::string& path, int fd, std::string_view content) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(stdout);
    std::fflush(stderr);
    const int error = WriteAll(fd, content);
    if (error != 0) {
        return Failure(path, error);
    }
    OutputResult result;
    result.ok = true;
    result.path = path;
    return result;
}

// The mode a newly created file gets: what open() with 0666 would give under the current umask.
mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

// A regular file, or a name that does not exist yet: the text goes to a fresh temporary file
// next to the target, which replaces the target only once it is complete on disk.
OutputResult ReplaceAtomically(const std::string& path, const std::string& target,
                               const struct stat* old, std::string_view content) {
    if (old != nullptr && access(target.c_str(), W_OK) != 0) {
        return Failure(path,
                       errno); // a file the user may not write is not replaced behind its back
    }
    const std::string folder = DirectoryOf(target);
    const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        return Failure(path, errno);
    }
    std::string temporary;
    const int fd = CreateTemporary(folderFd, temporary);
    if (fd < 0) {
        const int error = errno;
        close(folderFd);
        return Failure(path, error);
    }
    int error = WriteAll(fd, content);
    if (error == 0) {
        if (old != nullptr) {
            // Keep the owner where the system lets us; a plain user cannot give files away, and
            // then the file stays the user's, as with any editor's save.
            if (fchown(fd, old->st_uid, old->st_gid) != 0) {
                (void)fchown(fd, static_cast<uid_t>(-1), old->st_gid);
            }
        }
        const mode_t mode = (old != nullptr) ? (old->st_mode & 07777) : NewFileMode();
        if (fchmod(fd, mode) != 0) {
            error = errno;
        }
    }
    if (error == 0 && fsync(fd) != 0) {
        error = errno;
    }
    if (close(fd) != 0 && error == 0 && errno != EINTR) {
        error = errno;
    }
    if (error == 0 &&
        renameat(folderFd, temporary.c_str(), folderFd, BaseNameOf(target).c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlinkat(folderFd, temporary.c_str(), 0);
        close(folderFd);
        return Failure(path, error);
    }
    // Make the new directory entry itself durable; a folder that cannot be synced (some network
    // file systems) does not undo a save that has already happened.
    (void)fsync(folderFd);
    close(folderFd);
    OutputResult result;
    result.ok = true;
    result.path = path;
    return result;
}

} // namespace

std::string OutputResult::Describe() const {
    const std::string name = IsStandardStreamPath(path) ? "standard output" : QuotedPath(path);
    return reason.empty() ? name : name + ": " + reason;
}

OutputResult WriteOutputFile(const std::string& path, std::string_view content) {
    if (path.empty()) {
        return Failure(path, ENOENT);
    }
    if (IsStandardStreamPath(path)) {
        return WriteToDescriptor(path, STDOUT_FILENO, content);
    }
    std::string target;
    int error = 0;
    int descriptor = -1;
    if (!ResolveLinks(path, target, descriptor, error)) {
        return Failure(path, error);
    }
    if (descriptor >= 0) {
        return WriteToDescriptor(path, descriptor, content);
    }
    struct stat info {};
    if (stat(target.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            return Failure(path, errno);
        }
        return ReplaceAtomically(path, target, nullptr, content);
    }
    if (S_ISDIR(info.st_mode)) {
        return Failure(path, EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        return WriteInPlace(path, target, content);
    }
    if (const int stream = StandardStreamOf(info); stream >= 0) {
        return WriteToDescriptor(path, stream, content); // the file standard output goes to
    }
    return ReplaceAtomically(path, target, &info, content);
}

bool FinishStandardOutput(bool close, std::string& reason) {
    reason.clear();
    std::cout.flush();
    // A write that failed earlier (a full buffer flushed in the middle of the output) has only
    // left the error flag; its errno is long gone.
    bool ok = !std::ferror(stdout) && !std::cout.fail();
    int error = 0;
    errno = 0;
    if (std::fflush(stdout) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok && error == 0) {
        // An empty write asks the descriptor for its reason again (a full device, a stream that
        // is not open for writing) without adding anything to the output.
        if (write(fileno(stdout), "", 0) < 0) {
            error = errno;
        }
    }
    if (close) {
        errno = 0;
        if (std::fclose(stdout) != 0) {
            if (ok) {
                error = errno;
            }
            ok = false;
        }
    }
    if (!ok) {
        reason = std::strerror(error != 0 ? error : EIO);
    }
    return ok;
}

} // namespace files
