// IIR design methods other than the Chebyshev type-I cascade of dsp/Iir.cpp: Butterworth,
// Chebyshev type II, elliptic (Cauer) and Bessel. Each builds the poles and zeros of its analog
// low-pass prototype, moves them to the requested type at the pre-warped edges, maps them to z
// by the bilinear transform, pairs every pole pair with its nearest zeros into second-order
// sections and scales the sections for fixed point.
#pragma once

#include "dsp/Iir.h"

#include <complex>
#include <vector>

namespace dsp {

using ZComplex = std::complex<double>;

// Poles, zeros and gain of a transfer function k prod(s - z) / prod(s - p) (or in z).
struct Zpk {
    std::vector<ZComplex> zeros;
    std::vector<ZComplex> poles;
    double gain = 1.0;
};

// The prototype order of a design: 2n for LPF/HPF, n for BRF/BPF.
int IirPrototypeOrder(int type, int sections);

// Analog low-pass prototypes of order n. Butterworth and Bessel have their -3 dB point at
// 1 rad/s; Chebyshev II reaches the attenuation asDb first at 1 rad/s; the elliptic prototype
// ends its pass band (ripple apDb) at 1 rad/s and has the stop-band attenuation asDb. All peak
// at 0 dB in the pass band.
Zpk ButterworthPrototype(int n);
Zpk ChebyshevTwoPrototype(int n, double asDb);
Zpk EllipticPrototype(int n, double apDb, double asDb);
Zpk BesselPrototype(int n);

// The digital filter of a design (its method's prototype, the frequency transformation at the
// pre-warped edges and the bilinear transform). Not meant for kIirCheby1.
Zpk DesignIirZpk(const IirSpec& params);

// Second-order sections of a digital zpk with as many zeros as poles, an even count: the pole
// pairs nearest the unit circle last, each with the zeros nearest it, scaled so that the gain
// from the cascade's input to every section's output peaks at 1 over 0..fs/2, the last section
// taking what remains of the overall gain. Writes a0..b2 of the first count sections of `c`.
void ZpkToSections(const Zpk& zpk, IirCascade& c);

// The largest |H(e^jw)| over 0..pi of the first `count` sections of `c`.
double CascadePeakGain(const IirCascade& c, int count);

// ---- Jacobi elliptic functions by descending Landen transformations ----
// The moduli k, k' = sqrt(1 - k^2) are passed together so that a modulus near 1 keeps its
// precision. Arguments u are in units of the quarter period K.
struct EllipticModulus {
    double k;
    double kp;
};
double EllipticK(EllipticModulus m);
ZComplex EllipticCd(ZComplex u, EllipticModulus m);
ZComplex EllipticSn(ZComplex u, EllipticModulus m);
// The inverse of sn (units of K).
ZComplex EllipticArcSn(ZComplex w, EllipticModulus m);
// The modulus k of the order-n elliptic filter whose discrimination modulus is k1 = eps_p/eps_s.
EllipticModulus EllipticDegree(int n, EllipticModulus k1);

} // namespace dsp
