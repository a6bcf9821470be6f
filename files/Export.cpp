// The export writers. Every format starts from the same two lists: the real values (the B-bit
// values while quantization is on) and their integers, so that no two formats can differ.
#include "files/Export.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

namespace files {

namespace {

constexpr const char* kTypeWords[] = {"lpf", "hpf", "brf", "bpf"};
constexpr const char* kTypeNames[] = {"low-pass", "high-pass", "band-reject", "band-pass"};
constexpr const char* kSectionFieldNames[dsp::kSectionFields] = {"a0", "a1", "a2", "b1", "b2"};
constexpr int kBiquadFields = 5;     // b0, b1, b2, a1, a2
constexpr int kQ15FractionBits = 15; // the library's 1.15 numbers
constexpr int kQ31FractionBits = 31; // and 1.31 numbers
constexpr int kMinQ15FirTaps = 4;    // arm_fir_init_q15 takes an even count of at least 4
constexpr int kMaxPostShift = 15;
constexpr std::size_t kTapsPerLine =
    8; // values a line of a C array of taps    // far beyond any stable section's coefficients

struct FormatEntry {
    ExportFormat format;
    const char* word;
    const char* extension;
};
constexpr FormatEntry kFormats[] = {
    {ExportFormat::kCoe, "coe", ".coe"}, {ExportFormat::kMif, "mif", ".mif"},
    {ExportFormat::kCsv, "csv", ".csv"}, {ExportFormat::kJson, "json", ".json"},
    {ExportFormat::kCHeader, "c", ".h"},
};

const FormatEntry& Entry(ExportFormat format) {
    for (const FormatEntry& entry : kFormats) {
        if (entry.format == format) {
            return entry;
        }
    }
    return kFormats[0];
}

int TypeIndex(int filterType) {
    return std::clamp(filterType, 0, 3);
}

// The shortest decimal text that reads back as the same double.
std::string Number(double value) {
    char text[40];
    for (int digits = 15; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strtod(text, nullptr) == value) {
            break;
        }
    }
    return text;
}

std::string NumberList(const std::vector<double>& values, const char* separator) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        text += (i == 0 ? "" : separator) + Number(values[i]);
    }
    return text;
}

// trunc(value * 2^fractionBits), saturated to a (width)-bit two's-complement word.
std::int64_t FixedValue(double value, int fractionBits, int width) {
    const double scaled = std::trunc(std::ldexp(value, fractionBits));
    const double limit = std::ldexp(1.0, width - 1);
    if (!(scaled > -limit)) {
        return std::isnan(scaled) ? 0 : static_cast<std::int64_t>(-limit);
    }
    if (scaled >= limit) {
        return static_cast<std::int64_t>(limit) - 1;
    }
    return static_cast<std::int64_t>(scaled);
}

// The values an export lists, in file order, and their integers (as the VHDL literals: B bits
// for FIR taps, B + 2 for IIR coefficients, at scale 2^(B-1)).
struct ExportValues {
    std::vector<double> values;
    std::vector<std::int64_t> integers;
    int width = 16; // bits of one integer
    int perRow = 1; // values of one row: 1 tap, or a0 a1 a2 b1 b2 of a section
};

ExportValues ValuesOf(const dsp::FilterCoefficients& c) {
    ExportValues v;
    v.width = c.LiteralWidth();
    if (!c.iir) {
        v.values = c.taps;
    } else {
        v.perRow = dsp::kSectionFields;
        for (const dsp::Section& section : c.DesignedSections()) {
            v.values.insert(v.values.end(), section.begin(), section.end());
        }
    }
    for (double value : v.values) {
        v.integers.push_back(FixedValue(value, c.bits - 1, v.width));
    }
    return v;
}

