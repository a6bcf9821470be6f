// The coefficients in the formats the next tools in a flow read: the coefficient files of the
// FPGA vendors' cores (.coe, .mif), CSV and JSON for scripts (numpy, scipy), and a C header laid
// out for the CMSIS-DSP filter functions of a microcontroller. Each writer is a function from the
// coefficients that leave the design (dsp::FilterCoefficients) and the design's parameters to the
// file's text; the caller writes it through files::WriteOutputFile.
//
// Our sections are H(z) = (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2): in scipy's names
// our a0 a1 a2 are b0 b1 b2 and our b1 b2 are a1 a2 (same signs). "Literals" are the integers the
// generated VHDL holds (vhdl::FirLiterals, vhdl::IirLiterals): FIR taps K * h in B bits, IIR
// a0, a1, a2, -b1, -b2 in B + 2 bits, all at scale 2^(B-1) and saturated as the VHDL's are.
//
// The layouts:
// - .coe FIR: `radix=10;` `coefdata=` the tap literals, comma-separated, ending in ';'.
//   .coe IIR: a memory initialisation file, `memory_initialization_radix=10;`
//   `memory_initialization_vector=` then one line per section: a0, a1, a2, -b1, -b2 (literals).
// - .mif: WIDTH (B, or B + 2 for IIR), DEPTH, CONTENT of two's complement hex words: the tap
//   literals, or a0, a1, a2, -b1, -b2 of each section.
// - CSV: comment lines start with '#' (the design, and a quantized design's literals); every
//   other line is a data row for numpy.loadtxt(f, delimiter=','): FIR one tap K * h[k] a row,
//   h[0] first; IIR one section a row as scipy's sos, `b0,b1,b2,1,a1,a2` (= our a0,a1,a2,1,b1,b2).
//   Values are the shortest decimals that read back as the same doubles (quantized: k / 2^(B-1)).
// - JSON: "format" "vantrel-coefficients", "version" 2, "structure" "fir"|"iir", "quantized",
//   and only when quantized "bits", "scale" 2^(B-1), "integer_bits" (B or B + 2) and "integers";
//   "design" the parameters. FIR: "numerator" the taps, "denominator" [1], "integers" the tap
//   literals. IIR: "sos" rows [b0, b1, b2, 1, a1, a2], "sections" [{"numerator": [b0, b1, b2],
//   "denominator": [1, a1, a2]}] of the same values, "integers" rows [b0, b1, b2, -a1, -a2] of
//   literals (the VHDL's and CMSIS-DSP's order).
// - C header: a float form of everything; FIR Q15 taps at B = 16 and Q31 taps (the literals times
//   2^(32-B)) for B > 16, time-reversed for arm_fir_init_*; IIR a Q31 form for
//   arm_biquad_cascade_df1_q31 holding the literals themselves with postShift 32 - B, and a Q15
//   form only where it holds the literals without losing a bit. The integer forms need a
//   quantized design.
// - A FIR with a rate change (`rate` of the parameters): every format's comments name it; the C
//   header adds the factor, the polyphase arrangement (per phase its taps, natural order, as
//   floats and as the literals) and, for an interpolator, the taps padded with zeros to a
//   multiple of L as arm_fir_interpolate_init_* needs them (the plain taps already suit
//   arm_fir_decimate_init_*); the JSON adds "rate_change" with "kind", "factor", "phases" and,
//   quantized, "phase_integers". Single-rate files are unchanged.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dsp/FilterCoefficients.h"
#include "vhdl/Polyphase.h"

namespace files {

enum class ExportFormat { kCoe, kMif, kCsv, kJson, kCHeader };

// "coe", "mif", "csv", "json", "c" -> the format; nothing for another word.
std::optional<ExportFormat> ParseExportFormat(std::string_view word);
const char* ExportFormatWord(ExportFormat format);
// The usual extension of the format's files, with its dot (".coe", ..., ".h").
const char* ExportExtension(ExportFormat format);
// .coe and .mif hold integers only: an unquantized design has none to give.
bool IsIntegerFormat(ExportFormat format);

// The parameters of the design the coefficients came from, as the design dialogs hold them.
// The firKind of a CIC's droop compensator: its files describe its two bands at the low rate.
inline constexpr const char* kCicCompensatorKind = "cic-compensator";

struct ExportParameters {
    int filterType = 0; // 0 LPF, 1 HPF, 2 BRF, 3 BPF
    double fs = 1000.0; // Hz
    // FIR: the band edges of the type (two, or four for BRF/BPF), Hz; the tap count as designed,
    // the ripple ratio and the coefficient multiplier K.
    std::vector<double> edges;
    int taps = 0;
    double rr = 0.0;
    int multiplier = 1;
    // FIR: the dsp::FirMethod and the Kaiser window's beta; the files name a method other than
    // the Remez exchange.
    int firMethod = 0;
    double kaiserBeta = 0.0;
    // IIR: the section count, the pass-band ripple (dB) and the cut-off edges (Hz).
    int sections = 0;
    double rippleDb = 0.0;
    std::vector<double> cutoffs;
    // FIR designed on a band table of its own: "hilbert", "differentiator" or "multiband" (empty
    // for the filter types), and the table, "from, to (Hz), gain, weight" per band, which the
    // files give in place of the type's edges and RR.
    std::string firKind = {};
    std::vector<std::array<double, 4>> firBands = {};
    // IIR: the design method (a dsp::IirMethod, Chebyshev I by default) and the stop-band
    // attenuation (dB) of the methods that take it. A method other than Chebyshev I is named in
    // the files, with the values it was designed from.
    int iirMethod = 0;
    double attenDb = 0.0;
    // FIR: the rate change the hardware makes with the taps (single rate by default).
    vhdl::RateChange rate = {};
};

// One stage as arm_biquad_cascade_df1 takes it, y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2]
// + a1 y[n-1] + a2 y[n-2]: our numerator a0, a1, a2 and the negated denominator -b1, -b2.
struct BiquadStage {
    double b0 = 0.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
};
std::vector<BiquadStage> BiquadStages(const dsp::FilterCoefficients& c);

// The literals of the designed sections in the stage order: a0, a1, a2, -b1, -b2.
using StageLiterals = std::array<std::int64_t, 5>;
std::vector<StageLiterals> StageLiteralsOf(const dsp::FilterCoefficients& c);

// The Q15 form of biquad stages whose literals are at scale 2^(bits-1): values q with
// q * 2^(bits - 16 + postShift) equal to the literals, postShift the least that fits them into
// 16 bits. `lossless` is false when that division drops a bit of some literal (then `values` hold
// the truncated ones and `firstLost` names the first literal that lost: stage * 5 + field).
struct Q15Stages {
    bool fits = false; // some postShift of 0..15 holds every value in 16 bits
    bool lossless = false;
    int postShift = 0;
    int lostCount = 0;
    int firstLost = -1;
    std::vector<StageLiterals> values;
};
Q15Stages Q15StagesOf(const std::vector<StageLiterals>& literals, int bits);

// A C identifier made of `text` (a file's stem): every character that cannot stand in one
// becomes '_', and one that starts with a digit or is empty gets "filter_" before it.
std::string CIdentifier(std::string_view text);

// The file's text. `name` is the C header's identifier base (CIdentifier of the file's stem).
// An integer format asked of unquantized coefficients gives nothing (the caller refuses it).
std::optional<std::string> BuildExport(ExportFormat format, const dsp::FilterCoefficients& c,
                                       const ExportParameters& design, std::string_view name);

} // namespace files
