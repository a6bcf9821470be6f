// Save/Load of the coefficients: the coefficient file of the structure written, and read back
// with the exchange formats of files/CoeffImport.h (CSV and numpy's rows, JSON, .coe, .mif).
#pragma once

#include <string>
#include <string_view>

#include "app/Outcome.h"
#include "files/CoeffFile.h"
#include "files/CoeffImport.h"

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

// What a load read from text of any kind: the coefficient file (kCoeffFile, and kUnknown, which
// its reader warns about as a file without its header) in `load`, the other kinds in
// `imported`.
struct CoefficientsRead {
    files::CoeffFileKind kind = files::CoeffFileKind::kUnknown;
    files::CoeffLoad load;
    files::ImportedCoefficients imported;
    bool Imported() const {
        return kind != files::CoeffFileKind::kCoeffFile && kind != files::CoeffFileKind::kUnknown;
    }
    bool Faulty() const { return Imported() ? !imported.ok : load.Faulty(); }
    int Count() const { return Imported() ? imported.ValueCount() : load.count; }
};

// Reads text of any kind into the record. The coefficient file as ReadCoeffTextInto; the other
// kinds, when they load, replace the taps (those past them cleared) or the sections (the IIR
// section count becomes theirs, the sections past them pass-through), with the multiplier 1,
// quantization off and, for the integers of .coe and .mif, B as the coefficient bit length.
// `bits` is the B of integer files that do not give their own. A file that does not load
// changes nothing.
CoefficientsRead ReadCoefficientsInto(std::string_view text, COlvexDoc& doc, bool iir,
                                      int& loadFormat, int bits);

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
// 167 and the system's `reason`; a file of none of the known kinds (warning 188) or with a
// malformed number (warning 168) is kAccepted with the warning in `notices`, the stop token in
// `text` and the values stored before it in `valuesRead`. A file of another kind that does not
// load (a malformed value, the other structure, too many values) has warning 168 with the path
// and the reason as its second line, and changes nothing.
struct LoadCoefficientsRequest {
    bool iir = false;
    std::string path;
    int bits = 0; // B for a .coe without its own; 0: the record's m_nQuantBits
};
struct LoadOutcome : Outcome {
    int valuesRead = 0;
    std::string text; // the token where the load stopped
    // What a file of another kind than the coefficient file gave, for a report line:
    // "4 sections, rows b0,b1,b2,a0,a1,a2", with "; B = 16 from its comment" for integers.
    std::string readAs;
};
LoadOutcome LoadCoefficients(COlvexDoc& doc, const LoadCoefficientsRequest& request,
                             int& loadFormat);

} // namespace commands
