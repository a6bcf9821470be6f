// The coefficient report: the header line that says what 1.0 stands for, then one line per FIR
// tap or per IIR section coefficient, in the report's format. The output box (with "\r\n"
// line ends) and vantrel-cli --report (with "\n") print the same text from these functions.
//
// Every line is written from the coefficients that leave the design: the Real list from their
// values (K * h, truncated while quantization is on), the integer lists from their integers at
// scale 2^(B-1), so the Bin, Dec and Hex lists hold what the VHDL and the files hold.
#pragma once

#include <string>
#include <string_view>

#include "dsp/FilterCoefficients.h"

namespace coeffs {

// Report formats, as m_nCoeffFormat holds them.
enum CoeffFormat { kFormatReal = 0, kFormatBin = 1, kFormatDec = 2, kFormatHex = 3 };

// Line ends of the output box and of text written for a terminal or a file.
inline constexpr std::string_view kBoxLineEnd = "\r\n";
inline constexpr std::string_view kTextLineEnd = "\n";

// The prompt that replaces the output box after a design or a load.
inline constexpr std::string_view kCoeffPrompt = "Click 'Coefficients' to get coefficients!!";

// Template of the warning that Bin, Dec and Hex need quantization on.
constexpr int kIddWarnFormatNeedsQuantize = 137;

// A known format, else Real.
int KnownFormat(int format);

// The header line of `format` at B = bits, without its line end. At B = 32 the value 2^31 has
// no signed 32-bit form: the Dec header shows 2147483648 and the Bin and Hex headers show the
// pattern of 2^31 marked "(unsigned)".
std::string ReportHeader(int format, int bits);

// The whole report of c in `format` (an unknown one reports Real), every line (the last
// included) ended by lineEnd. FIR: the N' taps; IIR: all eight sections.
std::string FirReportText(const dsp::FilterCoefficients& c, int format, std::string_view lineEnd);
std::string IirReportText(const dsp::FilterCoefficients& c, int format, std::string_view lineEnd);

} // namespace coeffs
