// Load Coefficients of the exchange formats: every export of designed filters loads back with
// the exported values bit for bit (and, for .coe and .mif, the exported integers at the exported
// B); files numpy and scipy write load with numpy's values; each kind's broken files are refused
// with their line and reason next to good ones, and a refused file changes nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/ExportCommands.h"
#include "app/FileCommands.h"
#include "app/OlvexDoc.h"
#include "files/CoeffImport.h"
#include "files/Export.h"
#include "tests/support/ScratchFolder.h"
#include "vhdl/BitTrueModel.h"

namespace {

using files::CoeffFileKind;
using files::ExportFormat;

struct CoeffImportFixture : ::testing::Test {
    support::ScratchFolder folder{"coeffimport"};

    commands::LoadOutcome Load(COlvexDoc& doc, const std::string& name, const std::string& text,
                               bool iir, int bits = 0) const {
        int loadFormat = 0;
        return commands::LoadCoefficients(doc, {iir, folder.Write(name, text).string(), bits},
                                          loadFormat);
    }
};

struct Design {
    const char* name;
    bool iir;
    int type;  // 0 LPF, 1 HPF, 2 BRF, 3 BPF
    int count; // taps or sections
    int multiplier;
    int bits; // 0: not quantized
};

COlvexDoc Designed(const Design& d) {
    COlvexDoc doc;
    doc.m_fnConsole = nullptr;
    doc.m_nFilterType = d.type;
    if (d.iir) {
        doc.m_nIirSections = d.count;
        EXPECT_TRUE(doc.DesignIir());
    } else {
        doc.m_nTaps = d.count;
        doc.m_bEvenTaps = (d.type == 1 || d.type == 2) && d.count % 2 == 0 ? 1 : 0;
        doc.m_nTaps -= doc.m_bEvenTaps;
        doc.DesignFir(d.type);
        EXPECT_EQ(doc.m_bDesignOk, 1);
    }
    doc.m_nCoeffMultiplier = d.multiplier;
    doc.m_bQuantize = d.bits > 0 ? 1 : 0;
    doc.m_nQuantBits = d.bits > 0 ? d.bits : 16;
    return doc;
}

// What an export holds: the values (the taps, or a0 a1 a2 b1 b2 per designed section), for .coe
// and .mif those of the VHDL literals at scale 2^(B-1), saturated as the literals are.
std::vector<double> ExportedValues(const dsp::FilterCoefficients& c, bool integers) {
    std::vector<double> values;
    const auto scaled = [&c](std::int64_t literal) {
        return std::ldexp(static_cast<double>(literal), 1 - c.bits);
    };
    if (!c.iir) {
        if (!integers) {
            return c.taps;
        }
        for (const std::int64_t literal : vhdl::FirLiterals(c)) {
            values.push_back(scaled(literal));
        }
        return values;
    }
    if (!integers) {
        for (const dsp::Section& s : c.DesignedSections()) {
            values.insert(values.end(), s.begin(), s.end());
        }
        return values;
    }
    for (const vhdl::IirSectionLiterals& l : vhdl::IirLiterals(c)) {
        values.insert(values.end(),
                      {scaled(l.a0), scaled(l.a1), scaled(l.a2), -scaled(l.nb1), -scaled(l.nb2)});
    }
    return values;
}

std::vector<double> LoadedValues(const COlvexDoc& doc, bool iir, int count) {
    if (!iir) {
        return std::vector<double>(doc.m_aFirCoeffs, doc.m_aFirCoeffs + count);
    }
    std::vector<double> values;
    for (int s = 0; s < doc.m_nIirSections; ++s) {
        values.insert(values.end(),
                      {doc.m_aA0[s], doc.m_aA1[s], doc.m_aA2[s], doc.m_aB1[s], doc.m_aB2[s]});
    }
    return values;
}

// Each export of designed filters, loaded into a record of other settings: the record holds the
// exported doubles bit for bit, with the multiplier 1 and quantization off; from .coe and .mif it
// takes their B, and quantized at it gives the VHDL literals again.
TEST_F(CoeffImportFixture, EveryExportLoadsBackWithTheExportedValues) {
    const Design designs[] = {
        {"FIR LPF 61 unquantized", false, 0, 61, 1, 0},
        {"FIR HPF 40 (one zero tap listed), K = 3 (saturating), B = 16", false, 1, 40, 3, 16},
        {"FIR BPF 90, B = 12", false, 3, 90, 1, 12},
        {"FIR LPF 31, B = 32", false, 0, 31, 1, 32},
        {"IIR LPF 4 unquantized", true, 0, 4, 1, 0},
        {"IIR BPF 8, B = 16", true, 3, 8, 1, 16},
        {"IIR HPF 3, B = 24", true, 1, 3, 1, 24},
        {"IIR LPF 1, B = 8", true, 0, 1, 1, 8},
    };
    for (const Design& d : designs) {
        const COlvexDoc doc = Designed(d);
        const dsp::FilterCoefficients c = doc.TakeCoefficients(d.iir);
        for (const ExportFormat format :
             {ExportFormat::kCsv, ExportFormat::kJson, ExportFormat::kCoe, ExportFormat::kMif}) {
            const bool integers = files::IsIntegerFormat(format);
            if (integers && d.bits == 0) {
                continue;
            }
            SCOPED_TRACE(std::string(d.name) + " " + files::ExportFormatWord(format));
            const std::optional<std::string> text =
                files::BuildExport(format, c, commands::ExportParametersOf(doc, d.iir), "f");
            ASSERT_TRUE(text.has_value());
            COlvexDoc back;
            back.m_nCoeffMultiplier = 5;
            back.m_bQuantize = 1;
            back.m_nQuantBits = 10; // the file's B must win over the form's
            back.m_aFirCoeffs[COlvexDoc::kMaxFirTaps - 1] = 0.5;
            back.m_aA1[7] = 0.5;
            const commands::LoadOutcome outcome =
                Load(back, std::string("f") + files::ExportExtension(format), *text, d.iir);
            ASSERT_TRUE(outcome.notices.empty())
                << outcome.notices[0].lines[1] << "\n--- file ---\n"
                << *text;
            const std::vector<double> expected = ExportedValues(c, integers);
            ASSERT_EQ(outcome.valuesRead, static_cast<int>(expected.size()));
            EXPECT_EQ(LoadedValues(back, d.iir, outcome.valuesRead), expected);
            EXPECT_EQ(back.m_nCoeffMultiplier, 1);
            EXPECT_EQ(back.m_bQuantize, 0);
            EXPECT_EQ(back.m_bBandsKnown, 0);
            if (d.iir) {
                EXPECT_EQ(back.m_nIirSections, c.designedSections);
                if (c.designedSections < COlvexDoc::kIirSections) {
                    EXPECT_EQ(back.m_aA1[7], 0.0) << "the sections past the file pass through";
                }
            } else {
                EXPECT_EQ(back.m_aFirCoeffs[COlvexDoc::kMaxFirTaps - 1], 0.0);
            }
            EXPECT_EQ(back.m_nQuantBits, integers ? d.bits : 10);
            if (!integers) {
                continue;
            }
            back.m_bQuantize = 1;
            const dsp::FilterCoefficients q = back.TakeCoefficients(d.iir);
            if (d.iir) {
                const std::vector<vhdl::IirSectionLiterals> ours = vhdl::IirLiterals(c);
                const std::vector<vhdl::IirSectionLiterals> theirs = vhdl::IirLiterals(q);
                ASSERT_EQ(theirs.size(), ours.size());
                for (size_t s = 0; s < ours.size(); ++s) {
                    EXPECT_EQ(std::vector<std::int64_t>({theirs[s].a0, theirs[s].a1, theirs[s].a2,
                                                         theirs[s].nb1, theirs[s].nb2}),
                              std::vector<std::int64_t>(
                                  {ours[s].a0, ours[s].a1, ours[s].a2, ours[s].nb1, ours[s].nb2}));
                }
            } else {
                EXPECT_EQ(vhdl::FirLiterals(q), vhdl::FirLiterals(c));
            }
        }
    }
}

// numpy.savetxt of scipy.signal.butter(3, [0.1, 0.3], 'bandpass', output='sos') with
// delimiter=',' and with the default blank, and of scipy.signal.firwin(5, 0.3): 19 significant
// digits ("%.18e") that must round to numpy's doubles (their repr is below).
const char* const kSosComma =
    "1.809893300751443806e-02,3.619786601502887613e-02,1.809893300751443806e-02,"
    "1.000000000000000000e+00,-1.284079043840412160e+00,5.095254494944286838e-01\n"
    "1.000000000000000000e+00,0.000000000000000000e+00,-1.000000000000000000e+00,"
    "1.000000000000000000e+00,-1.026394097180146403e+00,6.507946692078061535e-01\n"
    "1.000000000000000000e+00,-2.000000000000000000e+00,1.000000000000000000e+00,"
    "1.000000000000000000e+00,-1.738660332282922161e+00,8.385491481879396858e-01\n";
const char* const kSosBlank =
    "1.809893300751443806e-02 3.619786601502887613e-02 1.809893300751443806e-02 "
    "1.000000000000000000e+00 -1.284079043840412160e+00 5.095254494944286838e-01\n"
    "1.000000000000000000e+00 0.000000000000000000e+00 -1.000000000000000000e+00 "
    "1.000000000000000000e+00 -1.026394097180146403e+00 6.507946692078061535e-01\n"
    "1.000000000000000000e+00 -2.000000000000000000e+00 1.000000000000000000e+00 "
    "1.000000000000000000e+00 -1.738660332282922161e+00 8.385491481879396858e-01\n";
const std::vector<double> kSosValues = {0.018098933007514438,
                                        0.036197866015028876,
                                        0.018098933007514438,
                                        -1.2840790438404122,
                                        0.5095254494944287,
                                        1.0,
                                        0.0,
                                        -1.0,
                                        -1.0263940971801464,
                                        0.6507946692078062,
                                        1.0,
                                        -2.0,
                                        1.0,
                                        -1.7386603322829222,
                                        0.8385491481879397};
const char* const kFirwin = "2.010370826828535365e-02\n2.308666818054219416e-01\n"
                            "4.980592198525854997e-01\n2.308666818054219416e-01\n"
                            "2.010370826828535365e-02\n";
const std::vector<double> kFirwinValues = {0.020103708268285354, 0.23086668180542194,
                                           0.4980592198525855, 0.23086668180542194,
                                           0.020103708268285354};

// The values a load gives: the taps, or a0 a1 a2 b1 b2 of each section.
std::vector<double> Values(const files::ImportedCoefficients& in) {
    std::vector<double> values = in.taps;
    for (const dsp::Section& s : in.sections) {
        values.insert(values.end(), s.begin(), s.end());
    }
    return values;
}

struct ReadCase {
    const char* name;
    std::string text;
    bool iir;
    // Good files: the values (taps, or a0 a1 a2 b1 b2 per section) and the B of integer files.
    // Refused ones: a part of the reason.
    std::vector<double> values;
    int bits = 0;
    std::string problem = {};
};

void CheckCases(const std::vector<ReadCase>& cases, CoeffFileKind kind) {
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(files::DetectCoeffFileKind(c.text), kind);
        const files::ImportedCoefficients in = files::ImportCoefficients(c.text, c.iir, 16);
        if (!c.problem.empty()) {
            EXPECT_FALSE(in.ok);
            EXPECT_NE(in.problem.find(c.problem), std::string::npos) << in.problem;
            continue;
        }
        ASSERT_TRUE(in.ok) << in.problem;
        EXPECT_EQ(in.iir, c.iir);
        EXPECT_EQ(Values(in), c.values);
        EXPECT_EQ(in.bits, c.bits);
    }
}

