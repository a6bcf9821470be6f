// Coefficients from the files other tools exchange, read by Load Coefficients next to the
// coefficient file of files/CoeffFile.h:
// - rows of numbers, separated by commas or blanks, '#' starting a comment: one value a row is
//   FIR taps (numpy's savetxt of a vector, the CSV export of a FIR), six a row are IIR
//   second-order sections b0, b1, b2, a0, a1, a2 in scipy's naming (numpy's savetxt of an sos
//   array, the CSV export of an IIR). scipy's b0..b2 are our a0..a2 and its a1, a2 our b1, b2:
//   both denominators are a0 + a1 z^-1 + a2 z^-2 with a0 = 1, so no sign changes; a row whose
//   a0 is not 1 is divided by it;
// - the older CSV export with its header row ("index,value,..." or "section,a0,a1,a2,b1,b2,...");
// - JSON: "structure" "fir" with "numerator" (or the older "coefficients"), "iir" with "sos"
//   rows, or "sections" of {"numerator", "denominator"} or of {"a0", ..., "b2"};
// - .coe: a FIR core's "radix"/"coefdata" file, or a memory initialisation file
//   ("memory_initialization_radix"/"memory_initialization_vector");
// - .mif: WIDTH, DEPTH, ADDRESS_RADIX, DATA_RADIX and CONTENT BEGIN ... END.
// The .coe and .mif files hold the integers of the generated hardware at scale 2^(B-1): FIR
// taps, or per IIR section a0, a1, a2, -b1, -b2 (the negated denominator, as the hardware's
// literals hold it). B comes from the file (a comment "B = 16", the WIDTH of a .mif) or else from
// the caller's bit length. A file that names b1, b2 without the minus ("a2, b1") holds them
// with their stored signs, as older exports of this program wrote them.
//
// A file that says which structure it holds (six values a row, a "structure" key, a comment
// line starting "FIR" or "IIR", the FIR core's "coefdata") is refused for the other one, with
// the structure that reads it. Every refusal names the line, value or key and the reason. The
// reader works on bytes in memory and never allocates by a count the file states.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dsp/FilterCoefficients.h"

namespace files {

enum class CoeffFileKind {
    kCoeffFile, // the "Data is ..." header of files/CoeffFile.h
    kColumns,   // rows of numbers: one a row (FIR taps) or six (second-order sections)
    kCsvTable,  // the older CSV export, with its header row
    kJson,
    kCoe,
    kMif,
    kUnknown, // none of them: the coefficient file reader's missing header
};

// Which reader a file's text goes to, from its first words. A UTF-8 byte order mark before
// them is passed over.
CoeffFileKind DetectCoeffFileKind(std::string_view text);

// The names of the JSON keys the reader takes (and the JSON export writes).
struct CoeffJsonKeys {
    static constexpr const char* kStructure = "structure"; // "fir" or "iir"
    static constexpr const char* kFir = "fir";
    static constexpr const char* kIir = "iir";
    static constexpr const char* kNumerator = "numerator";
    static constexpr const char* kDenominator = "denominator";
    static constexpr const char* kSos = "sos";                   // rows b0, b1, b2, a0, a1, a2
    static constexpr const char* kSections = "sections";         // objects, per section
    static constexpr const char* kCoefficients = "coefficients"; // the older FIR key
    static constexpr const char* kFormat = "format";
    // The older per-section keys, in section order.
    static constexpr const char* kSectionFields[dsp::kSectionFields] = {"a0", "a1", "a2", "b1",
                                                                        "b2"};
};

// JSON nested deeper than this is refused before it is parsed.
constexpr int kCoeffJsonMaxNesting = 16;
// Sections an IIR load takes at most.
constexpr int kMaxIirFileSections = dsp::kCascadeSections;

struct ImportedCoefficients {
    bool ok = false;
    // Why not, when !ok: "line 4: 'x1' is not a number", "holds 9 sections; an IIR filter takes
    // at most 8", "holds second-order sections (six values a row); choose the IIR structure to
    // load it". No path: the caller puts it first.
    std::string problem;
    CoeffFileKind kind = CoeffFileKind::kUnknown;
    // What was read, for a report line: "4 second-order sections from rows of six values".
    std::string description;
    bool iir = false;
    std::vector<double> taps;           // FIR
    std::vector<dsp::Section> sections; // IIR: a0, a1, a2, b1, b2 with their stored signs
    // Integer files: the B their integers were read at, and where it came from ("its comment",
    // "its WIDTH", "the coefficient bit length"); 0 and empty for real values.
    int bits = 0;
    std::string bitsFrom;

    int ValueCount() const {
        return static_cast<int>(iir ? sections.size() * dsp::kSectionFields : taps.size());
    }
};

// Reads the text of a file of any kind but kCoeffFile and kUnknown (those give a refusal here).
// `iir` is the structure chosen; `bits` the B for integer files that do not give theirs.
ImportedCoefficients ImportCoefficients(std::string_view text, bool iir, int bits);

// The refusal as a message line with the path first: "PATH holds 9 sections; ..." or
// "PATH: line 4: 'x' is not a finite number".
std::string DescribeImportProblem(const std::string& path, const ImportedCoefficients& imported);

} // namespace files
