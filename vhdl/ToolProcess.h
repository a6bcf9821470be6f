// The child processes of the hardware flow: finding a tool along PATH, a private work folder
// that is removed with everything in it, and running one tool to its end or until a cancel.
#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace vhdl {

// The full path of an executable found along PATH; empty when none.
std::string FindOnPath(const std::string& program);

// A private folder in the temporary folder ("vantrel-hw-XXXXXX"), removed with everything in it
// when the object goes. Path() is empty when none could be made.
class WorkFolder {
public:
    WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    ~WorkFolder();
    const std::string& Path() const { return m_path; }
    std::string File(const char* name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

enum class ToolEnd { kExited, kFailed, kCancelled };

struct ToolRun {
    std::vector<std::string> argv; // argv[0] is the full path of the program
    std::string folder;            // the working folder
    std::string stdoutPath;        // standard output goes here
    std::string logPath;           // standard error (and stdout when stdoutPath is empty)
};

// Runs one tool to its end, polling `cancel` (may be null): kExited only for exit status 0;
// kCancelled after the tool's process group was stopped.
ToolEnd RunTool(const ToolRun& run, const std::atomic<bool>* cancel);

} // namespace vhdl
