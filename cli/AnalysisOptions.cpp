// What the window showed, on standard error, and --response FILE.
#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "files/OutputFile.h"

#include <cstdio>
#include <string>

namespace cli {

void ReportWarning(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool PrintNotices(const std::vector<Notice>& notices, const ControlOptions& options) {
    bool failedCheck = false;
    for (const Notice& notice : notices) {
        if (notice.kind != Notice::Kind::kFailedCheck) {
            ReportWarning(notice.text);
            continue;
        }
        failedCheck = true;
        const auto option = options.find(notice.controlId);
        if (option != options.end()) {
            std::fprintf(stderr, "--%s: %s\n", option->second.c_str(), notice.text.c_str());
        } else {
            ReportWarning(notice.text);
        }
    }
    return failedCheck;
}

bool AnyWarning(const std::vector<Notice>& notices) {
    for (const Notice& notice : notices) {
        if (notice.kind != Notice::Kind::kFailedCheck) {
            return true;
        }
    }
    return false;
}

// The response table goes through the output-file component like every file the program
// writes, so a device, a FIFO or a symlink is written as what it is and a failed save leaves the
// old file as it was.
int WriteResponseFile(const std::string& path, const COlvexDoc& doc) {
    std::string text;
    char line[96];
    for (int i = 0; i < COlvexDoc::kResponseUsed; ++i) {
        std::snprintf(line, sizeof line, "%d %.17g %.17g\n", i, doc.m_aGainDb[i], doc.m_aPhase[i]);
        text += line;
    }
    const files::OutputResult written = files::WriteOutputFile(path, text);
    if (!written.ok) {
        std::fprintf(stderr, "--response: %s\n", written.Describe().c_str());
        return kExitFileError;
    }
    return kExitOk;
}

} // namespace cli
