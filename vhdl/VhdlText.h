// VHDL generation: the comment header that records a design, the token substitution of the
// template lines, the template's pieces, and the whole generated text as the VHDL Code command
// shows it and as Save VHDL writes it.
//
// The program does not compose VHDL itself: it copies a template line by line and replaces fixed
// tokens with the widths, the tap count and the integer coefficients of the coefficients that
// leave the design (K * h for FIR).
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "dsp/FilterCoefficients.h"

namespace vhdl {

// The address the generated header names.
constexpr const char* kWebAddress = "https://vantrel.example/";

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
    std::string taps;      // N', the shown tap count
    std::string nSections; // n
    std::string quantBits; // B
    std::string dataBits;  // D
    // The design method when it is not the structure's default one ("Butterworth", ...); the
    // header names it on a line after the filter type when it is not empty.
    std::string designMethod;
    // The hardware architecture the text is generated in ("folded, 4 multipliers, ..."); the
    // header names it on a line of its own when it is not empty.
    std::string architecture;
    // The rate change of a polyphase filter ("Decimation = 8"); the header names it on a line of
    // its own after the architecture when it is not empty.
    std::string rateChange;
    // The design method ("Least squares", ...) when it is not the structure's default one; the
    // header names it on a line of its own after the filter type when it is not empty.
    std::string method;
    // A FIR designed on a band table of its own: one line per band ("     50.00 ..     450.00
    // Hz, Gain 1, Weight 1") in place of the cut-off lines.
    std::vector<std::string> bands;
};
// "LPF by FIR" .. "BPF by IIR"; any other combination gives "BPF by IIR".
std::string FilterTypeWords(int firIir, int filterType);
// The words of a FIR designed on a band table (firKind a dsp::FirKind other than the filter
// type's): "Hilbert Transformer by FIR", "Differentiator by FIR", "Multiband by FIR"; else the
// words above.
std::string FilterTypeWords(int firIir, int filterType, int firKind);

// The name of an IIR design method (a dsp::IirMethod) other than the default Chebyshev type I:
// "Butterworth", "Chebyshev II", "Elliptic", "Bessel"; empty for Chebyshev I or an unknown one,
// and for FIR (firIir 0).
std::string DesignMethodWords(int firIir, int iirMethod);
// The design values the header records.
struct HeaderSource {
    int firIir = 0; // the form's structure choice: 0 FIR, 1 IIR
    int filterType = 0;
    int sections = 0; // n, the IIR section count
    double fs = 0.0;
    double fc1 = 0.0, fc2 = 0.0, fc3 = 0.0, fc4 = 0.0; // FIR band edges
    double iirFc1 = 0.0, iirFc2 = 0.0;                 // IIR cut-off edges
    int shownTaps = 0;                                 // N'
    int quantBits = 0;                                 // B
    int dataBits = 0;                                  // D
    // FIR: the dsp::FirKind, and for a band-table kind its bands, "from, to (Hz), gain, weight".
    int firKind = 0;
    std::vector<std::array<double, 4>> bands = {};
    int iirMethod = 0; // a dsp::IirMethod
};
// Every value text; the type words from firIir and filterType.
HeaderValues FormatHeaderValues(const HeaderSource& source);
std::string BuildVhdlHeader(HeaderVariant variant, bool iir, const HeaderValues& values);

// ---- Substitution ----------------------------------------------------------------------------
// One template line with the coefficient token of tap `substIndex` and then the FIR width/count
// table replaced (B = c.bits, D = dataBits, TAPN = N'). substIndex advances by one when the line
// held the current tap's token. A tap past N' has the literal 0; a tap index of 400 or more
// leaves its token as text. The folded and parallel templates' tokens: "SYMM" becomes 1 when
// the taps are symmetric (SymmetricTaps) and 0 otherwise, "MULK" the multipliers a folded filter
// uses out of `multipliers` (UsedMultipliers).
std::string SubstituteFirLine(const dsp::FilterCoefficients& c, int dataBits, std::string_view line,
                              int& substIndex, int multipliers = 1);
