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
    kDesignFailed,   // the design gave no filter (`proposal` for FIR); after DesignFir and
                     // DesignIir the document holds the design it held before
    kShortOfOptimum, // the design stands but ended above the equiripple optimum
                     // (`achievedRipple` against `targetRipple`, `iterationLimit`)
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

// What a failed FIR design proposes: both adjustments the window offers, computed for the
// failed design's parameters. `taps` is the estimated tap count as the tap-adjustment dialog
// shows it (before the odd-count rule); `edges` the moved band edges at the current tap count.
struct DesignProposal {
    int taps = 0;
    design::EdgeProposal edges{};
};

struct Outcome {
    OutcomeKind kind = OutcomeKind::kAccepted;
    design::Warning warning; // kRefused
    RangeRefusal range;      // kOutOfRange
    // Warnings that question an accepted request without refusing it, in the order the window
    // shows them (the unbalanced transition bands of BRF/BPF; a coefficient file without its
    // header or with a malformed number).
    std::vector<design::Warning> notices;
    DesignProposal proposal; // kDesignFailed of a FIR design
    // kShortOfOptimum: the Remez run stopped at its iteration limit; its largest weighted error
    // on the grid and the level of its final extremal set.
    bool iterationLimit = false;
    double achievedRipple = 0.0;
    double targetRipple = 0.0;
    // Files: the path written or read, the system's reason when it failed.
    std::string path;
    std::string reason;
    bool notFound = false; // kFileNotRead: the path names no file (the VHDL template)
    // The text the command produced (the VHDL text, the testbench, the token where a load
    // stopped). `message` is the text the window shows for the outcome: for kFileNotRead of a
    // user wave the reader's description of what went wrong (and, accepted, that a user wave
    // held more values than the buffer), for kFileNotWritten the path and
    // " cannot be opened", for a failed IIR design the warning that the cascade is not finite.
    std::string text;
    std::string message;

    bool Is(OutcomeKind k) const { return kind == k; }
};

// The two refusals, for commands and for the front ends' own checks.
Outcome Refused(const design::Warning& warning);
Outcome OutOfRange(const RangeRefusal& refusal);
// Writes `text` to `path` through the output component: kFileWritten, or kFileNotWritten with
// the system's `reason` and "PATH cannot be opened" in `message`.
Outcome WriteOutcomeFile(const std::string& path, std::string_view text);

} // namespace commands
