// Butterworth, Chebyshev II, elliptic and Bessel IIR designs as poles and zeros.
//
// The prototypes are the classical ones: Butterworth poles evenly spaced on the unit circle;
// Chebyshev II poles and zeros as the inverses of a Chebyshev I pole set and of the Chebyshev
// polynomial's zeros; the elliptic zeros and poles as values of the Jacobi function cd on the
// lines of the degree equation (S. J. Orfanidis, "Lecture Notes on Elliptic Filter Design",
// Rutgers University 2006); the Bessel poles as the roots of the reverse Bessel polynomial
// (W. E. Thomson 1949), scaled so that the gain is -3 dB at 1 rad/s. The frequency
// transformations and the bilinear transform work on poles and zeros (A. V. Oppenheim and
// R. W. Schafer, "Discrete-Time Signal Processing", sec. 7.1 to 7.4). The Jacobi functions use
// descending Landen transformations of the modulus (Orfanidis, sec. 12; M. Abramowitz and
// I. A. Stegun, "Handbook of Mathematical Functions", 16.12 and 17.5).
#include "dsp/IirMethods.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace dsp {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr ZComplex kJ{0.0, 1.0};
constexpr int kMaxLanden = 12;

bool IsBandType(int type) {
    return type == kIirBrf || type == kIirBpf;
}

// The descending Landen moduli v_1..v_M of k, until they vanish in double precision.
std::vector<double> LandenModuli(EllipticModulus m) {
    std::vector<double> v;
    double k = m.k;
    double kp = m.kp;
    for (int i = 0; i < kMaxLanden && k > 1e-300; ++i) {
        const double next = (k / (1.0 + kp)) * (k / (1.0 + kp));
        kp = 2.0 * std::sqrt(kp) / (1.0 + kp);
        k = next;
        v.push_back(k);
        if (k < 1e-18) {
            break;
        }
    }
    return v;
}

ZComplex DescendLanden(ZComplex w, const std::vector<double>& v) {
    for (auto it = v.rbegin(); it != v.rend(); ++it) {
        w = (1.0 + *it) * w / (1.0 + *it * w * w);
    }
    return w;
}

} // namespace

double EllipticK(EllipticModulus m) {
    double k = kPi / 2.0;
    for (double v : LandenModuli(m)) {
        k *= 1.0 + v;
    }
    return k;
}

ZComplex EllipticCd(ZComplex u, EllipticModulus m) {
    return DescendLanden(std::cos(u * (kPi / 2.0)), LandenModuli(m));
}

ZComplex EllipticSn(ZComplex u, EllipticModulus m) {
    return DescendLanden(std::sin(u * (kPi / 2.0)), LandenModuli(m));
}

ZComplex EllipticArcSn(ZComplex w, EllipticModulus m) {
    const std::vector<double> v = LandenModuli(m);
    double previous = m.k;
    for (double vn : v) {
        w = w / (1.0 + std::sqrt(1.0 - w * w * previous * previous)) * (2.0 / (1.0 + vn));
        previous = vn;
    }
    return std::asin(w) * (2.0 / kPi);
}

EllipticModulus EllipticDegree(int n, EllipticModulus k1) {
    // k' = k1'^n prod sn^4((2i - 1) K1' / n, k1'), i = 1..floor(n/2)
    const EllipticModulus complement{k1.kp, k1.k};
    double kp = std::pow(k1.kp, n);
    for (int i = 1; i <= n / 2; ++i) {
        const double s = EllipticSn(ZComplex((2.0 * i - 1.0) / n, 0.0), complement).real();
        kp *= s * s * s * s;
    }
    return {std::sqrt((1.0 - kp) * (1.0 + kp)), kp};
}

int IirPrototypeOrder(int type, int sections) {
    return IsBandType(type) ? sections : 2 * sections;
}

Zpk ButterworthPrototype(int n) {
    Zpk zpk;
    for (int k = 0; k < n; ++k) {
        const double angle = kPi * (2.0 * k + n + 1.0) / (2.0 * n);
        zpk.poles.push_back(std::polar(1.0, angle));
    }
    return zpk;
}