// What the design was, one line each, for the comments of the files.
std::vector<std::string> DescribeDesign(const dsp::FilterCoefficients& c,
                                        const ExportParameters& design) {
    const int type = TypeIndex(design.filterType);
    std::vector<std::string> lines;
    lines.push_back(std::string(c.iir ? "IIR" : "FIR") + " " + kTypeNames[type] + " filter (" +
                    kTypeWords[type] + "), fs = " + Number(design.fs) + " Hz");
    if (c.iir) {
        lines.push_back("sections: " + std::to_string(c.designedSections) +
                        " of (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2)");
        lines.push_back("pass-band ripple: " + Number(design.rippleDb) + " dB");
        lines.push_back("cut-off: " + NumberList(design.cutoffs, ", ") + " Hz");
    } else {
        lines.push_back("band edges: " + NumberList(design.edges, ", ") + " Hz");
        // An even HPF/BRF count is designed with one tap fewer and listed with a zero after it.
        lines.push_back("taps: " + std::to_string(c.ShownTaps()) +
                        (design.taps == c.ShownTaps()
                             ? std::string()
                             : " (designed with " + std::to_string(design.taps) + ")"));
        lines.push_back("ripple ratio RR: " + Number(design.rr));
        lines.push_back("coefficient multiplier K: " + std::to_string(design.multiplier));
    }
    lines.push_back(c.quantized ? "quantized to B = " + std::to_string(c.bits) + " bits, scale 2^" +
                                      std::to_string(c.bits - 1)
                                : "not quantized");
    return lines;
}

std::string CommentLines(const std::vector<std::string>& lines, const char* prefix) {
    std::string text;
    for (const std::string& line : lines) {
        text += prefix + line + "\n";
    }
    return text;
}

// ---- .coe: the FIR cores' coefficient file ----

std::string BuildCoe(const dsp::FilterCoefficients& c, const ExportParameters& design) {
    const ExportValues v = ValuesOf(c);
    std::string text = CommentLines(DescribeDesign(c, design), "; ");
    if (c.iir) {
        text +=
            "; one section per line: a0, a1, a2, b1, b2 in " + std::to_string(v.width) + " bits\n";
    }
    text += "radix=10;\ncoefdata=\n";
    for (std::size_t i = 0; i < v.integers.size(); ++i) {
        const bool last = i + 1 == v.integers.size();
        const bool rowEnd = (i + 1) % v.perRow == 0;
        text += std::to_string(v.integers[i]) + (last ? ";\n" : rowEnd ? ",\n" : ",");
    }
    return text;
}

// ---- .mif: memory initialization, one word per coefficient ----

std::string HexWord(std::int64_t value, int width) {
    const std::uint64_t mask = width >= 64 ? ~0ULL : (1ULL << width) - 1;
    char text[24];
    std::snprintf(text, sizeof text, "%0*llX", (width + 3) / 4,
                  static_cast<unsigned long long>(static_cast<std::uint64_t>(value) & mask));
    return text;
}

std::string BuildMif(const dsp::FilterCoefficients& c, const ExportParameters& design) {
    const ExportValues v = ValuesOf(c);
    std::string text = CommentLines(DescribeDesign(c, design), "-- ");
    if (c.iir) {
        text += "-- five words per section: a0, a1, a2, b1, b2\n";
    }
    text += "WIDTH=" + std::to_string(v.width) + ";\nDEPTH=" + std::to_string(v.integers.size()) +
            ";\n\nADDRESS_RADIX=UNS;\nDATA_RADIX=HEX;\n\nCONTENT BEGIN\n";
    for (std::size_t i = 0; i < v.integers.size(); ++i) {
        text += '\t';
        text += std::to_string(i) + " : " + HexWord(v.integers[i], v.width) + ";\n";
    }
    return text + "END;\n";
}

// ---- CSV: one row per tap or per section ----

std::string BuildCsv(const dsp::FilterCoefficients& c) {
    const ExportValues v = ValuesOf(c);
    std::string text;
    if (!c.iir) {
        text = c.quantized ? "index,value,integer\n" : "index,value\n";
    } else {
        text = "section";
        for (const char* field : kSectionFieldNames) {
            text += std::string(",") + field;
        }
        for (const char* field : kSectionFieldNames) {
            text += c.quantized ? std::string(",") + field + "_integer" : std::string();
        }
        text += "\n";
    }
    const std::size_t rows = v.values.size() / static_cast<std::size_t>(v.perRow);
    for (std::size_t row = 0; row < rows; ++row) {
        std::string line = std::to_string(row);
        for (int f = 0; f < v.perRow; ++f) {
            line += ',';
            line += Number(v.values[row * v.perRow + f]);
        }
        for (int f = 0; c.quantized && f < v.perRow; ++f) {
            line += ',';
            line += std::to_string(v.integers[row * v.perRow + f]);
        }
        text += line + "\n";
    }
    return text;
}

