// The coefficient report and the quantization settings of the Coefficients dialog.
#include "coeffs/CoeffReport.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "app/OlvexDoc.h"
#include "coeffs/QuantRules.h"

namespace coeffs {

namespace {

constexpr int kLineBufferSize = 96; // longest integer line: "h[%3d] =" and a 33-character text
// A real line: a prefix and "%13.9f" of any double (up to 309 integer digits).
constexpr int kRealLineBufferSize = 384;
constexpr int kWarnFormatNeedsQuantize = 137;
constexpr int kIirSectionFields = 5; // a0, a1, a2, b1, b2

bool IsFormat(int format) {
    return format >= kFormatReal && format <= kFormatHex;
}

// The value 1.0 stands for at the document's bit length, 2^(B-1), as a 64-bit integer so that
// B = 32 is shown as what it is.
std::int64_t OneAsInteger(const COlvexDoc& doc) {
    return static_cast<std::int64_t>(doc.QuantScale());
}

// A 32-bit integer form (binary or hex) of 1.0; a scale beyond the signed range is the same
// pattern read as unsigned, and the header says so.
std::string OnePattern(const COlvexDoc& doc, bool hex) {
    const std::int64_t one = OneAsInteger(doc);
    const int pattern = doc.ToFixedInteger(1.0);
    std::string text = hex ? doc.FormatHex(pattern) : doc.FormatBinary32(pattern);
    if (one > INT32_MAX) {
        text += " (unsigned)";
    }
    return text;
}

// The integer forms of one coefficient: "%12d", or a binary or hex text, after the given
// prefix ("h[  3] =" or "a0 = ").
std::string IntegerLine(const COlvexDoc& doc, const char* prefix, double value) {
    const int fixed = doc.ToFixedInteger(value);
    char line[kLineBufferSize];
    switch (doc.m_nCoeffFormat) {
    case kFormatDec:
        std::snprintf(line, sizeof line, "%s%12d", prefix, fixed);
        return line;
    case kFormatBin:
        return prefix + doc.FormatBinary32(fixed);
    default:
        return prefix + doc.FormatHex(fixed);
    }
}

std::string RealLine(const char* prefix, double value) {
    char line[kRealLineBufferSize];
    std::snprintf(line, sizeof line, "%s%13.9f", prefix, value);
    return line;
}

void AppendLine(std::string& text, const std::string& line, std::string_view lineEnd) {
    text += line;
    text += lineEnd;
}

} // namespace

std::string ReportHeader(const COlvexDoc& doc) {
    char line[kLineBufferSize];
    switch (doc.m_nCoeffFormat) {
    case kFormatBin:
        return "Data is Binary : 1.0 => " + OnePattern(doc, false);
    case kFormatDec:
        std::snprintf(line, sizeof line, "Data is Decimal : 1.0 => %10lld",
                      static_cast<long long>(OneAsInteger(doc)));
        return line;
    case kFormatHex:
        return "Data is Hex : 1.0 => " + OnePattern(doc, true);
    default:
        return "Data is Real : 1.0 => 1.0";
    }
}

int ListedTapCount(const COlvexDoc& doc) {
    return std::clamp(doc.m_nTaps + (doc.m_bEvenTaps != 0 ? 1 : 0), 0, COlvexDoc::kMaxFirTaps);
}

std::string FirReportText(const COlvexDoc& doc, std::string_view lineEnd) {
    std::string text;
    AppendLine(text, ReportHeader(doc), lineEnd);
    const int listed = ListedTapCount(doc);
    for (int j = 0; j < listed; ++j) {
        char prefix[kLineBufferSize];
        std::snprintf(prefix, sizeof prefix, "h[%3d] =", j);
        const double h = doc.m_aFirCoeffs[j];
        if (doc.m_nCoeffFormat == kFormatReal || !IsFormat(doc.m_nCoeffFormat)) {
            // The Real list shows the taps as the analyses use them: scaled by the multiplier.
            const double scaled = doc.m_nCoeffMultiplier * h;
            AppendLine(text, RealLine(prefix, doc.m_bQuantize == 1 ? doc.Quantize(scaled) : scaled),
                       lineEnd);
        } else {
            // The integer lists show the unscaled taps, as VHDL and coefficient files use them.
            AppendLine(text, IntegerLine(doc, prefix, h), lineEnd);
        }
    }
    return text;
}

std::string IirReportText(const COlvexDoc& doc, std::string_view lineEnd) {
    static const char* const kRealPrefixes[kIirSectionFields] = {
        "a0 =", "a1 =", "a2 =", "b1 =", "b2 ="};
    static const char* const kTextPrefixes[kIirSectionFields] = {
        "a0 = ", "a1 = ", "a2 = ", "b1 = ", "b2 = "};
    std::string text;
    AppendLine(text, ReportHeader(doc), lineEnd);
    for (int k = 0; k < COlvexDoc::kIirSections; ++k) {
        const double values[kIirSectionFields] = {doc.m_aA0[k], doc.m_aA1[k], doc.m_aA2[k],
                                                  doc.m_aB1[k], doc.m_aB2[k]};
        for (int c = 0; c < kIirSectionFields; ++c) {
            const double v = values[c];
            if (doc.m_nCoeffFormat == kFormatReal || !IsFormat(doc.m_nCoeffFormat)) {
                AppendLine(text,
                           RealLine(kRealPrefixes[c], doc.m_bQuantize == 1 ? doc.Quantize(v) : v),
                           lineEnd);
            } else if (doc.m_nCoeffFormat == kFormatDec) {
                AppendLine(text, IntegerLine(doc, kRealPrefixes[c], v), lineEnd);
            } else {
                AppendLine(text, IntegerLine(doc, kTextPrefixes[c], v), lineEnd);
            }
        }
    }
    return text;
}

bool StoreCoeffSettings(COlvexDoc& doc, bool iir, int quantize, int bits, int format,
                        design::Warning& warning) {
    if (quantize != 0) {
        if (!coeffs::CheckQuantBits(doc, iir, bits, warning)) {
            return false;
        }
        doc.m_nQuantBits = bits;
        doc.m_bQuantize = 1;
        doc.m_nCoeffFormat = IsFormat(format) ? format : kFormatReal;
        return true;
    }
    if (format != kFormatReal) {
        warning = {
            "Warning!", {"Enable \"Quantize\" for Bin, Dec or Hex!!"}, kWarnFormatNeedsQuantize};
        return false;
    }
    doc.m_nQuantBits = bits;
    doc.m_bQuantize = 0;
    doc.m_nCoeffFormat = kFormatReal;
    return true;
}

} // namespace coeffs