Zpk ChebyshevTwoPrototype(int n, double asDb) {
    Zpk zpk;
    const double eps = 1.0 / std::sqrt(std::pow(10.0, 0.1 * asDb) - 1.0);
    const double mu = std::asinh(1.0 / eps) / n;
    ZComplex num = 1.0;
    ZComplex den = 1.0;
    for (int k = 0; k < n; ++k) {
        const double theta = kPi * (2.0 * k + 1.0) / (2.0 * n);
        // zeros of the Chebyshev polynomial at cos(theta), inverted onto the j axis
        if (2 * k + 1 != n) {
            const ZComplex zero = kJ / std::cos(theta);
            zpk.zeros.push_back(zero);
            num *= -zero;
        }
        const ZComplex cheb1(-std::sinh(mu) * std::sin(theta), std::cosh(mu) * std::cos(theta));
        const ZComplex pole = 1.0 / cheb1;
        zpk.poles.push_back(pole);
        den *= -pole;
    }
    zpk.gain = (den / num).real();
    return zpk;
}

Zpk EllipticPrototype(int n, double apDb, double asDb) {
    Zpk zpk;
    const double epsP = std::sqrt(std::expm1(std::log(10.0) * 0.1 * apDb));
    const double epsS = std::sqrt(std::expm1(std::log(10.0) * 0.1 * asDb));
    const double k1v = epsP / epsS;
    const EllipticModulus k1{k1v, std::sqrt((1.0 - k1v) * (1.0 + k1v))};
    const EllipticModulus k = EllipticDegree(n, k1);
    const double v0 = (-kJ * EllipticArcSn(kJ / epsP, k1)).real() / n;
    ZComplex num = 1.0;
    ZComplex den = 1.0;
    for (int i = 1; i <= n / 2; ++i) {
        const double u = (2.0 * i - 1.0) / n;
        const double zeta = EllipticCd(ZComplex(u, 0.0), k).real();
        const ZComplex zero = kJ / (k.k * zeta);
        const ZComplex pole = kJ * EllipticCd(ZComplex(u, -v0), k);
        for (const ZComplex& z : {zero, std::conj(zero)}) {
            zpk.zeros.push_back(z);
            num *= -z;
        }
        for (const ZComplex& p : {pole, std::conj(pole)}) {
            zpk.poles.push_back(p);
            den *= -p;
        }
    }
    if (n % 2 == 1) {
        const ZComplex pole(-std::fabs((kJ * EllipticSn(kJ * v0, k)).real()), 0.0);
        zpk.poles.push_back(pole);
        den *= -pole;
    }
    zpk.gain = (den / num).real();
    if (n % 2 == 0) {
        zpk.gain /= std::sqrt(1.0 + epsP * epsP); // the pass band starts at the ripple's bottom
    }
    return zpk;
}

namespace {

// The roots of the monic polynomial sum c[i] s^i (c[n] = 1) by Aberth's simultaneous iteration.
std::vector<ZComplex> PolynomialRoots(const std::vector<double>& c) {
    const int n = static_cast<int>(c.size()) - 1;
    const auto eval = [&](ZComplex s, ZComplex& derivative) {
        ZComplex p = c[static_cast<size_t>(n)];
        derivative = 0.0;
        for (int i = n - 1; i >= 0; --i) {
            derivative = derivative * s + p;
            p = p * s + c[static_cast<size_t>(i)];
        }
        return p;
    };
    const double radius = std::pow(std::fabs(c[0]), 1.0 / n);
    std::vector<ZComplex> r;
    for (int i = 0; i < n; ++i) {
        r.push_back(std::polar(radius, 2.0 * kPi * (i + 0.25) / n + 0.4));
    }
    for (int iteration = 0; iteration < 500; ++iteration) {
        double largest = 0.0;
        for (size_t i = 0; i < r.size(); ++i) {
            ZComplex d;
            const ZComplex p = eval(r[i], d);
            if (p == 0.0) {
                continue;
            }
            const ZComplex ratio = p / d;
            ZComplex sum = 0.0;
            for (size_t j = 0; j < r.size(); ++j) {
                if (j != i) {
                    sum += 1.0 / (r[i] - r[j]);
                }
            }
            const ZComplex step = ratio / (1.0 - ratio * sum);
            r[i] -= step;
            largest = std::max(largest, std::abs(step) / std::max(1.0, std::abs(r[i])));
        }
        if (largest < 1e-16) {
            break;
        }
    }
    return r;
}

double PrototypeMagnitude(const Zpk& zpk, double w) {
    ZComplex h = zpk.gain;
    for (const ZComplex& z : zpk.zeros) {
        h *= ZComplex(0.0, w) - z;
    }
    for (const ZComplex& p : zpk.poles) {
        h /= ZComplex(0.0, w) - p;
    }
    return std::abs(h);
}

} // namespace

