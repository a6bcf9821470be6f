// The generated VHDL text: the comment header, the token substitution and the template reader.
//
// Substitution is plain text replacement, left to right without overlap, anywhere in a line.
// The coefficient tokens go first, then the width/count table in its order; longer tokens come
// before the tokens they contain, and replacements hold only digits and spaces, so one step never
// makes a token for a later one.
#include "vhdl/VhdlText.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <filesystem>
#include <system_error>

#include "dsp/Iir.h"
#include "dsp/NumberForms.h"
#include "files/InputFile.h"
#include "vhdl/Architecture.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/TemplateBlocks.h"

namespace vhdl {

namespace {

constexpr int kMaxTemplateSections = dsp::kIirMaxSections;
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
void ApplyWidths(const std::array<TokenRule, N>& table, int dataBits, int quantBits,
                 std::string& line) {
    for (const TokenRule& rule : table) {
        const int value = rule.useD * dataBits + rule.useB * quantBits + rule.constant;
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

std::string FilterTypeWords(int firIir, int filterType, int firKind) {
    static constexpr const char* kKind[] = {"Hilbert Transformer", "Differentiator", "Multiband"};
    if (firIir == 0 && firKind >= 1 && firKind <= 3) {
        return std::string(kKind[firKind - 1]) + " by FIR";
    }
    return FilterTypeWords(firIir, filterType);
}

std::string DesignMethodWords(int firIir, int iirMethod) {
    static constexpr const char* kIirMethods[dsp::kIirMethodCount] = {
        "", "Butterworth", "Chebyshev II", "Elliptic", "Bessel"};
    if (firIir != 1 || iirMethod < 0 || iirMethod >= dsp::kIirMethodCount) {
        return {};
    }
    return kIirMethods[iirMethod];
}

HeaderValues FormatHeaderValues(const HeaderSource& source) {
    HeaderValues v;
    v.filterType = source.filterType;
    v.sections = source.sections;
    v.typeWords = FilterTypeWords(source.firIir, source.filterType, source.firKind);
    if (source.firIir == 0 && source.firKind != 0) {
        for (const std::array<double, 4>& band : source.bands) {
            v.bands.push_back(Printf("%15.2f .. %15.2f Hz, Gain %.6g, Weight %.6g", band[0],
                                     band[1], band[2], band[3]));
        }
    }
    v.designMethod = DesignMethodWords(source.firIir, source.iirMethod);
    v.fs = Printf("%15.2f", source.fs);
    v.fc1 = Printf("%15.2f", source.fc1);
    v.fc2 = Printf("%15.2f", source.fc2);
    v.fc3 = Printf("%15.2f", source.fc3);
    v.fc4 = Printf("%15.2f", source.fc4);
    v.iirFc1 = Printf("%15.2f", source.iirFc1);
    v.iirFc2 = Printf("%15.2f", source.iirFc2);
    v.taps = Printf("%5d", source.shownTaps);
    v.nSections = Printf("%5d", source.sections);
    v.quantBits = Printf("%5d", source.quantBits);
    v.dataBits = Printf("%5d", source.dataBits);
    return v;
}

std::string BuildVhdlHeader(HeaderVariant variant, bool iir, const HeaderValues& values) {
    const bool twoCutoffs = values.filterType == 2 || values.filterType == 3;
    std::string text;
    AddLine(text, kRule, variant);
    AddLine(text, "-- Filter Type = " + values.typeWords, variant);
    const std::string& methodName = values.method.empty() ? values.designMethod : values.method;
    if (!methodName.empty()) {
        AddLine(text, "-- Design Method = " + methodName, variant);
    }
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
    } else if (!values.bands.empty()) {
        for (size_t b = 0; b < values.bands.size(); ++b) {
            AddLine(text, "-- Band " + std::to_string(b + 1) + " = " + values.bands[b], variant);
        }
        AddLine(text,
                (variant == HeaderVariant::kDisplay ? "-- Tap Count = " : "-- Tap count = ") +
                    values.taps,
                variant);
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
    if (!values.architecture.empty()) {
        AddLine(text, "-- Architecture = " + values.architecture, variant);
    }
    if (!values.rateChange.empty()) {
        AddLine(text, "-- " + values.rateChange, variant);
    }
    AddLine(text, "-- Generated by 'Vantrel'(pelmix1.exe ver2.6)", variant);
    AddLine(text, std::string("-- ") + kWebAddress, variant);
    AddLine(text, "-- Note: This code is not guaranteed working under every circumstances.",
            variant);
    AddLine(text, "-- Note: Please use this code on your own risk.", variant);
    AddLine(text, kRule, variant);
    return text;
}

std::string SubstituteFirLine(const dsp::FilterCoefficients& c, int dataBits, std::string_view line,
                              int& substIndex, int multipliers) {
    constexpr int kTapTokens = 400; // "reph  0" .. "reph399"
    std::string out(line);
    const int i = substIndex;
    if (i >= 0 && i < kTapTokens) {
        const std::int64_t fixed =
            i < c.ShownTaps() ? c.tapIntegers[static_cast<size_t>(i)] : std::int64_t{0};
        const std::string literal =
            coeffs::FormatBinaryWidth(static_cast<int>(fixed), c.LiteralWidth());
        if (ReplaceAll(out, Printf("reph%3d", i), literal) > 0) {
            ++substIndex;
        }
    }
    if (out.find("SYMM") != std::string::npos || out.find("MULK") != std::string::npos) {
        const bool symmetric = SymmetricTaps(c);
        ReplaceAll(out, "SYMM", symmetric ? "1" : "0");
        ReplaceAll(out, "MULK",
                   Printf("%2d", UsedMultipliers(false, c.ShownTaps(), symmetric, multipliers)));
    }
    ReplaceAll(out, "TAPN", Printf("%3d", c.ShownTaps()));
    ApplyWidths(kFirWidths, dataBits, c.bits, out);
    ReplaceAll(out, "DIOB", Printf("%2d", dataBits));
    ReplaceAll(out, "ADDB-1", "8");
    ReplaceAll(out, "ADDB", "9");
    return out;
}

std::string SubstituteIirLine(const dsp::FilterCoefficients& c, int dataBits, std::string_view line,
                              int& substIndex, int multipliers) {
    std::string out(line);
    const int s = substIndex;
    if (s >= 0 && s < static_cast<int>(c.sectionIntegers.size())) {
        const dsp::SectionIntegers& q = c.sectionIntegers[static_cast<size_t>(s)];
        const int width = c.LiteralWidth();
        const auto literal = [width](std::int64_t v) {
            return coeffs::FormatBinaryWidth(static_cast<int>(v), width);
        };
        ReplaceAll(out, "repa0", literal(q[0]));
        ReplaceAll(out, "repa1", literal(q[1]));
        ReplaceAll(out, "repa2", literal(q[2]));
        ReplaceAll(out, "repb1", literal(NegatedFixedInteger(q[3])));
        if (ReplaceAll(out, "repb2", literal(NegatedFixedInteger(q[4]))) > 0) {
            ++substIndex;
        }
    }
    ReplaceAll(out, "MULK", Printf("%2d", UsedMultipliers(true, 0, false, multipliers)));
    ApplyWidths(kIirWidths, dataBits, c.bits, out);
    return out;
}

std::vector<std::string> TemplatePieces(std::string_view text) {
    std::vector<std::string> pieces;
    std::string piece;
    for (size_t at = 0; at < text.size();) {
        char c = text[at++];
        if (c == '\r' && at < text.size() && text[at] == '\n') {
            c = '\n'; // a line end written as CR LF reads as one line feed
            ++at;
        }
        piece += c;
        if (c == '\n' || static_cast<int>(piece.size()) == kTemplatePieceCapacity) {
            pieces.push_back(std::move(piece));
            piece.clear();
        }
    }
    if (!piece.empty()) {
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

TemplateStatus ReadTemplateText(const std::string& templatePath, std::string& text,
                                std::string& reason) {
    files::InputFile file = files::ReadInputFile(templatePath);
    if (!file.ok) {
        reason = file.opened ? file.reason : std::string();
        std::error_code error;
        return file.opened ||
                       (!templatePath.empty() && std::filesystem::exists(templatePath, error))
                   ? TemplateStatus::kUnreadable
                   : TemplateStatus::kNotFound;
    }
    if (file.text.find('\0') != std::string::npos) {
        reason = "holds a NUL byte: not a text template";
        return TemplateStatus::kUnreadable;
    }
    reason.clear();
    text = std::move(file.text);
    return TemplateStatus::kOk;
}

TemplateStatus ReadTemplateText(const std::string& templatePath, std::string& text) {
    std::string reason;
    return ReadTemplateText(templatePath, text, reason);
}

int TemplateSectionCount(const dsp::FilterCoefficients& c) {
    return c.iir ? TemplateSections(c.designedSections) : 0;
}

std::string TemplateBlockError(const dsp::FilterCoefficients& c, std::string_view templateText) {
    const int sections = TemplateSectionCount(c);
    std::string error = ExpandSectionBlocks(templateText, sections).error;
    // With no sections the blocks are not written, so their lines are checked for one.
    return error.empty() && sections == 0 ? SectionBlockError(templateText) : error;
}

std::string SubstituteTemplate(const dsp::FilterCoefficients& c, int dataBits,
                               std::string_view templateText, HeaderVariant variant,
                               int& substIndex, int multipliers) {
    // Malformed blocks leave the text as written (the callers refuse such a template first).
    const BlockExpansion expanded = ExpandSectionBlocks(templateText, TemplateSectionCount(c));
    if (expanded.Ok()) {
        templateText = expanded.text;
    }
    std::string body;
    for (std::string& piece : TemplatePieces(templateText)) {
        if (variant == HeaderVariant::kDisplay) {
            std::erase(piece, '\n');
        }
        body += c.iir ? SubstituteIirLine(c, dataBits, piece, substIndex, multipliers)
                      : SubstituteFirLine(c, dataBits, piece, substIndex, multipliers);
        if (variant == HeaderVariant::kDisplay) {
            body += "\r\n";
        }
    }
    return body;
}

bool TemplateFollowsHeader(bool iir, int sections, HeaderVariant variant) {
    const bool sectionsKnown = sections >= 1 && sections <= kMaxTemplateSections;
    return !(variant == HeaderVariant::kFile && iir && !sectionsKnown);
}

namespace {

// Every token the substitution knows, FIR and IIR alike; a template written for new tokens adds
// them here, so that one left over is found.
constexpr std::array<std::string_view, 12> kTemplateTokens{
    "reph", "repa0", "repa1", "repa2", "repb1", "repb2",
    "TAPN", "ADDB",  "DIOB",  "COB",   "SYMM",  "MULK",
};
constexpr std::string_view kTapToken = "reph";
constexpr size_t kTapIndexLength = 3; // "reph" and its three-character index ("  0" .. "399")

// The leftover tokens of one template line (its substituted pieces joined), left to right.
void FindTokensInLine(std::string_view line, int lineNumber, std::vector<LeftoverToken>& found) {
    for (size_t at = 0; at < line.size(); ++at) {
        for (const std::string_view token : kTemplateTokens) {
            if (line.substr(at, token.size()) != token) {
                continue;
            }
            const size_t length = token == kTapToken
                                      ? std::min(token.size() + kTapIndexLength, line.size() - at)
                                      : token.size();
            found.push_back({lineNumber, std::string(line.substr(at, length))});
            at += length - 1;
            break;
        }
    }
}

} // namespace

std::vector<LeftoverToken> FindLeftoverTokens(const dsp::FilterCoefficients& c, int dataBits,
                                              std::string_view templateText) {
    std::vector<LeftoverToken> found;
    // The tokens of written block lines are told at the template line they came from.
    const BlockExpansion expanded = ExpandSectionBlocks(templateText, TemplateSectionCount(c));
    if (expanded.Ok()) {
        templateText = expanded.text;
    }
    const auto sourceLine = [&expanded](int written) {
        return expanded.Ok() && written <= static_cast<int>(expanded.sourceLines.size())
                   ? expanded.sourceLines[static_cast<size_t>(written - 1)]
                   : written;
    };
    int substIndex = 0;
    int lineNumber = 1;
    std::string line; // the substituted pieces of the current template line
    for (const std::string& piece : TemplatePieces(templateText)) {
        line += c.iir ? SubstituteIirLine(c, dataBits, piece, substIndex)
                      : SubstituteFirLine(c, dataBits, piece, substIndex);
        if (!piece.empty() && piece.back() == '\n') {
            FindTokensInLine(line, sourceLine(lineNumber), found);
            line.clear();
            ++lineNumber;
        }
    }
    FindTokensInLine(line, sourceLine(lineNumber), found);
    return found;
}

std::vector<std::string> DescribeLeftoverTokens(const std::vector<LeftoverToken>& tokens,
                                                size_t shown) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < tokens.size() && i < shown; ++i) {
        lines.push_back("template line " + std::to_string(tokens[i].line) + ": \"" +
                        tokens[i].token + "\" was not replaced");
    }
    if (tokens.size() > shown) {
        lines.push_back("... and " + std::to_string(tokens.size() - shown) + " more");
    }
    return lines;
}

bool TemplateFitsStructure(std::string_view templateText, bool iir) {
    if (!iir) {
        return templateText.find(kTapToken) != std::string_view::npos;
    }
    for (const std::string_view token : {"repa0", "repa1", "repa2", "repb1", "repb2"}) {
        if (templateText.find(token) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

bool SearchTakesTemplate(const std::string& path, bool iir) {
    std::string text;
    return ReadTemplateText(path, text) != TemplateStatus::kOk || TemplateFitsStructure(text, iir);
}

std::string SkippedTemplateNote(const std::string& path, bool iir) {
    return path + " is not " + (iir ? "an IIR" : "a FIR") + " template; searching on";
}

} // namespace vhdl
