// The hardware architectures a filter can be generated in, what each costs in clocks per sample,
// and the choice of the cheapest one that keeps up with a clock.
//
// Serial: one multiplier; the FIR spends one clock per tap plus two, the IIR five clocks per
// section plus one to finish each section plus one to take the sample.
// Folded: K multipliers; the FIR issues M products in ceil(M / K) clocks plus one to take the
// sample (they drain through a pipeline while the next sample is taken), M being the
// ceil(N' / 2) pre-added pairs when the taps are symmetric, otherwise N'; the IIR (K up to five)
// works in frames of ceil(5 S / K) + 2 clocks: the products of all S sections back to back
// (operands read on one clock, multiplied and summed on the next), then one clock that moves
// each section's result on to the next section and takes the next sample, so that section s + 1
// works on the sample section s had in the frame before. A sample's output comes S frames after
// it is taken.
// Parallel: one sample per clock (din_ready stays 1), pipelined.
// Auto is not built: ChooseArchitecture turns it into one of the three.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "dsp/FilterCoefficients.h"

namespace vhdl {

enum class Architecture { kSerial, kFolded, kParallel, kAuto };

// The multiplier counts a folded filter accepts. More multipliers than a filter can use (M for
// a FIR, five for an IIR) cost nothing more in clocks; the template uses at most that many.
constexpr int kMinMultipliers = 1;
constexpr int kMaxMultipliers = 64;
// Products one IIR section sums.
constexpr int kIirSectionProducts = 5;

// "serial", "folded", "parallel", "auto".
const char* ArchitectureName(Architecture arch);
// The architecture of a name as ArchitectureName writes it; nothing for any other text.
std::optional<Architecture> ParseArchitecture(std::string_view name);

// The template file of an architecture: "firfilter.vhd", "firfilter_folded.vhd",
// "firfilter_parallel.vhd"; "iirfilterN.vhd" with N = TemplateSections(sections) for the serial
// IIR, and one template for every section count of the others, "iirfilter_folded.vhd" and
// "iirfilter_parallel.vhd", whose section blocks the substitution writes N times. kAuto names the
// serial template (choose first).
std::string ArchitectureTemplateFileName(Architecture arch, bool iir, int sections);
// The name a folded or parallel IIR template had when there was one per section count,
// "iirfilterN_folded.vhd", "iirfilterN_parallel.vhd"; empty for every other template. A file of
// that name that a user keeps is searched for before the template of every count.
std::string LegacyTemplateFileName(Architecture arch, bool iir, int sections);

// Whether the quantized integer taps equal their mirror images (h[j] == h[N'-1-j] for every j),
// so that a folded or parallel FIR pre-adds pairs of samples. false for an IIR or no taps.
bool SymmetricTaps(const dsp::FilterCoefficients& c);

// The products a FIR sums per sample: ceil(N' / 2) pairs when symmetric, otherwise N'.
int FirProducts(int shownTaps, bool symmetric);

// The multipliers a folded filter actually uses out of `multipliers` (clamped to
// kMinMultipliers..the products it sums).
int UsedMultipliers(bool iir, int shownTaps, bool symmetric, int multipliers);

// Clocks between two samples taken at full rate (din_valid held at 1). `sections` is the
// designed IIR section count (the template's count is used); `multipliers` matters for kFolded
// only; kAuto counts as kSerial.
int CyclesPerSample(Architecture arch, bool iir, int shownTaps, int sections, int multipliers,
                    bool symmetric);
// Clocks from the edge that takes a sample to the one after which dout_valid is 1 for it.
int LatencyClocks(Architecture arch, bool iir, int shownTaps, int sections, int multipliers,
                  bool symmetric);

struct ArchitectureChoice {
    Architecture arch = Architecture::kSerial;
    int multipliers = 1; // the folded multiplier count; 1 for serial, the products for parallel
    bool fits = true;    // false when not even the parallel one keeps up with the clock
};

// The cheapest architecture whose clocks per sample fit in floor(clockHz / fs): serial, then
// folded with the fewest multipliers, then parallel. Parallel, with fits false, when none fits
// (or clockHz or fs is not positive).
ArchitectureChoice ChooseArchitecture(double clockHz, double fs, bool iir, int shownTaps,
                                      int sections, bool symmetric);

} // namespace vhdl
