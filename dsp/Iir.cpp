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
#include "app/OlvexDoc.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr double kPiStored = 3.1415926;
constexpr double kTwoPiStored = 6.2831852;
constexpr double kInvTwoPi = 0.15915494580678602;

// BRF, BPF: each prototype pole pair becomes two sections.
bool IsSplitType(int type) {
    return type == kBrf || type == kBpf;
}

// Entries of the fixed section arrays that a count may touch.
int Bounded(int n) {
    return std::clamp(n, 0, COlvexDoc::kIirSections);
}

} // namespace

bool COlvexDoc::IirSectionCountDesignable() const {
    if (m_nFilterType < kLpf || m_nFilterType > kBpf) {
        return false;
    }
    if (m_nIirSections < 1 || m_nIirSections > kIirSections) {
        return false;
    }
    // An odd count for BRF/BPF would read a prototype section that was never computed.
    return !IsSplitType(m_nFilterType) || m_nIirSections % 2 == 0;
}

bool COlvexDoc::DesignIir() {
    if (!IirSectionCountDesignable()) {
        return false;
    }
    double* const sections[] = {m_aA0, m_aA1, m_aA2, m_aB1, m_aB2};
    double previous[std::size(sections)][kIirSections];
    for (size_t c = 0; c < std::size(sections); ++c) {
        std::copy(sections[c], sections[c] + kIirSections, previous[c]);
    }
    ChebyshevPrototype();
    PrewarpEdges();
    TransformSections();
    BilinearSections();
    AssembleSections();
    // A ripple of 0 dB, fs of 0 or a band edge at 0 Hz for BRF/BPF gives no finite cascade;
    // keep the previous one rather than coefficients that every analysis would turn into NaN.
    bool finite = true;
    for (const double* a : sections) {
        finite =
            finite && std::all_of(a, a + kIirSections, [](double v) { return std::isfinite(v); });
    }
    if (!finite) {
        for (size_t c = 0; c < std::size(sections); ++c) {
            std::copy(previous[c], previous[c] + kIirSections, sections[c]);
        }
    }
    return finite;
}

// Pole pairs sigma +- j omega of the order-2m prototype with pass-band ripple Ac dB.
void COlvexDoc::ChebyshevPrototype() {
    const int m = IsSplitType(m_nFilterType) ? m_nIirSections / 2 : m_nIirSections;
    m_nIirProtoSections = m;
    m_nIirProtoOrder = 2 * m;
    m_dChebEps = std::sqrt(std::pow(10.0, 0.1 * m_dRippleDb) - 1.0);
    if (m < 1) {
        return; // no section to write
    }
    const double invEps = 1.0 / m_dChebEps;
    m_dChebV0 = std::log(invEps + std::sqrt(invEps * invEps + 1.0)) / (2.0 * m);
    for (int k = 0; k < Bounded(m); ++k) {
        const double theta = (2 * k + 1) * kPiStored / (4.0 * m);
        const double sigma = -std::sinh(m_dChebV0) * std::sin(theta);
        const double omega = std::cosh(m_dChebV0) * std::cos(theta);
        m_aProtoP1[k] = -2.0 * sigma;
        m_aProtoP0[k] = sigma * sigma + omega * omega;
    }
}

// The analog edges that the bilinear transform maps back onto fc1 and fc2, in Hz.
void COlvexDoc::PrewarpEdges() {
    const double twoFs = 2.0 * m_fs;
    m_dIirWarpFc1 = twoFs * std::tan(kTwoPiStored * m_dIirFc1 / twoFs) * kInvTwoPi;
    m_dIirWarpFc2 = twoFs * std::tan(kTwoPiStored * m_dIirFc2 / twoFs) * kInvTwoPi;
}

