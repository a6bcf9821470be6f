// VHDL text generation: the token substitution (values, order, the advancing index, tokens out
// of the arrays), the template's 255-character pieces, the header in both variants, and
// the bit-true model the testbenches take their expected outputs from.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "dsp/FilterCoefficients.h"
#include "dsp/Iir.h"
#include "dsp/NumberForms.h"
#include "resources/AnalysisResources.h"
#include "tests/support/ScratchFolder.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/HdlLanguage.h"
#include "vhdl/VhdlText.h"

// The generated header names the same address as the window's texts.
static_assert(std::string_view(vhdl::kWebAddress) == std::string_view(resources::kWebAddress));

namespace {

enum class Kind { kFir, kIir };

struct SubstCase {
    const char* name;
    Kind kind;
    const char* line;
    const char* expected;
    int indexBefore;
    int indexAfter;
};

// Test listings show the case's name, not the bytes of the struct.
void PrintTo(const SubstCase& c, std::ostream* os) {
    *os << c.name;
}

// D = 12, B = 16 unless a case's set-up says otherwise (see Fir and Iir).
const SubstCase kSubstCases[] = {
    {"FirCobDiob", Kind::kFir, "COB+DIOB-1", "27", 0, 0},
    {"FirCob81", Kind::kFir, "COB-8-1", " 7", 0, 0},
    {"FirDiob125", Kind::kFir, "DIOB+12-5", "19", 0, 0},
    {"FirAddb", Kind::kFir, "ADDB-1 ADDB", "8 9", 0, 0},
    {"FirWidths", Kind::kFir, "(COB-1 downto 0) (DIOB-1 downto 0) DIOB+8-2 DIOB+8-1 COB",
     "(15 downto 0) (11 downto 0) 18 19 16", 0, 0},
    // A token of the IIR table only: the shorter FIR token inside it is still replaced.
    {"FirKeepsIirToken", Kind::kFir, "DIOB-2", "12-2", 0, 0},
    {"FirTapCount", Kind::kFir, "taps TAPN", "taps  90", 0, 0},
    {"IirDiob", Kind::kIir, "DIOB", "16", 0, 0},
    {"IirCob", Kind::kIir, "COB", "18", 0, 0},
    {"IirDiob41", Kind::kIir, "DIOB-4-1 DIOB-4 DIOB-5 DIOB-3", "11 12 11 13", 0, 0},
    {"IirDiobCob", Kind::kIir, "DIOB+COB-3 COB-2 COB+1 COB-8-1", "31 16 19  9", 0, 0},
    {"IirKeepsFirToken", Kind::kIir, "TAPN ADDB", "TAPN ADDB", 0, 0},
    // Everywhere in the line, also inside identifiers and comments.
    {"InsideWords", Kind::kFir, "xDIOBx -- COB", "x12x -- 16", 0, 0},
    {"NoTokens", Kind::kFir, "  signal acc : signed;", "  signal acc : signed;", 3, 3},
};

constexpr int kDataBits = 12;

// 90 taps (N' = shown), h[0] = 0.3 (9830 at B = 16), h[2] = -0.5 (-16384), times K.
dsp::FilterCoefficients Fir(int bits = 16, int multiplier = 1, int designed = 90, int shown = 90) {
    std::vector<double> h(400, 0.0);
    h[0] = 0.3;
    h[2] = -0.5;
    return dsp::FirCoefficients(h, designed, shown, multiplier, true, bits);
}

// Eight sections, section 1 with a0 = 0.25, b1 = -1.5, b2 = 0.5, the others pass-through.
dsp::FilterCoefficients Iir(int bits = 16) {
    std::vector<dsp::Section> sections(8, dsp::Section{1.0, 0.0, 0.0, 0.0, 0.0});
    sections[1] = {0.25, 0.0, 0.0, -1.5, 0.5};
    return dsp::IirCoefficients(sections, 8, true, bits);
}

// The record of the same FIR design, for the record's operations.
COlvexDoc MakeDocument() {
    COlvexDoc doc;
    doc.m_nDataBits = kDataBits;
    doc.m_nQuantBits = 16;
    doc.m_nTaps = 90;
    doc.m_aFirCoeffs[0] = 0.3;
    doc.m_aFirCoeffs[2] = -0.5;
    return doc;
}

class SubstitutionTable : public ::testing::TestWithParam<SubstCase> {};

TEST_P(SubstitutionTable, ReplacesTokensAndAdvancesTheIndex) {
    const SubstCase& c = GetParam();
    int index = c.indexBefore;
    const std::string out = c.kind == Kind::kFir
                                ? vhdl::SubstituteFirLine(Fir(), kDataBits, c.line, index)
                                : vhdl::SubstituteIirLine(Iir(), kDataBits, c.line, index);
    EXPECT_EQ(out, c.expected);
    EXPECT_EQ(index, c.indexAfter);
}

INSTANTIATE_TEST_SUITE_P(Tokens, SubstitutionTable, ::testing::ValuesIn(kSubstCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VhdlSubstitution, FirCoefficientTokenAdvancesOncePerLineAndOnlyOnItsOwnToken) {
    const dsp::FilterCoefficients c = Fir(8);
    int index = 0;
    // h[0] = 0.3 at B = 8 is 38.
    EXPECT_EQ(vhdl::SubstituteFirLine(c, kDataBits, "\"reph  0\"", index), "\"00100110\"");
    EXPECT_EQ(index, 1);
    // The token of tap 2 while the index is 1 stays, and so does the index.
    EXPECT_EQ(vhdl::SubstituteFirLine(c, kDataBits, "reph  2", index), "reph  2");
    EXPECT_EQ(index, 1);
    index = 2;
    // Twice on one line: both replaced, the index advances once.
    EXPECT_EQ(vhdl::SubstituteFirLine(c, kDataBits, "reph  2,reph  2", index), "11000000,11000000");
    EXPECT_EQ(index, 3);
    index = 12;
    EXPECT_EQ(vhdl::SubstituteFirLine(c, kDataBits, "reph 12", index), "00000000");
    EXPECT_EQ(index, 13);
}

// The literals are the taps that leave the design, K * h: the hardware is the filter the
// analyses show. A tap past N' (token 95 of a 90-tap design) is 0.
TEST(VhdlSubstitution, FirLiteralsCarryTheMultiplier) {
    struct Case {
        int multiplier;
        const char* token;
        int index;
        const char* literal;
    };
    const Case cases[] = {
        {1, "reph  0", 0, "00100110"}, // 0.3 -> 38
        {2, "reph  0", 0, "01001100"}, // 0.6 -> 76
        {3, "reph  2", 2, "10000000"}, // -1.5 -> -192, saturated to -128
        {3, "reph  0", 0, "01110011"}, // 0.9 -> 115
        {3, "reph 95", 95, "00000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "K " << c.multiplier << " " << c.token);
        int index = c.index;
        EXPECT_EQ(vhdl::SubstituteFirLine(Fir(8, c.multiplier), kDataBits, c.token, index),
                  c.literal);
        EXPECT_EQ(index, c.index + 1);
    }
    // The record's K reaches the text through the coefficients it hands out.
    COlvexDoc doc = MakeDocument();
    doc.m_nQuantBits = 8;
    doc.m_nCoeffMultiplier = 3;
    int index = 0;
    EXPECT_EQ(commands::SubstituteFirLineOf(doc, "reph  0", index), "01110011");
}

TEST(VhdlSubstitution, IirIndexAdvancesOnlyOnRepb2AndFeedbackIsNegated) {
    const dsp::FilterCoefficients c = Iir(8);
    int index = 1;
    // a0 = 0.25 is 32 in 10 digits; no "repb2", so the index stays on section 1.
    EXPECT_EQ(vhdl::SubstituteIirLine(c, kDataBits, "repa0 repa1", index), "0000100000 0000000000");
    EXPECT_EQ(index, 1);
    // b1 = -1.5 is -192, written negated: 192. b2 = 0.5 is 64, written as -64.
    EXPECT_EQ(vhdl::SubstituteIirLine(c, kDataBits, "repb1 repb2", index), "0011000000 1111000000");
    EXPECT_EQ(index, 2);
}

TEST(VhdlSubstitution, TapCountIncludesTheEvenTap) {
    int index = 0;
    EXPECT_EQ(vhdl::SubstituteFirLine(Fir(16, 1, 30, 31), kDataBits, "TAPN", index), " 31");
    COlvexDoc doc = MakeDocument();
    doc.m_nTaps = 30;
    doc.m_bEvenTaps = 1;
    EXPECT_EQ(commands::SubstituteFirLineOf(doc, "TAPN", index), " 31");
}

// Chosen: tokens whose index lies beyond the arrays stay as text and nothing outside is read.
TEST(VhdlSubstitution, IndicesBeyondTheArraysLeaveTheTokens) {
    int index = COlvexDoc::kMaxFirTaps;
    EXPECT_EQ(vhdl::SubstituteFirLine(Fir(), kDataBits, "reph400 COB", index), "reph400 16");
    EXPECT_EQ(index, COlvexDoc::kMaxFirTaps);
    index = COlvexDoc::kIirSections;
    EXPECT_EQ(vhdl::SubstituteIirLine(Iir(), kDataBits, "repa0 repb2", index), "repa0 repb2");
    EXPECT_EQ(index, COlvexDoc::kIirSections);
    index = -1;
    EXPECT_EQ(vhdl::SubstituteIirLine(Iir(), kDataBits, "repa0", index), "repa0");
}

// ---- Template pieces --------------------------------------------------------------------------

// Every scratch file of this suite lives in one folder of this process.
const support::ScratchFolder& Scratch() {
    static const support::ScratchFolder scratch{"vhdl-text"};
    return scratch;
}

std::filesystem::path WriteTemp(const std::string& name, const std::string& content) {
    const auto path = Scratch() / name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

// The template as VHDL Code reads it and substitutes it: a line longer than a piece is cut at
// 255 characters, and a token across the cut is left as text in both variants.
TEST(VhdlTemplatePieces, LongLinesArePiecesOf255AndASplitTokenIsLeft) {
    // 253 characters, then "COB" across the 255 boundary, then the rest up to 300.
    const std::string line = std::string(253, 'x') + "COB" + std::string(44, 'y');
    const auto path = WriteTemp("vantrel_reader_test.vhd", line + "\r\nCOB\n");
    std::string bytes;
    ASSERT_EQ(vhdl::ReadTemplateText(path.string(), bytes), vhdl::TemplateStatus::kOk);
    EXPECT_EQ(bytes, line + "\r\nCOB\n"); // the bytes as they are
    const std::vector<std::string> pieces = vhdl::TemplatePieces(bytes);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0], line.substr(0, vhdl::kTemplatePieceCapacity));
    EXPECT_EQ(pieces[1], line.substr(255) + "\n"); // 45 characters and the line feed, no CR
    EXPECT_EQ(pieces[2], "COB\n");

    int index = 0;
    EXPECT_EQ(
        vhdl::SubstituteTemplate(Fir(), kDataBits, bytes, vhdl::HeaderVariant::kDisplay, index),
        line.substr(0, 255) + "\r\n" + line.substr(255) + "\r\n16\r\n");
    // The file gets the long line whole.
    EXPECT_EQ(vhdl::SubstituteTemplate(Fir(), kDataBits, bytes, vhdl::HeaderVariant::kFile, index),
              line + "\n16\n");
    std::filesystem::remove(path);
}

// A carriage return ends a line only before a line feed; a piece ends at 255 characters even
// when the next ones are CR LF.
TEST(VhdlTemplatePieces, PiecesOfTextInMemory) {
    const std::string full(255, 'a');
    EXPECT_EQ(vhdl::TemplatePieces("a\rb\r\nc"), (std::vector<std::string>{"a\rb\n", "c"}));
    EXPECT_EQ(vhdl::TemplatePieces(full + "\r\n"), (std::vector<std::string>{full, "\n"}));
    EXPECT_EQ(vhdl::TemplatePieces("\r\r\n"), (std::vector<std::string>{"\r\n"}));
    EXPECT_TRUE(vhdl::TemplatePieces("").empty());
}

// The whole text as VHDL Code shows it and Save VHDL writes it: the header, then the template
// from tap 0, whatever index a previous text left.
TEST(VhdlText, HeaderThenTheSubstitutedTemplate) {
    const auto templatePath = WriteTemp("vantrel_text_test.vhd", "c0 reph  0\nc1 reph  1\n");
    const auto outPath = Scratch() / "vantrel_text_test_out.vhd";
    COlvexDoc doc = MakeDocument();
    doc.m_bQuantize = 1;
    doc.m_nQuantBits = 8;
    commands::VhdlCodeRequest request;
    request.dataBits = kDataBits;
    request.templatePath = templatePath.string();
    const vhdl::HeaderValues header = commands::HeaderValuesOf(doc, 0);
    for (int run = 0; run < 2; ++run) {
        const commands::VhdlOutcome shown = commands::VhdlCode(doc, request);
        ASSERT_TRUE(shown.Is(commands::OutcomeKind::kAccepted)) << shown.message;
        EXPECT_EQ(shown.text, vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kDisplay, false, header) +
                                  "c0 00100110\r\nc1 00000000\r\n");
        EXPECT_EQ(shown.substIndex, 2);
    }
    commands::SaveVhdlRequest save;
    save.vhdlParamsSet = true;
    save.templatePath = templatePath.string();
    save.path = outPath.string();
    ASSERT_TRUE(commands::SaveVhdl(doc, save).Is(commands::OutcomeKind::kFileWritten));
    std::ifstream written(outPath, std::ios::binary);
    std::stringstream bytes;
    bytes << written.rdbuf();
    EXPECT_EQ(bytes.str(), vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kFile, false, header) +
                               "c0 00100110\nc1 00000000\n");