// ---- JSON ----

std::string BuildJson(const dsp::FilterCoefficients& c, const ExportParameters& design) {
    const ExportValues v = ValuesOf(c);
    nlohmann::ordered_json json;
    json["format"] = "vantrel-coefficients";
    json["version"] = 1;
    json["structure"] = c.iir ? "iir" : "fir";
    json["quantized"] = c.quantized;
    json["bits"] = c.bits;
    json["scale"] = std::ldexp(1.0, c.bits - 1);
    json["integer_bits"] = v.width;
    nlohmann::ordered_json params;
    params["type"] = kTypeWords[TypeIndex(design.filterType)];
    params["fs"] = design.fs;
    if (c.iir) {
        params["sections"] = design.sections;
        params["ripple_db"] = design.rippleDb;
        params["cutoff"] = design.cutoffs;
    } else {
        params["edges"] = design.edges;
        params["taps"] = design.taps;
        params["rr"] = design.rr;
        params["multiplier"] = design.multiplier;
    }
    json["design"] = params;
    if (c.iir) {
        nlohmann::ordered_json sections = nlohmann::ordered_json::array();
        nlohmann::ordered_json integers = nlohmann::ordered_json::array();
        for (std::size_t row = 0; row * dsp::kSectionFields < v.values.size(); ++row) {
            nlohmann::ordered_json section;
            nlohmann::ordered_json whole = nlohmann::ordered_json::array();
            for (int f = 0; f < dsp::kSectionFields; ++f) {
                section[kSectionFieldNames[f]] = v.values[row * dsp::kSectionFields + f];
                whole.push_back(v.integers[row * dsp::kSectionFields + f]);
            }
            sections.push_back(section);
            integers.push_back(whole);
        }
        json["sections"] = sections;
        if (c.quantized) {
            json["integers"] = integers;
        }
    } else {
        json["coefficients"] = v.values;
        if (c.quantized) {
            json["integers"] = v.integers;
        }
    }
    return json.dump(2) + "\n";
}

// ---- C header for CMSIS-DSP ----

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    return text;
}

// A float literal: nine significant digits hold every float; a '.' or an exponent makes it one.
std::string FloatLiteral(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(static_cast<float>(value)));
    std::string literal = text;
    if (literal.find_first_of(".eEn") == std::string::npos) {
        literal += ".0";
    }
    return literal + "f";
}

// An integer literal of an int16_t/int32_t array; the most negative int32 has no literal of its
// own in C.
std::string IntLiteral(std::int64_t value) {
    if (value == -2147483648LL) {
        return "(-2147483647 - 1)";
    }
    return std::to_string(value);
}

// "static const TYPE NAME[COUNT] = { ... };" with `perLine` values a line (a stage a line).
std::string CArray(const std::string& type, const std::string& name, const std::string& count,
                   const std::vector<std::string>& literals, std::size_t perLine) {
    std::string text = "static const " + type + " " + name + "[" + count + "] = {";
    for (std::size_t i = 0; i < literals.size(); ++i) {
        text += (i % perLine == 0 ? "\n    " : " ") + literals[i] +
                (i + 1 < literals.size() ? "," : "");
    }
    return text + "\n};\n";
}

