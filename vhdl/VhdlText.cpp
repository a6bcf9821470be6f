// The generated VHDL text: the comment header, the token substitution and the template reader.
//
// Substitution is plain text replacement, left to right without overlap, anywhere in a line.
// The coefficient tokens go first, then the width/count table in its order; longer tokens come
// before the tokens they contain, and replacements hold only digits and spaces, so one step never
// makes a token for a later one.
#include "vhdl/VhdlText.h"

#include <array>
#include <cstdarg>
#include <filesystem>
#include <system_error>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "app/OlvexView.h"
#include "resources/AnalysisResources.h"
#include "vhdl/BitTrueModel.h"

namespace vhdl {

namespace {

constexpr int kMaxTemplateSections = 8;
constexpr const char* kRule = "-------------------------------------";

std::string Printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) {
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    }
    va_end(args);
    return text;
}

// Replaces every occurrence of token in line, left to right without overlap; returns how many.
int ReplaceAll(std::string& line, std::string_view token, std::string_view replacement) {
    int count = 0;
    std::string::size_type at = line.find(token);
    while (at != std::string::npos) {
        line.replace(at, token.size(), replacement);
        ++count;
        at = line.find(token, at + replacement.size());
    }
    return count;
}

// A width token and its number: useD * D + useB * B + constant, with the user's D and B.
struct TokenRule {
    const char* token;
    int useD;
    int useB;
    int constant;
};

// FIR width/count table after "TAPN" (DIOB = D, COB = B); "ADDB" is fixed text.
constexpr std::array<TokenRule, 12> kFirWidths{{
    {"COB+DIOB-1", 1, 1, -1},
    {"COB-1", 0, 1, -1},
    {"COB-8-1", 0, 1, -9},
    {"COB", 0, 1, 0},
    {"DIOB-1", 1, 0, -1},
    {"DIOB+8-1", 1, 0, 7},
    {"DIOB+12-1", 1, 0, 11},
    {"DIOB+12-2", 1, 0, 10},
    {"DIOB+12-3", 1, 0, 9},
    {"DIOB+12-4", 1, 0, 8},
    {"DIOB+12-5", 1, 0, 7},
    {"DIOB+8-2", 1, 0, 6},
}};

// IIR table (DIOB = D + 4, COB = B + 2), values in terms of the user's D and B.
constexpr std::array<TokenRule, 22> kIirWidths{{
    {"DIOB+COB-3", 1, 1, 3}, {"COB-1", 0, 1, 1},      {"COB-2", 0, 1, 0},
    {"COB-8-1", 0, 1, -7},   {"COB+1", 0, 1, 3},      {"COB", 0, 1, 2},
    {"DIOB-1", 1, 0, 3},     {"DIOB+8-1", 1, 0, 11},  {"DIOB+12-1", 1, 0, 15},
    {"DIOB+12-2", 1, 0, 14}, {"DIOB+12-3", 1, 0, 13}, {"DIOB+12-4", 1, 0, 12},
    {"DIOB+12-5", 1, 0, 11}, {"DIOB+12-6", 1, 0, 10}, {"DIOB+12-7", 1, 0, 9},
    {"DIOB-2", 1, 0, 2},     {"DIOB+8-2", 1, 0, 10},  {"DIOB-4-1", 1, 0, -1},
    {"DIOB-3", 1, 0, 1},     {"DIOB-4", 1, 0, 0},     {"DIOB-5", 1, 0, -1},
    {"DIOB", 1, 0, 4},
}};

template <size_t N>
void ApplyWidths(const std::array<TokenRule, N>& table, const COlvexDoc& doc, std::string& line) {
    for (const TokenRule& rule : table) {
        const int value =
            rule.useD * doc.m_nDataBits + rule.useB * doc.m_nQuantBits + rule.constant;
        ReplaceAll(line, rule.token, Printf("%2d", value));
    }
}

void AddLine(std::string& text, const std::string& line, HeaderVariant variant) {
    text += line;
    text += variant == HeaderVariant::kDisplay ? "\r\n" : "\n";
}

} // namespace

std::string TemplateFileName(bool iir, int sections) {
    if (!iir) {
        return "firfilter.vhd";
    }
    return Printf("iirfilter%d.vhd", TemplateSections(sections));
}

int TemplateSections(int sections) {
    return sections >= 1 && sections < kMaxTemplateSections ? sections : kMaxTemplateSections;
}