    // A file of an IIR section count the templates do not have holds the header alone; the
    // template is not even read.
    doc.m_nIirSections = 9;
    save.headerStructure = 1;
    save.templatePath = "/nonexistent/iirfilter.vhd";
    ASSERT_TRUE(commands::SaveVhdl(doc, save).Is(commands::OutcomeKind::kFileWritten));
    std::ifstream headerOnly(outPath, std::ios::binary);
    std::stringstream iirBytes;
    iirBytes << headerOnly.rdbuf();
    EXPECT_EQ(iirBytes.str(), vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kFile, true,
                                                    commands::HeaderValuesOf(doc, 1)));
    EXPECT_FALSE(vhdl::TemplateFollowsHeader(true, 0, vhdl::HeaderVariant::kFile));
    EXPECT_FALSE(vhdl::TemplateFollowsHeader(true, 9, vhdl::HeaderVariant::kFile));
    EXPECT_TRUE(vhdl::TemplateFollowsHeader(true, 8, vhdl::HeaderVariant::kFile));
    EXPECT_TRUE(vhdl::TemplateFollowsHeader(true, 0, vhdl::HeaderVariant::kDisplay));
    EXPECT_TRUE(vhdl::TemplateFollowsHeader(false, 0, vhdl::HeaderVariant::kFile));
    std::filesystem::remove(templatePath);
    std::filesystem::remove(outPath);
}

