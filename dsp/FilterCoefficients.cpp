// The one builder of the coefficients that leave the design.
#include "dsp/FilterCoefficients.h"

#include <algorithm>

#include "dsp/NumberForms.h"

namespace dsp {

namespace {

constexpr Section kPassThrough = {1.0, 0.0, 0.0, 0.0, 0.0};

// How many of `count` entries of a list of `size` are valid.
size_t Bounded(int count, size_t size) {
    return static_cast<size_t>(
        std::clamp<std::ptrdiff_t>(count, 0, static_cast<std::ptrdiff_t>(size)));
}

} // namespace

std::span<const double> FilterCoefficients::DesignedTaps() const {
    return std::span<const double>(taps).first(Bounded(designedTaps, taps.size()));
}

std::span<const Section> FilterCoefficients::DesignedSections() const {
    return std::span<const Section>(sections).first(Bounded(designedSections, sections.size()));
}

FilterCoefficients FirCoefficients(std::span<const double> h, int designed, int shown,
                                   int multiplier, bool quantize, int bits) {
    FilterCoefficients c;
    c.iir = false;
    const size_t n = Bounded(shown, h.size());
    c.taps.resize(n);
    for (size_t j = 0; j < n; ++j) {
        c.taps[j] = multiplier * h[j];
    }
    c.designedTaps = static_cast<int>(Bounded(designed, n));
    return AtBits(c, quantize, bits);
}

FilterCoefficients IirCoefficients(std::span<const Section> sections, int designed, bool quantize,
                                   int bits) {
    FilterCoefficients c;
    c.iir = true;
    c.sections.assign(kCascadeSections, kPassThrough);
    std::copy_n(sections.begin(), Bounded(kCascadeSections, sections.size()), c.sections.begin());
    c.designedSections = static_cast<int>(Bounded(designed, kCascadeSections));
    return AtBits(c, quantize, bits);
}

FilterCoefficients AtBits(const FilterCoefficients& c, bool quantize, int bits) {
    FilterCoefficients q = c;
    q.quantized = quantize;
    q.bits = bits;
    q.tapIntegers.resize(c.taps.size());
    for (size_t j = 0; j < c.taps.size(); ++j) {
        q.tapIntegers[j] = coeffs::ToFixedInteger(c.taps[j], bits);
        if (quantize) {
            q.taps[j] = coeffs::Quantize(c.taps[j], bits);
        }
    }
    q.sectionIntegers.resize(c.sections.size());
    for (size_t s = 0; s < c.sections.size(); ++s) {
        for (int f = 0; f < kSectionFields; ++f) {
            q.sectionIntegers[s][f] = coeffs::ToFixedInteger(c.sections[s][f], bits);
            if (quantize) {
                q.sections[s][f] = coeffs::Quantize(c.sections[s][f], bits);
            }
        }
    }
    return q;
}

} // namespace dsp
