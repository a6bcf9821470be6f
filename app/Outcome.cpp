// The outcomes every command family builds: the two refusals and a file written.
#include "app/Outcome.h"

#include "files/InputFile.h"
#include "files/OutputFile.h"

namespace commands {

Outcome Refused(const design::Warning& warning) {
    Outcome outcome;
    outcome.kind = OutcomeKind::kRefused;
    outcome.warning = warning;
    return outcome;
}

Outcome OutOfRange(const RangeRefusal& refusal) {
    Outcome outcome;
    outcome.kind = OutcomeKind::kOutOfRange;
    outcome.range = refusal;
    return outcome;
}

Outcome WriteOutcomeFile(const std::string& path, std::string_view text) {
    const files::OutputResult result = files::WriteOutputFile(path, text);
    Outcome outcome;
    outcome.kind = result.ok ? OutcomeKind::kFileWritten : OutcomeKind::kFileNotWritten;
    outcome.path = path;
    outcome.reason = result.reason;
    if (!result.ok) {
        outcome.message = files::QuotedPath(path) + design::kCannotBeOpened;
    }
    return outcome;
}

} // namespace commands