TEST(VhdlTemplatePieces, MissingEmptyOrFolderPathLeavesTheTextAlone) {
    std::string text = "before";
    for (const char* path : {"", "/nonexistent/firfilter.vhd"}) {
        EXPECT_EQ(vhdl::ReadTemplateText(path, text), vhdl::TemplateStatus::kNotFound);
    }
    const std::string folder = std::filesystem::temp_directory_path().string();
    EXPECT_EQ(vhdl::ReadTemplateText(folder, text), vhdl::TemplateStatus::kUnreadable);
    EXPECT_EQ(text, "before");
    // VHDL Code over the record fails the same way: no text, the folder named as not readable.
    COlvexDoc doc = MakeDocument();
    doc.m_bQuantize = 1;
    commands::VhdlCodeRequest request;
    request.dataBits = kDataBits;
    request.templatePath = folder;
    const commands::VhdlOutcome outcome = commands::VhdlCode(doc, request);
    EXPECT_TRUE(outcome.Is(commands::OutcomeKind::kFileNotRead));
    EXPECT_FALSE(outcome.notFound);
    EXPECT_EQ(outcome.path, folder);
    EXPECT_TRUE(outcome.text.empty());
}

// ---- Header -----------------------------------------------------------------------------------

struct HeaderCase {
    const char* name;
    int firIir;
    int filterType;
    int sections;
    vhdl::HeaderVariant variant;
    std::vector<std::string> present;
    std::vector<std::string> absent;
};