std::string Rows(int count, const std::string& row) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += row + "\n";
    }
    return text;
}

TEST(CoeffImport, RowsOfNumbers) {
    const std::string sosRow = "1,2,1,1,-0.5,0.25";
    CheckCases(
        {
            {"numpy's sos, comma-separated", kSosComma, true, kSosValues},
            {"numpy's sos, blank-separated", kSosBlank, true, kSosValues},
            {"numpy's vector", kFirwin, false, kFirwinValues},
            {"comments, CRLF, a byte order mark, inline comments",
             "\xEF\xBB\xBF# FIR taps\r\n\r\n0.5 # first\r\n-0.25\r\n",
             false,
             {0.5, -0.25}},
            {"a row whose a0 is 2 is divided by it",
             "2,4,2,2,-1,0.5\n",
             true,
             {1.0, 2.0, 1.0, -0.5, 0.25}},
            {"8 sections", Rows(8, sosRow), true,
             [&] {
                 std::vector<double> v;
                 for (int i = 0; i < 8; ++i) {
                     v.insert(v.end(), {1.0, 2.0, 1.0, -0.5, 0.25});
                 }
                 return v;
             }()},
            {"399 taps", Rows(399, "0.5"), false, std::vector<double>(399, 0.5)},
            {"sections loaded as FIR", kSosComma, false, {}, 0, "choose the IIR structure"},
            {"taps loaded as IIR", kFirwin, true, {}, 0, "choose the FIR structure"},
            {"9 sections", Rows(9, sosRow), true, {}, 0, "holds 9 sections; an IIR filter"},
            {"400 taps", Rows(400, "0.5"), false, {}, 0, "holds 400 taps; a FIR filter takes"},
            {"a word on line 3", "0.5\n0.25\nabc\n", false, {}, 0, "line 3: 'abc' is not a"},
            {"nan", "0.5\nnan\n", false, {}, 0, "line 2: 'nan' is not a finite number"},
            {"1e999", "0.5\n1e999\n", false, {}, 0, "line 2: '1e999' is not a finite"},
            {"ragged rows",
             sosRow + "\n1,2,1,1,-0.5\n",
             true,
             {},
             0,
             "line 2: holds 5 values where line 1 holds 6"},
            {"four values a row", "1,2,3,4\n", true, {}, 0, "line 1: holds 4 values; a row"},
            {"an empty field", "1,,1,1,-0.5,0.25\n", true, {}, 0, "line 1: field 2 is empty"},
            {"a0 of 0",
             sosRow + "\n1,2,1,0,-0.5,0.25\n",
             true,
             {},
             0,
             "line 2: a0 of the denominator is 0"},
            {"a tiny a0 overflows", "1e300,0,0,1e-300,0,0\n", true, {}, 0, "beyond the range"},
            {"comments only", "# nothing\n", false, {}, 0, "holds no values"},
        },
        CoeffFileKind::kColumns);
}

