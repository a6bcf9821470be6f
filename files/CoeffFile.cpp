// The coefficient file writer and reader.
//
// Numbers are written and read without the C locale's help (std::to_chars, std::from_chars):
// the window program runs under the user's locale, and a file written with a decimal comma
// could not be read back by other tools, nor by this reader.
#include "files/CoeffFile.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "coeffs/CoeffReport.h"
#include "dsp/NumberForms.h"
#include "files/InputFile.h"

namespace files {

namespace {

constexpr std::string_view kLineEnd = "\n";
constexpr int kHeaderTokens = 7; // "Data" "is" format ":" "1.0" "=>" scale
constexpr int kFormatToken = 2;  // the format word; its first letter names the format
constexpr int kScaleToken = 6;   // the number that stands for 1.0
constexpr size_t kShownTokenLength = 40;
constexpr int kRealWidth = 24; // "%24.21f"
constexpr int kRealDecimals = 21;
// 2^31 has no signed 32-bit pattern: its binary and hex forms read back as -2^31.
constexpr double kTwoTo31 = 2147483648.0;

int FormatOf(int format) {
    return format >= coeffs::kFormatReal && format <= coeffs::kFormatHex ? format
                                                                         : coeffs::kFormatReal;
}

// ---- Writer -------------------------------------------------------------------------------------

// "%24.21f" of x.
std::string RealText(double x) {
    std::array<char, 512> digits{};
    const std::to_chars_result r = std::to_chars(digits.data(), digits.data() + digits.size(), x,
                                                 std::chars_format::fixed, kRealDecimals);
    std::string text(digits.data(), r.ec == std::errc{} ? r.ptr : digits.data());
    if (text.size() < kRealWidth) {
        text.insert(0, kRealWidth - text.size(), ' ');
    }
    return text;
}

std::string HeaderLine(int format, int bits) {
    const int one = coeffs::ToFixedInteger(1.0, bits); // at B = 32 the pattern of 2^31
    switch (format) {
    case coeffs::kFormatBin:
        return "Data is Binary : 1.0 => " + coeffs::FormatBinary32(one);
    case coeffs::kFormatDec: {
        char line[64];
        std::snprintf(line, sizeof line, "Data is Decimal : 1.0 => %10lld",
                      static_cast<long long>(coeffs::QuantScale(bits)));
        return line;
    }
    case coeffs::kFormatHex:
        return "Data is Hex : 1.0 => " + coeffs::FormatHex(one);
    default:
        return "Data is Real : 1.0 => 1.0";
    }
}

// One value: its integer (the low 32 bits at scale 2^(B-1)) or its real value.
std::string ValueLine(int format, double value, std::int64_t integer) {
    const int fixed = static_cast<int>(integer);
    switch (format) {
    case coeffs::kFormatBin:
        return coeffs::FormatBinary32(fixed);
    case coeffs::kFormatDec: {
        char line[32];
        std::snprintf(line, sizeof line, "%12d", fixed);
        return line;
    }
    case coeffs::kFormatHex:
        return coeffs::FormatHex(fixed);
    default:
        return RealText(value);
    }
}

// ---- Reader -------------------------------------------------------------------------------------

// Whitespace as the C library's "%s" sees it; a NUL byte is part of a token.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The file as a stream of whitespace-separated tokens, each a view into the text.
class Tokens {
public:
    explicit Tokens(std::string_view text) : m_text(text) {}
    // The next token, or an empty view at the end of the text.
    std::string_view Next() {
        while (m_pos < m_text.size() && IsSpace(m_text[m_pos])) {
            ++m_pos;
        }
        const size_t start = m_pos;
        while (m_pos < m_text.size() && !IsSpace(m_text[m_pos])) {
            ++m_pos;
        }
        return m_text.substr(start, m_pos - start);
    }

private:
    std::string_view m_text;
    size_t m_pos = 0;
};

bool StartsWithData(std::string_view token) {
    static constexpr std::string_view kData = "data";
    if (token.size() < kData.size()) {
        return false;
    }
    for (size_t i = 0; i < kData.size(); ++i) {
        const char c = token[i];
        if ((c | 0x20) != kData[i]) {
            return false;
        }
    }
    return true;
}

// The format a header's format word names, or -1 for an unknown first letter.
int FormatFromWord(std::string_view word) {
    if (word.empty()) {
        return -1;
    }
    switch (word[0]) {
    case 'R':
    case 'r':
        return coeffs::kFormatReal;
    case 'B':
    case 'b':
        return coeffs::kFormatBin;
    case 'D':
    case 'd':
        return coeffs::kFormatDec;
    case 'H':
    case 'h':
        return coeffs::kFormatHex;
    default:
        return -1;
    }
}

// The whole token as one finite decimal number ("%f" syntax without hex floats), or false.
bool ParseFiniteDouble(std::string_view token, double& value) {
    if (token.size() > 1 && token[0] == '+' && token[1] != '-' && token[1] != '+') {
        token.remove_prefix(1);
    }
    const char* const end = token.data() + token.size();
    const std::from_chars_result r = std::from_chars(token.data(), end, value);
    return r.ec == std::errc{} && r.ptr == end && std::isfinite(value);
}

// The whole token as one finite double, rounded once from its decimal text. A value too small
// for a double reads as 0 (of its sign); one too large for it is not a number.
bool ParseValue(std::string_view token, double& value) {
    if (ParseFiniteDouble(token, value)) {
        return true;
    }
    std::string_view digits = token;
    if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-' && digits[1] != '+') {
        digits.remove_prefix(1);
    }
    const char* const end = digits.data() + digits.size();
    const std::from_chars_result r = std::from_chars(digits.data(), end, value);
    if (r.ec != std::errc::result_out_of_range || r.ptr != end) {
        return false;
    }
    // Out of range both ways: the text's decimal exponent tells underflow from overflow.
    const size_t e = digits.find_first_of("eE");
    int exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view power = digits.substr(e + 1);
        if (!power.empty() && power[0] == '+') {
            power.remove_prefix(1);
        }
        if (std::from_chars(power.data(), power.data() + power.size(), exponent).ec !=
            std::errc{}) {
            exponent = power.starts_with('-') ? INT32_MIN : INT32_MAX;
        }
    }
    // Places of the mantissa before its point, less the zeros after a point that leads.
    const std::string_view mantissa = digits.substr(0, e);
    const size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    int magnitude = 0;
    const size_t firstDigit = whole.find_first_of("123456789");
    if (firstDigit != std::string_view::npos) {
        magnitude = static_cast<int>(whole.size() - firstDigit);
    } else if (point != std::string_view::npos) {
        const std::string_view fraction = mantissa.substr(point + 1);
        const size_t nonZero = fraction.find_first_of("123456789");
        magnitude = -static_cast<int>(nonZero == std::string_view::npos ? 0 : nonZero);
    }
    if (static_cast<long long>(exponent) + magnitude > 0) {
        return false;
    }
    value = digits.starts_with('-') ? -0.0 : 0.0;
    return true;
}