// Test listings show the case's name, not the bytes of the struct.
void PrintTo(const HeaderCase& c, std::ostream* os) {
    *os << c.name;
}

const HeaderCase kHeaderCases[] = {
    {"FirLpfDisplay",
     0,
     0,
     2,
     vhdl::HeaderVariant::kDisplay,
     {"-- Filter Type = LPF by FIR\r\n", "-- Sampling Frequency =         8000.00\r\n",
      "-- Tap Count =    31\r\n", "-- Cutoff 1 ends at =          250.00\r\n"},
     {"Cutoff 2", "Tap count"}},
    {"FirBpfFile",
     0,
     3,
     2,
     vhdl::HeaderVariant::kFile,
     {"-- Cutoff 2 starts from =          350.00\n", "-- Cutoff 2 ends at =          400.00\n",
      "-- Tap count =    31\n", "-- Bit length for in/out data =    12\n"},
     {"Tap Count", "\r"}},
    {"IirLpfSix",
     1,
     0,
     6,
     vhdl::HeaderVariant::kDisplay,
     {"-- Filter Type = LPF by IIR\r\n", "-- Number of IIRs =     6\r\n",
      "-- ***** See 'Online Help' to avoid oscillation *****\r\n"},
     {"Cutoff Frequency 2", "Tap"}},
    {"IirLpfFour",
     1,
     0,
     4,
     vhdl::HeaderVariant::kDisplay,
     {"-- Cutoff Frequency 1 =          200.00\r\n"},
     {"oscillation", "Cutoff Frequency 2"}},
    {"IirBrf",
     1,
     2,
     4,
     vhdl::HeaderVariant::kFile,
     {"-- Filter Type = BRF by IIR\n", "-- Cutoff Frequency 2 =          300.00\n"},
     {"oscillation"}},
};

