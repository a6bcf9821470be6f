// Poles and zeros of a filter, for the pole-zero diagram and its table.
//
// IIR: each section's two zeros (of a0 z^2 + a1 z + a2) and two poles (of z^2 + b1 z + b2), from
// the quadratic formula in its cancellation-free form. A section is unstable when a pole lies on
// or outside the unit circle; that is decided on the coefficients themselves (|b2| < 1 and
// |b1| < 1 + b2 hold for a stable section), so a pole at radius 1 is never rounded inside.
// FIR: the zeros of h0 z^(N'-1) + h1 z^(N'-2) + ... + h(N'-1), the eigenvalues of the polynomial's
// balanced companion matrix (Eigen). Leading zero taps lower the degree; trailing ones are zeros
// at the origin.
#pragma once

#include <complex>
#include <span>
#include <vector>

#include "dsp/FilterCoefficients.h"

namespace dsp {

using Root = std::complex<double>;

struct SectionRoots {
    std::vector<Root> zeros; // 2, fewer when a0 (and a1) are 0
    std::vector<Root> poles; // 2
    bool unstable = false;   // a pole on or outside the unit circle
};

struct PoleZeroSet {
    std::vector<Root> zeros;
    std::vector<Root> poles;
    std::vector<int> unstableSections; // 1-based section numbers
};

// The roots of c[0] x^2 + c[1] x + c[2] (degree lowered while the leading value is 0).
std::vector<Root> QuadraticRoots(double c0, double c1, double c2);
// Whether 1 + b1 z^-1 + b2 z^-2 has a pole on or outside the unit circle.
bool SectionUnstable(double b1, double b2);
SectionRoots RootsOfSection(const Section& section);
// The roots of the polynomial with these coefficients, highest power first (numpy's order).
std::vector<Root> PolynomialRoots(std::span<const double> coefficients);

PoleZeroSet FirPoleZero(std::span<const double> taps);
PoleZeroSet IirPoleZero(std::span<const Section> sections);
// The N' taps or the designed sections of the coefficients that leave the design.
PoleZeroSet PoleZeroOf(const FilterCoefficients& c);

} // namespace dsp
