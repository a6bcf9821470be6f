// The outcome every command of the form returns: accepted, refused with a warning, a value out of
// range, a design that failed or stopped short of the optimum, a file written or not, a file not
// read. Each command family (app/*Commands.h) returns this or a type derived from it.
//
// The window's handlers run the dialog, build the request, call the command and show the
// outcome; vantrel-cli parses its options into the same requests and prints the same outcomes.
// Nothing in the commands runs a dialog, names a control or writes the status bar.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/DesignRules.h"

namespace commands {

enum class OutcomeKind {
    kAccepted,       // the request was taken; the document holds the result
    kRefused,        // a warning refused it (`warning`); the document is unchanged
    kOutOfRange,     // a range check refused a field (`range`); the document is unchanged
    kDesignFailed,   // the design gave no filter (DesignOutcome: the proposal for FIR); after
                     // DesignFir and DesignIir the document holds the design it held before
    kShortOfOptimum, // the design stands but ended above the equiripple optimum (DesignOutcome)
    kFileWritten,    // `path` was written
    kFileNotWritten, // `path` was not written; `reason` says why (the system's reason)
    kFileNotRead,    // `path` could not be read (or was read only in part); `reason`, `message`
};

// A value a range check refused: the field (design::DialogField, as the dialogs name their
// fields; design::FieldName gives its short name), the accepted limits and the standard message
// of the check ("Please enter a number between 0 and 1000000000000."). Numbers are accepted when
// low < value <= high (0 < fs <= 1e12), integers when low <= value <= high; "greater than 0"
// checks have high = the largest double.
using design::RangeRefusal;

struct Outcome {
    OutcomeKind kind = OutcomeKind::kAccepted;
    design::Warning warning; // kRefused
    RangeRefusal range;      // kOutOfRange
    // Warnings that question an accepted request without refusing it, in the order the window
    // shows them (the unbalanced transition bands of BRF/BPF; a coefficient file without its
    // header or with a malformed number).
    std::vector<design::Warning> notices;
    // Files: the path written or read, the system's reason when it failed.
    std::string path;
    std::string reason;
    // The text the window shows for the outcome: for kFileNotRead of a user wave the reader's
    // description of what went wrong (and, accepted, that a user wave held more values than the
    // buffer), for kFileNotWritten the path and " cannot be opened", for a failed IIR design the
    // warning that the cascade is not finite.
    std::string message;

    bool Is(OutcomeKind k) const { return kind == k; }
};

// The outcome of a command that produces a text (the VHDL text, the testbench, the hardware
// report); a refusal carries none.
struct TextOutcome : Outcome {
    TextOutcome() = default;
    TextOutcome(const Outcome& outcome) : Outcome(outcome) {} // a refusal, no text
    std::string text;
};

// The two refusals, for commands and for the front ends' own checks.
Outcome Refused(const design::Warning& warning);
Outcome OutOfRange(const RangeRefusal& refusal);
// Writes `text` to `path` through the output component: kFileWritten, or kFileNotWritten with
// the system's `reason` and "PATH cannot be opened" in `message`.
Outcome WriteOutcomeFile(const std::string& path, std::string_view text);

} // namespace commands
