// IIR design: a cascade of second-order sections from an even-order Chebyshev type-I analog
// low-pass prototype, moved to the requested type in the analog domain and mapped to z by the
// bilinear transform with pre-warped edges. The steps are the classical ones: the prototype's
// poles on an ellipse, the low-pass to low-, high-, band-pass and band-stop frequency
// transformations, and the bilinear transform (T. W. Parks and C. S. Burrus, "Digital Filter
// Design", Wiley 1987, ch. 7; A. V. Oppenheim and R. W. Schafer, "Discrete-Time Signal
// Processing", Prentice Hall 1989, sec. 7.1 to 7.3).
//
// Each section is H(z) = (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2), normalised to gain
// 1 where its pass band starts: LPF sections at DC, HPF sections at fs/2, BRF sections at DC and
// fs/2, BPF sections at the centre of the band. An even-order Chebyshev response sits at the
// bottom of its ripple there, so the cascade's pass band ripples between 0 dB and +Ac dB: the
// peak gain is +Ac dB, not 0 dB. Sections past the designed count are pass-through.
//
// The pole angles and the pre-warping use the stored approximations of pi and 2 pi below (not
// full precision); the bilinear step itself uses the true 2 fs.
#include "dsp/Iir.h"

#include "dsp/IirMethods.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace dsp {