TEST(CoeffImport, OlderCsvTables) {
    CheckCases(
        {
            {"taps with integers",
             "index,value,integer\n0,0.25,32\n1,-0.5,-64\n",
             false,
             {0.25, -0.5}},
            {"sections",
             "section,a0,a1,a2,b1,b2\n0,0.5,1,0.5,-1.5,0.75\n",
             true,
             {0.5, 1.0, 0.5, -1.5, 0.75}},
            {"sections as FIR",
             "section,a0,a1,a2,b1,b2\n0,0.5,1,0.5,-1.5,0.75\n",
             false,
             {},
             0,
             "choose the IIR structure"},
            {"a short row",
             "index,value,integer\n0,0.25\n",
             false,
             {},
             0,
             "line 2: holds 2 values where line 1 holds 3"},
        },
        CoeffFileKind::kCsvTable);
}

TEST(CoeffImport, Json) {
    const std::string deep = std::string(40, '[') + std::string(40, ']');
    CheckCases(
        {
            {"FIR numerator",
             R"({"structure": "fir", "numerator": [0.25, -0.5]})",
             false,
             {0.25, -0.5}},
            {"FIR with denominator [1]",
             R"({"numerator": [0.25], "denominator": [1]})",
             false,
             {0.25}},
            {"IIR sos, a0 of 2 divided out",
             R"({"structure": "iir", "sos": [[1, 2, 1, 1, -0.5, 0.25], [2, 0, 0, 2, 1, 0]]})",
             true,
             {1.0, 2.0, 1.0, -0.5, 0.25, 1.0, 0.0, 0.0, 0.5, 0.0}},
            {"IIR sections of numerator and denominator",
             R"({"structure": "iir", "sections": [{"numerator": [1, 2, 1],
                 "denominator": [1, -0.5, 0.25]}]})",
             true,
             {1.0, 2.0, 1.0, -0.5, 0.25}},
            {"older FIR and IIR keys",
             R"({"structure": "iir", "sections": [{"a0": 0.5, "a1": 1,
                 "a2": 0.5, "b1": -1.5, "b2": 0.75}]})",
             true,
             {0.5, 1.0, 0.5, -1.5, 0.75}},
            {"older FIR key", R"({"structure": "fir", "coefficients": [0.125]})", false, {0.125}},
            {"IIR asked for FIR",
             R"({"structure": "iir", "sos": [[1, 2, 1, 1, -0.5, 0.25]]})",
             false,
             {},
             0,
             "choose the IIR structure"},
            {"sos without structure asked for FIR",
             R"({"sos": [[1, 2, 1, 1, -0.5, 0.25]]})",
             false,
             {},
             0,
             "choose the IIR structure"},
            {"FIR asked for IIR",
             R"({"structure": "fir", "numerator": [1]})",
             true,
             {},
             0,
             "choose the FIR structure"},
            {"unknown structure",
             R"({"structure": "fur", "numerator": [1]})",
             false,
             {},
             0,
             "\"structure\": expected \"fir\" or \"iir\""},
            {"a transfer function as FIR",
             R"({"numerator": [1], "denominator": [1, 0.5]})",
             false,
             {},
             0,
             "a FIR filter has none other than [1]"},
            {"a row of five",
             R"({"sos": [[1, 2, 1, 1, -0.5, 0.25], [1, 2, 1, 1, -0.5]]})",
             true,
             {},
             0,
             "\"sos\" section 2: expected six numbers"},
            {"a string among taps",
             R"({"numerator": [0.5, "x"]})",
             false,
             {},
             0,
             "\"numerator\": entry 2 is not a finite number"},
            {"nine sections",
             "{\"sos\": [" +
                 [] {
                     std::string rows;
                     for (int i = 0; i < 9; ++i) {
                         rows += std::string(i ? "," : "") + "[1,0,0,1,0,0]";
                     }
                     return rows;
                 }() +
                 "]}",
             true,
             {},
             0,
             "holds 9 sections"},
            {"cut short", R"({"numerator": [0.5,)", false, {}, 0, "malformed or cut short"},
            {"a design file",
             R"({"format": "vantrel-design", "version": 1})",
             false,
             {},
             0,
             "is a design file"},
            {"nested too deep",
             "{\"numerator\": " + deep + "}",
             false,
             {},
             0,
             "nested more than 16 levels deep"},
            {"no taps", R"({"structure": "fir"})", false, {}, 0, "has no \"numerator\""},
            {"a number beyond a double",
             R"({"numerator": [1e999]})",
             false,
             {},
             0,
             "too large to read"},
        },
        CoeffFileKind::kJson);
}