struct FileHeader {
    int format = coeffs::kFormatReal;
    double factor = 1.0; // 1 / scale
    bool complete = true;
    bool badScale = false;
};

// The factor from the scale text. A zero scale reads as 1.0 in every format; a scale that is
// not a finite number reads as 1.0 and is reported.
double FactorFromScale(std::string_view text, int format, bool& parseError, bool& badScale) {
    double scale = 0.0;
    switch (format) {
    case coeffs::kFormatBin:
        scale = coeffs::ParseBinary(text, parseError);
        break;
    case coeffs::kFormatHex:
        scale = coeffs::ParseHex(text, parseError);
        break;
    default:
        if (!ParseFiniteDouble(text, scale)) {
            badScale = true;
            return 1.0;
        }
        break;
    }
    if ((format == coeffs::kFormatBin || format == coeffs::kFormatHex) && scale == -kTwoTo31) {
        scale = kTwoTo31; // the header of a 32-bit design
    }
    return scale == 0.0 ? 1.0 : 1.0 / scale;
}

FileHeader ReadHeader(std::string_view text, bool& parseError, int& loadFormat) {
    Tokens tokens(text);
    std::array<std::string_view, kHeaderTokens> words;
    int read = 0;
    for (; read < kHeaderTokens; ++read) {
        words[read] = tokens.Next();
        if (words[read].empty()) {
            break;
        }
    }
    FileHeader header;
    const int named = read > kFormatToken ? FormatFromWord(words[kFormatToken]) : -1;
    if (named >= 0) {
        loadFormat = named;
    }
    header.format = FormatOf(loadFormat);
    header.complete = read == kHeaderTokens;
    if (header.complete) {
        header.factor =
            FactorFromScale(words[kScaleToken], header.format, parseError, header.badScale);
    }
    return header;
}

