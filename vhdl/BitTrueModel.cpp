// The bit-true model of the generated filters. Every value stays inside 64 bits: literals are
// 32-bit integers at most and data words at most 28 bits, so a FIR sum of 400 products and an
// IIR sum of five products cannot overflow.
#include "vhdl/BitTrueModel.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "dsp/NumberForms.h"
#include "vhdl/VhdlText.h"

namespace vhdl {

namespace {

constexpr double kNominalAmplitude = 50.0; // the test wave's amplitude maps to full scale

// Floor of v / 2^shift: C++20 shifts negative values arithmetically.
std::int64_t ShiftFloor(std::int64_t v, int shift) {
    return shift <= 0 ? v : v >> std::min(shift, 62);
}

bool Fits(std::int64_t v, int width) {
    return LiteralValue(v, width) == v;
}

} // namespace

std::int64_t Saturate(std::int64_t v, int width) {
    if (width <= 0) {
        return 0;
    }
    if (width >= 64) {
        return v;
    }
    const std::int64_t most = (std::int64_t{1} << (width - 1)) - 1;
    return std::clamp(v, -most - 1, most);
}

std::int64_t LiteralValue(std::int64_t v, int width) {
    return Saturate(v, std::min(width, coeffs::kMaxBinaryWidth - 1));
}

int NegatedFixedInteger(std::int64_t fixed) {
    return static_cast<int>(std::min<std::int64_t>(-fixed, INT_MAX));
}

std::vector<std::int64_t> FirLiterals(const dsp::FilterCoefficients& c) {
    std::vector<std::int64_t> taps(c.tapIntegers.size());
    for (size_t k = 0; k < taps.size(); ++k) {
        taps[k] = LiteralValue(c.tapIntegers[k], c.LiteralWidth());
    }
    return taps;
}

std::vector<IirSectionLiterals> IirLiterals(const dsp::FilterCoefficients& c) {
    const int width = c.LiteralWidth();
    const size_t count = std::min(static_cast<size_t>(TemplateSections(c.designedSections)),
                                  c.sectionIntegers.size());
    std::vector<IirSectionLiterals> sections(count);
    for (size_t s = 0; s < count; ++s) {
        const dsp::SectionIntegers& q = c.sectionIntegers[s];
        IirSectionLiterals& l = sections[s];
        l.a0 = LiteralValue(q[0], width);
        l.a1 = LiteralValue(q[1], width);
        l.a2 = LiteralValue(q[2], width);
        l.nb1 = LiteralValue(NegatedFixedInteger(q[3]), width);
        l.nb2 = LiteralValue(NegatedFixedInteger(q[4]), width);
    }
    return sections;
}

int CountSaturatedLiterals(const dsp::FilterCoefficients& c) {
    const int width = c.LiteralWidth();
    int count = 0;
    if (!c.iir) {
        for (const std::int64_t v : c.tapIntegers) {
            count += Fits(v, width) ? 0 : 1;
        }
        return count;
    }
    const size_t sections = std::min(static_cast<size_t>(TemplateSections(c.designedSections)),
                                     c.sectionIntegers.size());
    for (size_t s = 0; s < sections; ++s) {
        const dsp::SectionIntegers& q = c.sectionIntegers[s];
        for (const std::int64_t v : {q[0], q[1], q[2], -q[3], -q[4]}) {
            count += Fits(v, width) ? 0 : 1;
        }
    }
    return count;
}

std::vector<std::int64_t> FirBitTrue(std::span<const std::int64_t> taps, int coeffBits,
                                     int dataBits, std::span<const std::int64_t> input,
                                     SaturationCount* saturation) {
    std::vector<std::int64_t> output(input.size());
    for (size_t n = 0; n < input.size(); ++n) {
        std::int64_t sum = 0;
        for (size_t k = 0; k < taps.size() && k <= n; ++k) {
            sum += taps[k] * input[n - k];
        }
        const std::int64_t shifted = ShiftFloor(sum, coeffBits - 1);
        output[n] = Saturate(shifted, dataBits);
        if (saturation != nullptr && output[n] != shifted) {
            ++saturation->filterOutput;
        }
    }
    return output;
}

std::vector<std::int64_t> IirBitTrue(std::span<const IirSectionLiterals> sections, int coeffBits,
                                     int dataBits, std::span<const std::int64_t> input,
                                     SaturationCount* saturation) {
    if (saturation != nullptr) {
        saturation->sectionOutputs.assign(sections.size(), 0);
    }
    const int sectionBits = dataBits + kIirGuardBits;
    // history[s] holds x[n-1], x[n-2] of section s; history[s + 1] is also y[n-1], y[n-2] of s.
    std::vector<std::int64_t> previous(sections.size() + 1, 0);
    std::vector<std::int64_t> older(sections.size() + 1, 0);
    std::vector<std::int64_t> output(input.size());
    for (size_t n = 0; n < input.size(); ++n) {
        std::int64_t x = input[n];
        for (size_t s = 0; s < sections.size(); ++s) {
            const IirSectionLiterals& c = sections[s];
            const std::int64_t w = c.a0 * x + c.a1 * previous[s] + c.a2 * older[s] +
                                   c.nb1 * previous[s + 1] + c.nb2 * older[s + 1];
            older[s] = previous[s];
            previous[s] = x;
            const std::int64_t shifted = ShiftFloor(w, coeffBits - 1);
            x = Saturate(shifted, sectionBits);
            if (saturation != nullptr && x != shifted) {
                ++saturation->sectionOutputs[s];
            }
        }
        older[sections.size()] = previous[sections.size()];
        previous[sections.size()] = x;
        output[n] = Saturate(x, dataBits);
        if (saturation != nullptr && output[n] != x) {
            ++saturation->filterOutput;
        }
    }
    return output;
}

std::vector<std::int64_t> ScaleStimulus(std::span<const double> wave, int dataBits) {
    const double fullScale = std::ldexp(1.0, dataBits - 1) - 1.0;
    std::vector<std::int64_t> samples(wave.size());
    for (size_t i = 0; i < wave.size(); ++i) {
        const double scaled = std::round(wave[i] * fullScale / kNominalAmplitude);
        const double limit = std::ldexp(1.0, dataBits); // keeps the conversion defined
        samples[i] =
            std::isfinite(scaled)
                ? Saturate(static_cast<std::int64_t>(std::clamp(scaled, -limit, limit)), dataBits)
                : 0;
    }
    return samples;
}

double UnscaleSample(std::int64_t v, int dataBits) {
    return static_cast<double>(v) * kNominalAmplitude / (std::ldexp(1.0, dataBits - 1) - 1.0);
}

} // namespace vhdl
