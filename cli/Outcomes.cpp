// The outcomes of the commands on standard error, and the exit status of each kind.
#include <cstdio>
#include <string>

#include "app/Outcome.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/InputFile.h"

namespace cli {

void PrintWarning(const design::Warning& warning) {
    std::fprintf(stderr, "%s\n", warning.OneLine().c_str());
}

RunState::RunState() {
    // The engine's console notices (an iteration limit reached) go to standard error.
    doc.m_fnConsole = [](const std::string& text) { std::fputs(text.c_str(), stderr); };
}

int ReportOutcome(const commands::Outcome& outcome, const FieldOptions& options) {
    using commands::OutcomeKind;
    for (const design::Warning& notice : outcome.notices) {
        PrintWarning(notice);
    }
    switch (outcome.kind) {
    case OutcomeKind::kAccepted:
    case OutcomeKind::kShortOfOptimum:
    case OutcomeKind::kFileWritten:
        return kExitOk;
    case OutcomeKind::kRefused:
        PrintWarning(outcome.warning);
        if (!outcome.reason.empty()) {
            std::fprintf(stderr, "%s: %s\n", files::QuotedPath(outcome.path).c_str(),
                         outcome.reason.c_str());
        }
        return kExitInvalid;
    case OutcomeKind::kOutOfRange: {
        const auto option = options.find(outcome.range.field);
        if (option != options.end()) {
            std::fprintf(stderr, "--%s: %s\n", option->second.c_str(),
                         outcome.range.message.c_str());
        } else {
            std::fprintf(stderr, "%s\n", outcome.range.message.c_str());
        }
        return kExitInvalid;
    }
    case OutcomeKind::kDesignFailed:
        if (!outcome.message.empty()) {
            std::fprintf(stderr, "%s\n", outcome.message.c_str());
        }
        return kExitDesignFailed;
    case OutcomeKind::kFileNotWritten:
        if (!outcome.message.empty()) {
            std::fprintf(stderr, "%s\n", outcome.message.c_str());
        }
        std::fprintf(stderr, "%s: %s\n", files::QuotedPath(outcome.path).c_str(),
                     outcome.reason.c_str());
        return kExitFileError;
    case OutcomeKind::kFileNotRead:
        std::fprintf(stderr, "%s\n",
                     outcome.message.empty()
                         ? (files::QuotedPath(outcome.path) + ": " + outcome.reason).c_str()
                         : outcome.message.c_str());
        return kExitInvalid;
    }
    return kExitInvalid;
}

} // namespace cli