class HeaderTable : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderTable, HasItsLinesAndOnlyThose) {
    const HeaderCase& c = GetParam();
    COlvexDoc doc;
    doc.m_fs = 8000.0;
    doc.m_nTaps = 30;
    doc.m_bEvenTaps = 1;
    doc.m_nFilterType = c.filterType;
    doc.m_nIirSections = c.sections;
    const std::string header =
        vhdl::BuildVhdlHeader(c.variant, c.firIir == 1, commands::HeaderValuesOf(doc, c.firIir));
    for (const std::string& line : c.present) {
        EXPECT_NE(header.find(line), std::string::npos) << line;
    }
    for (const std::string& text : c.absent) {
        EXPECT_EQ(header.find(text), std::string::npos) << text;
    }
    const std::string end = c.variant == vhdl::HeaderVariant::kDisplay ? "\r\n" : "\n";
    if (c.variant == vhdl::HeaderVariant::kDisplay) {
        for (size_t at = header.find('\n'); at != std::string::npos;
             at = header.find('\n', at + 1)) {
            ASSERT_TRUE(at > 0 && header[at - 1] == '\r') << "bare line feed at " << at;
        }
    }
    const std::string rule = "-------------------------------------" + end;
    EXPECT_EQ(header.rfind(rule, 0), 0u);
    EXPECT_EQ(header.substr(header.size() - rule.size()), rule);
    EXPECT_NE(header.find("-- Generated by 'Vantrel'(pelmix1.exe ver2.6)" + end +
                          "-- https://vantrel.example/" + end),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Variants, HeaderTable, ::testing::ValuesIn(kHeaderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VhdlHeader, TypeWordsFallBackToBpfByIir) {
    EXPECT_EQ(vhdl::FilterTypeWords(0, 1), "HPF by FIR");
    EXPECT_EQ(vhdl::FilterTypeWords(1, 2), "BRF by IIR");
    EXPECT_EQ(vhdl::FilterTypeWords(2, 0), "BPF by IIR");
    EXPECT_EQ(vhdl::FilterTypeWords(0, 7), "BPF by IIR");
    EXPECT_EQ(vhdl::TemplateFileName(true, 0), "iirfilter8.vhd");
    EXPECT_EQ(vhdl::TemplateFileName(true, 3), "iirfilter3.vhd");
    EXPECT_EQ(vhdl::TemplateFileName(false, 3), "firfilter.vhd");
}

TEST(VhdlHeader, NamesAnIirMethodOtherThanChebyshevIAfterTheFilterType) {
    const struct {
        int firIir;
        int method;
        const char* line; // nullptr: no method line, the header as it always was
    } cases[] = {
        {1, dsp::kIirCheby1, nullptr},
        {1, dsp::kIirButter, "-- Design Method = Butterworth\n"},
        {1, dsp::kIirCheby2, "-- Design Method = Chebyshev II\n"},
        {1, dsp::kIirEllip, "-- Design Method = Elliptic\n"},
        {1, dsp::kIirBessel, "-- Design Method = Bessel\n"},
        {0, dsp::kIirEllip, nullptr}, // a FIR header does not name the IIR dialog's method
        {1, 9, nullptr},
    };
    COlvexDoc doc;
    doc.m_nFilterType = 2;
    doc.m_nIirSections = 4;
    const std::string plain =
        vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kFile, true, commands::HeaderValuesOf(doc, 1));
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.firIir) + " " + std::to_string(c.method));
        doc.m_nIirMethod = c.method;
        const std::string header = vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kFile, c.firIir == 1,
                                                         commands::HeaderValuesOf(doc, c.firIir));
        const std::string typeLine =
            std::string("-- Filter Type = ") + (c.firIir == 1 ? "BRF by IIR\n" : "BRF by FIR\n");
        const size_t type = header.find(typeLine);
        ASSERT_NE(type, std::string::npos);
        if (c.line == nullptr) {
            EXPECT_EQ(header.find("Design Method"), std::string::npos);
            if (c.firIir == 1) {
                EXPECT_EQ(header, plain);
            }
            continue;
        }
        // One added line right after the type; every other line as without a method.
        EXPECT_EQ(header.find(c.line), type + typeLine.size());
        std::string without = header;
        without.erase(type + typeLine.size(), std::string(c.line).size());
        EXPECT_EQ(without, plain);
        // Verilog comments the same line with //.
        const std::string verilog = vhdl::HeaderInLanguage(header, vhdl::HdlLanguage::kVerilog);
        EXPECT_NE(verilog.find("\n//" + std::string(c.line).substr(2)), std::string::npos);
    }
}

