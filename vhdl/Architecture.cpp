// The architectures' clock counts and the Auto choice; the template files hold the hardware.
#include "vhdl/Architecture.h"

#include <algorithm>
#include <cmath>

#include "vhdl/BitTrueModel.h"
#include "vhdl/VhdlText.h"

namespace vhdl {

namespace {

int CeilDiv(int a, int b) {
    return (a + b - 1) / b;
}

// Levels of a binary adder tree over `leaves` inputs.
int TreeLevels(int leaves) {
    int levels = 0;
    for (int width = 1; width < leaves; width *= 2) {
        ++levels;
    }
    return levels;
}

} // namespace

const char* ArchitectureName(Architecture arch) {
    switch (arch) {
    case Architecture::kSerial:
        return "serial";
    case Architecture::kFolded:
        return "folded";
    case Architecture::kParallel:
        return "parallel";
    case Architecture::kAuto:
        return "auto";
    }
    return "serial";
}

std::optional<Architecture> ParseArchitecture(std::string_view name) {
    for (Architecture arch : {Architecture::kSerial, Architecture::kFolded, Architecture::kParallel,
                              Architecture::kAuto}) {
        if (name == ArchitectureName(arch)) {
            return arch;
        }
    }
    return std::nullopt;
}

std::string ArchitectureTemplateFileName(Architecture arch, bool iir, int sections) {
    if (arch != Architecture::kFolded && arch != Architecture::kParallel) {
        return TemplateFileName(iir, sections); // "firfilter.vhd", "iirfilterN.vhd"
    }
    const char* suffix = arch == Architecture::kFolded ? "_folded.vhd" : "_parallel.vhd";
    return std::string(iir ? "iirfilter" : "firfilter") + suffix;
}

std::string LegacyTemplateFileName(Architecture arch, bool iir, int sections) {
    if (!iir || (arch != Architecture::kFolded && arch != Architecture::kParallel)) {
        return std::string();
    }
    std::string name = TemplateFileName(true, sections); // "iirfilterN.vhd"
    name.insert(name.size() - 4, arch == Architecture::kFolded ? "_folded" : "_parallel");
    return name;
}

bool SymmetricTaps(const dsp::FilterCoefficients& c) {
    if (c.iir || c.tapIntegers.empty()) {
        return false;
    }
    const std::vector<std::int64_t> literals = FirLiterals(c);
    return std::equal(literals.begin(), literals.end(), literals.rbegin());
}

int FirProducts(int shownTaps, bool symmetric) {
    const int taps = std::max(shownTaps, 1);
    return symmetric ? CeilDiv(taps, 2) : taps;
}

int UsedMultipliers(bool iir, int shownTaps, bool symmetric, int multipliers) {
    const int products = iir ? kIirSectionProducts : FirProducts(shownTaps, symmetric);
    return std::clamp(multipliers, kMinMultipliers, products);
}

int CyclesPerSample(Architecture arch, bool iir, int shownTaps, int sections, int multipliers,
                    bool symmetric) {
    const int n = TemplateSections(sections);
    switch (arch) {
    case Architecture::kParallel:
        return 1;
    case Architecture::kFolded: {
        const int k = UsedMultipliers(iir, shownTaps, symmetric, multipliers);
        if (iir) {
            // A frame reads the operands of every section's products back to back, sums the
            // last ones on one more clock, then moves the results on and takes the next sample.
            return CeilDiv(kIirSectionProducts * n, k) + 2;
        }
        return CeilDiv(FirProducts(shownTaps, symmetric), k) + 1;
    }
    case Architecture::kSerial:
    case Architecture::kAuto:
        break;
    }
    return iir ? 6 * n + 1 : std::max(shownTaps, 1) + 2;
}

int LatencyClocks(Architecture arch, bool iir, int shownTaps, int sections, int multipliers,
                  bool symmetric) {
    const int n = TemplateSections(sections);
    if (arch == Architecture::kParallel) {
        // IIR: one clock per section and one to saturate into dout. FIR: the pre-add, the
        // products in three clocks (one level of their adder trees each), the two adder trees
        // over the products and a constant one level per clock, their join and the saturation.
        return iir ? n + 1 : 6 + TreeLevels(FirProducts(shownTaps, symmetric) + 1);
    }
    const int cycles = CyclesPerSample(arch, iir, shownTaps, sections, multipliers, symmetric);
    if (arch == Architecture::kFolded && !iir) {
        // The issue clocks, then the pre-adders, the multipliers, the products' sign fix, the
        // adder tree over the lanes one level per clock, the accumulator's low half, its high
        // half and the saturation.
        const int lanes = UsedMultipliers(iir, shownTaps, symmetric, multipliers);
        return cycles + 5 + TreeLevels(lanes);
    }
    if (arch == Architecture::kFolded) {
        // Each section hands its result to the next one frame later; the last section's comes
        // out on the last clock of the frame that takes the next sample's place.
        return n * cycles;
    }
    // The sequential ones finish on the clock before they take the next sample.
    return cycles - 1;
}

ArchitectureChoice ChooseArchitecture(double clockHz, double fs, bool iir, int shownTaps,
                                      int sections, bool symmetric) {
    const double budget = clockHz > 0.0 && fs > 0.0 ? std::floor(clockHz / fs) : 0.0;
    const auto fits = [budget](int cycles) { return static_cast<double>(cycles) <= budget; };
    if (fits(CyclesPerSample(Architecture::kSerial, iir, shownTaps, sections, 1, symmetric))) {
        return {Architecture::kSerial, 1, true};
    }
    const int products = iir ? kIirSectionProducts : FirProducts(shownTaps, symmetric);
    const int most = std::min(products, kMaxMultipliers);
    for (int k = kMinMultipliers; k <= most; ++k) {
        if (fits(CyclesPerSample(Architecture::kFolded, iir, shownTaps, sections, k, symmetric))) {
            return {Architecture::kFolded, k, true};
        }
    }
    return {Architecture::kParallel, products, fits(1)};
}

} // namespace vhdl
