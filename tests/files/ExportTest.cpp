// The export formats, line for line, for two small designs whose integers are worked out by hand:
// a FIR of three taps and an IIR of one section, both quantized to B = 8 bits (scale 128).
//   FIR taps 0.25, -0.5, 0.75           -> 32, -64, 96 (8 bits: 20, C0, 60 hex)
//   IIR a0 a1 a2 b1 b2 = .5 1 .5 -1.5 .75 -> 64, 128, 64, -192, 96 (10 bits: 040 080 040 340 060)
// and the CMSIS-DSP stage of that section, b0 b1 b2 a1 a2 = .5 1 .5 1.5 -.75, post-shift 1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    const Case cases[] = {
        {"fir coe", ExportFormat::kCoe, false,
         Prefixed(firComment, "; ") + "radix=10;\ncoefdata=\n32,\n-64,\n96;\n"},
        {"iir coe", ExportFormat::kCoe, true,
         Prefixed(iirComment, "; ") + "; one section per line: a0, a1, a2, b1, b2 in 10 bits\n" +
             "radix=10;\ncoefdata=\n64,128,64,-192,96;\n"},
        {"fir mif", ExportFormat::kMif, false,
         Prefixed(firComment, "-- ") +
             "WIDTH=8;\nDEPTH=3;\n\nADDRESS_RADIX=UNS;\nDATA_RADIX=HEX;\n\nCONTENT BEGIN\n"
             "\t0 : 20;\n\t1 : C0;\n\t2 : 60;\nEND;\n"},
        {"iir mif", ExportFormat::kMif, true,
         Prefixed(iirComment, "-- ") + "-- five words per section: a0, a1, a2, b1, b2\n" +
             "WIDTH=10;\nDEPTH=5;\n\nADDRESS_RADIX=UNS;\nDATA_RADIX=HEX;\n\nCONTENT BEGIN\n"
             "\t0 : 040;\n\t1 : 080;\n\t2 : 040;\n\t3 : 340;\n\t4 : 060;\nEND;\n"},
        {"fir csv", ExportFormat::kCsv, false,
         "index,value,integer\n0,0.25,32\n1,-0.5,-64\n2,0.75,96\n"},
        {"iir csv", ExportFormat::kCsv, true,
         "section,a0,a1,a2,b1,b2,a0_integer,a1_integer,a2_integer,b1_integer,b2_integer\n"
         "0,0.5,1,0.5,-1.5,0.75,64,128,64,-192,96\n"},
        {"fir json", ExportFormat::kJson, false,
         "{\n  \"format\": \"vantrel-coefficients\",\n  \"version\": 1,\n"
         "  \"structure\": \"fir\",\n  \"quantized\": true,\n  \"bits\": 8,\n"
         "  \"scale\": 128.0,\n  \"integer_bits\": 8,\n  \"design\": {\n    \"type\": \"lpf\",\n"
         "    \"fs\": 1000.0,\n    \"edges\": [\n      200.0,\n      250.0\n    ],\n"
         "    \"taps\": 3,\n    \"rr\": 10.0,\n    \"multiplier\": 1\n  },\n"
         "  \"coefficients\": [\n    0.25,\n    -0.5,\n    0.75\n  ],\n"
         "  \"integers\": [\n    32,\n    -64,\n    96\n  ]\n}\n"},
        {"fir c header at 8 bits: the float taps only", ExportFormat::kCHeader, false,
         "/* lowpass: coefficients exported by Vantrel.\n" + Prefixed(firComment, " * ") +
             " */\n#ifndef LOWPASS_H\n#define LOWPASS_H\n\n#include <stdint.h>\n\n"
             "/* Taps in time-reversed order, as arm_fir_init_f32/_q15/_q31 take them:\n"
             "   element 0 holds the last tap h[N-1]. */\n"
             "#define LOWPASS_NUM_TAPS 3\n\n"
             "static const float lowpass_taps_f32[LOWPASS_NUM_TAPS] = {\n"
             "    0.75f, -0.5f, 0.25f\n};\n\n#endif /* LOWPASS_H */\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Export(c.format, c.iir ? Iir(true) : Fir(true)), c.expected) << c.name;
    }
}