std::string FilterTypeWords(int firIir, int filterType) {
    static constexpr const char* kType[] = {"LPF", "HPF", "BRF", "BPF"};
    static constexpr const char* kStructure[] = {"FIR", "IIR"};
    if (firIir < 0 || firIir > 1 || filterType < 0 || filterType > 3) {
        return "BPF by IIR";
    }
    return std::string(kType[filterType]) + " by " + kStructure[firIir];
}

HeaderValues FormatHeaderValues(const COlvexDoc& doc, int firIir) {
    HeaderValues v;
    v.filterType = doc.m_nFilterType;
    v.sections = doc.m_nIirSections;
    v.typeWords = FilterTypeWords(firIir, doc.m_nFilterType);
    v.fs = Printf("%15.2f", doc.m_fs);
    v.fc1 = Printf("%15.2f", doc.m_fc1);
    v.fc2 = Printf("%15.2f", doc.m_fc2);
    v.fc3 = Printf("%15.2f", doc.m_fc3);
    v.fc4 = Printf("%15.2f", doc.m_fc4);
    v.iirFc1 = Printf("%15.2f", doc.m_dIirFc1);
    v.iirFc2 = Printf("%15.2f", doc.m_dIirFc2);
    v.taps = Printf("%5d", design::ShownFirTapCount(doc));
    v.nSections = Printf("%5d", doc.m_nIirSections);
    v.quantBits = Printf("%5d", doc.m_nQuantBits);
    v.dataBits = Printf("%5d", doc.m_nDataBits);
    return v;
}

std::string BuildVhdlHeader(HeaderVariant variant, bool iir, const HeaderValues& values) {
    const bool twoCutoffs = values.filterType == 2 || values.filterType == 3;
    std::string text;
    AddLine(text, kRule, variant);
    AddLine(text, "-- Filter Type = " + values.typeWords, variant);
    AddLine(text, "-- Sampling Frequency = " + values.fs, variant);
    if (iir) {
        AddLine(text, "-- Cutoff Frequency 1 = " + values.iirFc1, variant);
        if (twoCutoffs) {
            AddLine(text, "-- Cutoff Frequency 2 = " + values.iirFc2, variant);
        }
        AddLine(text, "-- Number of IIRs = " + values.nSections, variant);
        if (values.sections > 4) {
            AddLine(text, "-- ***** See 'Online Help' to avoid oscillation *****", variant);
        }
    } else {
        AddLine(text, "-- Cutoff 1 starts from = " + values.fc1, variant);
        AddLine(text, "-- Cutoff 1 ends at = " + values.fc2, variant);
        if (twoCutoffs) {
            AddLine(text, "-- Cutoff 2 starts from = " + values.fc3, variant);
            AddLine(text, "-- Cutoff 2 ends at = " + values.fc4, variant);
        }
        AddLine(text,
                (variant == HeaderVariant::kDisplay ? "-- Tap Count = " : "-- Tap count = ") +
                    values.taps,
                variant);
    }
    AddLine(text, "-- Bit length for coefficients = " + values.quantBits, variant);
    AddLine(text, "-- Bit length for in/out data = " + values.dataBits, variant);
    AddLine(text, "-- Generated by 'Vantrel'(pelmix1.exe ver2.6)", variant);
    AddLine(text, std::string("-- ") + resources::kWebAddress, variant);
    AddLine(text, "-- Note: This code is not guaranteed working under every circumstances.",
            variant);
    AddLine(text, "-- Note: Please use this code on your own risk.", variant);
    AddLine(text, kRule, variant);
    return text;
}

std::string SubstituteFirLine(const COlvexDoc& doc, std::string_view line, int& substIndex) {
    std::string out(line);
    const int i = substIndex;
    if (i >= 0 && i < COlvexDoc::kMaxFirTaps) {
        const std::string literal =
            doc.FormatBinaryWidth(doc.ToFixedInteger(doc.m_aFirCoeffs[i]), 0);
        if (ReplaceAll(out, Printf("reph%3d", i), literal) > 0) {
            ++substIndex;
        }
    }
    ReplaceAll(out, "TAPN", Printf("%3d", design::ShownFirTapCount(doc)));
    ApplyWidths(kFirWidths, doc, out);
    ReplaceAll(out, "DIOB", Printf("%2d", doc.m_nDataBits));
    ReplaceAll(out, "ADDB-1", "8");
    ReplaceAll(out, "ADDB", "9");
    return out;
}

