// Running one tool of the hardware flow as a child process: its own process group (so that a
// cancel stops it and whatever it started), its output in files, the working folder its own.
#include "vhdl/ToolProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

namespace vhdl {

namespace fs = std::filesystem;

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::string();
}

WorkFolder::WorkFolder() {
    std::string pattern = (fs::temp_directory_path() / "vantrel-hw-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
        m_path = pattern;
    }
}

WorkFolder::~WorkFolder() {
    std::error_code ignored;
    if (!m_path.empty()) {
        fs::remove_all(m_path, ignored);
    }
}

namespace {

// In the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecChild(const ToolRun& run, std::vector<char*>& argv) {
    ::setpgid(0, 0);
    const int log = ::open(run.logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int out = run.stdoutPath.empty()
                        ? log
                        : ::open(run.stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (log < 0 || out < 0 || ::chdir(run.folder.c_str()) != 0) {
        ::_exit(127);
    }
    ::dup2(out, STDOUT_FILENO);
    ::dup2(log, STDERR_FILENO);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

// Stops the child's whole process group: politely first, then for good.
void KillGroup(pid_t pid) {
    ::kill(-pid, SIGTERM);
    for (int i = 0; i < 20; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

} // namespace

ToolEnd RunTool(const ToolRun& run, const std::atomic<bool>* cancel) {
    std::vector<char*> argv;
    for (const std::string& arg : run.argv) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        return ToolEnd::kFailed;
    }
    if (pid == 0) {
        ExecChild(run, argv);
    }
    ::setpgid(pid, pid); // also from the parent, so a cancel right away reaches the group
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ToolEnd::kExited
                                                                 : ToolEnd::kFailed;
        }
        if (done < 0 && errno != EINTR) {
            return ToolEnd::kFailed;
        }
        if (cancel != nullptr && cancel->load()) {
            KillGroup(pid);
            return ToolEnd::kCancelled;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace vhdl
