// Running one tool of the hardware flow as a child process: its own process group (so that a
// cancel stops it and whatever it started), its output in files, the working folder its own.
#include "vhdl/ToolProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string_view>
#include <thread>

extern char** environ;

namespace vhdl {

namespace fs = std::filesystem;

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) {
            // The tools run in the work folder: a path relative to this one would not lead there.
            std::error_code failed;
            const fs::path absolute = fs::absolute(candidate, failed);
            return failed ? std::string() : absolute.lexically_normal().string();
        }
    }
    return std::string();
}

WorkFolder::WorkFolder() {
    // temp_directory_path() without an error code throws when TMPDIR names no folder.
    std::error_code failed;
    const fs::path temp = fs::temp_directory_path(failed);
    const char* named = std::getenv("TMPDIR");
    const std::string shown = named != nullptr && *named != '\0' ? named : temp.string();
    if (failed) {
        m_problem =
            "the temporary folder (TMPDIR) \"" + shown + "\" is not a folder: " + failed.message();
        return;
    }
    std::string pattern = (temp / "vantrel-hw-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
        m_path = pattern;
    } else {
        m_problem = "no work folder could be made in the temporary folder \"" + temp.string() +
                    "\": " + std::strerror(errno);
    }
}

WorkFolder::~WorkFolder() {
    std::error_code ignored;
    if (!m_path.empty()) {
        fs::remove_all(m_path, ignored);
    }
}

namespace {

// This process's environment with the folders a tool keeps files in pointed at `folder`.
std::vector<std::string> ToolEnvironment(const std::string& folder) {
    static const char* const kFolders[] = {"HOME", "TMPDIR", "TMP", "TEMP"};
    std::vector<std::string> env;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        bool replaced = false;
        for (const char* name : kFolders) {
            const size_t n = std::strlen(name);
            replaced = replaced || (text.size() > n && text.substr(0, n) == name && text[n] == '=');
        }
        if (!replaced) {
            env.emplace_back(text);
        }
    }
    for (const char* name : kFolders) {
        env.push_back(std::string(name) + "=" + folder);
    }
    return env;
}

// In the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecChild(const ToolRun& run, std::vector<char*>& argv,
                            std::vector<char*>& envp) {
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
    ::execve(argv[0], argv.data(), envp.data());
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
    std::vector<std::string> env = ToolEnvironment(run.folder);
    std::vector<char*> envp;
    for (std::string& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    if (cancel != nullptr && cancel->load()) {
        return ToolEnd::kCancelled;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        return ToolEnd::kFailed;
    }
    if (pid == 0) {
        ExecChild(run, argv, envp);
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

// ---- The watch ----------------------------------------------------------------------------------

namespace {

constexpr int kWatchedSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The one watch's state: the signal handler may touch only the lock-free atomics.
std::atomic<bool> g_cancel{false};
std::atomic<int> g_signal{0};
std::atomic<bool> g_timedOut{false};
struct WatchTimer {
    std::mutex mutex;
    std::condition_variable wake;
    bool ending = false;
    std::thread thread;
    struct sigaction former[std::size(kWatchedSignals)];
    bool installed[std::size(kWatchedSignals)] = {};
};
WatchTimer* g_timer = nullptr;

extern "C" void OnInterrupt(int signal) {
    g_signal.store(signal);
    g_cancel.store(true);
}

} // namespace

ToolWatch::ToolWatch(double timeoutSeconds) {
    g_cancel = false;
    g_signal = 0;
    g_timedOut = false;
    g_timer = new WatchTimer;
    for (size_t i = 0; i < std::size(kWatchedSignals); ++i) {
        struct sigaction former {};
        ::sigaction(kWatchedSignals[i], nullptr, &former);
        if (former.sa_handler == SIG_IGN) {
            continue; // started to ignore it (nohup): so be it
        }
        struct sigaction on {};
        on.sa_handler = OnInterrupt;
        ::sigemptyset(&on.sa_mask);
        g_timer->installed[i] = ::sigaction(kWatchedSignals[i], &on, &g_timer->former[i]) == 0;
    }
    if (timeoutSeconds > 0.0) {
        const auto limit = std::chrono::duration<double>(timeoutSeconds);
        g_timer->thread = std::thread([timer = g_timer, limit] {
            std::unique_lock<std::mutex> lock(timer->mutex);
            if (!timer->wake.wait_for(lock, limit, [timer] { return timer->ending; })) {
                g_timedOut = true;
                g_cancel = true;
            }
        });
    }
}

ToolWatch::~ToolWatch() {
    {
        const std::lock_guard<std::mutex> lock(g_timer->mutex);
        g_timer->ending = true;
    }
    g_timer->wake.notify_all();
    if (g_timer->thread.joinable()) {
        g_timer->thread.join();
    }
    for (size_t i = 0; i < std::size(kWatchedSignals); ++i) {
        if (g_timer->installed[i]) {
            ::sigaction(kWatchedSignals[i], &g_timer->former[i], nullptr);
        }
    }
    delete g_timer;
    g_timer = nullptr;
}

const std::atomic<bool>* ToolWatch::Cancel() const {
    return &g_cancel;
}

bool ToolWatch::TimedOut() const {
    return g_timedOut.load() && g_signal.load() == 0;
}

int ToolWatch::CaughtSignal() const {
    return g_signal.load();
}

void ToolWatch::RaiseCaughtSignal() {
    const int signal = g_signal.load();
    if (signal != 0) {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
    }
    ::_exit(128 + signal);
}

} // namespace vhdl