Zpk BesselPrototype(int n) {
    // theta_n(s) = sum a_k s^k, a_k = (2n - k)! / (2^(n - k) k! (n - k)!), a_n = 1
    std::vector<double> a(static_cast<size_t>(n) + 1, 1.0);
    for (int k = n - 1; k >= 0; --k) {
        a[static_cast<size_t>(k)] =
            a[static_cast<size_t>(k) + 1] * (2.0 * n - k) * (k + 1.0) / (2.0 * (n - k));
    }
    Zpk zpk;
    zpk.poles = PolynomialRoots(a);
    zpk.gain = a[0];
    // The -3 dB frequency of a_0 / theta_n(s) (the gain falls monotonically), by bisection.
    double lo = 0.0;
    double hi = 1.0;
    while (PrototypeMagnitude(zpk, hi) > std::sqrt(0.5)) {
        hi *= 2.0;
    }
    for (int i = 0; i < 200 && hi - lo > 1e-15 * hi; ++i) {
        const double mid = 0.5 * (lo + hi);
        (PrototypeMagnitude(zpk, mid) > std::sqrt(0.5) ? lo : hi) = mid;
    }
    const double w3 = 0.5 * (lo + hi);
    ZComplex den = 1.0;
    for (ZComplex& p : zpk.poles) {
        p /= w3;
        if (std::fabs(p.imag()) < 1e-14 * std::abs(p)) {
            p = p.real();
        }
        den *= -p;
    }
    zpk.gain = den.real();
    return zpk;
}

namespace {

Zpk Prototype(const IirSpec& params, int order) {
    switch (params.method) {
    case kIirButter:
        return ButterworthPrototype(order);
    case kIirCheby2:
        return ChebyshevTwoPrototype(order, params.attenDb);
    case kIirEllip:
        return EllipticPrototype(order, params.rippleDb, params.attenDb);
    default:
        return BesselPrototype(order);
    }
}

ZComplex Product(const std::vector<ZComplex>& v, ZComplex offset) {
    ZComplex p = 1.0;
    for (const ZComplex& x : v) {
        p *= offset - x;
    }
    return p;
}

// s -> s / w0 (LPF), w0 / s (HPF)
void LowHigh(Zpk& zpk, bool lpf, double w0) {
    const int degree = static_cast<int>(zpk.poles.size() - zpk.zeros.size());
    if (lpf) {
        for (ZComplex& z : zpk.zeros) {
            z *= w0;
        }
        for (ZComplex& p : zpk.poles) {
            p *= w0;
        }
        zpk.gain *= std::pow(w0, degree);
        return;
    }
    zpk.gain *= (Product(zpk.zeros, 0.0) / Product(zpk.poles, 0.0)).real();
    for (ZComplex& z : zpk.zeros) {
        z = w0 / z;
    }
    for (ZComplex& p : zpk.poles) {
        p = w0 / p;
    }
    zpk.zeros.insert(zpk.zeros.end(), static_cast<size_t>(degree), 0.0);
}

// s -> (s^2 + w0^2) / (bw s) (BPF) or its reciprocal (BRF): each root r of the low-pass becomes
// the two roots of s^2 - r bw s + w0^2 (BPF; r -> 1/r for BRF).
void Band(Zpk& zpk, bool bpf, double w0, double bw) {
    const int degree = static_cast<int>(zpk.poles.size() - zpk.zeros.size());
    if (!bpf) {
        zpk.gain *= (Product(zpk.zeros, 0.0) / Product(zpk.poles, 0.0)).real();
    }
    const auto split = [&](const std::vector<ZComplex>& roots) {
        std::vector<ZComplex> out;
        for (const ZComplex& r : roots) {
            const ZComplex half = bpf ? r * bw / 2.0 : bw / 2.0 / r;
            const ZComplex root = std::sqrt(half * half - w0 * w0);
            out.push_back(half + root);
            out.push_back(half - root);
        }
        return out;
    };
    zpk.zeros = split(zpk.zeros);
    zpk.poles = split(zpk.poles);
    if (bpf) {
        zpk.zeros.insert(zpk.zeros.end(), static_cast<size_t>(degree), 0.0);
        zpk.gain *= std::pow(bw, degree);
    } else {
        for (int i = 0; i < degree; ++i) {
            zpk.zeros.push_back(ZComplex(0.0, w0));
            zpk.zeros.push_back(ZComplex(0.0, -w0));
        }
    }
}

// s = fs2 (z - 1) / (z + 1); the zeros at infinity go to z = -1.
void Bilinear(Zpk& zpk, double fs2) {
    const int degree = static_cast<int>(zpk.poles.size() - zpk.zeros.size());
    zpk.gain *= (Product(zpk.zeros, fs2) / Product(zpk.poles, fs2)).real();
    for (ZComplex& z : zpk.zeros) {
        z = (fs2 + z) / (fs2 - z);
    }
    for (ZComplex& p : zpk.poles) {
        p = (fs2 + p) / (fs2 - p);
    }
    zpk.zeros.insert(zpk.zeros.end(), static_cast<size_t>(degree), -1.0);
}

} // namespace