TEST(Export, CHeaderIntegerArraysForCmsisDsp) {
    // B = 16: Q15 taps reversed, padded with a leading zero to an even count; the IIR stage in
    // the library's {b0, 0, b1, b2, a1, a2} order, divided by 2^1 (1.0 and 1.5 need the shift).
    const std::string fir = Export(ExportFormat::kCHeader, Fir(true, 16));
    EXPECT_NE(fir.find("#define LOWPASS_NUM_TAPS_Q15 4\n"
                       "static const int16_t lowpass_taps_q15[LOWPASS_NUM_TAPS_Q15] = {\n"
                       "    0, 24576, -16384, 8192\n};\n"),
              std::string::npos)
        << fir;
    const std::string iir = Export(ExportFormat::kCHeader, Iir(true, 16));
    EXPECT_NE(iir.find("static const float lowpass_coeffs_f32[5 * LOWPASS_NUM_STAGES] = {\n"
                       "    0.5f, 1.0f, 0.5f, 1.5f, -0.75f\n};\n"),
              std::string::npos)
        << iir;
    EXPECT_NE(iir.find("#define LOWPASS_POST_SHIFT_Q15 1\n"
                       "static const int16_t lowpass_coeffs_q15[6 * LOWPASS_NUM_STAGES] = {\n"
                       "    8192, 0, 16384, 8192, 24576, -12288\n};\n"),
              std::string::npos)
        << iir;
    // B = 32: Q31, five a stage, no shift while every coefficient is inside [-1, 1).
    const std::vector<dsp::Section> small = {{0.5, 0.25, 0.125, 0.5, -0.25}};
    const std::string q31 =
        files::BuildExport(ExportFormat::kCHeader, dsp::IirCoefficients(small, 1, true, 32),
                           IirParameters(), "lowpass")
            .value_or("");
    EXPECT_NE(q31.find("#define LOWPASS_POST_SHIFT_Q31 0\n"
                       "static const int32_t lowpass_coeffs_q31[5 * LOWPASS_NUM_STAGES] = {\n"
                       "    1073741824, 536870912, 268435456, -1073741824, 536870912\n};\n"),
              std::string::npos)
        << q31;
}

TEST(Export, PostShiftIsTheLeastThatHoldsEveryCoefficient) {
    struct Case {
        dsp::Section section;
        int shift;
    };
    // The stage holds a0 a1 a2 and -b1 -b2; -2^p fits, +2^p does not.
    const Case cases[] = {
        {{0.5, 0.25, 0.125, 0.5, -0.25}, 0}, {{0.5, 0.25, 0.125, 1.0, 0.5}, 0}, // a1 = -1 fits
        {{0.5, 0.25, 0.125, -1.0, 0.5}, 1},                                     // a1 = +1 does not
        {{0.5, 1.99, 0.125, 0.0, 0.0}, 1},   {{0.5, -2.0, 0.125, 0.0, 0.0}, 1},
        {{0.5, 2.0, 0.125, 0.0, 0.0}, 2},
    };
    for (const Case& c : cases) {
        const dsp::FilterCoefficients iir = dsp::IirCoefficients({&c.section, 1}, 1, false, 16);
        EXPECT_EQ(files::BiquadPostShift(iir), c.shift) << c.section[1] << " " << c.section[3];
    }
}

TEST(Export, IntegerFormatsNeedQuantizedCoefficients) {
    for (ExportFormat format : {ExportFormat::kCoe, ExportFormat::kMif}) {
        EXPECT_FALSE(files::BuildExport(format, Fir(false), FirParameters(), "x"));
        EXPECT_FALSE(files::BuildExport(format, Iir(false), IirParameters(), "x"));
    }
    // The real-valued formats leave the integers out.
    EXPECT_EQ(Export(ExportFormat::kCsv, Fir(false)), "index,value\n0,0.25\n1,-0.5\n2,0.75\n");
    EXPECT_EQ(Export(ExportFormat::kJson, Fir(false)).find("integers"), std::string::npos);
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