// The section a0 a1 a2 b1 b2 = .5 1 .5 -1.5 .75 at B = 8 (scale 128) is 64 128 64 -192 96; the
// hardware's literals a0 a1 a2 -b1 -b2 are 64 128 64 192 -96 in 10 bits (hex 040 080 040 0C0
// 3A0).
const std::vector<double> kSection = {0.5, 1.0, 0.5, -1.5, 0.75};

TEST(CoeffImport, Coe) {
    CheckCases(
        {
            {"a FIR core's file, B from its comment",
             "; FIR low-pass filter\n; quantized to B = 8 bits, scale 2^7\nradix=10;\n"
             "coefdata=\n32,-64,96;\n",
             false,
             {0.25, -0.5, 0.75},
             8},
            {"B from the caller", "radix=10;\ncoefdata=16384, -8192;\n", false, {0.5, -0.25}, 16},
            {"hex words of B bits",
             "; B = 8\nradix=16;\ncoefdata=20 C0 60;\n",
             false,
             {0.25, -0.5, 0.75},
             8},
            {"real values of a FIR core",
             "radix=10;\ncoefdata=0.5,-0.25,1;\n",
             false,
             {0.5, -0.25, 1.0},
             0},
            {"memory initialisation of literals",
             "; IIR low-pass filter\n; B = 8\nmemory_initialization_radix=10;\n"
             "memory_initialization_vector=\n64, 128, 64, 192, -96;\n",
             true, kSection, 8},
            {"memory initialisation in hex",
             "; B = 8\nmemory_initialization_radix=16;\n"
             "memory_initialization_vector=040 080 040 0C0 3A0;\n",
             true, kSection, 8},
            {"an older IIR file with the stored signs",
             "; IIR low-pass filter\n; quantized to B = 8 bits, scale 2^7\n"
             "; one section per line: a0, a1, a2, b1, b2 in 10 bits\nradix=10;\n"
             "coefdata=\n64,128,64,-192,96;\n",
             true, kSection, 8},
            {"a FIR core's file asked for IIR",
             "radix=10;\ncoefdata=1,2,3,4,5;\n",
             true,
             {},
             0,
             "choose the FIR structure"},
            {"an IIR file asked for FIR",
             "; IIR band-pass\nmemory_initialization_radix=10;\n"
             "memory_initialization_vector=1,2,3,4,5;\n",
             false,
             {},
             0,
             "choose the IIR structure"},
            {"not five a section",
             "memory_initialization_radix=10;\n"
             "memory_initialization_vector=1,2,3,4,5,6;\n",
             true,
             {},
             0,
             "holds 6 values, not five a section"},
            {"an integer wider than B",
             "; B = 8\nradix=10;\ncoefdata=1,\n128;\n",
             false,
             {},
             0,
             "line 4: 128 does not fit 8 bits"},
            {"a hex word wider than B",
             "; B = 8\nradix=16;\ncoefdata=120;\n",
             false,
             {},
             0,
             "a word wider than 8 bits"},
            {"a radix of 7", "radix=7;\ncoefdata=1;\n", false, {}, 0, "the radix '7' is not"},
            {"a trailing comma",
             "radix=10;\ncoefdata=1,2,;\n",
             false,
             {},
             0,
             "a value is missing before ';'"},
            {"two commas",
             "radix=10;\ncoefdata=1,,2;\n",
             false,
             {},
             0,
             "a value is missing before ','"},
            {"no ';' at the end",
             "radix=10;\ncoefdata=1,2\n",
             false,
             {},
             0,
             "the list of values from line 2 is not ended by ';'"},
            {"an unknown keyword",
             "radix=10;\nwidth=16;\ncoefdata=1;\n",
             false,
             {},
             0,
             "line 2: 'width' is not a .coe keyword"},
            {"a letter among decimals",
             "radix=10;\ncoefdata=1,x2;\n",
             false,
             {},
             0,
             "line 2: 'x2' is not a number"},
            {"B beyond an IIR's 24 bits",
             "; B = 30\nmemory_initialization_radix=10;\n"
             "memory_initialization_vector=1,0,0,0,0;\n",
             true,
             {},
             0,
             "B = 30 is outside 4 to 24"},
            {"real values in memory",
             "memory_initialization_radix=10;\n"
             "memory_initialization_vector=0.5;\n",
             false,
             {},
             0,
             "holds integers, not real numbers"},
        },
        CoeffFileKind::kCoe);
}