// ---- Bit-true model ---------------------------------------------------------------------------

TEST(VhdlModel, LiteralsAreWhatTheTextHolds) {
    for (const int multiplier : {1, 2}) {
        // At K = 2 h[2] = -0.5 becomes -128, which still fits; h[0] = 0.3 becomes 76.
        std::vector<double> h = {0.3, 1.0, -0.5};
        // 128 (K = 1) or 256 (K = 2) does not fit 8 bits: the literal saturates to 127.
        const dsp::FilterCoefficients c = dsp::FirCoefficients(h, 3, 3, multiplier, true, 8);
        for (size_t k = 0; k < h.size(); ++k) {
            int index = static_cast<int>(k);
            char token[16];
            std::snprintf(token, sizeof token, "reph%3d", index);
            const std::string text = vhdl::SubstituteFirLine(c, kDataBits, token, index);
            const std::int64_t parsed = std::stoll(text, nullptr, 2) - (text[0] == '1' ? 256 : 0);
            EXPECT_EQ(vhdl::FirLiterals(c)[k], parsed) << k;
        }
        EXPECT_EQ(vhdl::CountSaturatedLiterals(c), 1);
    }
    // IIR literals are B + 2 digits wide: 1.0 at B = 8 (128) fits 10 digits.
    EXPECT_EQ(vhdl::CountSaturatedLiterals(Iir(8)), 0);
    EXPECT_EQ(vhdl::IirLiterals(Iir(8))[1].nb1, 192);
}

TEST(VhdlModel, FirFloorsAndSaturates) {
    // Taps 0.5 and -0.25 at B = 4 (4 and -2), D = 4.
    const std::vector<std::int64_t> taps = {4, -2};
    const std::vector<std::int64_t> in = {7, -8, 1, -1, 0};
    // S = 4x[n] - 2x[n-1]; y = floor(S / 8): 28/8 -> 3, (-32-14)/8 -> -6, (4+16)/8 -> 2,
    // (-4-2)/8 -> -1 (floor, not toward zero), 2/8 -> 0.
    EXPECT_EQ(vhdl::FirBitTrue(taps, 4, 4, in), (std::vector<std::int64_t>{3, -6, 2, -1, 0}));
    // Saturation to D bits: 4 * 7 * 3 taps / 4 = 21 -> 7 at D = 4.
    const std::vector<std::int64_t> big = {4, 4, 4};
    EXPECT_EQ(vhdl::FirBitTrue(big, 3, 4, std::vector<std::int64_t>{7, 7, -8}),
              (std::vector<std::int64_t>{7, 7, 6}));
}

