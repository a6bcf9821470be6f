// The child processes of the hardware flow: finding a tool along PATH, a private work folder
// that is removed with everything in it, running one tool to its end or until a cancel, and a
// watch that turns a time limit or an interrupting signal into that cancel.
#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace vhdl {

// The absolute path of an executable found along PATH (a relative entry is taken from the
// current folder, as the shell does); empty when none.
std::string FindOnPath(const std::string& program);

// A private folder in the temporary folder ("vantrel-hw-XXXXXX"), removed with everything in it
// when the object goes. Path() is empty when none could be made; Problem() then says why (a
// TMPDIR naming a missing folder or a file, for instance).
class WorkFolder {
public:
    WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    ~WorkFolder();
    const std::string& Path() const { return m_path; }
    const std::string& Problem() const { return m_problem; }
    std::string File(const char* name) const { return m_path + "/" + name; }

private:
    std::string m_path;
    std::string m_problem;
};

enum class ToolEnd { kExited, kFailed, kCancelled };

struct ToolRun {
    std::vector<std::string> argv; // argv[0] is the full path of the program
    std::string folder;            // the working folder
    std::string stdoutPath;        // standard output goes here
    std::string logPath;           // standard error (and stdout when stdoutPath is empty)
};

// Runs one tool to its end, polling `cancel` (may be null): kExited only for exit status 0;
// kCancelled after the tool's process group was stopped. The tool runs in a process group of
// its own, in run.folder, with HOME, TMPDIR, TMP and TEMP naming run.folder: whatever it keeps
// between runs (yosys's history) or puts aside (yosys's ABC folders) stays in the folder.
ToolEnd RunTool(const ToolRun& run, const std::atomic<bool>* cancel);

// Turns a time limit and the interrupting signals (SIGINT, SIGTERM, SIGHUP) into the cancel of
// RunTool while it lives, so that the tools stop with the program and their folder goes. One at
// a time in a process; the signals' former handling comes back when it goes.
class ToolWatch {
public:
    // timeoutSeconds <= 0: no time limit.
    explicit ToolWatch(double timeoutSeconds);
    ToolWatch(const ToolWatch&) = delete;
    ToolWatch& operator=(const ToolWatch&) = delete;
    ~ToolWatch();
    const std::atomic<bool>* Cancel() const;
    bool TimedOut() const;
    // The signal that ended the run, 0 for none.
    int CaughtSignal() const;
    // Ends the program as the caught signal would have (after the work folder went).
    [[noreturn]] void RaiseCaughtSignal();
};

} // namespace vhdl