TEST(CoeffImport, Mif) {
    const std::string head = "WIDTH=8;\nDEPTH=3;\nADDRESS_RADIX=UNS;\nDATA_RADIX=HEX;\n";
    const std::string iirHead = "WIDTH=10;\nDEPTH=5;\nADDRESS_RADIX=UNS;\nDATA_RADIX=HEX;\n";
    CheckCases(
        {
            {"FIR words, B from WIDTH",
             "-- FIR low-pass\n" + head + "CONTENT BEGIN\n\t0 : 20;\n\t1 : C0;\n\t2 : 60;\nEND;\n",
             false,
             {0.25, -0.5, 0.75},
             8},
            {"IIR literals, B = WIDTH - 2",
             "-- IIR: a0, a1, a2, -b1, -b2\n" + iirHead +
                 "CONTENT BEGIN\n0 : 040;\n1 : 080;\n2 : 040;\n3 : 0C0;\n4 : 3A0;\nEND;\n",
             true, kSection, 8},
            {"an older IIR file with the stored signs",
             "-- five words per section: a0, a1, a2, b1, b2\n" + iirHead +
                 "CONTENT BEGIN\n0 : 040;\n1 : 080;\n2 : 040;\n3 : 340;\n4 : 060;\nEND;\n",
             true, kSection, 8},
            {"a range, several words an entry, signed decimals, % comments %",
             "% a block\ncomment %\nWIDTH=8;DEPTH=4;ADDRESS_RADIX=HEX;DATA_RADIX=DEC;\n"
             "CONTENT BEGIN\n[0..3] : 0;\n1 : 32 -64;\nEND;\n",
             false,
             {0.0, 0.25, -0.5, 0.0},
             8},
            {"a word wider than WIDTH",
             head + "CONTENT BEGIN\n0 : 20;\n1 : 1C0;\n2 : 60;\nEND;\n",
             false,
             {},
             0,
             "line 7: '1C0' does not fit WIDTH=8"},
            {"an address left out",
             head + "CONTENT BEGIN\n0 : 20;\n2 : 60;\nEND;\n",
             false,
             {},
             0,
             "address 1 has no value"},
            {"an address past DEPTH",
             head + "CONTENT BEGIN\n[0..2] : 0;\n3 : 60;\nEND;\n",
             false,
             {},
             0,
             "line 7: address 3 is past DEPTH=3"},
            {"no DATA_RADIX",
             "WIDTH=8;\nDEPTH=1;\nADDRESS_RADIX=UNS;\nCONTENT BEGIN\n0 : 1;\nEND;\n",
             false,
             {},
             0,
             "gives no DATA_RADIX before CONTENT"},
            {"a DEPTH beyond any filter",
             "WIDTH=8;\nDEPTH=100000000;\nADDRESS_RADIX=UNS;\nDATA_RADIX=HEX;\nCONTENT BEGIN\n",
             false,
             {},
             0,
             "holds DEPTH=100000000 words; a FIR filter takes at most 399"},
            {"WIDTH and the comment's B disagree",
             "-- B = 16\n" + head +
                 "CONTENT BEGIN\n"
                 "[0..2] : 0;\nEND;\n",
             false,
             {},
             0,
             "WIDTH=8 does not match B = 16 of its comment"},
            {"an IIR WIDTH beyond 24 bits",
             "WIDTH=30;\nDEPTH=5;\nADDRESS_RADIX=UNS;\nDATA_RADIX=HEX;\nCONTENT BEGIN\n"
             "[0..4] : 0;\nEND;\n",
             true,
             {},
             0,
             "B = 28 is outside 4 to 24 bits for an IIR filter (B from its WIDTH)"},
            {"no END", head + "CONTENT BEGIN\n[0..2] : 0;\n", false, {}, 0, "has no END"},
            {"an IIR file asked for FIR",
             "-- IIR band-pass\n" + iirHead + "CONTENT BEGIN\n[0..4] : 0;\nEND;\n",
             false,
             {},
             0,
             "choose the IIR structure"},
        },
        CoeffFileKind::kMif);
}