TEST(VhdlModel, IirCascadeUsesNegatedFeedbackAndSaturatesTheSectionWord) {
    // One section y = x + 0.5 y[n-1] at B = 4 (scale 8): a0 = 8, nb1 = 4.
    vhdl::IirSectionLiterals s;
    s.a0 = 8;
    s.nb1 = 4;
    const std::vector<vhdl::IirSectionLiterals> one = {s};
    EXPECT_EQ(vhdl::IirBitTrue(one, 4, 4, std::vector<std::int64_t>{4, 0, 0, -3}),
              (std::vector<std::int64_t>{4, 2, 1, -3}));
    // Two such sections in cascade: the second sees the first's output.
    const std::vector<vhdl::IirSectionLiterals> two = {s, s};
    EXPECT_EQ(vhdl::IirBitTrue(two, 4, 8, std::vector<std::int64_t>{4, 0, 0}),
              (std::vector<std::int64_t>{4, 4, 3}));
    // The section word (D + 4 = 12 bits) saturates between sections: at B = 8 a gain of 32
    // takes 127 to 4064, kept as 2047, which a gain of 1/32 brings to 63 (not back to 127).
    vhdl::IirSectionLiterals up;
    up.a0 = 128 * 32;
    vhdl::IirSectionLiterals down;
    down.a0 = 4;
    EXPECT_EQ(vhdl::IirBitTrue(std::vector<vhdl::IirSectionLiterals>{up, down}, 8, 8,
                               std::vector<std::int64_t>{127, -128, 10}),
              (std::vector<std::int64_t>{63, -64, 10}));
}

TEST(VhdlModel, StimulusMapsTheNominalAmplitudeToFullScale) {
    const std::vector<double> wave = {50.0, -50.0, 0.0, 25.0, 80.0, -80.0, 0.49 * 50 / 2047};
    // 2047 * 25 / 50 = 1023.5 rounds away from zero; 80 saturates.
    EXPECT_EQ(vhdl::ScaleStimulus(wave, 12),
              (std::vector<std::int64_t>{2047, -2047, 0, 1024, 2047, -2048, 0}));
}

} // namespace

namespace {

std::string ShippedTemplate(const std::string& name) {
    std::ifstream in(std::string(VANTREL_SOURCE_DIR) + "/vhdl/templates/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The tokens the substitution leaves, with their template lines: none in the shipped templates,
// every one in the templates that defeat the substitution's rules.
TEST(VhdlLeftoverTokens, FoundWithTheirTemplateLines) {
    const std::string longLine = std::string(251, ' ') + "reph  0;\n"; // the token at 251..257
    const struct {
        const char* name;
        std::string text;
        bool iir;
        std::vector<vhdl::LeftoverToken> expected;
    } cases[] = {
        {"one token a line", "a reph  0;\nb reph  1;\nTAPN COB DIOB ADDB\n", false, {}},
        {"a token split by the 255-character pieces",
         "x\n" + longLine + "reph  1;\n",
         false,
         {{2, "reph  0"}, {3, "reph  1"}}},
        {"two tokens in one piece",
         "reph  0, reph  1;\nreph  2;\n",
         false,
         {{1, "reph  1"}, {2, "reph  2"}}},
        {"IIR tokens in a FIR design",
         "reph  0;\nrepa0 repb2 TAPN\n",
         false,
         {{2, "repa0"}, {2, "repb2"}}},
        {"FIR tokens in an IIR design",
         "repa0 repa1 repa2 repb1 repb2\nreph  0 TAPN ADDB\n",
         true,
         {{2, "reph  0"}, {2, "TAPN"}, {2, "ADDB"}}},
        {"a token at the very end", "reph  0;\nrep", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<vhdl::LeftoverToken> found =
            vhdl::FindLeftoverTokens(c.iir ? Iir() : Fir(), kDataBits, c.text);
        ASSERT_EQ(found.size(), c.expected.size());
        for (size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].line, c.expected[i].line) << i;
            EXPECT_EQ(found[i].token, c.expected[i].token) << i;
        }
    }
    for (const std::string name :
         {"firfilter.vhd", "iirfilter1.vhd", "iirfilter4.vhd", "iirfilter8.vhd"}) {
        SCOPED_TRACE(name);
        const std::string text = ShippedTemplate(name);
        ASSERT_FALSE(text.empty());
        const bool iir = name != "firfilter.vhd";
        EXPECT_TRUE(vhdl::FindLeftoverTokens(iir ? Iir() : Fir(), kDataBits, text).empty());
        EXPECT_TRUE(vhdl::TemplateFitsStructure(text, iir));
        EXPECT_FALSE(vhdl::TemplateFitsStructure(text, !iir)) << "the wrong kind is refused";
    }
    EXPECT_EQ(vhdl::DescribeLeftoverTokens({{3, "reph  1"}, {4, "TAPN"}}, 1),
              (std::vector<std::string>{"template line 3: \"reph  1\" was not replaced",
                                        "... and 1 more"}));
}

} // namespace
