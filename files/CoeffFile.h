// Coefficient files: a header line that names the number format and the number standing for
// 1.0, then one value per line. Save Coefficients writes them from the current design; Load
// Coefficients reads them back into the document. The file does not say FIR or IIR: the form's
// structure choice decides both ways.
//
// The reader meets files written by hand and by other programs, so it works on the bytes in
// memory, read through the bounded reader, and treats every token of any length as a
// view into that buffer: no token can overrun anything and no input can make it loop.
//
// A file holds the coefficients that leave the design, K * h for FIR; so a load stores them as
// the taps with the multiplier 1, and a saved and loaded design keeps its numbers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dsp/FilterCoefficients.h"

namespace files {

// Values a load stores at most.
constexpr int kMaxFirFileValues = 399;
constexpr int kIirFileValues = 40; // 8 sections of a0, a1, a2, b1, b2

// ---- Writer -------------------------------------------------------------------------------------

// The whole file of c in `format` (0 Real, 1 Bin, 2 Dec, 3 Hex; an unknown one is Real), every
// line ended by "\n". FIR: the N' taps K * h; IIR: all 40 section coefficients with their
// stored signs. Real lines are the values (truncated while quantization is on), the others
// their integers at scale 2^(B-1).
std::string CoeffFileText(const dsp::FilterCoefficients& c, int format);

// ---- Reader -------------------------------------------------------------------------------------

// The whole token as one finite double, read without the locale (a '.' is the decimal point)
// and rounded once from its decimal text; a leading '+' is allowed. A value too small for a
// double reads as 0 of its sign; one too large for it, "nan", "inf" and anything else is not a
// number. The other coefficient formats (files/CoeffImport.h) read their numbers with it too.
bool ParseCoeffNumber(std::string_view token, double& value);

// What a load found, for the command to report.
struct CoeffLoad {
    bool headerFound = false; // false: warning 188, the load changes nothing
    int count = 0;            // values read, at most `takes`
    // Warning 168: a malformed binary or hex number (stray characters included), a value or
    // scale that is not a finite number, or a header cut short.
    bool invalidFormat = false;
    // The token where reading stopped because it was not a number (at most 40 characters of
    // it), empty when reading ran to the end.
    std::string badToken;
    // The values read, `count` of them: FIR taps in order, or IIR coefficients a0, a1, a2, b1,
    // b2 of section 0, then section 1 and so on.
    std::vector<double> values;
    // How many values the file holds (all of them, past `takes` too) and how many the structure
    // takes. A file with a header and no values, or with more than the structure takes, does
    // not fit: nothing of it is used.
    int held = 0;
    int takes = 0;
    bool NoValues() const { return headerFound && !invalidFormat && held == 0; }
    bool TooMany() const { return held > takes; }
    // Any of the reader's warnings: a load that has one changes nothing.
    bool Faulty() const { return !headerFound || invalidFormat || NoValues() || TooMany(); }
};

// Reads the text of a coefficient file. loadFormat is the view's m_nLoadFormat: the format of
// the last header read, kept when a header names no known format.
CoeffLoad ParseCoeffText(std::string_view text, bool iir, int& loadFormat);

// The bytes of a coefficient file through the bounded reader (files/InputFile.h). ok is false,
// with the reason, when the path cannot be opened or read, names a directory, a device, a FIFO
// without a writer, or a file over the cap.
struct CoeffFileBytes {
    bool ok = false;
    std::string text;
    std::string reason;
};
CoeffFileBytes ReadCoeffFileBytes(const std::string& path);

// ParseCoeffText on the bytes of a file.
CoeffLoad ParseCoeffFile(const CoeffFileBytes& file, bool iir, int& loadFormat);

// The message of a load that does not fit the structure, empty when it fits:
// "PATH holds no values" or "PATH holds N values; a FIR filter takes at most 399" (an IIR
// filter: "takes 40").
std::string DescribeCoeffFit(const std::string& path, const CoeffLoad& load, bool iir);

} // namespace files