// Whether a binary or hex token is its digits and the terminator and nothing else: the number
// forms skip what is not a digit, so stray characters (a NUL byte, letters after the "h") would
// otherwise read as a number without a word.
bool IsWholeForm(std::string_view token, bool hex) {
    const char terminator = hex ? 'h' : 'b';
    if (token.size() < 2 || token.back() != terminator) {
        return false;
    }
    for (size_t i = 0; i + 1 < token.size(); ++i) {
        const char c = token[i];
        const bool digit =
            hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : (c == '0' || c == '1');
        if (!digit) {
            return false;
        }
    }
    return true;
}

// Skips the header's tokens, so the values follow.
Tokens AfterHeader(std::string_view text) {
    Tokens tokens(text);
    for (int i = 0; i < kHeaderTokens; ++i) {
        tokens.Next();
    }
    return tokens;
}

} // namespace

bool ParseCoeffNumber(std::string_view token, double& value) {
    return ParseValue(token, value);
}

std::string CoeffFileText(const dsp::FilterCoefficients& c, int format) {
    format = FormatOf(format);
    std::string text = HeaderLine(format, c.bits);
    text += kLineEnd;
    if (c.iir) {
        for (size_t s = 0; s < c.sections.size(); ++s) {
            for (size_t f = 0; f < dsp::kSectionFields; ++f) {
                text += ValueLine(format, c.sections[s][f], c.sectionIntegers[s][f]);
                text += kLineEnd;
            }
        }
        return text;
    }
    for (size_t i = 0; i < c.taps.size(); ++i) {
        text += ValueLine(format, c.taps[i], c.tapIntegers[i]);
        text += kLineEnd;
    }
    return text;
}

CoeffLoad ParseCoeffText(std::string_view text, bool iir, int& loadFormat) {
    CoeffLoad load;
    load.takes = iir ? kIirFileValues : kMaxFirFileValues;
    if (!StartsWithData(Tokens(text).Next())) {
        return load;
    }
    load.headerFound = true;
    bool parseError = false;
    const FileHeader header = ReadHeader(text, parseError, loadFormat);
    load.invalidFormat = !header.complete || header.badScale;
    Tokens tokens = AfterHeader(text);
    // Every value is read, past what the structure takes too, so that a file that does not fit
    // is told by how much.
    for (;;) {
        const std::string_view token = tokens.Next();
        if (token.empty()) {
            break;
        }
        // Integers of the binary, hex and decimal forms are exact in a double, and so is their
        // product with a power-of-two scale: a file written at any bit length reads back as it
        // was written.
        double v = 0.0;
        if (header.format == coeffs::kFormatBin || header.format == coeffs::kFormatHex) {
            const bool hex = header.format == coeffs::kFormatHex;
            v = hex ? coeffs::ParseHex(token, parseError) : coeffs::ParseBinary(token, parseError);
            parseError = parseError || !IsWholeForm(token, hex);
        } else if (!ParseValue(token, v)) {
            // Reading stops at a token that is not a number.
            load.badToken = std::string(token.substr(0, kShownTokenLength));
            load.invalidFormat = true;
            break;
        }
        const double value = v * header.factor;
        if (!std::isfinite(value)) {
            // A tiny scale can carry a large value past the double range.
            load.badToken = std::string(token.substr(0, kShownTokenLength));
            load.invalidFormat = true;
            break;
        }
        ++load.held;
        if (load.count < load.takes) {
            load.values.push_back(value);
            ++load.count;
        }
    }
    load.invalidFormat = load.invalidFormat || parseError;
    return load;
}

CoeffFileBytes ReadCoeffFileBytes(const std::string& path) {
    InputFile input = ReadInputFile(path);
    CoeffFileBytes file;
    file.ok = input.ok;
    file.text = std::move(input.text);
    file.reason = std::move(input.reason);
    return file;
}

CoeffLoad ParseCoeffFile(const CoeffFileBytes& file, bool iir, int& loadFormat) {
    return ParseCoeffText(file.text, iir, loadFormat);
}

std::string DescribeCoeffFit(const std::string& path, const CoeffLoad& load, bool iir) {
    if (load.NoValues()) {
        return QuotedPath(path) + " holds no values";
    }
    if (!load.TooMany()) {
        return std::string();
    }
    return QuotedPath(path) + " holds " + std::to_string(load.held) + " values; " +
           (iir ? "an IIR filter takes " : "a FIR filter takes at most ") +
           std::to_string(load.takes);
}

} // namespace files
