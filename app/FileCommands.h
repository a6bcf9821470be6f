// Save/Load of the coefficients: the coefficient file of the structure written and read.
#pragma once

#include <string>
#include <string_view>

#include "app/Outcome.h"
#include "files/CoeffFile.h"

class COlvexDoc;

namespace commands {

// The record's coefficients of the structure as a coefficient file, in its m_nCoeffFormat.
std::string CoeffFileTextOf(const COlvexDoc& doc, bool iir);

// Reads coefficient file text into the record: the values become the taps (m_nTaps of them, the
// multiplier 1) or the sections (the rest kept, m_nIirSections 8); quantization goes off. A file
// with any of the reader's warnings (no header, a malformed number, no values, more values than
// the structure takes) changes nothing, loadFormat included.
files::CoeffLoad ReadCoeffTextInto(std::string_view text, COlvexDoc& doc, bool iir,
                                   int& loadFormat);

// Save Coefficients: `coefficientsListed` is the view's flag (Coefficients ran since the last
// design or load). Warning 177 before that; then the coefficient file of the structure is
// written: kFileWritten, or kFileNotWritten with the system's reason.
struct SaveCoefficientsRequest {
    bool iir = false;
    bool coefficientsListed = false;
    std::string path;
};
// Checks only (warning 177), for the window to ask for the path after it.
Outcome CheckSaveCoefficients(const SaveCoefficientsRequest& request);
Outcome SaveCoefficients(const COlvexDoc& doc, const SaveCoefficientsRequest& request);

// Load Coefficients into the structure the form shows; `loadFormat` is the view's format of the
// last header read, updated by the load. A file that cannot be opened is kRefused with warning
// 167 and the system's `reason`; a file without its header (warning 188, the document reset) or
// with a malformed number (warning 168) is kAccepted with the warning in `notices`, the stop
// token in `text` and the values stored before it in `valuesRead`.
struct LoadCoefficientsRequest {
    bool iir = false;
    std::string path;
};
struct LoadOutcome : Outcome {
    int valuesRead = 0;
    std::string text; // the token where the load stopped
};
LoadOutcome LoadCoefficients(COlvexDoc& doc, const LoadCoefficientsRequest& request,
                             int& loadFormat);

} // namespace commands