Zpk DesignIirZpk(const IirSpec& params) {
    const int order = IirPrototypeOrder(params.type, params.sections);
    Zpk zpk = Prototype(params, order);
    const double fs2 = 2.0 * params.fs;
    const double w1 = fs2 * std::tan(kPi * params.fc1 / params.fs);
    const double w2 = fs2 * std::tan(kPi * params.fc2 / params.fs);
    if (IsBandType(params.type)) {
        Band(zpk, params.type == kIirBpf, std::sqrt(w1 * w2), w2 - w1);
    } else {
        LowHigh(zpk, params.type == kIirLpf, w1);
    }
    Bilinear(zpk, fs2);
    return zpk;
}

namespace {

struct Quadratic {
    double c1 = 0.0; // 1 + c1 z^-1 + c2 z^-2
    double c2 = 0.0;
};

bool IsReal(const ZComplex& x) {
    return std::fabs(x.imag()) <= 1e-10 * std::max(1.0, std::abs(x));
}

// Real roots and the upper halves of the conjugate pairs.
void SplitRoots(const std::vector<ZComplex>& roots, std::vector<double>& reals,
                std::vector<ZComplex>& pairs) {
    for (const ZComplex& r : roots) {
        if (IsReal(r)) {
            reals.push_back(r.real());
        } else if (r.imag() > 0.0) {
            pairs.push_back(r);
        }
    }
}

template <typename T> size_t Nearest(const std::vector<T>& v, ZComplex to) {
    size_t best = 0;
    for (size_t i = 1; i < v.size(); ++i) {
        if (std::abs(ZComplex(v[i]) - to) < std::abs(ZComplex(v[best]) - to)) {
            best = i;
        }
    }
    return best;
}

template <typename T> T Take(std::vector<T>& v, size_t i) {
    const T x = v[i];
    v.erase(v.begin() + static_cast<std::ptrdiff_t>(i));
    return x;
}

// The quadratic of the roots nearest `to`: a conjugate pair, or the two nearest real roots.
Quadratic TakeNearestPair(std::vector<double>& reals, std::vector<ZComplex>& pairs, ZComplex to,
                          bool preferConjugate) {
    const bool pairNearer =
        !pairs.empty() &&
        (reals.size() < 2 || std::abs(pairs[Nearest(pairs, to)] - to) <
                                 std::abs(ZComplex(reals[Nearest(reals, to)]) - to));
    if (pairNearer || (preferConjugate && reals.size() < 2 && !pairs.empty())) {
        const ZComplex r = Take(pairs, Nearest(pairs, to));
        return {-2.0 * r.real(), std::norm(r)};
    }
    if (reals.size() >= 2) {
        const double r1 = Take(reals, Nearest(reals, to));
        const double r2 = Take(reals, Nearest(reals, to));
        return {-(r1 + r2), r1 * r2};
    }
    if (reals.size() == 1) {
        const double r1 = Take(reals, 0);
        return {-r1, 0.0};
    }
    return {};
}

ZComplex QuadraticAt(const Quadratic& q, ZComplex z1) {
    return 1.0 + q.c1 * z1 + q.c2 * z1 * z1;
}

struct SectionShape {
    Quadratic num;
    Quadratic den;
};

double PeakOf(const std::vector<SectionShape>& s, double gain) {
    const auto magnitude = [&](double w) {
        const ZComplex z1 = std::polar(1.0, -w);
        ZComplex h = gain;
        for (const SectionShape& x : s) {
            h *= QuadraticAt(x.num, z1) / QuadraticAt(x.den, z1);
        }
        return std::abs(h);
    };
    constexpr int kGrid = 4096;
    std::vector<double> at;
    for (int i = 0; i <= kGrid; ++i) {
        at.push_back(kPi * i / kGrid);
    }
    // the angles of the poles, where a narrow peak sits
    for (const SectionShape& x : s) {
        const double r2 = x.den.c2;
        if (r2 > 0.0) {
            const double c = std::clamp(-x.den.c1 / (2.0 * std::sqrt(r2)), -1.0, 1.0);
            at.push_back(std::acos(c));
        }
    }
    std::sort(at.begin(), at.end());
    std::vector<double> m;
    for (double w : at) {
        m.push_back(magnitude(w));
    }
    double peak = *std::max_element(m.begin(), m.end());
    // golden-section refinement around every local maximum near the largest
    for (size_t i = 0; i < at.size(); ++i) {
        const bool local = (i == 0 || m[i] >= m[i - 1]) && (i + 1 == at.size() || m[i] >= m[i + 1]);
        if (!local || m[i] < 0.5 * peak) {
            continue;
        }
        double a = i == 0 ? at[i] : at[i - 1];
        double b = i + 1 == at.size() ? at[i] : at[i + 1];
        const double r = (std::sqrt(5.0) - 1.0) / 2.0;
        for (int k = 0; k < 80 && b - a > 1e-15; ++k) {
            const double c = b - r * (b - a);
            const double d = a + r * (b - a);
            (magnitude(c) >= magnitude(d) ? b : a) = magnitude(c) >= magnitude(d) ? d : c;
        }
        peak = std::max(peak, magnitude(0.5 * (a + b)));
    }
    return peak;
}

} // namespace