namespace {

constexpr double kPiStored = 3.1415926;
constexpr double kTwoPiStored = 6.2831852;
constexpr double kInvTwoPi = 0.15915494580678602;

// BRF, BPF: each prototype pole pair becomes two sections.
bool IsSplitType(int type) {
    return type == kIirBrf || type == kIirBpf;
}

// Entries of the fixed section arrays that a count may touch.
int Bounded(int n) {
    return std::clamp(n, 0, kIirMaxSections);
}

size_t At(int j) {
    return static_cast<size_t>(j);
}

bool SectionsFinite(const IirCascade& c) {
    for (const SectionArray* a : {&c.a0, &c.a1, &c.a2, &c.b1, &c.b2}) {
        if (!std::all_of(a->begin(), a->end(), [](double v) { return std::isfinite(v); })) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IirSectionCountDesignable(int type, int sections) {
    if (type < kIirLpf || type > kIirBpf) {
        return false;
    }
    if (sections < 1 || sections > kIirMaxSections) {
        return false;
    }
    // An odd count for BRF/BPF would read a prototype section that was never computed.
    return !IsSplitType(type) || sections % 2 == 0;
}

const char* IirMethodName(int method) {
    static const char* const kNames[kIirMethodCount] = {"cheby1", "butter", "cheby2", "ellip",
                                                        "bessel"};
    return method >= 0 && method < kIirMethodCount ? kNames[method] : "cheby1";
}

int IirMethodOfName(const char* name) {
    for (int m = 0; m < kIirMethodCount; ++m) {
        if (std::string_view(name) == IirMethodName(m)) {
            return m;
        }
    }
    return -1;
}

bool IirMethodUsesRipple(int method) {
    return method == kIirCheby1 || method == kIirEllip;
}

bool IirMethodUsesAttenuation(int method) {
    return method == kIirCheby2 || method == kIirEllip;
}

namespace {

// A method other than Chebyshev I: the sections from the poles and zeros; the five steps'
// values other than the prototype counts and the pre-warped edges stay as they were.
bool DesignFromZpk(const IirSpec& params, IirCascade& c) {
    const int order = IirPrototypeOrder(params.type, params.sections);
    c.protoOrder = order;
    c.protoSections = (order + 1) / 2;
    c.chebEps = IirMethodUsesRipple(params.method)
                    ? std::sqrt(std::pow(10.0, 0.1 * params.rippleDb) - 1.0)
                    : 0.0;
    c.chebV0 = 0.0;
    PrewarpEdges(params, c);
    c.a0.fill(1.0);
    for (SectionArray* a : {&c.a1, &c.a2, &c.b1, &c.b2}) {
        a->fill(0.0);
    }
    const bool usable =
        params.method > kIirCheby1 && params.method < kIirMethodCount && std::isfinite(params.fs) &&
        params.fs > 0.0 && (!IirMethodUsesAttenuation(params.method) || params.attenDb > 0.0) &&
        (params.method != kIirEllip || (params.rippleDb > 0.0 && params.attenDb > params.rippleDb));
    if (!usable) {
        c.a0.fill(NAN);
        return false;
    }
    ZpkToSections(DesignIirZpk(params), c);
    return SectionsFinite(c);
}

} // namespace

bool DesignIirCascade(const IirSpec& params, IirCascade& c) {
    if (!IirSectionCountDesignable(params.type, params.sections)) {
        return false;
    }
    if (params.method != kIirCheby1) {
        return DesignFromZpk(params, c);
    }
    ChebyshevPrototype(params, c);
    PrewarpEdges(params, c);
    TransformSections(params, c);
    BilinearSections(params, c);
    AssembleSections(params, c);
    return SectionsFinite(c);
}

// Pole pairs sigma +- j omega of the order-2m prototype with pass-band ripple Ac dB.
void ChebyshevPrototype(const IirSpec& params, IirCascade& c) {
    const int m = IsSplitType(params.type) ? params.sections / 2 : params.sections;
    c.protoSections = m;
    c.protoOrder = 2 * m;
    c.chebEps = std::sqrt(std::pow(10.0, 0.1 * params.rippleDb) - 1.0);
    if (m < 1) {
        return; // no section to write
    }
    const double invEps = 1.0 / c.chebEps;
    c.chebV0 = std::log(invEps + std::sqrt(invEps * invEps + 1.0)) / (2.0 * m);
    for (int k = 0; k < Bounded(m); ++k) {
        const double theta = (2 * k + 1) * kPiStored / (4.0 * m);
        const double sigma = -std::sinh(c.chebV0) * std::sin(theta);
        const double omega = std::cosh(c.chebV0) * std::cos(theta);
        c.protoP1[At(k)] = -2.0 * sigma;
        c.protoP0[At(k)] = sigma * sigma + omega * omega;
    }
}

// The analog edges that the bilinear transform maps back onto fc1 and fc2, in Hz.
void PrewarpEdges(const IirSpec& params, IirCascade& c) {
    const double twoFs = 2.0 * params.fs;
    c.warpFc1 = twoFs * std::tan(kTwoPiStored * params.fc1 / twoFs) * kInvTwoPi;
    c.warpFc2 = twoFs * std::tan(kTwoPiStored * params.fc2 / twoFs) * kInvTwoPi;
}

namespace {

// LPF: s -> s / wc1, each section scaled to gain 1 at DC. HPF: s -> wc1 / s, gain 1 at
// infinity (fs/2 after the bilinear transform).
void LowHighSections(bool lpf, double wc1, int count, IirCascade& c) {
    for (size_t j = 0; j < At(count); ++j) {
        const double p1 = c.protoP1[j];
        const double p0 = c.protoP0[j];
        if (lpf) {
            c.anaDen1[j] = wc1 * p1;
            c.anaDen0[j] = wc1 * wc1 * p0;
            c.anaNum0[j] = 1.0;
            c.anaGain[j] = wc1 * wc1 * p0;
        } else {
            c.anaDen1[j] = wc1 * p1 / p0;
            c.anaDen0[j] = wc1 * wc1 / p0;
            c.anaNum2[j] = 1.0;
            c.anaGain[j] = 1.0;
        }
    }
}
// One of the two pole pairs that the band transformation makes of a prototype pole pair
// s^2 + p1 s + p0, with the band's relative width f = B / w0: the denominator
// s^2 + w0 alpha s + w0^2 (alpha^2 + imag^2) / 4 of the root with +q (upper) or -q (lower).
struct SplitPole {
    double alpha;
    double imag;
};
SplitPole SplitPolePair(double p1, double p0, double f, bool brf, bool upper) {
    double alpha = 0.0;
    double beta = 0.0;
    if (brf) { // the reciprocal pole pair of the prototype
        const double l = p1 / p0;
        alpha = f * l / 2.0;
        beta = f * std::sqrt(4.0 / p0 - l * l) / 2.0;
    } else {
        alpha = f * p1 / 2.0;
        beta = f * std::sqrt(4.0 * p0 - p1 * p1) / 2.0;
    }
    const double o = beta * beta + 4.0 - alpha * alpha;
    const double q = std::sqrt(std::sqrt(alpha * alpha * beta * beta + o * o / 4.0) + o / 2.0);
    const double sign = upper ? 1.0 : -1.0;
    return {alpha + sign * alpha * beta / q, beta + sign * q};
}

// BRF/BPF: s -> w0 (s/w0 + w0/s) / f (BPF) or its reciprocal (BRF). Section j takes prototype
// section j / 2, the even one the upper root, the odd one the lower root; BRF sections get the
// notch zeros at +-j w0, BPF sections a zero at DC.
void BandSections(const IirSpec& params, double wc1, double wc2, IirCascade& c) {
    const double bw = wc2 - wc1;
    const double w0 = std::sqrt(wc1 * wc2);
    const double f = bw / w0;
    const bool brf = params.type == kIirBrf;
    const int count = std::min(Bounded(params.sections), 2 * Bounded(c.protoSections));
    for (size_t j = 0; j < At(count); ++j) {
        const size_t k = j / 2;
        const SplitPole pole = SplitPolePair(c.protoP1[k], c.protoP0[k], f, brf, j % 2 == 0);
        c.anaDen1[j] = w0 * pole.alpha;
        c.anaDen0[j] = w0 * w0 * (pole.imag * pole.imag + pole.alpha * pole.alpha) / 4.0;
        if (brf) {
            c.anaNum2[j] = 1.0;
            c.anaNum0[j] = w0 * w0;
        } else {
            c.anaNum1[j] = std::sqrt(bw * c.protoP0[k] * bw);
        }
        c.anaGain[j] = 1.0;
    }
}

} // namespace

// The analog sections of the requested type from the prototype, at the pre-warped edges.
void TransformSections(const IirSpec& params, IirCascade& c) {
    for (SectionArray* a :
         {&c.anaDen1, &c.anaDen0, &c.anaNum2, &c.anaNum1, &c.anaNum0, &c.anaGain}) {
        a->fill(0.0);
    }
    const double wc1 = kTwoPiStored * c.warpFc1;
    const double wc2 = kTwoPiStored * c.warpFc2;
    if (IsSplitType(params.type)) {
        BandSections(params, wc1, wc2, c);
    } else {
        LowHighSections(params.type == kIirLpf, wc1, Bounded(c.protoSections), c);
    }
}

// s = A (1 - z^-1) / (1 + z^-1) with A = 2 fs, normalised to a z^0 denominator term of 1.
void BilinearSections(const IirSpec& params, IirCascade& c) {
    const double a = 2.0 * params.fs;
    const double a2 = a * a;
    for (size_t j = 0; j < At(Bounded(params.sections)); ++j) {
        const double n2 = c.anaNum2[j];
        const double n1 = c.anaNum1[j];
        const double n0 = c.anaNum0[j];
        const double d1 = c.anaDen1[j];
        const double d0 = c.anaDen0[j];
        const double den = a2 + a * d1 + d0;
        c.digA0[j] = (a2 * n2 + a * n1 + n0) / den;
        c.digA1[j] = 2.0 * (n0 - a2 * n2) / den;
        c.digA2[j] = (a2 * n2 - a * n1 + n0) / den;
        c.digB1[j] = 2.0 * (d0 - a2) / den;
        c.digB2[j] = (a2 - a * d1 + d0) / den;
    }
}

void AssembleSections(const IirSpec& params, IirCascade& c) {
    c.a0.fill(1.0);
    for (SectionArray* a : {&c.a1, &c.a2, &c.b1, &c.b2}) {
        a->fill(0.0);
    }
    for (size_t j = 0; j < At(Bounded(params.sections)); ++j) {
        c.a0[j] = c.anaGain[j] * c.digA0[j];
        c.a1[j] = c.anaGain[j] * c.digA1[j];
        c.a2[j] = c.anaGain[j] * c.digA2[j];
        c.b1[j] = c.digB1[j];
        c.b2[j] = c.digB2[j];
    }
}

} // namespace dsp
