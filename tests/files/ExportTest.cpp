// The export formats, line for line, for two small designs whose integers are worked out by hand:
// a FIR of three taps and an IIR of one section, both quantized to B = 8 bits (scale 128).
//   FIR taps 0.25, -0.5, 0.75           -> 32, -64, 96 (8 bits: 20, C0, 60 hex)
//   IIR a0 a1 a2 b1 b2 = .5 1 .5 -1.5 .75 -> literals a0 a1 a2 -b1 -b2 = 64, 128, 64, 192, -96
// and the CMSIS-DSP stage of that section, b0 b1 b2 a1 a2 = .5 1 .5 1.5 -.75.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "dsp/Iir.h"
#include "files/Export.h"

namespace {

using files::ExportFormat;

dsp::FilterCoefficients Fir(bool quantize, int bits = 8) {
    const std::vector<double> h = {0.25, -0.5, 0.75};
    return dsp::FirCoefficients(h, 3, 3, 1, quantize, bits);
}

dsp::FilterCoefficients Iir(bool quantize, int bits = 8) {
    const std::vector<dsp::Section> sections = {{0.5, 1.0, 0.5, -1.5, 0.75}};
    return dsp::IirCoefficients(sections, 1, quantize, bits);
}

files::ExportParameters FirParameters() {
    files::ExportParameters p;
    p.filterType = 0;
    p.fs = 1000.0;
    p.edges = {200.0, 250.0};
    p.taps = 3;
    p.rr = 10.0;
    p.multiplier = 1;
    return p;
}

files::ExportParameters IirParameters() {
    files::ExportParameters p;
    p.filterType = 3;
    p.fs = 8000.0;
    p.sections = 2;
    p.rippleDb = 0.3;
    p.cutoffs = {1000.0, 1500.0};
    return p;
}

std::string Export(ExportFormat format, const dsp::FilterCoefficients& c) {
    const files::ExportParameters p = c.iir ? IirParameters() : FirParameters();
    return files::BuildExport(format, c, p, "lowpass").value_or("(refused)");
}

const std::string kFirComment = "FIR low-pass filter (lpf), fs = 1000 Hz\n";
const std::string kFirLines = "band edges: 200, 250 Hz\n"
                              "taps: 3\n"
                              "ripple ratio RR: 10\n"
                              "coefficient multiplier K: 1\n"
                              "quantized to B = 8 bits, scale 2^7\n";

std::string Prefixed(const std::string& lines, const std::string& prefix) {
    std::string text;
    std::size_t start = 0;
    while (start < lines.size()) {
        const std::size_t end = lines.find('\n', start);
        text += prefix + lines.substr(start, end - start + 1);
        start = end + 1;
    }
    return text;
}

TEST(Export, ExactLinesOfEachFormat) {
    const std::string firComment = kFirComment + kFirLines;
    const std::string iirComment = "IIR band-pass filter (bpf), fs = 8000 Hz\n"
                                   "sections: 1 of (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 "
                                   "z^-2)\n"
                                   "pass-band ripple: 0.3 dB\n"
                                   "cut-off: 1000, 1500 Hz\n"
                                   "quantized to B = 8 bits, scale 2^7\n";
    struct Case {
        const char* name;
        ExportFormat format;
        bool iir;
        std::string expected;
    };
    // The IIR literals carry -b1 = 1.5 -> 192 and -b2 = -0.75 -> -96 (10 bits: 0C0, 3A0).
    const Case cases[] = {
        {"fir coe", ExportFormat::kCoe, false,
         Prefixed(firComment, "; ") + "radix=10;\ncoefdata=\n32,\n-64,\n96;\n"},
        {"iir coe", ExportFormat::kCoe, true,
         Prefixed(iirComment, "; ") +
             "; memory initialisation: one section a line, the VHDL literals a0, a1, a2, -b1, "
             "-b2\n; (the feedback coefficients negated, as the hardware adds them), 10-bit "
             "integers at scale 2^7\n"
             "memory_initialization_radix=10;\nmemory_initialization_vector=\n"
             "64,128,64,192,-96;\n"},
        {"fir mif", ExportFormat::kMif, false,
         Prefixed(firComment, "-- ") +
             "WIDTH=8;\nDEPTH=3;\n\nADDRESS_RADIX=UNS;\nDATA_RADIX=HEX;\n\nCONTENT BEGIN\n"
             "\t0 : 20;\n\t1 : C0;\n\t2 : 60;\nEND;\n"},
        {"iir mif", ExportFormat::kMif, true,
         Prefixed(iirComment, "-- ") +
             "-- five words per section, the VHDL literals a0, a1, a2, -b1, -b2 (the feedback\n"
             "-- coefficients negated, as the hardware adds them)\n"
             "WIDTH=10;\nDEPTH=5;\n\nADDRESS_RADIX=UNS;\nDATA_RADIX=HEX;\n\nCONTENT BEGIN\n"
             "\t0 : 040;\n\t1 : 080;\n\t2 : 040;\n\t3 : 0C0;\n\t4 : 3A0;\nEND;\n"},
        {"fir csv", ExportFormat::kCsv, false,
         Prefixed(firComment, "# ") + "# one tap a row, h[0] first: the coefficients K * h\n"
                                      "# VHDL literals (8-bit integers at scale 2^7), h[0] first:\n"
                                      "# 32, -64, 96\n0.25\n-0.5\n0.75\n"},
        {"iir csv", ExportFormat::kCsv, true,
         Prefixed(iirComment, "# ") +
             "# one section a row as scipy's sos: b0,b1,b2,a0,a1,a2 = a0,a1,a2,1,b1,b2 above\n"
             "# VHDL literals per section (10-bit integers at scale 2^7): a0, a1, a2, -b1, -b2\n"
             "# 64, 128, 64, 192, -96\n0.5,1,0.5,1,-1.5,0.75\n"},
        {"fir c header at 8 bits: the float taps only", ExportFormat::kCHeader, false,
         "/* lowpass: coefficients exported by Vantrel.\n" + Prefixed(firComment, " * ") +
             " */\n#ifndef LOWPASS_H\n#define LOWPASS_H\n\n#include <stdint.h>\n\n"
             "/* Taps in time-reversed order, as arm_fir_init_f32/_q15/_q31 take them:\n"
             "   element 0 holds the last tap h[N-1]. */\n"
             "#define LOWPASS_NUM_TAPS 3\n\n"
             "static const float lowpass_taps_f32[LOWPASS_NUM_TAPS] = {\n"
             "    0.75f, -0.5f, 0.25f\n};\n\n"
             "/* Integer forms are given at B = 16 (Q15) and B = 17..32 (Q31). */\n"
             "\n#endif /* LOWPASS_H */\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Export(c.format, c.iir ? Iir(true) : Fir(true)), c.expected) << c.name;
    }
}

TEST(Export, JsonNamesNumeratorAndDenominatorAsScipyDoes) {
    struct Case {
        const char* name;
        dsp::FilterCoefficients c;
        const char* expected; // the keys past "design", compact
    };
    const Case cases[] = {
        {"fir quantized", Fir(true),
         R"({"numerator":[0.25,-0.5,0.75],"denominator":[1.0],"integers":[32,-64,96]})"},
        {"fir", Fir(false), R"({"numerator":[0.25,-0.5,0.75],"denominator":[1.0]})"},
        {"iir quantized", Iir(true),
         R"({"sos":[[0.5,1.0,0.5,1.0,-1.5,0.75]],)"
         R"("sections":[{"numerator":[0.5,1.0,0.5],"denominator":[1.0,-1.5,0.75]}],)"
         R"("integers":[[64,128,64,192,-96]]})"},
        {"iir", Iir(false),
         R"({"sos":[[0.5,1.0,0.5,1.0,-1.5,0.75]],)"
         R"("sections":[{"numerator":[0.5,1.0,0.5],"denominator":[1.0,-1.5,0.75]}]})"},
    };
    for (const Case& c : cases) {
        nlohmann::ordered_json json =
            nlohmann::ordered_json::parse(Export(ExportFormat::kJson, c.c));
        EXPECT_EQ(json["format"], "vantrel-coefficients") << c.name;
        EXPECT_EQ(json["version"], 2) << c.name;
        EXPECT_EQ(json["structure"], c.c.iir ? "iir" : "fir") << c.name;
        EXPECT_EQ(json["quantized"], c.c.quantized) << c.name;
        // Only a quantized design has a bit length and a scale.
        for (const char* key : {"bits", "scale", "integer_bits"}) {
            EXPECT_EQ(json.contains(key), c.c.quantized) << c.name << " " << key;
        }
        if (c.c.quantized) {
            EXPECT_EQ(json["bits"], 8);
            EXPECT_EQ(json["scale"], 128.0);
            EXPECT_EQ(json["integer_bits"], c.c.iir ? 10 : 8);
        }
        EXPECT_EQ(json["design"]["type"], c.c.iir ? "bpf" : "lpf") << c.name;
        nlohmann::ordered_json rest;
        bool past = false;
        for (auto it = json.begin(); it != json.end(); ++it) {
            if (past) {
                rest[it.key()] = it.value();
            }
            past = past || it.key() == "design";
        }
        EXPECT_EQ(rest.dump(), c.expected) << c.name;
    }
}

TEST(Export, CHeaderIntegerForms) {
    // A section of B = 16 literals 16384, 32768, 16384, 49152, -24576 (-b1, -b2 negated), and the
    // same with b2 one LSB larger: -24577 is odd, so halving it for a Q15 post-shift of 1 loses a
    // bit and the header has no Q15 form.
    const dsp::Section even = {0.5, 1.0, 0.5, -1.5, 0.75};
    const dsp::Section odd = {0.5, 1.0, 0.5, -1.5, 0.75 + 1.0 / 32768.0};
    struct Case {
        const char* name;
        dsp::FilterCoefficients c;
        std::vector<std::string> present;
        std::vector<std::string> absent;
    };
    const Case cases[] = {
        {"fir q15",
         Fir(true, 16),
         {"#define LOWPASS_NUM_TAPS_Q15 4\n"
          "static const int16_t lowpass_taps_q15[LOWPASS_NUM_TAPS_Q15] = {\n"
          "    0, 24576, -16384, 8192\n};\n"},
         {"int32_t"}},
        {"fir q31 at 20 bits: the literals times 2^12",
         Fir(true, 20),
         {"static const int32_t lowpass_taps_q31[LOWPASS_NUM_TAPS] = {\n"
          "    1610612736, -1073741824, 536870912\n};\n"},
         {"int16_t"}},
        {"iir, even literals: q31 and a lossless q15",
         dsp::IirCoefficients({&even, 1}, 1, true, 16),
         {"static const float lowpass_coeffs_f32[5 * LOWPASS_NUM_STAGES] = {\n"
          "    0.5f, 1.0f, 0.5f, 1.5f, -0.75f\n};\n",
          "#define LOWPASS_POST_SHIFT_Q31 (32 - 16)\n"
          "static const int32_t lowpass_coeffs_q31[5 * LOWPASS_NUM_STAGES] = {\n"
          "    16384, 32768, 16384, 49152, -24576\n};\n",
          "#define LOWPASS_POST_SHIFT_Q15 1\n"
          "static const int16_t lowpass_coeffs_q15[6 * LOWPASS_NUM_STAGES] = {\n"
          "    8192, 0, 16384, 8192, 24576, -12288\n};\n"},
         {}},
        {"iir, an odd literal: no q15",
         dsp::IirCoefficients({&odd, 1}, 1, true, 16),
         {"    16384, 32768, 16384, 49152, -24577\n};\n",
          "/* No Q15 form: 16-bit values need postShift 1, that is the literals divided by 2^1, "
          "which drops a bit of 1 of them (stage 1 a2 = -24577). */\n"},
         {"_q15["}},
        {"iir at 8 bits: q15 the literals times 2^7",
         Iir(true, 8),
         {"#define LOWPASS_POST_SHIFT_Q31 (32 - 8)\n", "    64, 128, 64, 192, -96\n};\n",
          "#define LOWPASS_POST_SHIFT_Q15 1\n"
          "static const int16_t lowpass_coeffs_q15[6 * LOWPASS_NUM_STAGES] = {\n"
          "    8192, 0, 16384, 8192, 24576, -12288\n};\n"},
         {}},
        {"iir not quantized: the float form only",
         Iir(false, 16),
         {"_coeffs_f32", "/* Not quantized: no integer forms. */\n"},
         {"_q31", "_q15"}},
    };
    for (const Case& c : cases) {
        const files::ExportParameters p = c.c.iir ? IirParameters() : FirParameters();
        const std::string header =
            files::BuildExport(ExportFormat::kCHeader, c.c, p, "lowpass").value_or("");
        for (const std::string& text : c.present) {
            EXPECT_NE(header.find(text), std::string::npos) << c.name << ": " << text << "\n"
                                                            << header;
        }
        for (const std::string& text : c.absent) {
            EXPECT_EQ(header.find(text), std::string::npos) << c.name << ": " << text;
        }
    }
}

TEST(Export, Q15StagesOnlyWhereNoBitIsLost) {
    struct Case {
        const char* name;
        files::StageLiterals stage;
        int bits;
        bool fits;
        bool lossless;
        int postShift;
        files::StageLiterals values;
    };
    const Case cases[] = {
        // 16 bits: 32767 fits with no shift, 32768 needs one (-32768 does not).
        {"fits as it is", {32767, -32768, 0, 0, 0}, 16, true, true, 0, {32767, -32768, 0, 0, 0}},
        {"+32768 needs a shift", {32768, 2, 0, 0, -2}, 16, true, true, 1, {16384, 1, 0, 0, -1}},
        {"an odd one loses", {32768, 3, 0, 0, 0}, 16, true, false, 1, {16384, 1, 0, 0, 0}},
        {"-40352 fits halved", {-40352, 0, 0, 0, 0}, 16, true, true, 1, {-20176, 0, 0, 0, 0}},
        // 12 bits: the literals are scaled up, never down.
        {"12 bits", {2047, -8192, 5, 0, 0}, 12, true, true, 2, {8188, -32768, 20, 0, 0}},
        // 20 bits: a division by 2^4 at least.
        {"20 bits, low bits zero", {16 * 1000, 0, 0, 0, 0}, 20, true, true, 0, {1000, 0, 0, 0, 0}},
        {"20 bits, low bits set",
         {16 * 1000 + 1, 0, 0, 0, 0},
         20,
         true,
         false,
         0,
         {1000, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const files::Q15Stages q15 = files::Q15StagesOf({c.stage}, c.bits);
        EXPECT_EQ(q15.fits, c.fits) << c.name;
        EXPECT_EQ(q15.lossless, c.lossless) << c.name;
        EXPECT_EQ(q15.postShift, c.postShift) << c.name;
        ASSERT_EQ(q15.values.size(), 1u) << c.name;
        EXPECT_EQ(q15.values[0], c.values) << c.name;
    }
}

TEST(Export, EveryFormatNamesAnIirMethodOtherThanChebyshevI) {
    const struct {
        int method;
        std::vector<std::string> lines; // the design lines between the title and "sections:"
        bool ripple;                    // "pass-band ripple: 0.3 dB" stays
        const char* atten;              // "stop-band attenuation: ..." is added
    } cases[] = {
        {dsp::kIirButter, {"design method: Butterworth"}, false, nullptr},
        {dsp::kIirCheby2, {"design method: Chebyshev II"}, false, "stop-band attenuation: 55 dB"},
        {dsp::kIirEllip, {"design method: Elliptic"}, true, "stop-band attenuation: 55 dB"},
        {dsp::kIirBessel, {"design method: Bessel"}, false, nullptr},
    };
    const dsp::FilterCoefficients c = Iir(true);
    for (const auto& k : cases) {
        SCOPED_TRACE(k.method);
        files::ExportParameters p = IirParameters();
        p.iirMethod = k.method;
        p.attenDb = 55.0;
        for (const auto& [format, prefix] :
             {std::pair{ExportFormat::kCoe, "; "}, std::pair{ExportFormat::kMif, "-- "},
              std::pair{ExportFormat::kCsv, "# "}, std::pair{ExportFormat::kCHeader, " * "}}) {
            SCOPED_TRACE(files::ExportFormatWord(format));
            const std::string text = files::BuildExport(format, c, p, "lowpass").value_or("");
            const std::string plain = Export(format, c);
            const std::string method = std::string(prefix) + k.lines[0] + "\n";
            const size_t at = text.find(method);
            ASSERT_NE(at, std::string::npos) << text;
            // Right after the title line, before the sections.
            EXPECT_EQ(text.find(std::string(prefix) + "sections: "), at + method.size());
            EXPECT_EQ(text.find("pass-band ripple: 0.3 dB") != std::string::npos, k.ripple);
            if (k.atten != nullptr) {
                EXPECT_NE(text.find(std::string(prefix) + k.atten + "\n"), std::string::npos);
            }
            // The data after the comments is the default method's, value for value.
            EXPECT_EQ(text.substr(text.size() - 40), plain.substr(plain.size() - 40));
            EXPECT_EQ(plain.find("design method"), std::string::npos);
        }
        const nlohmann::json json = nlohmann::json::parse(
            files::BuildExport(ExportFormat::kJson, c, p, "lowpass").value_or("{}"));
        EXPECT_EQ(json["design"]["method"], dsp::IirMethodName(k.method));
        EXPECT_EQ(json["design"].contains("atten_db"), k.atten != nullptr);
    }
    // Chebyshev I keeps the files as they always were.
    files::ExportParameters p = IirParameters();
    p.iirMethod = dsp::kIirCheby1;
    p.attenDb = 55.0;
    EXPECT_EQ(files::BuildExport(ExportFormat::kCsv, c, p, "lowpass"),
              Export(ExportFormat::kCsv, c));
    EXPECT_EQ(files::BuildExport(ExportFormat::kJson, c, p, "lowpass"),
              Export(ExportFormat::kJson, c));
}

TEST(Export, IntegerFormatsNeedQuantizedCoefficients) {
    for (ExportFormat format : {ExportFormat::kCoe, ExportFormat::kMif}) {
        EXPECT_FALSE(files::BuildExport(format, Fir(false), FirParameters(), "x"));
        EXPECT_FALSE(files::BuildExport(format, Iir(false), IirParameters(), "x"));
    }
    // The real-valued formats leave the literals out.
    const std::string csv = Export(ExportFormat::kCsv, Fir(false));
    EXPECT_NE(csv.find("# not quantized\n# one tap a row, h[0] first: the coefficients K * h\n"
                       "0.25\n-0.5\n0.75\n"),
              std::string::npos)
        << csv;
    EXPECT_EQ(csv.find("literals"), std::string::npos) << csv;
}

TEST(Export, NamesAndFormatWords) {
    const std::pair<const char*, const char*> names[] = {
        {"lowpass", "lowpass"}, {"low-pass 2", "low_pass_2"}, {"2nd", "filter_2nd"},
        {"", "filter_"},        {"_x", "filter__x"},          {"f\xc3\xa9", "f__"},
    };
    for (const auto& [text, id] : names) {
        EXPECT_EQ(files::CIdentifier(text), id) << text;
    }
    for (const char* word : {"coe", "mif", "csv", "json", "c"}) {
        ASSERT_TRUE(files::ParseExportFormat(word)) << word;
        EXPECT_STREQ(files::ExportFormatWord(*files::ParseExportFormat(word)), word);
    }
    EXPECT_FALSE(files::ParseExportFormat("h"));
}

} // namespace

namespace {

// A rate change is named in every format's comments; the C header adds the factor, the taps by
// phase and, for an interpolator, the taps padded for arm_fir_interpolate_init_*; the JSON adds
// "rate_change". Taps 0.25, -0.5, 0.75: literals 32, -64, 96 at B = 8, 8192, -16384, 24576 at
// B = 16.
TEST(Export, RateChangeNamedWithItsPolyphaseArrangement) {
    struct Case {
        const char* name;
        vhdl::RateChange rate;
        int bits;
        std::vector<std::string> headerParts;
        const char* json; // "rate_change", compact
    };
    const Case cases[] = {
        {"decimate by 2",
         {vhdl::RateKind::kDecimate, 2},
         8,
         {" * decimation by 2: one output per 2 input samples, at samples 0, M, 2M, ... "
          "(polyphase)\n * quantized to B = 8 bits",
          "#define LOWPASS_DECIMATION 2\n", "#define LOWPASS_PHASES 2\n",
          "#define LOWPASS_PHASE_LENGTH 2\n",
          "static const float lowpass_phases_f32[LOWPASS_PHASES][LOWPASS_PHASE_LENGTH] = {\n"
          "    {0.25f, 0.75f},\n    {-0.5f, 0.0f}\n};\n",
          "static const int32_t lowpass_phases_int[LOWPASS_PHASES][LOWPASS_PHASE_LENGTH] = {\n"
          "    {32, 96},\n    {-64, 0}\n};\n"},
         R"({"kind":"decimate","factor":2,"phases":[[0.25,0.75],[-0.5,0.0]],)"
         R"("phase_integers":[[32,96],[-64,0]]})"},
        // Three taps padded to four, the zero first in the time-reversed order.
        {"interpolate by 2",
         {vhdl::RateKind::kInterpolate, 2},
         16,
         {" * interpolation by 2: 2 outputs per input sample (polyphase), the taps without a "
          "gain of L\n",
          "#define LOWPASS_INTERPOLATION 2\n#define LOWPASS_INTERP_NUM_TAPS 4\n",
          "static const float lowpass_interp_taps_f32[LOWPASS_INTERP_NUM_TAPS] = {\n"
          "    0.0f, 0.75f, -0.5f, 0.25f\n};\n",
          "static const int16_t lowpass_interp_taps_q15[LOWPASS_INTERP_NUM_TAPS] = {\n"
          "    0, 24576, -16384, 8192\n};\n",
          "    {0.25f, 0.75f},\n    {-0.5f, 0.0f}\n};\n", "    {8192, 24576},\n    {-16384, 0}\n"},
         R"({"kind":"interpolate","factor":2,"phases":[[0.25,0.75],[-0.5,0.0]],)"
         R"("phase_integers":[[8192,24576],[-16384,0]]})"},
        // A multiple of L already: no padding; the Q31 form scales the literals by 2^(32 - B).
        {"interpolate by 3",
         {vhdl::RateKind::kInterpolate, 3},
         20,
         {"#define LOWPASS_INTERP_NUM_TAPS 3\n",
          "static const int32_t lowpass_interp_taps_q31[LOWPASS_INTERP_NUM_TAPS] = {\n"
          "    1610612736, -1073741824, 536870912\n};\n",
          "#define LOWPASS_PHASE_LENGTH 1\n", "    {0.25f},\n    {-0.5f},\n    {0.75f}\n};\n",
          "    {131072},\n    {-262144},\n    {393216}\n};\n"},
         R"({"kind":"interpolate","factor":3,"phases":[[0.25],[-0.5],[0.75]],)"
         R"("phase_integers":[[131072],[-262144],[393216]]})"},
    };
    for (const Case& c : cases) {
        files::ExportParameters p = FirParameters();
        p.rate = c.rate;
        const dsp::FilterCoefficients fir = Fir(true, c.bits);
        const std::string header =
            files::BuildExport(ExportFormat::kCHeader, fir, p, "lowpass").value_or("");
        for (const std::string& part : c.headerParts) {
            EXPECT_NE(header.find(part), std::string::npos) << c.name << ": " << part;
        }
        // The single-rate text comes first, unchanged but for the comment's rate line.
        std::string single = Export(ExportFormat::kCHeader, Fir(true, c.bits));
        const std::string tail = "\n#endif /* LOWPASS_H */\n";
        single.resize(single.size() - tail.size());
        const std::size_t rateLine = header.find(
            " * " +
            std::string(c.rate.kind == vhdl::RateKind::kDecimate ? "decimation" : "interpolation"));
        ASSERT_NE(rateLine, std::string::npos) << c.name;
        std::string withoutLine = header;
        withoutLine.erase(rateLine, header.find('\n', rateLine) + 1 - rateLine);
        EXPECT_EQ(withoutLine.substr(0, single.size()), single) << c.name;

        const nlohmann::ordered_json json = nlohmann::ordered_json::parse(
            files::BuildExport(ExportFormat::kJson, fir, p, "lowpass").value_or("{}"));
        EXPECT_EQ(json["rate_change"].dump(), c.json) << c.name;
        // Every other format names it in its comments.
        for (ExportFormat format : {ExportFormat::kCsv, ExportFormat::kCoe, ExportFormat::kMif}) {
            const std::string text = files::BuildExport(format, fir, p, "lowpass").value_or("");
            EXPECT_NE(text.find(c.rate.kind == vhdl::RateKind::kDecimate ? "decimation by "
                                                                         : "interpolation by "),
                      std::string::npos)
                << c.name << " " << files::ExportFormatWord(format);
        }
    }
    // An unquantized design has phases but no integers; an IIR's files ignore the rate.
    files::ExportParameters p = FirParameters();
    p.rate = {vhdl::RateKind::kDecimate, 2};
    const nlohmann::ordered_json json = nlohmann::ordered_json::parse(
        files::BuildExport(ExportFormat::kJson, Fir(false), p, "lowpass").value_or("{}"));
    EXPECT_TRUE(json["rate_change"].contains("phases"));
    EXPECT_FALSE(json["rate_change"].contains("phase_integers"));
    files::ExportParameters iir = IirParameters();
    iir.rate = p.rate;
    for (ExportFormat format : {ExportFormat::kCHeader, ExportFormat::kJson, ExportFormat::kCsv}) {
        EXPECT_EQ(files::BuildExport(format, Iir(true), iir, "lowpass"), Export(format, Iir(true)))
            << files::ExportFormatWord(format);
    }
}

} // namespace
