// The export writers. Every format starts from the same two lists: the real values (the B-bit
// values while quantization is on) and the literals of the generated VHDL, so that no two
// formats, nor a format and the hardware, can differ.
#include "files/Export.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "dsp/FirMethods.h"
#include "dsp/Iir.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/VhdlText.h"

namespace files {

namespace {

constexpr const char* kTypeWords[] = {"lpf", "hpf", "brf", "bpf"};
constexpr const char* kTypeNames[] = {"low-pass", "high-pass", "band-reject", "band-pass"};
constexpr int kBiquadFields = 5; // b0, b1, b2, a1, a2
constexpr int kQ15Bits = 16;
constexpr int kQ31Bits = 32;
constexpr int kMinQ15FirTaps = 4;       // arm_fir_init_q15 takes an even count of at least 4
constexpr int kMaxQ15PostShift = 15;    // the Q15 biquad shifts by 15 - postShift
constexpr std::size_t kTapsPerLine = 8; // values a line of a C array of taps
constexpr std::size_t kIntegersPerCommentLine = 10;

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

// The values an export lists, in file order, and the literals of the VHDL: the taps, or per
// section a0 a1 a2 b1 b2 (values) and a0 a1 a2 -b1 -b2 (literals).
struct ExportValues {
    std::vector<double> values;
    std::vector<std::int64_t> integers;
    int width = 16; // bits of one integer
    int perRow = 1; // values of one row: 1 tap, or the five of a section
};

ExportValues ValuesOf(const dsp::FilterCoefficients& c) {
    ExportValues v;
    v.width = c.LiteralWidth();
    if (!c.iir) {
        v.values = c.taps;
        v.integers = vhdl::FirLiterals(c);
        return v;
    }
    v.perRow = dsp::kSectionFields;
    for (const dsp::Section& section : c.DesignedSections()) {
        v.values.insert(v.values.end(), section.begin(), section.end());
    }
    for (const StageLiterals& stage : StageLiteralsOf(c)) {
        v.integers.insert(v.integers.end(), stage.begin(), stage.end());
    }
    return v;
}

// "32, -64, 96" lines of at most kIntegersPerCommentLine (or `perLine`) integers, each behind
// `prefix`.
std::string IntegerCommentLines(const std::vector<std::int64_t>& integers, std::size_t perLine,
                                const std::string& prefix) {
    std::string text;
    for (std::size_t i = 0; i < integers.size(); ++i) {
        text += (i % perLine == 0 ? prefix : std::string(" ")) + std::to_string(integers[i]);
        const bool lineEnd = (i + 1) % perLine == 0 || i + 1 == integers.size();
        text += lineEnd ? "\n" : ",";
    }
    return text;
}

std::string QuantizationLine(const dsp::FilterCoefficients& c) {
    return c.quantized ? "quantized to B = " + std::to_string(c.bits) + " bits, scale 2^" +
                             std::to_string(c.bits - 1)
                       : "not quantized";
}

// "Hilbert transformer", "differentiator", "multiband filter" for the band-table kinds, and a
// CIC's droop compensator.
std::string KindName(const std::string& kind) {
    if (kind == "hilbert") {
        return "Hilbert transformer";
    }
    if (kind == kCicCompensatorKind) {
        return "CIC droop compensator"; // its pass band's gain 1 is the cascade's
    }
    return kind == "differentiator" ? "differentiator" : "multiband filter";
}

// What the design was, one line each, for the comments of the files.
std::vector<std::string> DescribeDesign(const dsp::FilterCoefficients& c,
                                        const ExportParameters& design) {
    const int type = TypeIndex(design.filterType);
    std::vector<std::string> lines;
    if (!c.iir && !design.firKind.empty()) {
        lines.push_back("FIR " + KindName(design.firKind) + " (" + design.firKind +
                        "), fs = " + Number(design.fs) + " Hz");
        for (size_t b = 0; b < design.firBands.size(); ++b) {
            const std::array<double, 4>& band = design.firBands[b];
            lines.push_back("band " + std::to_string(b + 1) + ": " + Number(band[0]) + " to " +
                            Number(band[1]) + " Hz, gain " + Number(band[2]) + ", weight " +
                            Number(band[3]));
        }
        lines.push_back("taps: " + std::to_string(c.ShownTaps()));
        lines.push_back("coefficient multiplier K: " + std::to_string(design.multiplier));
        lines.push_back(QuantizationLine(c));
        return lines;
    }
    lines.push_back(std::string(c.iir ? "IIR" : "FIR") + " " + kTypeNames[type] + " filter (" +
                    kTypeWords[type] + "), fs = " + Number(design.fs) + " Hz");
    if (c.iir) {
        // Chebyshev I, the default, is not named; another method is, with the values it reads.
        const std::string method = vhdl::DesignMethodWords(1, design.iirMethod);
        if (!method.empty()) {
            lines.push_back("design method: " + method);
        }
        lines.push_back("sections: " + std::to_string(c.designedSections) +
                        " of (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2)");
        if (method.empty() || dsp::IirMethodUsesRipple(design.iirMethod)) {
            lines.push_back("pass-band ripple: " + Number(design.rippleDb) + " dB");
        }
        if (!method.empty() && dsp::IirMethodUsesAttenuation(design.iirMethod)) {
            lines.push_back("stop-band attenuation: " + Number(design.attenDb) + " dB");
        }
        lines.push_back("cut-off: " + NumberList(design.cutoffs, ", ") + " Hz");
    } else {
        lines.push_back("band edges: " + NumberList(design.edges, ", ") + " Hz");
        if (design.firMethod != dsp::kFirRemez) {
            lines.push_back(std::string("design method: ") + dsp::FirMethodTitle(design.firMethod) +
                            (design.firMethod == dsp::kFirKaiser
                                 ? ", beta " + Number(design.kaiserBeta)
                                 : std::string()));
        }
        // An even HPF/BRF count is designed with one tap fewer and listed with a zero after it.
        lines.push_back("taps: " + std::to_string(c.ShownTaps()) +
                        (design.taps == c.ShownTaps()
                             ? std::string()
                             : " (designed with " + std::to_string(design.taps) + ")"));
        lines.push_back("ripple ratio RR: " + Number(design.rr));
        lines.push_back("coefficient multiplier K: " + std::to_string(design.multiplier));
    }
    if (!c.iir && design.rate.Active()) {
        lines.push_back(design.rate.kind == vhdl::RateKind::kDecimate
                            ? "decimation by " + std::to_string(design.rate.factor) +
                                  ": one output per " + std::to_string(design.rate.factor) +
                                  " input samples, at samples 0, M, 2M, ... (polyphase)"
                            : "interpolation by " + std::to_string(design.rate.factor) + ": " +
                                  std::to_string(design.rate.factor) +
                                  " outputs per input sample (polyphase), the taps without a "
                                  "gain of L");
    }
    lines.push_back(QuantizationLine(c));
    return lines;
}

// The taps of each phase of a rate change by `factor`: phase p holds h[p], h[p + factor], ...,
// zeros past the last tap, every phase ceil(N / factor) long (at least 1).
template <typename T> std::vector<std::vector<T>> Phases(const std::vector<T>& taps, int factor) {
    const std::size_t f = static_cast<std::size_t>(std::max(factor, 1));
    const std::size_t length = std::max<std::size_t>((taps.size() + f - 1) / f, 1);
    std::vector<std::vector<T>> phases(f, std::vector<T>(length, T{}));
    for (std::size_t k = 0; k < taps.size(); ++k) {
        phases[k % f][k / f] = taps[k];
    }
    return phases;
}

std::string CommentLines(const std::vector<std::string>& lines, const char* prefix) {
    std::string text;
    for (const std::string& line : lines) {
        text += prefix + line + "\n";
    }
    return text;
}

// ---- .coe: the FIR cores' coefficient file, or a memory initialisation file for IIR ----

std::string BuildCoe(const dsp::FilterCoefficients& c, const ExportParameters& design) {
    const ExportValues v = ValuesOf(c);
    std::string text = CommentLines(DescribeDesign(c, design), "; ");
    if (c.iir) {
        text += "; memory initialisation: one section a line, the VHDL literals a0, a1, a2, -b1, "
                "-b2\n; (the feedback coefficients negated, as the hardware adds them), " +
                std::to_string(v.width) + "-bit integers at scale 2^" + std::to_string(c.bits - 1) +
                "\nmemory_initialization_radix=10;\nmemory_initialization_vector=\n";
    } else {
        text += "radix=10;\ncoefdata=\n";
    }
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
        text += "-- five words per section, the VHDL literals a0, a1, a2, -b1, -b2 (the feedback\n"
                "-- coefficients negated, as the hardware adds them)\n";
    }
    text += "WIDTH=" + std::to_string(v.width) + ";\nDEPTH=" + std::to_string(v.integers.size()) +
            ";\n\nADDRESS_RADIX=UNS;\nDATA_RADIX=HEX;\n\nCONTENT BEGIN\n";
    for (std::size_t i = 0; i < v.integers.size(); ++i) {
        text += '\t';
        text += std::to_string(i) + " : " + HexWord(v.integers[i], v.width) + ";\n";
    }
    return text + "END;\n";
}

// ---- CSV: comments behind '#', then one row per tap or per section (scipy's sos) ----

std::string BuildCsv(const dsp::FilterCoefficients& c, const ExportParameters& design) {
    const ExportValues v = ValuesOf(c);
    std::string text = CommentLines(DescribeDesign(c, design), "# ");
    const std::string scale = "scale 2^" + std::to_string(c.bits - 1);
    if (!c.iir) {
        text += "# one tap a row, h[0] first: the coefficients K * h\n";
        if (c.quantized) {
            text += "# VHDL literals (" + std::to_string(v.width) + "-bit integers at " + scale +
                    "), h[0] first:\n" +
                    IntegerCommentLines(v.integers, kIntegersPerCommentLine, "# ");
        }
        for (double value : v.values) {
            text += Number(value) + "\n";
        }
        return text;
    }
    text += "# one section a row as scipy's sos: b0,b1,b2,a0,a1,a2 = a0,a1,a2,1,b1,b2 above\n";
    if (c.quantized) {
        text += "# VHDL literals per section (" + std::to_string(v.width) + "-bit integers at " +
                scale + "): a0, a1, a2, -b1, -b2\n" +
                IntegerCommentLines(v.integers, dsp::kSectionFields, "# ");
    }
    for (std::size_t row = 0; row * dsp::kSectionFields < v.values.size(); ++row) {
        const double* s = &v.values[row * dsp::kSectionFields];
        text += Number(s[0]) + "," + Number(s[1]) + "," + Number(s[2]) + ",1," + Number(s[3]) +
                "," + Number(s[4]) + "\n";
    }
    return text;
}

// ---- JSON ----

std::string BuildJson(const dsp::FilterCoefficients& c, const ExportParameters& design) {
    const ExportValues v = ValuesOf(c);
    nlohmann::ordered_json json;
    json["format"] = "vantrel-coefficients";
    json["version"] = 2;
    json["structure"] = c.iir ? "iir" : "fir";
    json["quantized"] = c.quantized;
    if (c.quantized) {
        json["bits"] = c.bits;
        json["scale"] = std::ldexp(1.0, c.bits - 1);
        json["integer_bits"] = v.width;
    }
    nlohmann::ordered_json params;
    params["type"] = kTypeWords[TypeIndex(design.filterType)];
    params["fs"] = design.fs;
    if (!c.iir && !design.firKind.empty()) {
        params["type"] = design.firKind;
        params["bands"] = design.firBands; // [from Hz, to Hz, gain, weight] per band
        params["taps"] = design.taps;
        params["multiplier"] = design.multiplier;
    } else if (c.iir) {
        params["sections"] = design.sections;
        params["ripple_db"] = design.rippleDb;
        params["cutoff"] = design.cutoffs;
        if (!vhdl::DesignMethodWords(1, design.iirMethod).empty()) {
            params["method"] = dsp::IirMethodName(design.iirMethod);
            if (dsp::IirMethodUsesAttenuation(design.iirMethod)) {
                params["atten_db"] = design.attenDb;
            }
        }
    } else {
        params["edges"] = design.edges;
        params["taps"] = design.taps;
        params["rr"] = design.rr;
        params["multiplier"] = design.multiplier;
        if (design.firMethod != dsp::kFirRemez) {
            params["method"] = dsp::FirMethodName(design.firMethod);
            if (design.firMethod == dsp::kFirKaiser) {
                params["beta"] = design.kaiserBeta;
            }
        }
    }
    json["design"] = params;
    if (!c.iir && design.rate.Active()) {
        nlohmann::ordered_json rate;
        rate["kind"] = design.rate.kind == vhdl::RateKind::kDecimate ? "decimate" : "interpolate";
        rate["factor"] = design.rate.factor;
        rate["phases"] = Phases(v.values, design.rate.factor);
        if (c.quantized) {
            rate["phase_integers"] = Phases(v.integers, design.rate.factor);
        }
        json["rate_change"] = rate;
    }
    if (!c.iir) {
        json["numerator"] = v.values;
        json["denominator"] = {1.0};
        if (c.quantized) {
            json["integers"] = v.integers;
        }
        return json.dump(2) + "\n";
    }
    nlohmann::ordered_json sos = nlohmann::ordered_json::array();
    nlohmann::ordered_json sections = nlohmann::ordered_json::array();
    nlohmann::ordered_json integers = nlohmann::ordered_json::array();
    for (std::size_t row = 0; row * dsp::kSectionFields < v.values.size(); ++row) {
        const double* s = &v.values[row * dsp::kSectionFields];
        const std::int64_t* q = &v.integers[row * dsp::kSectionFields];
        sos.push_back({s[0], s[1], s[2], 1.0, s[3], s[4]});
        nlohmann::ordered_json section;
        section["numerator"] = {s[0], s[1], s[2]};
        section["denominator"] = {1.0, s[3], s[4]};
        sections.push_back(section);
        integers.push_back({q[0], q[1], q[2], q[3], q[4]});
    }
    json["sos"] = sos;
    json["sections"] = sections;
    if (c.quantized) {
        json["integers"] = integers;
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

bool FitsBits(std::int64_t value, int bits) {
    const std::int64_t limit = std::int64_t{1} << (bits - 1);
    return value >= -limit && value < limit;
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
    if (!c.quantized) {
        return text + "\n/* Not quantized: no integer forms. */\n";
    }
    std::vector<std::int64_t> integers(v.integers.rbegin(), v.integers.rend());
    literals.clear();
    if (c.bits == kQ15Bits) {
        // arm_fir_init_q15 takes an even count of at least 4: zero taps after the last one
        // (before it, in this order) change nothing.
        std::size_t count = std::max<std::size_t>(integers.size(), kMinQ15FirTaps);
        count += count % 2;
        integers.insert(integers.begin(), count - integers.size(), 0);
        for (std::int64_t value : integers) {
            literals.push_back(IntLiteral(value));
        }
        text += "\n/* Q15 for arm_fir_q15: the B = 16 bit literals of the generated hardware,\n"
                "   padded with leading zeros to an even count of at least 4. With D-bit samples\n"
                "   (D <= 16) as plain int16_t values and each output saturated to D bits, the\n"
                "   output equals the hardware's bit for bit. */\n";
        text += "#define " + macro + "_NUM_TAPS_Q15 " + std::to_string(count) + "\n";
        return text +
               CArray("int16_t", id + "_taps_q15", macro + "_NUM_TAPS_Q15", literals, kTapsPerLine);
    }
    if (c.bits < kQ15Bits || c.bits > kQ31Bits) {
        return text + "\n/* Integer forms are given at B = 16 (Q15) and B = 17..32 (Q31). */\n";
    }
    const int scaleUp = kQ31Bits - c.bits;
    for (std::int64_t value : integers) {
        literals.push_back(IntLiteral(value * (std::int64_t{1} << scaleUp)));
    }
    text += "\n/* Q31 for arm_fir_q31: the B = " + std::to_string(c.bits) +
            " bit literals of the generated hardware times 2^" + std::to_string(scaleUp) +
            ", so that\n   the library's shift by 31 is the hardware's shift by B - 1. With the "
            "D-bit samples as\n   plain int32_t values and each output saturated to D bits, the "
            "output equals the\n   hardware's bit for bit. */\n";
    return text + CArray("int32_t", id + "_taps_q31", macro + "_NUM_TAPS", literals, kTapsPerLine);
}

// "static const TYPE NAME[ROWS][COLUMNS] = { {...}, ... };", a row a line (wrapped).
std::string CTable(const std::string& type, const std::string& name, const std::string& rows,
                   const std::string& columns,
                   const std::vector<std::vector<std::string>>& literals) {
    std::string text =
        "static const " + type + " " + name + "[" + rows + "][" + columns + "] = {\n";
    for (std::size_t r = 0; r < literals.size(); ++r) {
        text += "    {";
        for (std::size_t i = 0; i < literals[r].size(); ++i) {
            text += (i > 0 && i % kTapsPerLine == 0 ? "\n     "
                     : i > 0                        ? " "
                                                    : "") +
                    literals[r][i] + (i + 1 < literals[r].size() ? "," : "");
        }
        text += r + 1 < literals.size() ? "},\n" : "}\n";
    }
    return text + "};\n";
}

template <typename T, typename Format>
std::vector<std::vector<std::string>> Literals(const std::vector<std::vector<T>>& rows,
                                               Format format) {
    std::vector<std::vector<std::string>> text;
    for (const std::vector<T>& row : rows) {
        text.emplace_back();
        for (const T& value : row) {
            text.back().push_back(format(value));
        }
    }
    return text;
}

// The rate change after the FIR's arrays: the factor, for an interpolator the taps padded for
// arm_fir_interpolate_init_*, and the polyphase arrangement.
std::string RateHeaderBody(const dsp::FilterCoefficients& c, const vhdl::RateChange& rate,
                           const std::string& id, const std::string& macro) {
    const ExportValues v = ValuesOf(c);
    const int factor = rate.factor;
    const std::string f = std::to_string(factor);
    std::string text;
    if (rate.kind == vhdl::RateKind::kDecimate) {
        text += "\n/* Decimation by " + f +
                ", as the polyphase decimator of the generated hardware: output m is the\n"
                "   FIR output at input sample m * " +
                f +
                " (the first sample is sample 0). arm_fir_decimate_init_f32/_q15/_q31\n"
                "   (&S, numTaps, M, pCoeffs, pState, blockSize) take the taps above (_NUM_TAPS, "
                "or\n   _NUM_TAPS_Q15 with the Q15 ones), blockSize a multiple of M and numTaps + "
                "blockSize - 1\n   state words; their output m is also at input sample m * M. "
                "*/\n";
        text += "#define " + macro + "_DECIMATION " + f + "\n";
    } else {
        // arm_fir_interpolate_init_* needs a multiple of L taps: zeros after h[N-1], which come
        // first in the time-reversed order.
        const std::size_t l = static_cast<std::size_t>(factor);
        const std::size_t count = std::max<std::size_t>((v.values.size() + l - 1) / l, 1) * l;
        const std::size_t pad = count - v.values.size();
        text += "\n/* Interpolation by " + f +
                ", as the polyphase interpolator of the generated hardware: " + f +
                "\n   outputs per input sample, output n * L + p = sum over i of h[p + i * L] * "
                "x[n - i]; the taps\n   carry no gain of L. arm_fir_interpolate_init_f32/_q15/"
                "_q31(&S, L, numTaps, pCoeffs,\n   pState, blockSize) take the taps below: "
                "those above, time-reversed, with zeros before\n   them to a multiple of L, and "
                "numTaps / L + blockSize - 1 state words. */\n";
        text += "#define " + macro + "_INTERPOLATION " + f + "\n";
        text += "#define " + macro + "_INTERP_NUM_TAPS " + std::to_string(count) + "\n\n";
        std::vector<std::string> literals(pad, FloatLiteral(0.0));
        for (auto value = v.values.rbegin(); value != v.values.rend(); ++value) {
            literals.push_back(FloatLiteral(*value));
        }
        text += CArray("float", id + "_interp_taps_f32", macro + "_INTERP_NUM_TAPS", literals,
                       kTapsPerLine);
        if (c.quantized && c.bits >= kQ15Bits && c.bits <= kQ31Bits) {
            const bool q15 = c.bits == kQ15Bits;
            const int scaleUp = q15 ? 0 : kQ31Bits - c.bits;
            literals.assign(pad, "0");
            for (auto value = v.integers.rbegin(); value != v.integers.rend(); ++value) {
                literals.push_back(IntLiteral(*value * (std::int64_t{1} << scaleUp)));
            }
            text += q15 ? "\n/* Q15 for arm_fir_interpolate_q15: the literals, as above. */\n"
                        : "\n/* Q31 for arm_fir_interpolate_q31: the literals times 2^" +
                              std::to_string(scaleUp) + ", as above. */\n";
            text += CArray(q15 ? "int16_t" : "int32_t",
                           id + (q15 ? "_interp_taps_q15" : "_interp_taps_q31"),
                           macro + "_INTERP_NUM_TAPS", literals, kTapsPerLine);
        }
    }
    const std::vector<std::vector<double>> phases = Phases(v.values, factor);
    text += "\n/* The polyphase arrangement: phase p (0 .. " + std::to_string(factor - 1) +
            ") holds\n   h[p], h[p + " + f + "], h[p + 2 * " + f +
            "], ... in natural order, zeros past h[N-1]. ";
    text += rate.kind == vhdl::RateKind::kDecimate
                ? "Output m is the sum over p of phase p applied to the samples\n"
                  "   x[m * M - p], x[(m - 1) * M - p], ... */\n"
                : "Output n * L + p is phase p applied to the samples x[n],\n"
                  "   x[n - 1], ... */\n";
    text += "#define " + macro + "_PHASES " + f + "\n";
    text += "#define " + macro + "_PHASE_LENGTH " + std::to_string(phases.front().size()) + "\n\n";
    text += CTable("float", id + "_phases_f32", macro + "_PHASES", macro + "_PHASE_LENGTH",
                   Literals(phases, [](double value) { return FloatLiteral(value); }));
    if (c.quantized && c.bits <= kQ31Bits) {
        text += "\n/* The same as the B = " + std::to_string(c.bits) +
                " bit literals of the generated hardware. */\n";
        text += CTable("int32_t", id + "_phases_int", macro + "_PHASES", macro + "_PHASE_LENGTH",
                       Literals(Phases(v.integers, factor),
                                [](std::int64_t value) { return IntLiteral(value); }));
    }
    return text;
}

const char* const kStageFieldNames[kBiquadFields] = {"b0", "b1", "b2", "a1", "a2"};

// Why a cascade has no Q15 form, for the header's comment.
std::string NoQ15Reason(const Q15Stages& q15, const std::vector<StageLiterals>& literals,
                        int bits) {
    if (!q15.fits) {
        return "no post-shift of 0..15 brings the literals into 16 bits";
    }
    const int lost = q15.firstLost;
    const int stage = lost / kBiquadFields;
    const int field = lost % kBiquadFields;
    const int divisor = bits - kQ15Bits + q15.postShift;
    return "16-bit values need postShift " + std::to_string(q15.postShift) +
           ", that is the literals divided by 2^" + std::to_string(divisor) + ", which drops a " +
           "bit of " + std::to_string(q15.lostCount) + " of them (stage " +
           std::to_string(stage + 1) + " " + kStageFieldNames[field] + " = " +
           std::to_string(literals[static_cast<std::size_t>(stage)][field]) + ")";
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
    if (!c.quantized) {
        return text + "\n/* Not quantized: no integer forms. */\n";
    }
    const std::vector<StageLiterals> fixed = StageLiteralsOf(c);
    const std::string bits = std::to_string(c.bits);
    const bool q31Fits =
        c.bits <= kQ31Bits && std::all_of(fixed.begin(), fixed.end(), [](auto& s) {
            return std::all_of(s.begin(), s.end(), [](std::int64_t v) { return FitsBits(v, 32); });
        });
    if (!q31Fits) {
        text += "\n/* No Q31 form: the literals do not fit 32 bits. */\n";
    } else {
        literals.clear();
        for (const StageLiterals& stage : fixed) {
            for (std::int64_t value : stage) {
                literals.push_back(IntLiteral(value));
            }
        }
        text += "\n/* Q31 for arm_biquad_cascade_df1_q31: the literals of the generated hardware,\n"
                "   a0, a1, a2, -b1, -b2 of each section at scale 2^(B-1), B = " +
                bits +
                ", as {b0, b1, b2, a1, a2}\n"
                "   per stage; postShift 32 - B makes the library's shift by 31 - postShift the\n"
                "   hardware's shift by B - 1. Give it the D-bit samples as plain int32_t values\n"
                "   (not scaled to 1.31) and saturate each output to D bits:\n"
                "     arm_biquad_casd_df1_inst_q31 S;\n"
                "     static q31_t state[4 * " +
                macro + "_NUM_STAGES];\n" + "     arm_biquad_cascade_df1_init_q31(&S, " + macro +
                "_NUM_STAGES, " + id + "_coeffs_q31, state,\n" +
                "                                     " + macro +
                "_POST_SHIFT_Q31);\n"
                "   The output then equals the hardware's bit for bit wherever no section\n"
                "   saturates: the hardware clips each section to D + 4 bits, the library wraps\n"
                "   at 32. */\n";
        text += "#define " + macro + "_POST_SHIFT_Q31 (32 - " + bits + ")\n";
        text += CArray("int32_t", id + "_coeffs_q31", "5 * " + macro + "_NUM_STAGES", literals,
                       kBiquadFields);
    }
    const Q15Stages q15 = Q15StagesOf(fixed, c.bits);
    if (!q15.fits || !q15.lossless) {
        return text + "\n/* No Q15 form: " + NoQ15Reason(q15, fixed, c.bits) + ". */\n";
    }
    literals.clear();
    for (const StageLiterals& stage : q15.values) {
        for (int f = 0; f < kBiquadFields; ++f) {
            literals.push_back(IntLiteral(stage[f]));
            if (f == 0) {
                literals.push_back("0"); // the library's padding after b0
            }
        }
    }
    const int exponent = c.bits - kQ15Bits + q15.postShift;
    text += "\n/* Q15 for arm_biquad_cascade_df1_q15, {b0, 0, b1, b2, a1, a2} per stage: the same\n"
            "   literals " +
            (exponent >= 0 ? "divided by 2^" + std::to_string(exponent) + " (no bit lost)"
                           : "times 2^" + std::to_string(-exponent)) +
            ", with postShift " + macro +
            "_POST_SHIFT_Q15.\n"
            "   Give it D-bit samples (D <= 16) as plain int16_t values and saturate each\n"
            "   output to D bits; it equals the hardware's output wherever no stage saturates\n"
            "   (the library clips each stage to 16 bits, the hardware to D + 4). */\n";
    text += "#define " + macro + "_POST_SHIFT_Q15 " + std::to_string(q15.postShift) + "\n";
    return text + CArray("int16_t", id + "_coeffs_q15", "6 * " + macro + "_NUM_STAGES", literals,
                         kBiquadFields + 1);
}

std::string BuildCHeader(const dsp::FilterCoefficients& c, const ExportParameters& design,
                         std::string_view name) {
    const std::string id = CIdentifier(name);
    const std::string macro = Upper(id);
    std::string text = "/* " + id + ": coefficients exported by Vantrel.\n";
    text += CommentLines(DescribeDesign(c, design), " * ");
    text += " */\n#ifndef " + macro + "_H\n#define " + macro + "_H\n\n#include <stdint.h>\n\n";
    text += c.iir ? IirHeaderBody(c, id, macro) : FirHeaderBody(c, id, macro);
    if (!c.iir && design.rate.Active()) {
        text += RateHeaderBody(c, design.rate, id, macro);
    }
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

std::vector<BiquadStage> BiquadStages(const dsp::FilterCoefficients& c) {
    std::vector<BiquadStage> stages;
    for (const dsp::Section& s : c.DesignedSections()) {
        stages.push_back({s[0], s[1], s[2], -s[3], -s[4]});
    }
    return stages;
}

std::vector<StageLiterals> StageLiteralsOf(const dsp::FilterCoefficients& c) {
    std::vector<vhdl::IirSectionLiterals> sections = vhdl::IirLiterals(c);
    sections.resize(std::min(sections.size(), c.DesignedSections().size()));
    std::vector<StageLiterals> stages;
    for (const vhdl::IirSectionLiterals& s : sections) {
        stages.push_back({s.a0, s.a1, s.a2, s.nb1, s.nb2});
    }
    return stages;
}

Q15Stages Q15StagesOf(const std::vector<StageLiterals>& literals, int bits) {
    Q15Stages q15;
    for (int shift = 0; shift <= kMaxQ15PostShift && !q15.fits; ++shift) {
        // q = literal * 2^(16 - bits - shift): a left shift, or a division that may drop bits.
        const int down = bits - kQ15Bits + shift;
        q15 = Q15Stages{};
        q15.fits = true;
        q15.lossless = true;
        q15.postShift = shift;
        for (std::size_t s = 0; s < literals.size(); ++s) {
            StageLiterals values{};
            for (int f = 0; f < kBiquadFields; ++f) {
                const std::int64_t literal = literals[s][f];
                std::int64_t value = down <= 0 ? literal * (std::int64_t{1} << -down)
                                               : literal / (std::int64_t{1} << down);
                if (down > 0 && value * (std::int64_t{1} << down) != literal) {
                    q15.lossless = false;
                    q15.firstLost = q15.lostCount++ == 0 ? static_cast<int>(s) * kBiquadFields + f
                                                         : q15.firstLost;
                }
                q15.fits = q15.fits && FitsBits(value, kQ15Bits);
                values[f] = value;
            }
            q15.values.push_back(values);
        }
    }
    if (!q15.fits) {
        q15.values.clear();
    }
    return q15;
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
        return BuildCsv(c, design);
    case ExportFormat::kJson:
        return BuildJson(c, design);
    case ExportFormat::kCHeader:
        return BuildCHeader(c, design, name);
    }
    return std::nullopt;
}

} // namespace files