// The same with the five coefficient tokens of section substIndex and the IIR table; only a
// replaced "repb2" advances the index. A section index of 8 or more leaves the tokens as text.
// "MULK" as for FIR, at most the five products of a section.
std::string SubstituteIirLine(const dsp::FilterCoefficients& c, int dataBits, std::string_view line,
                              int& substIndex, int multipliers = 1);

// ---- Template pieces -------------------------------------------------------------------------
// A template is substituted in pieces of at most 255 characters: a piece ends after a line feed
// or when 255 characters were taken. A carriage return before a line feed is dropped.
constexpr int kTemplatePieceCapacity = 255;
// The pieces of a template whose bytes are `text`.
std::vector<std::string> TemplatePieces(std::string_view text);

// ---- Whole text ------------------------------------------------------------------------------
// Why a template could not be used: the path names no file, or it could not be opened or read.
enum class TemplateStatus { kOk, kNotFound, kUnreadable };

// The bytes of the template at `templatePath` into `text`, through the bounded reader
// (files/InputFile.h); on failure `text` is left as it was and `reason` says why a file that
// could be opened was refused (a read error, a device, a FIFO without a writer, over the cap, a
// NUL byte, which no text template holds); it is empty when the path could not be opened.
TemplateStatus ReadTemplateText(const std::string& templatePath, std::string& text,
                                std::string& reason);
TemplateStatus ReadTemplateText(const std::string& templatePath, std::string& text);

// The section count a template's section blocks are written for (vhdl/TemplateBlocks.h): the
// IIR template's count (TemplateSections of the designed sections); none for FIR.
int TemplateSectionCount(const dsp::FilterCoefficients& c);
// Why the template's section blocks cannot be written for the design ("template line L: ..."),
// empty when they can or when it has none.
std::string TemplateBlockError(const dsp::FilterCoefficients& c, std::string_view templateText);

// The template's section blocks written out, then every piece of the template text, substituted
// (FIR or IIR as c.iir says), starting with tap or section substIndex. kDisplay removes the piece's
// line feeds and ends each with "\r\n"; kFile keeps the piece as it is.
std::string SubstituteTemplate(const dsp::FilterCoefficients& c, int dataBits,
                               std::string_view templateText, HeaderVariant variant,
                               int& substIndex, int multipliers = 1);

// Whether the generated text holds the template after the header: not for a file of an IIR
// section count outside 1..8.
bool TemplateFollowsHeader(bool iir, int sections, HeaderVariant variant);

// ---- Template checks ---------------------------------------------------------------------------
// The substitution is kept as users' templates know it; these checks run beside it and tell
// what it could not do.

// A template token still in the substituted text, with the template line (from 1) it is on.
struct LeftoverToken {
    int line = 0;
    std::string token; // the token as it stands ("reph 12", "repa0", "TAPN", ...)
};

// The template tokens left in the substituted template, in order: a coefficient token beyond
// the first of a piece, one split across two pieces of a long line, a token of the other
// structure. The substituted pieces of each template line are joined before the search, so a
// token split at a piece boundary is found too.
std::vector<LeftoverToken> FindLeftoverTokens(const dsp::FilterCoefficients& c, int dataBits,
                                              std::string_view templateText);

// "template line L: TOKEN was not replaced", one line per token (at most `shown` of them, then
// "... and N more").
std::vector<std::string> DescribeLeftoverTokens(const std::vector<LeftoverToken>& tokens,
                                                size_t shown = 20);

// Whether the template holds a coefficient token of the design's structure: "reph" for FIR,
// one of "repa0" .. "repb2" for IIR. A template of the other kind would give VHDL without the
// design's coefficients.
bool TemplateFitsStructure(std::string_view templateText, bool iir);

// Whether the template search takes the file at `path` for a template of the structure: a file
// that reads as text but holds no coefficient token of the structure (VHDL generated from a
// template, say) is not taken; one that cannot be read is, so that its reason is told.
bool SearchTakesTemplate(const std::string& path, bool iir);
// The note on a file the search passes over: "PATH is not a FIR template; searching on".
std::string SkippedTemplateNote(const std::string& path, bool iir);

} // namespace vhdl