std::string FirHeaderBody(const dsp::FilterCoefficients& c, const std::string& id,
                          const std::string& macro) {
    const ExportValues v = ValuesOf(c);
    std::vector<double> reversed(v.values.rbegin(), v.values.rend());
    std::string text = "/* Taps in time-reversed order, as arm_fir_init_f32/_q15/_q31 take them:\n"
                       "   element 0 holds the last tap h[N-1]. */\n";
    text += "#define " + macro + "_NUM_TAPS " + std::to_string(reversed.size()) + "\n\n";
    std::vector<std::string> literals;
    for (double value : reversed) {
        literals.push_back(FloatLiteral(value));
    }
    text += CArray("float", id + "_taps_f32", macro + "_NUM_TAPS", literals, kTapsPerLine);
    if (!c.quantized || (c.bits != 16 && c.bits != 32)) {
        return text;
    }
    std::vector<std::int64_t> integers(v.integers.rbegin(), v.integers.rend());
    literals.clear();
    if (c.bits == 16) {
        // arm_fir_init_q15 takes an even count of at least 4: zero taps after the last one
        // (before it, in this order) change nothing.
        std::size_t count = std::max<std::size_t>(integers.size(), kMinQ15FirTaps);
        count += count % 2;
        integers.insert(integers.begin(), count - integers.size(), 0);
        for (std::int64_t value : integers) {
            literals.push_back(IntLiteral(value));
        }
        text += "\n/* Q15, the B = 16 bit integers; padded with leading zeros to an even count of\n"
                "   at least 4 for arm_fir_init_q15. */\n";
        text += "#define " + macro + "_NUM_TAPS_Q15 " + std::to_string(count) + "\n";
        return text +
               CArray("int16_t", id + "_taps_q15", macro + "_NUM_TAPS_Q15", literals, kTapsPerLine);
    }
    for (std::int64_t value : integers) {
        literals.push_back(IntLiteral(value));
    }
    text += "\n/* Q31, the B = 32 bit integers, for arm_fir_init_q31. */\n";
    return text + CArray("int32_t", id + "_taps_q31", macro + "_NUM_TAPS", literals, kTapsPerLine);
}

std::string IirHeaderBody(const dsp::FilterCoefficients& c, const std::string& id,
                          const std::string& macro) {
    const std::vector<BiquadStage> stages = BiquadStages(c);
    std::string text =
        "/* Stages {b0, b1, b2, a1, a2} as arm_biquad_cascade_df1_init_f32 takes them:\n"
        "   y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] + a1 y[n-1] + a2 y[n-2], so a1 and a2 are\n"
        "   the section's b1 and b2 negated. */\n";
    text += "#define " + macro + "_NUM_STAGES " + std::to_string(stages.size()) + "\n\n";
    std::vector<std::string> literals;
    for (const BiquadStage& s : stages) {
        for (double value : {s.b0, s.b1, s.b2, s.a1, s.a2}) {
            literals.push_back(FloatLiteral(value));
        }
    }
    text += CArray("float", id + "_coeffs_f32", "5 * " + macro + "_NUM_STAGES", literals,
                   kBiquadFields);
    if (!c.quantized || (c.bits != 16 && c.bits != 32)) {
        return text;
    }
    const int fraction = c.bits == 16 ? kQ15FractionBits : kQ31FractionBits;
    const int shift = BiquadPostShift(c);
    const std::string suffix = c.bits == 16 ? "q15" : "q31";
    const std::string upper = Upper(suffix);
    literals.clear();
    for (const std::array<std::int64_t, kBiquadFields>& stage :
         FixedBiquadStages(c, fraction, shift)) {
        for (int f = 0; f < kBiquadFields; ++f) {
            literals.push_back(IntLiteral(stage[f]));
            if (f == 0 && c.bits == 16) {
                literals.push_back("0"); // the library's padding after b0
            }
        }
    }
    text += "\n/* " + upper + ": the coefficients divided by 2^" + macro + "_POST_SHIFT_" + upper;
    text += c.bits == 16 ? ", {b0, 0, b1, b2, a1, a2} per stage\n   "
                         : ", {b0, b1, b2, a1, a2} per stage\n   ";
    text += "for arm_biquad_cascade_df1_init_" + suffix + " with postShift " + macro +
            "_POST_SHIFT_" + upper + ". */\n";
    text += "#define " + macro + "_POST_SHIFT_" + upper + " " + std::to_string(shift) + "\n";
    const std::string count = std::string(c.bits == 16 ? "6" : "5") + " * " + macro + "_NUM_STAGES";
    return text + CArray(c.bits == 16 ? "int16_t" : "int32_t", id + "_coeffs_" + suffix, count,
                         literals, c.bits == 16 ? kBiquadFields + 1 : kBiquadFields);
}

