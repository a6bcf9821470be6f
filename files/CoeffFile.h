// Coefficient files: a header line that names the number format and the number standing for
// 1.0, then one value per line. Save Coefficients writes them from the current design; Load
// Coefficients reads them back into the document. The file does not say FIR or IIR: the form's
// structure choice decides both ways.
//
// The reader meets files written by hand and by other programs, so it works on the bytes in
// memory, never reads more than kMaxCoeffFileBytes, and treats every token of any length as a
// view into that buffer: no token can overrun anything and no input can make it loop.
#pragma once

#include <string>
#include <string_view>

class COlvexDoc;

namespace files {

// Values a load stores at most.
constexpr int kMaxFirFileValues = 399;
constexpr int kIirFileValues = 40; // 8 sections of a0, a1, a2, b1, b2
// Taps a load without a header leaves in m_nTaps.
constexpr int kNoHeaderTaps = 10;
// A coefficient file is a few kilobytes; reading stops after this many bytes, so a device or a
// huge file cannot stall the program.
constexpr size_t kMaxCoeffFileBytes = size_t{16} << 20;

// ---- Writer -------------------------------------------------------------------------------------

// The whole file in the document's m_nCoeffFormat, every line ended by "\n". FIR: the listed
// taps, each multiplied by m_nCoeffMultiplier before it is quantized or converted; IIR: all 40
// section coefficients with their stored signs.
std::string CoeffFileText(const COlvexDoc& doc, bool iir);

// ---- Reader -------------------------------------------------------------------------------------

// What a load found, for the command to report.
struct CoeffLoad {
    bool headerFound = false; // false: the document was reset (warning 188)
    int count = 0;            // values stored
    // Warning 168: a malformed binary or hex number (read as 0), a value or scale that is not a
    // finite number, a header cut short, or a file longer than kMaxCoeffFileBytes.
    bool invalidFormat = false;
    // The token where reading stopped because it was not a number (at most 40 characters of
    // it), empty when reading ran to the end or the cap.
    std::string badToken;
};

// Reads the text of a coefficient file into the document. loadFormat is the view's
// m_nLoadFormat: the format of the last header read, kept when a header names no known format.
// The document's m_bParseError is cleared first and is clear again afterwards (what it found is
// in the result), so a flag left by an earlier load is never reported against this file.
CoeffLoad ReadCoeffText(std::string_view text, COlvexDoc& doc, bool iir, int& loadFormat);

// The bytes of a coefficient file, at most kMaxCoeffFileBytes (truncated tells whether there
// was more). ok is false, with the system's reason, when the path cannot be opened or read or
// names a directory. Opening never waits for a writer of a FIFO.
struct CoeffFileBytes {
    bool ok = false;
    bool truncated = false;
    std::string text;
    std::string reason;
};
CoeffFileBytes ReadCoeffFileBytes(const std::string& path);

// ReadCoeffText on the bytes of a file; a file cut at kMaxCoeffFileBytes is also reported.
CoeffLoad ReadCoeffFile(const CoeffFileBytes& file, COlvexDoc& doc, bool iir, int& loadFormat);

} // namespace files
