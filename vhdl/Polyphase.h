// Polyphase rate changers built on the FIR's taps and arithmetic (B-bit literals, full-precision
// sum, floor shift by B - 1, saturation to D bits): the bit-true model of the decimator and the
// interpolator, the table of products the generated hardware walks, and its text from the
// firfilter_decim and firfilter_interp templates.
//
// Decimator by M: output m is the FIR output at input sample m * M (the first sample is sample
// 0), so one output per M samples taken. Interpolator by L: the input with L - 1 zeros after
// each sample, filtered; L outputs per sample taken, of which output p of sample j is
// sum_i h[p + i L] x[j - i]. The taps carry no gain of L.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dsp/FilterCoefficients.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/HdlLanguage.h"
#include "vhdl/VhdlText.h"

namespace vhdl {

enum class RateKind { kNone, kDecimate, kInterpolate };

struct RateChange {
    RateKind kind = RateKind::kNone;
    int factor = 1; // M or L
    bool Active() const { return kind != RateKind::kNone; }
};

constexpr int kMinRateFactor = 2;
constexpr int kMaxRateFactor = 64;
// The templates' tables hold this many entries, as the single-rate FIR template holds taps.
constexpr int kMaxPolyphaseEntries = 400;
// The most multiplier lanes the folded rate changers take.
constexpr int kMaxPolyphaseMultipliers = 64;

// The outputs for the D-bit input samples from rest: one per `factor` samples taken (the
// first one included) for a decimator, `factor` per sample for an interpolator; the input
// unchanged for kNone. `saturation` as FirBitTrue counts it.
std::vector<std::int64_t> PolyphaseBitTrue(std::span<const std::int64_t> taps, int coeffBits,
                                           int dataBits, std::span<const std::int64_t> input,
                                           RateChange rate, SaturationCount* saturation = nullptr);

// One product of the hardware's walk: the literal, how many samples before the job's newest
// one it multiplies, and whether it ends an output.
struct PolyphaseEntry {
    std::int64_t literal = 0;
    int back = 0;
    bool last = false;
    friend bool operator==(const PolyphaseEntry&, const PolyphaseEntry&) = default;
};
// The walk of one job: for a decimator the non-zero taps in order, the last one ending the
// output; for an interpolator the non-zero taps of phase 0, then of phase 1, ..., each phase's
// last one ending its output, and a phase without a non-zero tap one zero entry. A filter
// whose taps are all 0 walks one zero entry per output.
std::vector<PolyphaseEntry> PolyphaseEntries(std::span<const std::int64_t> taps, RateChange rate);

// The walk of the folded hardware with `multipliers` lanes: the entries of each output (a
// decimator's one, each phase of an interpolator) padded with zero entries to whole rows of
// `multipliers`, the last entry of a row that ends an output marked last. With one multiplier
// the walk itself.
std::vector<PolyphaseEntry> PolyphaseFoldedEntries(std::span<const std::int64_t> taps,
                                                   RateChange rate, int multipliers);
// The lanes a folded walk uses out of `multipliers`: at least 1, at most the entries of its
// longest output (more would only add rows of zeros).
int PolyphaseUsedMultipliers(std::span<const std::int64_t> taps, RateChange rate, int multipliers);
// Rows of the folded walk: one clock each.
int PolyphaseRows(std::span<const std::int64_t> taps, RateChange rate, int multipliers);

// The samples one job reaches back over: the tap count for a decimator, ceil(taps / L) for an
// interpolator (at least 1).
int PolyphaseDepth(int taps, RateChange rate);
// Address bits of the sample buffer: it holds taps + M - 1 samples for a decimator (the job's
// window and the samples taken while it runs), the depth for an interpolator; at least 1.
int PolyphaseAddressBits(int taps, RateChange rate);

// Clocks for `factor` input samples (decimator) or for one (interpolator) at full rate:
// max(M, entries + 1) and entries + 1; `entries` are rows for the folded hardware.
int PolyphaseClocks(int entries, RateChange rate);
// Input samples per clock at full rate: M / max(M, entries + 1), 1 / (entries + 1).
double PolyphaseInputsPerClock(int entries, RateChange rate);

// Clocks per input sample at full rate, the job's clocks over the samples it takes.
double PolyphaseClocksPerInput(int entries, RateChange rate);

// "firfilter_decim.vhd", "firfilter_interp.v"; "firfilter_decim_folded.vhd" and
// "firfilter_interp_folded.v" for the folded hardware.
std::string PolyphaseTemplateName(RateChange rate, HdlLanguage language, bool folded = false);
// The header's rate line without its comment mark: "Decimation = 8", "Interpolation = 4".
std::string RateChangeWords(RateChange rate);
// The header's architecture text: "polyphase, 1 multiplier, 9 clocks per 8 input samples" for
// the one-multiplier hardware (multipliers 0), "polyphase folded, 2 multipliers, 32 clocks per 8
// input samples" for the folded one, `entries` then its rows.
std::string PolyphaseArchitectureWords(int entries, RateChange rate, int multipliers = 0);

// The fewest multipliers whose job fits the clocks `clockHz` gives it: a decimator's M samples
// and an interpolator's one sample come at `fs` / M and `fs` / L (the design's rate, the high
// one), so a job has floor(factor * clockHz / fs) clocks. 1 is the one-multiplier hardware;
// when none fits (or clockHz or fs is not positive) the most a walk uses, with fits false.
struct PolyphaseChoice {
    int multipliers = 1;
    bool fits = true;
};
PolyphaseChoice ChoosePolyphaseMultipliers(std::span<const std::int64_t> taps, RateChange rate,
                                           double clockHz, double fs);

// Why the taps cannot be generated with this rate change, or nothing: more table entries than
// the template holds (the folded walk's, padded to whole rows, with `multipliers` above 1).
std::optional<std::string> PolyphaseRefusal(const dsp::FilterCoefficients& c, RateChange rate,
                                            int multipliers = 1);

// The template with the walk's tables ("reph  0" .. the entry literals, "repo  0" .. the
// entry codes 2 * back + last), POLYM (the factor), POLYE (entries), POLYD (depth), POLYA
// (address bits), POLYK (multipliers) and the FIR width table replaced; the walk is the folded
// one of `multipliers` lanes. kDisplay ends every line with "\r\n".
std::string SubstitutePolyphaseTemplate(const dsp::FilterCoefficients& c, int dataBits,
                                        RateChange rate, std::string_view templateText,
                                        HeaderVariant variant, int multipliers = 1);
// Template tokens the substitution left, as FindLeftoverTokens finds them.
std::vector<LeftoverToken> FindPolyphaseLeftovers(std::string_view substitutedText);

} // namespace vhdl