std::string BuildCHeader(const dsp::FilterCoefficients& c, const ExportParameters& design,
                         std::string_view name) {
    const std::string id = CIdentifier(name);
    const std::string macro = Upper(id);
    std::string text = "/* " + id + ": coefficients exported by Vantrel.\n";
    text += CommentLines(DescribeDesign(c, design), " * ");
    text += " */\n#ifndef " + macro + "_H\n#define " + macro + "_H\n\n#include <stdint.h>\n\n";
    text += c.iir ? IirHeaderBody(c, id, macro) : FirHeaderBody(c, id, macro);
    return text + "\n#endif /* " + macro + "_H */\n";
}

} // namespace

std::optional<ExportFormat> ParseExportFormat(std::string_view word) {
    for (const FormatEntry& entry : kFormats) {
        if (word == entry.word) {
            return entry.format;
        }
    }
    return std::nullopt;
}

const char* ExportFormatWord(ExportFormat format) {
    return Entry(format).word;
}

const char* ExportExtension(ExportFormat format) {
    return Entry(format).extension;
}

bool IsIntegerFormat(ExportFormat format) {
    return format == ExportFormat::kCoe || format == ExportFormat::kMif;
}

int BiquadPostShift(const dsp::FilterCoefficients& c) {
    int shift = 0;
    for (const BiquadStage& s : BiquadStages(c)) {
        for (double value : {s.b0, s.b1, s.b2, s.a1, s.a2}) {
            while (shift < kMaxPostShift &&
                   (value >= std::ldexp(1.0, shift) || value < -std::ldexp(1.0, shift))) {
                ++shift;
            }
        }
    }
    return shift;
}

std::vector<BiquadStage> BiquadStages(const dsp::FilterCoefficients& c) {
    std::vector<BiquadStage> stages;
    for (const dsp::Section& s : c.DesignedSections()) {
        stages.push_back({s[0], s[1], s[2], -s[3], -s[4]});
    }
    return stages;
}

std::vector<std::array<std::int64_t, 5>> FixedBiquadStages(const dsp::FilterCoefficients& c,
                                                           int fractionBits, int postShift) {
    std::vector<std::array<std::int64_t, 5>> fixed;
    for (const BiquadStage& s : BiquadStages(c)) {
        std::array<std::int64_t, 5> stage{};
        const double values[kBiquadFields] = {s.b0, s.b1, s.b2, s.a1, s.a2};
        for (int f = 0; f < kBiquadFields; ++f) {
            stage[f] = FixedValue(values[f], fractionBits - postShift, fractionBits + 1);
        }
        fixed.push_back(stage);
    }
    return fixed;
}

std::string CIdentifier(std::string_view text) {
    std::string id;
    for (char ch : text) {
        id += std::isalnum(static_cast<unsigned char>(ch)) != 0 &&
                      static_cast<unsigned char>(ch) < 128
                  ? ch
                  : '_';
    }
    if (id.empty() || std::isalpha(static_cast<unsigned char>(id.front())) == 0) {
        id = "filter_" + id;
    }
    return id;
}

std::optional<std::string> BuildExport(ExportFormat format, const dsp::FilterCoefficients& c,
                                       const ExportParameters& design, std::string_view name) {
    if (IsIntegerFormat(format) && !c.quantized) {
        return std::nullopt;
    }
    switch (format) {
    case ExportFormat::kCoe:
        return BuildCoe(c, design);
    case ExportFormat::kMif:
        return BuildMif(c, design);
    case ExportFormat::kCsv:
        return BuildCsv(c);
    case ExportFormat::kJson:
        return BuildJson(c, design);
    case ExportFormat::kCHeader:
        return BuildCHeader(c, design, name);
    }
    return std::nullopt;
}

} // namespace files