namespace {

// LPF: s -> s / wc1, each section scaled to gain 1 at DC. HPF: s -> wc1 / s, gain 1 at
// infinity (fs/2 after the bilinear transform).
void LowHighSections(COlvexDoc& doc, double wc1, int count) {
    const bool lpf = doc.m_nFilterType == kLpf;
    for (int j = 0; j < count; ++j) {
        const double p1 = doc.m_aProtoP1[j];
        const double p0 = doc.m_aProtoP0[j];
        if (lpf) {
            doc.m_aAnaDen1[j] = wc1 * p1;
            doc.m_aAnaDen0[j] = wc1 * wc1 * p0;
            doc.m_aAnaNum0[j] = 1.0;
            doc.m_aAnaGain[j] = wc1 * wc1 * p0;
        } else {
            doc.m_aAnaDen1[j] = wc1 * p1 / p0;
            doc.m_aAnaDen0[j] = wc1 * wc1 / p0;
            doc.m_aAnaNum2[j] = 1.0;
            doc.m_aAnaGain[j] = 1.0;
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
void BandSections(COlvexDoc& doc, double wc1, double wc2, int protoSections) {
    const double bw = wc2 - wc1;
    const double w0 = std::sqrt(wc1 * wc2);
    const double f = bw / w0;
    const bool brf = doc.m_nFilterType == kBrf;
    const int count = std::min(Bounded(doc.m_nIirSections), 2 * protoSections);
    for (int j = 0; j < count; ++j) {
        const int k = j / 2;
        const SplitPole pole =
            SplitPolePair(doc.m_aProtoP1[k], doc.m_aProtoP0[k], f, brf, j % 2 == 0);
        doc.m_aAnaDen1[j] = w0 * pole.alpha;
        doc.m_aAnaDen0[j] = w0 * w0 * (pole.imag * pole.imag + pole.alpha * pole.alpha) / 4.0;
        if (brf) {
            doc.m_aAnaNum2[j] = 1.0;
            doc.m_aAnaNum0[j] = w0 * w0;
        } else {
            doc.m_aAnaNum1[j] = std::sqrt(bw * doc.m_aProtoP0[k] * bw);
        }
        doc.m_aAnaGain[j] = 1.0;
    }
}

} // namespace

// The analog sections of the requested type from the prototype, at the pre-warped edges.
void COlvexDoc::TransformSections() {
    for (double* a : {m_aAnaDen1, m_aAnaDen0, m_aAnaNum2, m_aAnaNum1, m_aAnaNum0, m_aAnaGain}) {
        std::fill(a, a + kIirSections, 0.0);
    }
    const double wc1 = kTwoPiStored * m_dIirWarpFc1;
    const double wc2 = kTwoPiStored * m_dIirWarpFc2;
    const int m = Bounded(m_nIirProtoSections);
    if (IsSplitType(m_nFilterType)) {
        BandSections(*this, wc1, wc2, m);
    } else {
        LowHighSections(*this, wc1, m);
    }
}

// s = A (1 - z^-1) / (1 + z^-1) with A = 2 fs, normalised to a z^0 denominator term of 1.
void COlvexDoc::BilinearSections() {
    const double a = 2.0 * m_fs;
    const double a2 = a * a;
    for (int j = 0; j < Bounded(m_nIirSections); ++j) {
        const double n2 = m_aAnaNum2[j];
        const double n1 = m_aAnaNum1[j];
        const double n0 = m_aAnaNum0[j];
        const double d1 = m_aAnaDen1[j];
        const double d0 = m_aAnaDen0[j];
        const double den = a2 + a * d1 + d0;
        m_aDigA0[j] = (a2 * n2 + a * n1 + n0) / den;
        m_aDigA1[j] = 2.0 * (n0 - a2 * n2) / den;
        m_aDigA2[j] = (a2 * n2 - a * n1 + n0) / den;
        m_aDigB1[j] = 2.0 * (d0 - a2) / den;
        m_aDigB2[j] = (a2 - a * d1 + d0) / den;
    }
}

void COlvexDoc::AssembleSections() {
    std::fill(std::begin(m_aA0), std::end(m_aA0), 1.0);
    for (double* a : {m_aA1, m_aA2, m_aB1, m_aB2}) {
        std::fill(a, a + kIirSections, 0.0);
    }
    for (int j = 0; j < Bounded(m_nIirSections); ++j) {
        m_aA0[j] = m_aAnaGain[j] * m_aDigA0[j];
        m_aA1[j] = m_aAnaGain[j] * m_aDigA1[j];
        m_aA2[j] = m_aAnaGain[j] * m_aDigA2[j];
        m_aB1[j] = m_aDigB1[j];
        m_aB2[j] = m_aDigB2[j];
    }
}