TEST(CoeffImport, KindsByTheirFirstWords) {
    const struct {
        const char* text;
        CoeffFileKind kind;
    } cases[] = {
        {"Data is Real : 1.0 => 1.0\n0.5\n", CoeffFileKind::kCoeffFile},
        {"data is hex : 1.0 => 00008000h\n", CoeffFileKind::kCoeffFile},
        {"DATA_RADIX=HEX;\nWIDTH=8;\n", CoeffFileKind::kMif},
        {"  -- comment\n  DEPTH = 4;\n", CoeffFileKind::kMif},
        {";comment\nRadix = 10;\n", CoeffFileKind::kCoe},
        {"  {\"numerator\": []}", CoeffFileKind::kJson},
        {"0.5\n", CoeffFileKind::kColumns},
        {"# only a comment\n", CoeffFileKind::kColumns},
        {"Index,Value\n", CoeffFileKind::kCsvTable},
        {"coefficients:\n0.5\n", CoeffFileKind::kUnknown},
        {"", CoeffFileKind::kUnknown},
        {"b0,b1,b2,a0,a1,a2\n1,2,1,1,0,0\n", CoeffFileKind::kUnknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(files::DetectCoeffFileKind(c.text), c.kind);
    }
}

// The record after a load of another kind: the IIR section count becomes the file's with the
// sections past it passing through, and a file that does not load changes nothing and says why,
// with its path, in warning 168.
TEST_F(CoeffImportFixture, TheRecordAfterALoadAndARefusal) {
    COlvexDoc doc;
    doc.m_nIirSections = 8;
    doc.m_aA1[5] = 0.5;
    doc.m_nQuantBits = 12;
    const commands::LoadOutcome sos = Load(doc, "sos.csv", kSosComma, true);
    ASSERT_TRUE(sos.notices.empty());
    EXPECT_EQ(doc.m_nIirSections, 3);
    EXPECT_EQ(doc.m_aA1[5], 0.0);
    EXPECT_EQ(doc.m_aA0[5], 1.0);
    EXPECT_EQ(doc.m_nQuantBits, 12) << "real values leave B as it was";
    EXPECT_EQ(sos.valuesRead, 15);
    EXPECT_EQ(sos.readAs, "3 sections, rows b0,b1,b2,a0,a1,a2");

    // A .coe without B of its own is read at the request's B, else at the record's.
    const std::string coe = "radix=10;\ncoefdata=64,-32;\n";
    EXPECT_EQ(Load(doc, "a.coe", coe, false, 8).readAs,
              "2 taps of 8-bit integers in a FIR core's .coe; B = 8 from the coefficient bit "
              "length");
    EXPECT_EQ(doc.m_aFirCoeffs[0], 0.5);
    EXPECT_EQ(doc.m_nQuantBits, 8);
    doc.m_nQuantBits = 10;
    Load(doc, "a.coe", coe, false);
    EXPECT_EQ(doc.m_aFirCoeffs[0], 0.125);

    const COlvexDoc before = doc;
    const commands::LoadOutcome refused = Load(doc, "bad.csv", "0.5\n0.25\nabc\n", false);
    ASSERT_EQ(refused.notices.size(), 1u);
    EXPECT_EQ(refused.notices[0].templateId, design::kIddWarnInvalidCoeffs);
    ASSERT_GE(refused.notices[0].lines.size(), 2u);
    EXPECT_EQ(refused.notices[0].lines[1],
              (folder / "bad.csv").string() + ": line 3: 'abc' is not a finite number");
    EXPECT_EQ(refused.valuesRead, 0);
    EXPECT_EQ(doc.m_nTaps, before.m_nTaps);
    EXPECT_EQ(doc.m_aFirCoeffs[0], before.m_aFirCoeffs[0]);
    EXPECT_EQ(doc.m_nQuantBits, before.m_nQuantBits);

    const commands::LoadOutcome tooMany = Load(doc, "many.csv", Rows(9, "1,0,0,1,0,0"), true);
    ASSERT_EQ(tooMany.notices.size(), 1u);
    EXPECT_EQ(tooMany.notices[0].lines[1],
              (folder / "many.csv").string() + " holds 9 sections; an IIR filter takes at most 8");
    EXPECT_EQ(doc.m_nIirSections, before.m_nIirSections);
}

} // namespace