std::string SubstituteIirLine(const COlvexDoc& doc, std::string_view line, int& substIndex) {
    std::string out(line);
    const int s = substIndex;
    if (s >= 0 && s < COlvexDoc::kIirSections) {
        ReplaceAll(out, "repa0", doc.FormatBinaryWidth(doc.ToFixedInteger(doc.m_aA0[s]), 1));
        ReplaceAll(out, "repa1", doc.FormatBinaryWidth(doc.ToFixedInteger(doc.m_aA1[s]), 1));
        ReplaceAll(out, "repa2", doc.FormatBinaryWidth(doc.ToFixedInteger(doc.m_aA2[s]), 1));
        ReplaceAll(out, "repb1", doc.FormatBinaryWidth(NegatedFixedInteger(doc, doc.m_aB1[s]), 1));
        if (ReplaceAll(out, "repb2",
                       doc.FormatBinaryWidth(NegatedFixedInteger(doc, doc.m_aB2[s]), 1)) > 0) {
            ++substIndex;
        }
    }
    ApplyWidths(kIirWidths, doc, out);
    return out;
}

TemplateReader::~TemplateReader() {
    if (m_file != nullptr) {
        std::fclose(m_file);
    }
}

bool TemplateReader::Open(const std::string& path) {
    if (path.empty() || m_file != nullptr) {
        return false;
    }
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return false; // a folder opens for reading on Linux but holds no text
    }
    m_file = std::fopen(path.c_str(), "rb");
    m_failed = false;
    return m_file != nullptr;
}

bool TemplateReader::NextPiece(std::string& piece) {
    piece.clear();
    if (m_file == nullptr) {
        return false;
    }
    while (static_cast<int>(piece.size()) < kPieceCapacity) {
        int c = std::getc(m_file);
        if (c == EOF) {
            break;
        }
        if (c == '\r') {
            const int next = std::getc(m_file);
            if (next == '\n') {
                c = '\n'; // a line end written as CR LF reads as one line feed
            } else if (next != EOF) {
                std::ungetc(next, m_file);
            }
        }
        piece += static_cast<char>(c);
        if (c == '\n') {
            break;
        }
    }
    if (std::ferror(m_file) != 0) {
        m_failed = true;
        return false;
    }
    return !piece.empty();
}

TemplateStatus AppendSubstitutedTemplate(const COlvexDoc& doc, bool iir,
                                         const std::string& templatePath, HeaderVariant variant,
                                         int& substIndex, std::string& text) {
    TemplateReader reader;
    if (!reader.Open(templatePath)) {
        std::error_code error;
        return !templatePath.empty() && std::filesystem::exists(templatePath, error)
                   ? TemplateStatus::kUnreadable
                   : TemplateStatus::kNotFound;
    }
    // Built aside, so a read error leaves nothing half-built in `text`.
    std::string body;
    std::string piece;
    while (reader.NextPiece(piece)) {
        if (variant == HeaderVariant::kDisplay) {
            std::erase(piece, '\n');
        }
        body += iir ? SubstituteIirLine(doc, piece, substIndex)
                    : SubstituteFirLine(doc, piece, substIndex);
        if (variant == HeaderVariant::kDisplay) {
            body += "\r\n";
        }
    }
    if (reader.Failed()) {
        return TemplateStatus::kUnreadable;
    }
    text += body;
    return TemplateStatus::kOk;
}

bool BuildVhdlText(COlvexView& view, const std::string& templatePath, bool forFile,
                   std::string& text) {
    const COlvexDoc& doc = view.GetDocument();
    const bool iir = view.m_nFirIir == 1;
    const HeaderVariant variant = forFile ? HeaderVariant::kFile : HeaderVariant::kDisplay;
    view.m_nSubstIndex = 0;
    std::string built = BuildVhdlHeader(variant, iir, FormatHeaderValues(doc, view.m_nFirIir));
    const bool sectionsKnown = doc.m_nIirSections >= 1 && doc.m_nIirSections <= 8;
    if (!(forFile && iir && !sectionsKnown) &&
        AppendSubstitutedTemplate(doc, iir, templatePath, variant, view.m_nSubstIndex, built) !=
            TemplateStatus::kOk) {
        return false;
    }
    text = std::move(built);
    return true;
}

} // namespace vhdl