void ZpkToSections(const Zpk& zpk, IirCascade& c) {
    std::vector<double> realPoles;
    std::vector<ZComplex> pairPoles;
    std::vector<double> realZeros;
    std::vector<ZComplex> pairZeros;
    SplitRoots(zpk.poles, realPoles, pairPoles);
    SplitRoots(zpk.zeros, realZeros, pairZeros);
    std::vector<SectionShape> shapes; // the pole pairs nearest the unit circle first
    while (!pairPoles.empty() || !realPoles.empty()) {
        const auto distance = [](ZComplex p) { return std::fabs(1.0 - std::abs(p)); };
        size_t bestPair = 0;
        for (size_t i = 1; i < pairPoles.size(); ++i) {
            bestPair = distance(pairPoles[i]) < distance(pairPoles[bestPair]) ? i : bestPair;
        }
        size_t bestReal = 0;
        for (size_t i = 1; i < realPoles.size(); ++i) {
            bestReal = distance(realPoles[i]) < distance(realPoles[bestReal]) ? i : bestReal;
        }
        const bool pair =
            !pairPoles.empty() &&
            (realPoles.empty() || distance(pairPoles[bestPair]) <= distance(realPoles[bestReal]));
        SectionShape s;
        ZComplex at;
        if (pair) {
            at = Take(pairPoles, bestPair);
            s.den = {-2.0 * at.real(), std::norm(at)};
        } else {
            at = Take(realPoles, bestReal);
            std::vector<ZComplex> none;
            realPoles.push_back(at.real());
            s.den = TakeNearestPair(realPoles, none, at, false);
        }
        s.num = TakeNearestPair(realZeros, pairZeros, at, false);
        shapes.push_back(s);
    }
    std::reverse(shapes.begin(), shapes.end());
    const int count = std::min(static_cast<int>(shapes.size()), kIirMaxSections);
    double spent = 1.0;
    std::vector<SectionShape> head;
    for (int j = 0; j < count; ++j) {
        const size_t i = static_cast<size_t>(j);
        head.push_back(shapes[i]);
        double g = 0.0;
        if (j + 1 < count) {
            g = 1.0 / PeakOf(head, spent);
        } else {
            g = zpk.gain / spent;
        }
        spent *= g;
        c.a0[i] = g;
        c.a1[i] = g * shapes[i].num.c1;
        c.a2[i] = g * shapes[i].num.c2;
        c.b1[i] = shapes[i].den.c1;
        c.b2[i] = shapes[i].den.c2;
    }
}

double CascadePeakGain(const IirCascade& c, int count) {
    std::vector<SectionShape> s;
    double gain = 1.0;
    for (size_t i = 0; i < static_cast<size_t>(std::clamp(count, 0, kIirMaxSections)); ++i) {
        if (c.a0[i] == 0.0) {
            return 0.0;
        }
        s.push_back({{c.a1[i] / c.a0[i], c.a2[i] / c.a0[i]}, {c.b1[i], c.b2[i]}});
        gain *= c.a0[i];
    }
    return PeakOf(s, gain);
}

} // namespace dsp
