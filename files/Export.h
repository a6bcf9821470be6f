// The coefficients in the formats the next tools in a flow read: the coefficient files of the
// FPGA vendors' FIR cores (.coe, .mif), CSV and JSON for scripts, and a C header laid out for the
// CMSIS-DSP filter functions of a microcontroller. Each writer is a function from the
// coefficients that leave the design (dsp::FilterCoefficients) and the design's parameters to the
// file's text; the caller writes it through files::WriteOutputFile.
//
// The integers are the ones the VHDL literals hold: FIR taps at B bits, IIR coefficients at scale
// 2^(B-1) in B + 2 bits (a1 reaches about -2), both saturated as the literals are.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dsp/FilterCoefficients.h"

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
struct ExportParameters {
    int filterType = 0; // 0 LPF, 1 HPF, 2 BRF, 3 BPF
    double fs = 1000.0; // Hz
    // FIR: the band edges of the type (two, or four for BRF/BPF), Hz; the tap count as designed,
    // the ripple ratio and the coefficient multiplier K.
    std::vector<double> edges;
    int taps = 0;
    double rr = 0.0;
    int multiplier = 1;
    // IIR: the section count, the pass-band ripple (dB) and the cut-off edges (Hz).
    int sections = 0;
    double rippleDb = 0.0;
    std::vector<double> cutoffs;
};

// The CMSIS-DSP post-shift of a biquad cascade: the least p >= 0 with every coefficient of the
// designed sections inside [-2^p, 2^p) (the fixed-point coefficients hold value / 2^p).
int BiquadPostShift(const dsp::FilterCoefficients& c);

// One stage as arm_biquad_cascade_df1 takes it, y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2]
// + a1 y[n-1] + a2 y[n-2]: our numerator a0, a1, a2 and the negated denominator -b1, -b2.
struct BiquadStage {
    double b0 = 0.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
};
std::vector<BiquadStage> BiquadStages(const dsp::FilterCoefficients& c);
// The stages as fixed-point integers of `fractionBits` (15 or 31) after the post-shift:
// trunc(value * 2^(fractionBits - postShift)), saturated to fractionBits + 1 bits.
std::vector<std::array<std::int64_t, 5>> FixedBiquadStages(const dsp::FilterCoefficients& c,
                                                           int fractionBits, int postShift);

// A C identifier made of `text` (a file's stem): every character that cannot stand in one
// becomes '_', and one that starts with a digit or is empty gets "filter_" before it.
std::string CIdentifier(std::string_view text);

// The file's text. `name` is the C header's identifier base (CIdentifier of the file's stem).
// An integer format asked of unquantized coefficients gives nothing (the caller refuses it).
std::optional<std::string> BuildExport(ExportFormat format, const dsp::FilterCoefficients& c,
                                       const ExportParameters& design, std::string_view name);

} // namespace files
