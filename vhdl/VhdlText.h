// VHDL generation: the comment header that records a design, the token substitution of the
// template lines, the template reader, and the whole generated text as the VHDL Code command
// shows it and as Save VHDL writes it.
//
// The program does not compose VHDL itself: it copies a template line by line and replaces fixed
// tokens with the widths, the tap count and the quantized coefficients of the document.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

class COlvexDoc;
class COlvexView;

namespace vhdl {

// The header ends its lines with "\r\n" in the output box and with "\n" in a file.
enum class HeaderVariant { kDisplay, kFile };

// Template file names: "firfilter.vhd", "iirfilter1.vhd" .. "iirfilter8.vhd". A section count
// outside 1..7 takes the eight-section template.
std::string TemplateFileName(bool iir, int sections);
// The section count of the template TemplateFileName picks (1..8).
int TemplateSections(int sections);

// ---- Header ----------------------------------------------------------------------------------
// The value texts of the header, formatted once ("%15.2f" frequencies, "%5d" counts).
struct HeaderValues {
    int filterType = 0; // decides the "Cutoff 2" lines
    int sections = 0;   // decides the oscillation line
    std::string typeWords;
    std::string fs, fc1, fc2, fc3, fc4;
    std::string iirFc1, iirFc2;
    std::string taps;      // N' = m_nTaps + m_bEvenTaps
    std::string nSections; // n
    std::string quantBits; // B
    std::string dataBits;  // D
};
// "LPF by FIR" .. "BPF by IIR"; any other combination gives "BPF by IIR".
std::string FilterTypeWords(int firIir, int filterType);
// Every value text from the document; the type words from firIir and m_nFilterType.
HeaderValues FormatHeaderValues(const COlvexDoc& doc, int firIir);
std::string BuildVhdlHeader(HeaderVariant variant, bool iir, const HeaderValues& values);

// ---- Substitution ----------------------------------------------------------------------------
// One template line with the coefficient token of tap `substIndex` and then the FIR width/count
// table replaced. substIndex advances by one when the line held the current tap's token.
// A tap index of 400 or more leaves its token as text.
std::string SubstituteFirLine(const COlvexDoc& doc, std::string_view line, int& substIndex);
// The same with the five coefficient tokens of section substIndex and the IIR table; only a
// replaced "repb2" advances the index. A section index of 8 or more leaves the tokens as text.
std::string SubstituteIirLine(const COlvexDoc& doc, std::string_view line, int& substIndex);

// ---- Template reader -------------------------------------------------------------------------
// Reads a template in pieces of at most 255 characters: a piece ends after a line feed or when
// 255 characters were taken. A carriage return before a line feed is dropped.
class TemplateReader {
public:
    static constexpr int kPieceCapacity = 255;

    TemplateReader() = default;
    TemplateReader(const TemplateReader&) = delete;
    TemplateReader& operator=(const TemplateReader&) = delete;
    ~TemplateReader();

    // false when the path is empty or the file cannot be opened.
    bool Open(const std::string& path);
    // false at the end of the file or on a read error (see Failed).
    bool NextPiece(std::string& piece);
    bool Failed() const { return m_failed; }

private:
    std::FILE* m_file = nullptr;
    bool m_failed = false;
};

// ---- Whole text ------------------------------------------------------------------------------
// Why a template could not be used: the path names no file, or it could not be opened or read.
enum class TemplateStatus { kOk, kNotFound, kUnreadable };

// Appends every piece of the template at `templatePath`, substituted (FIR or IIR), to `text`.
// kDisplay removes the piece's line feeds and ends each with "\r\n"; kFile keeps the piece as
// it is. On failure `text` is left as it was.
TemplateStatus AppendSubstitutedTemplate(const COlvexDoc& doc, bool iir,
                                         const std::string& templatePath, HeaderVariant variant,
                                         int& substIndex, std::string& text);

// What Save VHDL writes (forFile true) or the output box shows (forFile false): sets
// view.m_nSubstIndex to 0 and replaces `text` with the header of that variant (for the view's
// m_nFirIir and the document) followed by the template at templatePath, substituted. For a file
// and an IIR section count outside 1..8 no template text follows the header. Returns false when
// the template cannot be opened or read; `text` is then unchanged.
bool BuildVhdlText(COlvexView& view, const std::string& templatePath, bool forFile,
                   std::string& text);

} // namespace vhdl
