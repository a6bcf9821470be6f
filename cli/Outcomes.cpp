// The outcomes of the commands on standard error, and the exit status of each kind.
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/DesignRules.h"
#include "app/Outcome.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/InputFile.h"

namespace cli {

namespace {

// The warnings whose window text points at a button, a check box or a menu: on the command
// line they name the options instead (the Coefficients dialog's own warnings are named where
// Coefficients is called, ApplyCoefficientOptions). Every other warning reads as in the window.
struct OptionText {
    design::Warning (*warning)();
    const char* text;
    const char* pointer; // after the lines the rule added (a file's counts), or empty
};
const OptionText kOptionTexts[] = {
    {design::VhdlNeedsQuantizeWarning,
     "--quantize B is needed for --vhdl, --verilog, --testbench and --hw-report.", ""},
    {design::ExportNeedsQuantizeWarning,
     "--quantize B is needed for --export to .coe or .mif (integer coefficients).", ""},
    {design::SaveNeedsCoeffsWarning,
     "--save-coeffs needs the coefficients: give --quantize B or --format.", ""},
    {design::VhdlNeedsParamsWarning, "--vhdl needs --data-bits D.", ""},
    {design::MissingHeaderWarning,
     "Missing header information: a coefficient file starts with a line such as "
     "\"Data is Real : 1.0 => 1.0\"",
     "(see COEFFICIENT FILES in vantrel-cli(1))."},
    {design::InvalidCoeffsWarning, "Invalid coefficient file format",
     "(see COEFFICIENT FILES in vantrel-cli(1))."},
};

} // namespace

std::string CommandLineText(const design::Warning& warning) {
    for (const OptionText& entry : kOptionTexts) {
        const design::Warning model = entry.warning();
        if (model.templateId != warning.templateId) {
            continue;
        }
        // The lines the rule added to its warning (the counts of a file that does not fit)
        // stay; the window's own lines give way to the command line's.
        std::string text = entry.text;
        for (const std::string& line : warning.lines) {
            if (std::find(model.lines.begin(), model.lines.end(), line) == model.lines.end()) {
                text += ": " + line;
            }
        }
        return *entry.pointer != '\0' ? text + " " + entry.pointer : text;
    }
    return warning.OneLine();
}

void PrintWarning(const design::Warning& warning) {
    std::fprintf(stderr, "%s\n", CommandLineText(warning).c_str());
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
            std::fprintf(stderr, "%s: %s\n",
                         outcome.path == files::kStandardStreamPath
                             ? "standard input"
                             : files::QuotedPath(outcome.path).c_str(),
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
        if (outcome.path == files::kStandardStreamPath) {
            std::fprintf(stderr, "standard output: %s\n", outcome.reason.c_str());
            return kExitFileError;
        }
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
