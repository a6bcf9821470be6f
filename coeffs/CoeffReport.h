// The coefficient report: the header line that says what 1.0 stands for, then one line per FIR
// tap or per IIR section coefficient, in the document's format. The output box (with "\r\n"
// line ends) and vantrel-cli --report (with "\n") print the same text from these functions.
//
// The quantization settings of the Coefficients dialog are checked and stored here too, so the
// window and the batch command line accept and refuse exactly the same settings.
#pragma once

#include <string>
#include <string_view>

#include "app/DesignRules.h"

class COlvexDoc;

namespace coeffs {

// Report formats, as m_nCoeffFormat holds them.
enum CoeffFormat { kFormatReal = 0, kFormatBin = 1, kFormatDec = 2, kFormatHex = 3 };

// Line ends of the output box and of text written for a terminal or a file.
inline constexpr std::string_view kBoxLineEnd = "\r\n";
inline constexpr std::string_view kTextLineEnd = "\n";

// The prompt that replaces the output box after a design or a load.
inline constexpr std::string_view kCoeffPrompt = "Click 'Coefficients' to get coefficients!!";

// The header line, without its line end. At B = 32 the value 2^31 has no signed 32-bit form:
// the Dec header shows 2147483648 and the Bin and Hex headers show the pattern of 2^31 marked
// "(unsigned)".
std::string ReportHeader(const COlvexDoc& doc);

// The whole report, every line (the last included) ended by lineEnd.
std::string FirReportText(const COlvexDoc& doc, std::string_view lineEnd);
std::string IirReportText(const COlvexDoc& doc, std::string_view lineEnd);

// The number of tap lines a FIR report lists: m_nTaps + m_bEvenTaps, within the tap array.
int ListedTapCount(const COlvexDoc& doc);

// What OK in the Coefficients dialog does with quantize flag q, bit length b and format f:
// with q set the bit length must keep the largest coefficient within 32 bits (and, for IIR,
// within 24 bits); with q clear only Real is allowed. Stores the three settings and returns
// true, or stores nothing, fills the warning (templates 136, 169, 137) and returns false.
bool StoreCoeffSettings(COlvexDoc& doc, bool iir, int quantize, int bits, int format,
                        design::Warning& warning);

} // namespace coeffs
