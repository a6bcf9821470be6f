// The hardware output of the In/Out Wave command, from the same model the testbench takes its
// expected outputs from.
#include "vhdl/HardwareWave.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>

#include "dsp/Wave.h"

namespace vhdl {

namespace {

// The FIR ideal output leaves its last sample at 0; the IIR one computes every sample.
int IdealSamples(bool iir) {
    return iir ? dsp::kWaveFiltered : dsp::kWaveFiltered - 1;
}

} // namespace

HardwareWave ComputeHardwareWave(const dsp::FilterCoefficients& c, int dataBits,
                                 std::span<const double> waveIn, std::span<const double> ideal) {
    HardwareWave wave;
    const bool iir = c.iir;
    const std::span<const double> input =
        waveIn.first(std::min<size_t>(waveIn.size(), dsp::kWaveFiltered));
    const std::vector<std::int64_t> stimulus = ScaleStimulus(input, dataBits);
    // Rounding moves a sample by half a step at most; one that moved further was clipped.
    const double step = UnscaleSample(1, dataBits);
    for (size_t i = 0; i < stimulus.size(); ++i) {
        const double moved = std::abs(UnscaleSample(stimulus[i], dataBits) - input[i]);
        wave.inputSaturated += moved <= step ? 0 : 1;
    }
    std::vector<std::int64_t> out;
    if (iir) {
        const std::vector<IirSectionLiterals> sections = IirLiterals(c);
        out = IirBitTrue(sections, c.bits, dataBits, stimulus, &wave.saturation);
    } else {
        const std::vector<std::int64_t> taps = FirLiterals(c);
        out = FirBitTrue(taps, c.bits, dataBits, stimulus, &wave.saturation);
    }
    wave.output.resize(out.size());
    for (size_t i = 0; i < out.size(); ++i) {
        wave.output[i] = UnscaleSample(out[i], dataBits);
    }
    const int compared = std::min(
        {IdealSamples(iir), static_cast<int>(wave.output.size()), static_cast<int>(ideal.size())});
    for (int i = 0; i < compared; ++i) {
        const size_t at = static_cast<size_t>(i);
        const double difference = std::abs(wave.output[at] - ideal[at]);
        if (difference > wave.largestDifference || std::isnan(difference)) {
            wave.largestDifference = difference;
            wave.largestAt = i;
        }
    }
    return wave;
}

std::vector<std::string> OverflowWarnings(const HardwareWave& wave, bool iir, int dataBits) {
    const int samples = static_cast<int>(wave.output.size());
    const std::string of = " of " + std::to_string(samples) + " samples";
    std::vector<std::string> lines;
    if (wave.inputSaturated > 0) {
        lines.push_back("Overflow: the input saturated to " + std::to_string(dataBits) +
                        " bits in " + std::to_string(wave.inputSaturated) + of);
    }
    for (size_t s = 0; s < wave.saturation.sectionOutputs.size(); ++s) {
        const int count = wave.saturation.sectionOutputs[s];
        if (count > 0) {
            lines.push_back("Overflow: section " + std::to_string(s + 1) + " saturated to " +
                            std::to_string(dataBits + kIirGuardBits) + " bits in " +
                            std::to_string(count) + of);
        }
    }
    if (wave.saturation.filterOutput > 0) {
        lines.push_back(std::string("Overflow: ") +
                        (iir ? "the output stage after the last section" : "the FIR accumulator") +
                        " saturated to " + std::to_string(dataBits) + " bits in " +
                        std::to_string(wave.saturation.filterOutput) + of);
    }
    return lines;
}

} // namespace vhdl
