// Least-squares and Kaiser-window FIR design, and Kaiser's tap-count formulas.
//
// Least squares: with h symmetric about its centre, the response is A(f) = sum a[k] cos(2 pi k f)
// over k = 0..M (N = 2M + 1). The weighted squared error sum_b W_b int_b (A - D_b)^2 df is
// smallest where Q a = d, with Q[i][j] = q(i - j) + q(i + j) and q(n) = sum_b W_b int_b
// cos(2 pi n f) df, d[i] = sum_b W_b D_b int_b cos(2 pi i f) df (both up to the same factor).
// Q is symmetric positive definite for any layout with bands of some width: Cholesky solves it.
#include "dsp/FirMethods.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <numbers>

#include "dsp/FilterCoefficients.h"
#include "dsp/Measure.h"

namespace dsp {

namespace {

constexpr const char* kNames[kFirMethodCount] = {"remez", "ls", "kaiser", "halfband"};
constexpr const char* kTitles[kFirMethodCount] = {"Remez exchange", "Least squares",
                                                  "Kaiser window", "Half-band"};

double Sinc(double x) {
    if (x == 0.0) {
        return 1.0;
    }
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

// Edges ascending inside [0, 0.5]; with `width`, every band wider than 0.
bool LayoutAscending(const FirBands& bands, bool width) {
    if (bands.nBands < 1 || bands.nBands > kMaxFirBands) {
        return false;
    }
    double previous = 0.0;
    for (int i = 0; i < 2 * bands.nBands; ++i) {
        const double e = bands.edges[i];
        if (!std::isfinite(e) || e < previous || e > 0.5) {
            return false;
        }
        if (width && i % 2 == 1 && !(e > previous)) {
            return false;
        }
        previous = e;
    }
    for (int b = 0; b < bands.nBands; ++b) {
        if (!std::isfinite(bands.desired[b])) {
            return false;
        }
    }
    return true;
}

void Refuse(FirRefusal* refusal, FirRefusal why) {
    if (refusal != nullptr) {
        *refusal = why;
    }
}

// Solves Q x = d for symmetric positive definite Q (n x n, row-major) by Cholesky, in long
// double so that the factor loses as little as it can of a badly conditioned Q. Returns false
// when a pivot is not positive or the pivots say Q is singular to double precision (its
// reciprocal condition below the epsilon of a double) and `conditioned` asks: such a solve is
// rounding, not taps.
bool CholeskySolve(const std::vector<double>& q, const std::vector<double>& d, int n,
                   std::vector<long double>& x, bool conditioned) {
    std::vector<long double> l(static_cast<size_t>(n) * n, 0.0L);
    long double smallest = INFINITY;
    long double largest = 0.0L;
    for (int j = 0; j < n; ++j) {
        long double s = q[j * n + j];
        for (int k = 0; k < j; ++k) {
            s -= l[j * n + k] * l[j * n + k];
        }
        if (!(s > 0.0L)) {
            return false;
        }
        const long double p = std::sqrt(s);
        smallest = std::min(smallest, p);
        largest = std::max(largest, p);
        l[j * n + j] = p;
        for (int i = j + 1; i < n; ++i) {
            long double t = q[i * n + j];
            for (int k = 0; k < j; ++k) {
                t -= l[i * n + k] * l[j * n + k];
            }
            l[i * n + j] = t / p;
        }
    }
    const long double ratio = smallest / largest;
    if (conditioned && ratio * ratio < std::numeric_limits<double>::epsilon()) {
        return false;
    }
    x.assign(d.begin(), d.end());
    for (int i = 0; i < n; ++i) {
        long double t = x[i];
        for (int k = 0; k < i; ++k) {
            t -= l[i * n + k] * x[k];
        }
        x[i] = t / l[i * n + i];
    }
    for (int i = n - 1; i >= 0; --i) {
        long double t = x[i];
        for (int k = i + 1; k < n; ++k) {
            t -= l[k * n + i] * x[k];
        }
        x[i] = t / l[i * n + i];
    }
    return true;
}

// The minimum-norm solution of Q x = d for symmetric Q by cyclic Jacobi rotations, leaving out
// the eigenvalues at or below an epsilon of the largest; false when every one is.
bool EigenSolve(std::vector<double> q, const std::vector<double>& d, int n,
                std::vector<long double>& x) {
    std::vector<double> v(static_cast<size_t>(n) * n, 0.0);
    for (int i = 0; i < n; ++i) {
        v[i * n + i] = 1.0;
    }
    for (int sweep = 0; sweep < 60; ++sweep) {
        double off = 0.0;
        double diag = 0.0;
        for (int i = 0; i < n; ++i) {
            diag += q[i * n + i] * q[i * n + i];
            for (int j = i + 1; j < n; ++j) {
                off += q[i * n + j] * q[i * n + j];
            }
        }
        if (off <= 1e-32 * diag) {
            break;
        }
        for (int p = 0; p < n - 1; ++p) {
            for (int r = p + 1; r < n; ++r) {
                const double apr = q[p * n + r];
                if (apr == 0.0) {
                    continue;
                }
                const double theta = (q[r * n + r] - q[p * n + p]) / (2.0 * apr);
                const double t = (theta >= 0.0 ? 1.0 : -1.0) /
                                 (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0);
                const double sn = t * c;
                for (int k = 0; k < n; ++k) {
                    const double qkp = q[k * n + p];
                    const double qkr = q[k * n + r];
                    q[k * n + p] = c * qkp - sn * qkr;
                    q[k * n + r] = sn * qkp + c * qkr;
                }
                for (int k = 0; k < n; ++k) {
                    const double qpk = q[p * n + k];
                    const double qrk = q[r * n + k];
                    q[p * n + k] = c * qpk - sn * qrk;
                    q[r * n + k] = sn * qpk + c * qrk;
                }
                for (int k = 0; k < n; ++k) {
                    const double vkp = v[k * n + p];
                    const double vkr = v[k * n + r];
                    v[k * n + p] = c * vkp - sn * vkr;
                    v[k * n + r] = sn * vkp + c * vkr;
                }
            }
        }
    }
    double largest = 0.0;
    for (int i = 0; i < n; ++i) {
        largest = std::max(largest, std::fabs(q[i * n + i]));
    }
    const double floor = largest * std::numeric_limits<double>::epsilon();
    x.assign(n, 0.0L);
    bool any = false;
    for (int e = 0; e < n; ++e) {
        const double lambda = q[e * n + e];
        if (!(lambda > floor)) {
            continue;
        }
        any = true;
        long double projection = 0.0L;
        for (int k = 0; k < n; ++k) {
            projection += static_cast<long double>(v[k * n + e]) * d[k];
        }
        projection /= lambda;
        for (int k = 0; k < n; ++k) {
            x[k] += projection * v[k * n + e];
        }
    }
    return any;
}

// The modified Bessel function I0 by its power series; every term is positive, so the sum
// keeps the full relative precision.
double BesselI0(double x) {
    const double y = 0.25 * x * x;
    double term = 1.0;
    double sum = 1.0;
    for (int k = 1; k < 500; ++k) {
        term *= y / (static_cast<double>(k) * k);
        sum += term;
        if (term < sum * 1e-17) {
            break;
        }
    }
    return sum;
}

} // namespace

const char* FirMethodName(int method) {
    return method >= 0 && method < kFirMethodCount ? kNames[method] : kNames[0];
}

int FirMethodOfName(const char* name) {
    for (int m = 0; m < kFirMethodCount; ++m) {
        if (name != nullptr && std::strcmp(name, kNames[m]) == 0) {
            return m;
        }
    }
    return -1;
}

const char* FirMethodTitle(int method) {
    return method >= 0 && method < kFirMethodCount ? kTitles[method] : kTitles[0];
}

std::vector<double> LeastSquaresTaps(int nTaps, const FirBands& bands, FirRefusal* refusal) {
    Refuse(refusal, FirRefusal::kNone);
    if (nTaps < 1 || nTaps > kMaxRemezTaps || nTaps % 2 == 0) {
        Refuse(refusal, FirRefusal::kTapCount);
        return {};
    }
    if (!LayoutAscending(bands, true)) {
        Refuse(refusal, FirRefusal::kBandLayout);
        return {};
    }
    for (int b = 0; b < bands.nBands; ++b) {
        if (!std::isfinite(bands.weight[b]) || bands.weight[b] < 0.0) {
            Refuse(refusal, FirRefusal::kBandWeight);
            return {};
        }
    }
    const int m = (nTaps - 1) / 2;
    const int n = m + 1;
    // Edges on the scale where 1 is half of fs: int_b cos(pi k f) df = f sinc(k f) at the edges.
    std::vector<double> q(nTaps, 0.0);
    std::vector<double> d(n, 0.0);
    for (int b = 0; b < bands.nBands; ++b) {
        const double lo = 2.0 * bands.edges[2 * b];
        const double hi = 2.0 * bands.edges[2 * b + 1];
        const double w = bands.weight[b];
        for (int k = 0; k < nTaps; ++k) {
            const double integral = hi * Sinc(k * hi) - lo * Sinc(k * lo);
            q[k] += w * integral;
            if (k < n) {
                d[k] += w * bands.desired[b] * integral;
            }
        }
    }
    std::vector<double> matrix(static_cast<size_t>(n) * n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            matrix[i * n + j] = q[std::abs(i - j)] + q[i + j];
        }
    }
    // A Q that Cholesky cannot factor (singular to double precision: wide transition bands at
    // many taps leave directions of the taps that hardly change the error) is solved by its
    // eigenvectors, leaving out those whose eigenvalue is below an epsilon of the largest: of
    // the taps with the smallest error, those of the least size.
    std::vector<long double> a;
    if (!CholeskySolve(matrix, d, n, a, true) && !EigenSolve(matrix, d, n, a)) {
        Refuse(refusal, FirRefusal::kBandWeight); // no band of positive weight and width
        return {};
    }
    std::vector<double> taps(nTaps);
    taps[m] = static_cast<double>(2.0L * a[0]);
    for (int k = 1; k <= m; ++k) {
        taps[m - k] = static_cast<double>(a[k]);
        taps[m + k] = static_cast<double>(a[k]);
    }
    return taps;
}

std::vector<double> KaiserWindow(int n, double beta) {
    std::vector<double> w(std::max(n, 0), 1.0);
    if (n < 2) {
        return w;
    }
    const double alpha = 0.5 * (n - 1);
    const double i0Beta = BesselI0(beta);
    for (int k = 0; k < n; ++k) {
        const double r = (k - alpha) / alpha;
        w[k] = BesselI0(beta * std::sqrt(std::max(0.0, 1.0 - r * r))) / i0Beta;
    }
    return w;
}

std::vector<double> KaiserTaps(int nTaps, const FirBands& bands, double beta, FirRefusal* refusal) {
    Refuse(refusal, FirRefusal::kNone);
    if (nTaps < 2 || nTaps > kMaxRemezTaps) {
        Refuse(refusal, FirRefusal::kTapCount);
        return {};
    }
    if (!LayoutAscending(bands, false) || !(beta >= 0.0 && beta <= kMaxKaiserBeta)) {
        Refuse(refusal, FirRefusal::kBandLayout);
        return {};
    }
    // The jumps of the ideal response, on the scale where 1 is half of fs, between bands of
    // different gain (pass bands have a gain other than 0).
    std::vector<double> jumps;
    const bool passAtZero = bands.desired[0] != 0.0;
    bool pass = passAtZero;
    for (int b = 1; b < bands.nBands; ++b) {
        const bool next = bands.desired[b] != 0.0;
        if (next != pass) {
            jumps.push_back(bands.edges[2 * b - 1] + bands.edges[2 * b]);
            pass = next;
        }
    }
    const bool passAtNyquist = pass;
    if (passAtNyquist && nTaps % 2 == 0) {
        Refuse(refusal, FirRefusal::kTapCount);
        return {};
    }
    // The pass intervals [left, right] of the ideal response.
    std::vector<double> cuts;
    if (passAtZero) {
        cuts.push_back(0.0);
    }
    cuts.insert(cuts.end(), jumps.begin(), jumps.end());
    if (passAtNyquist) {
        cuts.push_back(1.0);
    }
    if (cuts.size() < 2) {
        Refuse(refusal, FirRefusal::kBandLayout); // no pass band
        return {};
    }
    const double alpha = 0.5 * (nTaps - 1);
    std::vector<double> h(nTaps, 0.0);
    for (size_t p = 0; p + 1 < cuts.size(); p += 2) {
        const double left = cuts[p];
        const double right = cuts[p + 1];
        for (int k = 0; k < nTaps; ++k) {
            const double t = k - alpha;
            h[k] += right * Sinc(right * t) - left * Sinc(left * t);
        }
    }
    const std::vector<double> window = KaiserWindow(nTaps, beta);
    for (int k = 0; k < nTaps; ++k) {
        h[k] *= window[k];
    }
    // Unit gain at the centre of the first pass band.
    const double left = cuts[0];
    const double right = cuts[1];
    const double at = left == 0.0 ? 0.0 : right == 1.0 ? 1.0 : 0.5 * (left + right);
    double gain = 0.0;
    for (int k = 0; k < nTaps; ++k) {
        gain += h[k] * std::cos(std::numbers::pi * (k - alpha) * at);
    }
    for (double& v : h) {
        v /= gain;
    }
    return h;
}

double KaiserBeta(double attenuationDb) {
    const double a = attenuationDb;
    if (a > 50.0) {
        return 0.1102 * (a - 8.7);
    }
    if (a > 21.0) {
        return 0.5842 * std::pow(a - 21.0, 0.4) + 0.07886 * (a - 21.0);
    }
    return 0.0;
}

KaiserOrder KaiserOrderFor(double attenuationDb, double width) {
    KaiserOrder order;
    const double a = std::fabs(attenuationDb);
    if (!(a >= 8.0) || !(width > 0.0)) {
        return order;
    }
    order.beta = KaiserBeta(a);
    // width as a fraction of half of fs: 2 * width.
    const double taps = (a - 7.95) / 2.285 / (std::numbers::pi * 2.0 * width) + 1.0;
    order.taps = taps < 1e9 ? static_cast<int>(std::ceil(taps)) : 1000000000;
    return order;
}

double KaiserRippleDb(double apDb, double asDb) {
    return -20.0 * std::log10(std::min(PassDeviation(apDb), StopDeviation(asDb)));
}

FirDesign DesignFirByMethod(const FirSpecification& params, int method, double beta) {
    if (method == kFirHalfband) {
        FirDesign design;
        const double fp = params.fs > 0.0 ? params.fc1 / params.fs : 0.0;
        design.bands = FirBandLayout(FirType::kLowPass, params.fs, params.fc1,
                                     0.5 * params.fs - params.fc1, 0.0, 0.0, 1.0);
        design.result = HalfbandTaps(params.nTaps, fp);
        return design;
    }
    if (method != kFirLeastSquares && method != kFirKaiser) {
        return DesignFir(params);
    }
    FirDesign design;
    design.bands = FirBandLayout(params.type, params.fs, params.fc1, params.fc2, params.fc3,
                                 params.fc4, params.rr);
    FirDesignResult& result = design.result;
    result.taps = method == kFirLeastSquares
                      ? LeastSquaresTaps(params.nTaps, design.bands, &result.refusal)
                      : KaiserTaps(params.nTaps, design.bands, beta, &result.refusal);
    const bool finite = std::all_of(result.taps.begin(), result.taps.end(),
                                    [](double h) { return std::isfinite(h); });
    result.verdict = !result.taps.empty() && finite ? FirVerdict::kOptimum : FirVerdict::kFailed;
    if (!finite) {
        std::fill(result.taps.begin(), result.taps.end(), 0.0);
    }
    return design;
}

FirRequirementTrial MethodTrial(const FirRequirements& req, int taps, double rr, int method,
                                double beta) {
    FirSpecification params;
    params.type = req.type;
    params.fs = req.fs;
    params.fc1 = req.fc1;
    params.fc2 = req.fc2;
    params.fc3 = req.fc3;
    params.fc4 = req.fc4;
    params.rr = rr;
    params.nTaps = taps;
    const FirDesign design = DesignFirByMethod(params, method, beta);
    FirRequirementTrial trial;
    trial.taps = taps;
    trial.designed = design.result.Ok();
    if (!trial.designed) {
        return trial;
    }
    const std::vector<double>& h = design.result.taps;
    const int n = static_cast<int>(h.size());
    const FilterCoefficients c = FirCoefficients(h, n, n, 1, false, 16);
    BandSpec layout;
    layout.type = static_cast<int>(req.type);
    layout.fs = req.fs;
    layout.fc1 = req.fc1;
    layout.fc2 = req.fc2;
    layout.fc3 = req.fc3;
    layout.fc4 = req.fc4;
    double ripple = 0.0;
    double attenuation = INFINITY;
    for (const BandGain& g : MeasureGains(c, req.fs, MeasureBands(layout, c))) {
        if (g.band.pass) {
            ripple = std::max(ripple, g.maxDb - g.minDb);
        } else {
            attenuation = std::min(attenuation, -g.maxDb);
        }
    }
    trial.rippleDb = ripple;
    trial.attenuationDb = attenuation;
    trial.meets = ripple <= req.apDb && attenuation >= req.asDb;
    return trial;
}

FirRequirementResult SearchLeastSquaresRequirements(const FirRequirements& req) {
    FirRequirementResult result;
    const double dp = PassDeviation(req.apDb);
    const double ds = StopDeviation(req.asDb);
    result.rr = dp / ds;
    const int lowest = req.minTaps % 2 == 0 ? req.minTaps + 1 : req.minTaps;
    const int highest = req.maxTaps % 2 == 0 ? req.maxTaps - 1 : req.maxTaps;
    std::map<int, FirRequirementTrial> tried;
    const auto at = [&](int taps) -> const FirRequirementTrial& {
        auto it = tried.find(taps);
        if (it == tried.end()) {
            it =
                tried.emplace(taps, MethodTrial(req, taps, result.rr, kFirLeastSquares, 0.0)).first;
            ++result.designs;
        }
        return it->second;
    };
    int n = std::clamp(EstimateRequirementTaps(req, dp, ds), lowest, highest);
    if (n % 2 == 0) {
        n = n + 1 <= highest ? n + 1 : n - 1;
    }
    result.estimate = n;
    while (!at(n).meets && n + 2 <= highest) {
        n += 2;
    }
    if (!at(n).meets) {
        result.chosen = at(highest);
        for (const auto& [taps, trial] : tried) {
            if (trial.designed &&
                (result.best.taps == 0 || trial.attenuationDb > result.best.attenuationDb)) {
                result.best = trial;
            }
        }
        return result;
    }
    for (bool lower = true; lower;) {
        lower = false;
        for (int k = 1; k <= 2 && !lower; ++k) {
            const int m = n - 2 * k;
            if (m >= lowest && at(m).meets) {
                n = m;
                lower = true;
            }
        }
    }
    result.met = true;
    result.chosen = at(n);
    return result;
}

} // namespace dsp
