// The coefficient report.
#include "coeffs/CoeffReport.h"

#include <cstdint>
#include <cstdio>

#include "dsp/NumberForms.h"

namespace coeffs {

namespace {

constexpr int kLineBufferSize = 96; // longest integer line: "h[%3d] =" and a 33-character text
// A real line: a prefix and "%13.9f" of any double (up to 309 integer digits).
constexpr int kRealLineBufferSize = 384;

// The value 1.0 stands for at B bits, 2^(B-1), as a 64-bit integer so that B = 32 is shown as
// what it is.
std::int64_t OneAsInteger(int bits) {
    return static_cast<std::int64_t>(QuantScale(bits));
}

// A 32-bit integer form (binary or hex) of 1.0; a scale beyond the signed range is the same
// pattern read as unsigned, and the header says so.
std::string OnePattern(int bits, bool hex) {
    const int pattern = ToFixedInteger(1.0, bits);
    std::string text = hex ? FormatHex(pattern) : FormatBinary32(pattern);
    if (OneAsInteger(bits) > INT32_MAX) {
        text += " (unsigned)";
    }
    return text;
}

// The integer forms of one coefficient: "%12d", or a binary or hex text, after the given
// prefix ("h[  3] =" or "a0 = ").
std::string IntegerLine(int format, const char* prefix, std::int64_t integer) {
    const int fixed = static_cast<int>(integer); // the low 32 bits, as ToFixedInteger keeps them
    char line[kLineBufferSize];
    switch (format) {
    case kFormatDec:
        std::snprintf(line, sizeof line, "%s%12d", prefix, fixed);
        return line;
    case kFormatBin:
        return prefix + FormatBinary32(fixed);
    default:
        return prefix + FormatHex(fixed);
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

int KnownFormat(int format) {
    return format >= kFormatReal && format <= kFormatHex ? format : kFormatReal;
}

std::string ReportHeader(int format, int bits) {
    char line[kLineBufferSize];
    switch (format) {
    case kFormatBin:
        return "Data is Binary : 1.0 => " + OnePattern(bits, false);
    case kFormatDec:
        std::snprintf(line, sizeof line, "Data is Decimal : 1.0 => %10lld",
                      static_cast<long long>(OneAsInteger(bits)));
        return line;
    case kFormatHex:
        return "Data is Hex : 1.0 => " + OnePattern(bits, true);
    default:
        return "Data is Real : 1.0 => 1.0";
    }
}

std::string FirReportText(const dsp::FilterCoefficients& c, int format, std::string_view lineEnd) {
    format = KnownFormat(format);
    std::string text;
    AppendLine(text, ReportHeader(format, c.bits), lineEnd);
    for (size_t j = 0; j < c.taps.size(); ++j) {
        char prefix[kLineBufferSize];
        std::snprintf(prefix, sizeof prefix, "h[%3d] =", static_cast<int>(j));
        AppendLine(text,
                   format == kFormatReal ? RealLine(prefix, c.taps[j])
                                         : IntegerLine(format, prefix, c.tapIntegers[j]),
                   lineEnd);
    }
    return text;
}

std::string IirReportText(const dsp::FilterCoefficients& c, int format, std::string_view lineEnd) {
    static const char* const kRealPrefixes[dsp::kSectionFields] = {
        "a0 =", "a1 =", "a2 =", "b1 =", "b2 ="};
    static const char* const kTextPrefixes[dsp::kSectionFields] = {
        "a0 = ", "a1 = ", "a2 = ", "b1 = ", "b2 = "};
    format = KnownFormat(format);
    std::string text;
    AppendLine(text, ReportHeader(format, c.bits), lineEnd);
    for (size_t s = 0; s < c.sections.size(); ++s) {
        for (int f = 0; f < dsp::kSectionFields; ++f) {
            const size_t field = static_cast<size_t>(f);
            if (format == kFormatReal) {
                AppendLine(text, RealLine(kRealPrefixes[f], c.sections[s][field]), lineEnd);
            } else {
                const char* prefix = format == kFormatDec ? kRealPrefixes[f] : kTextPrefixes[f];
                AppendLine(text, IntegerLine(format, prefix, c.sectionIntegers[s][field]), lineEnd);
            }
        }
    }
    return text;
}

} // namespace coeffs
