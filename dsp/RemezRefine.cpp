// The continuous refinement of a levelled Remez design.
//
// The exchange on the dense grid levels the error on grid points only; the extrema of the error
// between them rise above that level by up to a few per cent of it. Here each extremum of the
// error on the grid is followed onto the continuous axis, the multiple exchange picks the largest
// alternating set among them, and the set is levelled there; this repeats until the largest error
// anywhere equals the level, which is then the minimax optimum of the bands themselves, not of
// their grid. Where the targets are constant within each band, an extremum moves by one Newton
// step in x = cos(2 pi f) a round (the steps and the levelling converge together, and the
// derivatives on a node of the set come from the node's own sums); elsewhere, and where such a
// step cannot be taken, a bounded Brent search between its grid neighbours finds it.
#include "dsp/RemezWork.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <vector>

namespace dsp {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr int kRefineIterations = 12;
// Stops when the largest error anywhere exceeds the level by less than this fraction of it.
constexpr double kRefinedLevel = 1e-10;
// Only extrema at least this fraction of the level are followed: the error rises between grid
// points by far less than the rest, so the others can never join the set.
constexpr double kFollowedFraction = 0.9;
constexpr int kSearchSteps = 60;

// The barycentric sums at x and their derivatives in x: N = sum c_i y_i, D = sum c_i with
// c_i = ad_i / (x - x_i), into sums[0..2] (N, N', N'' / 2) and sums[3..5] (D, D', D'' / 2); each
// derivative brings a factor -1 / (x - x_i) per term. Four terms at a time; on an extremal node
// itself the sums are not finite.
VANTREL_GRID_CLONES void DerivativeSums(const RemezWork& w, double x, double* sums) {
    using Lanes = double __attribute__((vector_size(32)));
    Lanes n0{}, n1{}, n2{}, d0{}, d1{}, d2{};
    const int terms = w.r + 1;
    int i = 0;
    for (; i + 4 <= terms; i += 4) {
        Lanes xi, ad, y;
        std::memcpy(&xi, w.x + i, sizeof xi);
        std::memcpy(&ad, w.ad + i, sizeof ad);
        std::memcpy(&y, w.y + i, sizeof y);
        const Lanes u = 1.0 / (x - xi);
        const Lanes c = ad * u;
        const Lanes cy = c * y;
        const Lanes cu = c * u;
        const Lanes cyu = cy * u;
        d0 += c;
        n0 += cy;
        d1 -= cu;
        n1 -= cyu;
        d2 += cu * u;
        n2 += cyu * u;
    }
    double s[6] = {};
    for (int lane = 0; lane < 4; ++lane) {
        s[0] += n0[lane];
        s[1] += n1[lane];
        s[2] += n2[lane];
        s[3] += d0[lane];
        s[4] += d1[lane];
        s[5] += d2[lane];
    }
    for (; i < terms; ++i) {
        const double u = 1.0 / (x - w.x[i]);
        const double c = w.ad[i] * u;
        const double cy = c * w.y[i];
        s[0] += cy;
        s[1] -= cy * u;
        s[2] += cy * u * u;
        s[3] += c;
        s[4] -= c * u;
        s[5] += c * u * u;
    }
    std::copy(s, s + 6, sums);
}

// The interpolant P through the extremal set at x (without the factor of the kind); on a node,
// the node's value.
VANTREL_GRID_CLONES double InterpolantAt(const RemezWork& w, double x) {
    using Lanes = double __attribute__((vector_size(32)));
    Lanes n{};
    Lanes d{};
    const int terms = w.r + 1;
    int i = 0;
    for (; i + 4 <= terms; i += 4) {
        Lanes xi;
        Lanes ad;
        Lanes y;
        std::memcpy(&xi, w.x + i, sizeof xi);
        std::memcpy(&ad, w.ad + i, sizeof ad);
        std::memcpy(&y, w.y + i, sizeof y);
        const Lanes c = ad / (x - xi);
        d += c;
        n += c * y;
    }
    double num = (n[0] + n[1]) + (n[2] + n[3]);
    double den = (d[0] + d[1]) + (d[2] + d[3]);
    for (; i < terms; ++i) {
        const double c = w.ad[i] / (x - w.x[i]);
        den += c;
        num += c * w.y[i];
    }
    if (std::isfinite(num) && std::isfinite(den)) {
        return num / den;
    }
    for (i = 0; i < terms; ++i) {
        if (x == w.x[i]) {
            return w.y[i];
        }
    }
    return num / den;
}

double ErrorAt(const RemezWork& w, double f, int band) {
    double desired = 0.0;
    double weight = 0.0;
    TargetAt(w, f, band, desired, weight);
    return weight * (desired - InterpolantAt(w, std::cos(kTwoPi * f)));
}

// The band grid point j lies in. A point on an edge two bands share belongs to the one whose
// values it holds.
int BandOf(const RemezWork& w, int j) {
    const double f = w.grid[j];
    int b = 0;
    while (b + 1 < w.nBands && f > w.pEdges[2 * b + 1]) {
        ++b;
    }
    if (b + 1 < w.nBands && f >= w.pEdges[2 * b + 2]) {
        double desired = 0.0;
        double weight = 0.0;
        TargetAt(w, f, b, desired, weight);
        if (desired != w.desired[j] || weight != w.weight[j]) {
            ++b;
        }
    }
    return b;
}

// Where the search below the first grid point of a band may start. The grid of a differentiator
// keeps a step above DC, where the factor of its response vanishes; but the weighted error of its
// slope band has a limit there, and the band's error counts down to its edge.
constexpr double kNearDc = 1e-4;

double LowestOf(const RemezWork& w, int j) {
    if (j == 0 && w.differentiator && w.pDesired[0] >= 1e-4 && w.grid[0] > w.pEdges[0]) {
        return std::min(w.grid[0], std::max(w.pEdges[0], kNearDc));
    }
    return w.grid[j];
}

// The points of Brent's search: the bracket [a, b], the best point xf, the second and third best
// (nfc, fulc), and their costs.
struct BrentPoints {
    double a, b, xf, fx, nfc, fnfc, fulc, ffulc;

    void Take(double x, double fu) {
        if (fu <= fx) {
            (x >= xf ? a : b) = xf;
            fulc = nfc;
            ffulc = fnfc;
            nfc = xf;
            fnfc = fx;
            xf = x;
            fx = fu;
            return;
        }
        (x < xf ? a : b) = x;
        if (fu <= fnfc || nfc == xf) {
            fulc = nfc;
            ffulc = fnfc;
            nfc = x;
            fnfc = fu;
        } else if (fu <= ffulc || fulc == xf || fulc == nfc) {
            fulc = x;
            ffulc = fu;
        }
    }
};

// The largest of sign * E on [a, b] by Brent's bounded search (golden sections and parabolas).
// Returns its frequency; `best` the signed error there. The error is flat at an inner extremum:
// a step of a millionth of the interval leaves it within 1e-12 of its peak. (An extremum on a
// band edge is taken at the edge itself, by the caller.)
double FollowExtremum(const RemezWork& w, int band, double sign, double a, double b, double& best) {
    const double golden = 0.5 * (3.0 - std::sqrt(5.0));
    const double tol1 = 1e-6 * (b - a) / 3.0;
    const double tol2 = 2.0 * tol1;
    auto cost = [&](double f) { return -sign * ErrorAt(w, f, band); };
    const double start = a + golden * (b - a);
    const double first = cost(start);
    BrentPoints p{a, b, start, first, start, first, start, first};
    double rat = 0.0;
    double e = 0.0;
    double xm = 0.5 * (a + b);
    for (int step = 0; step < kSearchSteps && std::fabs(p.xf - xm) > tol2 - 0.5 * (p.b - p.a);
         ++step) {
        bool goldenStep = true;
        if (std::fabs(e) > tol1) {
            goldenStep = false;
            double r = (p.xf - p.nfc) * (p.fx - p.ffulc);
            double q = (p.xf - p.fulc) * (p.fx - p.fnfc);
            double num = (p.xf - p.fulc) * q - (p.xf - p.nfc) * r;
            q = 2.0 * (q - r);
            num = q > 0.0 ? -num : num;
            q = std::fabs(q);
            r = e;
            e = rat;
            if (std::fabs(num) < std::fabs(0.5 * q * r) && num > q * (p.a - p.xf) &&
                num < q * (p.b - p.xf)) {
                rat = num / q;
                const double x = p.xf + rat;
                if ((x - p.a) < tol2 || (p.b - x) < tol2) {
                    rat = xm >= p.xf ? tol1 : -tol1;
                }
            } else {
                goldenStep = true;
            }
        }
        if (goldenStep) {
            e = p.xf >= xm ? p.a - p.xf : p.b - p.xf;
            rat = golden * e;
        }
        const double x = p.xf + (rat >= 0.0 ? 1.0 : -1.0) * std::max(std::fabs(rat), tol1);
        p.Take(x, cost(x));
        xm = 0.5 * (p.a + p.b);
    }
    best = -sign * p.fx;
    return p.xf;
}
// The factor s of the response of the kind at x = cos(2 pi f), and its first two derivatives in
// x: sqrt((1 + x) / 2) = cos(pi f) for even symmetric taps, sqrt(1 - x^2) = sin(2 pi f) and
// sqrt((1 - x) / 2) = sin(pi f) for odd and even antisymmetric ones, 1 for odd symmetric taps.
struct KindFactor {
    double s = 1.0;
    double s1 = 0.0;
    double s2 = 0.0;
};

double FactorValue(const RemezWork& w, double x) {
    const bool odd = w.nTaps % 2 != 0;
    if (!w.antisymmetric) {
        return odd ? 1.0 : std::sqrt(0.5 * (1.0 + x));
    }
    return odd ? std::sqrt(std::max(0.0, 1.0 - x * x)) : std::sqrt(std::max(0.0, 0.5 * (1.0 - x)));
}

KindFactor FactorAt(const RemezWork& w, double x) {
    KindFactor k;
    k.s = FactorValue(w, x);
    const bool odd = w.nTaps % 2 != 0;
    if (!w.antisymmetric && !odd) {
        k.s1 = 0.25 / k.s;
        k.s2 = -1.0 / (16.0 * k.s * k.s * k.s);
    } else if (w.antisymmetric && odd) {
        k.s1 = -x / k.s;
        k.s2 = -1.0 / (k.s * k.s * k.s);
    } else if (w.antisymmetric) {
        k.s1 = -0.25 / k.s;
        k.s2 = -1.0 / (16.0 * k.s * k.s * k.s);
    }
    return k;
}

// The sums of the interpolant's derivatives on its own node j, where the sums of DerivativeSums
// are not finite: with c_i = ad_i / (x_j - x_i) over the other nodes, A0 = sum c_i (y_i - y_j),
// B0 = sum c_i and A1 = -sum c_i (y_i - y_j) / (x_j - x_i), into sums[0..2]. Then P' = A0 / ad_j
// and P'' = 2 (A1 - P' B0) / ad_j (the expansion of the barycentric form around its node).
VANTREL_GRID_CLONES void NodeSums(const RemezWork& w, int j, double* sums) {
    using Lanes = double __attribute__((vector_size(32)));
    using Mask = long long __attribute__((vector_size(32)));
    const double xj = w.x[j];
    const double yj = w.y[j];
    const Lanes zero = {0.0, 0.0, 0.0, 0.0};
    Lanes a0{};
    Lanes b0{};
    Lanes a1{};
    const int terms = w.r + 1;
    int i = 0;
    for (; i + 4 <= terms; i += 4) {
        Lanes xi;
        Lanes ad;
        Lanes y;
        std::memcpy(&xi, w.x + i, sizeof xi);
        std::memcpy(&ad, w.ad + i, sizeof ad);
        std::memcpy(&y, w.y + i, sizeof y);
        const Lanes diff = xj - xi;
        // The node's own term drops out: its lane is masked to 0.
        const Lanes u = (Lanes)((Mask)(1.0 / diff) & (Mask)(diff != zero));
        const Lanes c = ad * u;
        const Lanes cdy = c * (y - yj);
        b0 += c;
        a0 += cdy;
        a1 -= cdy * u;
    }
    double s0 = (a0[0] + a0[1]) + (a0[2] + a0[3]);
    double s1 = (b0[0] + b0[1]) + (b0[2] + b0[3]);
    double s2 = (a1[0] + a1[1]) + (a1[2] + a1[3]);
    for (; i < terms; ++i) {
        const double diff = xj - w.x[i];
        if (diff == 0.0) {
            continue;
        }
        const double u = 1.0 / diff;
        const double c = w.ad[i] * u;
        const double cdy = c * (w.y[i] - yj);
        s0 += cdy;
        s1 += c;
        s2 -= cdy * u;
    }
    sums[0] = s0;
    sums[1] = s1;
    sums[2] = s2;
}

// The response H(x) = s(x) P(x) of the kind at x = cos(2 pi f) and its first two derivatives in
// x, from one pass over the extremal set; on the set's node `node` (-1: x is none) from the
// node's own sums. False where the factor vanishes or the sums are not finite: the bounded
// search takes over there.
struct Response {
    double h, h1, h2;
};

bool ResponseDerivatives(const RemezWork& w, double x, int node, Response& out) {
    const KindFactor k = FactorAt(w, x);
    if (!(k.s > 1e-6)) {
        return false;
    }
    double p = 0.0;
    double p1 = 0.0;
    double p2 = 0.0;
    if (node >= 0) {
        double sums[3];
        NodeSums(w, node, sums);
        p = w.y[node];
        p1 = sums[0] / w.ad[node];
        p2 = 2.0 * (sums[2] - p1 * sums[1]) / w.ad[node];
    } else {
        double sums[6];
        DerivativeSums(w, x, sums);
        const double n0 = sums[0], n1 = sums[1], n2 = sums[2];
        const double d0 = sums[3], d1 = sums[4], d2 = sums[5];
        p = n0 / d0;
        p1 = (n1 - p * d1) / d0;
        p2 = (2.0 * n2 - 2.0 * p1 * d1 - 2.0 * p * d2) / d0;
    }
    out.h = k.s * p;
    out.h1 = k.s1 * p + k.s * p1;
    out.h2 = k.s2 * p + 2.0 * k.s1 * p1 + k.s * p2;
    return std::isfinite(out.h) && std::isfinite(out.h1) && std::isfinite(out.h2);
}

// Desired value and weight of band b at x as the extremal set holds them (with the factor of the
// kind), for layouts whose targets are constant within each band.
void ConstantTargetAt(const RemezWork& w, double x, int band, double& desired, double& weight) {
    const double s = FactorValue(w, x);
    desired = w.pDesired[band] / s;
    weight = w.pWeights[band] * s;
}

// The weighted error W (D - s P) at x in band b, for layouts whose targets are constant within
// each band.
double ConstantTargetErrorAt(const RemezWork& w, double x, int band) {
    return w.pWeights[band] * (w.pDesired[band] - FactorValue(w, x) * InterpolantAt(w, x));
}

// A local extremum of the error on the grid, followed on the continuous axis between the grid
// points either side of it in its band.
struct Candidate {
    int j = 0; // grid index
    int band = 0;
    double sign = 1; // of the error there
    double lo = 0.0; // the interval searched, in f
    double hi = 0.0;
    double xLo = 0.0; // its ends in x = cos(2 pi f): xLo at hi, xHi at lo
    double xHi = 0.0;
    double f = 0.0;     // where the extremum was last found (the grid point until it is followed)
    double x = 0.0;     // cos(2 pi f) there
    double e = 0.0;     // the signed error there
    int node = -1;      // the member of the extremal set that lies at x, or -1
    bool below = false; // lo is the grid point below j in its band (not the band's end)
    bool above = false; // hi is the grid point above j in its band
    bool followed = false;
    bool frequencyKnown = true; // f is that of x (a Newton step moves x alone)
};

// Centres the interval of c on grid point j of its band, and puts c there.
void CentreOn(const RemezWork& w, Candidate& c, int j) {
    c.j = j;
    c.below = j > 0 && BandOf(w, j - 1) == c.band;
    c.above = j + 1 < w.nGrid && BandOf(w, j + 1) == c.band;
    c.lo = c.below ? w.grid[j - 1] : LowestOf(w, j);
    c.hi = c.above ? w.grid[j + 1] : w.grid[j];
    c.xHi = c.below ? w.gridCos[j - 1] : c.lo == w.grid[j] ? w.gridCos[j] : std::cos(kTwoPi * c.lo);
    c.xLo = c.above ? w.gridCos[j + 1] : w.gridCos[j];
    c.f = w.grid[j];
    c.x = w.gridCos[j];
    c.frequencyKnown = true;
}

Candidate GridCandidate(const RemezWork& w, int j) {
    Candidate c;
    c.band = BandOf(w, j);
    c.sign = w.error[j] >= 0.0 ? 1.0 : -1.0;
    CentreOn(w, c, j);
    return c;
}

// The bounded search from the grid point of c: at a band edge where the error falls inward, the
// edge is the extremum.
void SearchAroundGridPoint(const RemezWork& w, Candidate& c) {
    const double fj = w.grid[c.j];
    c.e = ErrorAt(w, fj, c.band);
    c.f = fj;
    const double lo = c.lo;
    const double hi = c.hi;
    const bool edgePeak =
        (hi == fj || lo == fj) &&
        c.sign * ErrorAt(w, hi == fj ? hi - 1e-9 * (hi - lo) : lo + 1e-9 * (hi - lo), c.band) <
            c.sign * c.e;
    if (hi > lo && !edgePeak) {
        double found = 0.0;
        const double at = FollowExtremum(w, c.band, c.sign, lo, hi, found);
        if (c.sign * found > c.sign * c.e) {
            c.e = found;
            c.f = at;
        }
    }
    c.x = std::cos(kTwoPi * c.f);
    c.frequencyKnown = true;
    c.node = -1;
}

// A Newton step of this length in x, as a fraction of the candidate's interval, or shorter puts
// the candidate where the quadratic model of the error around its old place gives its value
// (to about 1e-9 of it; at the steps of a levelled set, far closer): no measurement is needed.
constexpr double kPredictedStep = 1e-3;

// One Newton step of candidate c towards the largest of sign * E on its interval (dE/dx = 0),
// from where it stands, kept inside the interval: where the error rises towards an end (a band
// edge, as a rule), the end is taken when its error is the larger. c.e becomes the error at the
// new place. False when no such step exists (the factor vanishes, the error is not concave and
// its rising end is no higher): the bounded search then takes over.
bool NewtonStep(const RemezWork& w, Candidate& c) {
    Response r{};
    if (!ResponseDerivatives(w, c.x, c.node, r)) {
        return false;
    }
    const double weight = w.pWeights[c.band];
    const double here = weight * (w.pDesired[c.band] - r.h);
    const double e1 = -weight * r.h1;
    const double e2 = -weight * r.h2;
    const bool concave = c.sign * e2 < 0.0;
    double next = c.x;
    if (concave) {
        next = c.x - e1 / e2;
    } else if (c.sign * e1 != 0.0) {
        next = c.sign * e1 > 0.0 ? c.xHi : c.xLo; // towards the rising end
    } else {
        return false;
    }
    if (next >= c.xHi || next <= c.xLo) {
        const bool upper = next >= c.xHi;
        const double xEnd = upper ? c.xHi : c.xLo;
        if (xEnd == c.x) {
            c.e = here; // already on the end
            return std::isfinite(here);
        }
        const double e = ConstantTargetErrorAt(w, xEnd, c.band);
        if (!(c.sign * e >= c.sign * here)) {
            return false;
        }
        if (upper ? c.below : c.above) {
            // The end is the next grid point of the band: the extremum has moved past it (the
            // set was levelled off the grid's optimum), and the interval moves along.
            CentreOn(w, c, upper ? c.j - 1 : c.j + 1);
        } else {
            c.x = xEnd;
            c.f = upper ? c.lo : c.hi;
            c.frequencyKnown = true;
        }
        c.node = -1;
        c.e = e;
        return true;
    }
    const double step = next - c.x;
    double e = here + step * (e1 + 0.5 * e2 * step);
    if (std::fabs(step) > kPredictedStep * (c.xHi - c.xLo)) {
        e = ConstantTargetErrorAt(w, next, c.band);
        if (!(c.sign * e >= c.sign * here)) {
            return false;
        }
    }
    c.x = next;
    c.frequencyKnown = false;
    c.node = -1;
    c.e = e;
    return std::isfinite(e);
}

// The extremum of the error around candidate c on the continuous axis, into c.e (signed), c.x
// and c.f; followed when it is within reach of the level (the rest keep their grid point). One
// Newton step a round from where it was last found, where the targets are constant in the band
// (the rounds converge together with the levelling); the bounded search where they are not or
// the step cannot be taken.
void FollowCandidate(const RemezWork& w, Candidate& c, double level, bool curveCurrent) {
    if (!c.followed) {
        // The error curve on the grid holds it while the set it was computed for stands; else,
        // with constant targets, the grid point's own cosine serves. The error there is only
        // compared with the level.
        c.e = curveCurrent       ? w.error[c.j]
              : w.differentiator ? ErrorAt(w, w.grid[c.j], c.band)
                                 : ConstantTargetErrorAt(w, w.gridCos[c.j], c.band);
        if (!(std::fabs(c.e) >= kFollowedFraction * level)) {
            return;
        }
        c.followed = true;
    }
    if (!w.differentiator && c.hi > c.lo && NewtonStep(w, c)) {
        return;
    }
    SearchAroundGridPoint(w, c);
}

// The extrema of the error on the grid (w.error) within reach of the level that no candidate of
// their sign accounts for (none lies between the extremum's grid neighbours), joined to the
// candidates in grid order. Returns whether any joined.
bool JoinUnfollowedExtrema(RemezWork& w, std::vector<Candidate>& candidates, double level) {
    int* q = w.candidates.data();
    const int k = CollectErrorExtrema(w, q);
    bool joined = false;
    for (int m = 0; m < k; ++m) {
        const int j = q[m];
        const double e = w.error[j];
        if (!(std::fabs(e) >= kFollowedFraction * level)) {
            continue;
        }
        const double sign = e >= 0.0 ? 1.0 : -1.0;
        const double xHigh = w.gridCos[j > 0 ? j - 1 : j];
        const double xLow = w.gridCos[j + 1 < w.nGrid ? j + 1 : j];
        bool found = false;
        for (const Candidate& c : candidates) {
            if (c.sign == sign && c.x >= xLow && c.x <= xHigh) {
                found = true;
                break;
            }
        }
        if (found) {
            continue;
        }
        const auto at = std::find_if(candidates.begin(), candidates.end(),
                                     [j](const Candidate& c) { return c.j > j; });
        candidates.insert(at, GridCandidate(w, j));
        joined = true;
    }
    return joined;
}

// JoinUnfollowedExtrema on the error curve of the set as it stands: that of its taps, sampled
// into pTaps, when they are wanted (the curve of the taps is that of the response, up to
// rounding), else that of the interpolation.
bool JoinUnfollowedOnCurve(RemezWork& w, std::vector<Candidate>& candidates, double level,
                           double* pTaps) {
    if (pTaps != nullptr) {
        SampleSymmetricTaps(w, pTaps);
        w.tapError = TapGridErrorCurve(w, pTaps);
    } else {
        ComputeError(w);
    }
    return JoinUnfollowedExtrema(w, candidates, level);
}

// What a refinement step can go back to: the set, its interpolation and its level.
struct Snapshot {
    int ext[RemezWork::kMaxExtremals];
    double x[RemezWork::kMaxExtremals];
    double ad[RemezWork::kMaxExtremals];
    double y[RemezWork::kMaxExtremals];
    double fext[RemezWork::kMaxExtremals];
    double dext[RemezWork::kMaxExtremals];
    double wext[RemezWork::kMaxExtremals];
    double delta;
    bool clipped;

    void Take(const RemezWork& w) {
        const int n = w.r + 1;
        std::copy(w.ext, w.ext + n, ext);
        std::copy(w.x, w.x + n, x);
        std::copy(w.ad, w.ad + n, ad);
        std::copy(w.y, w.y + n, y);
        std::copy(w.fext, w.fext + n, fext);
        std::copy(w.dext, w.dext + n, dext);
        std::copy(w.wext, w.wext + n, wext);
        delta = w.delta;
        clipped = w.clipped;
    }
    void Restore(RemezWork& w) const {
        const int n = w.r + 1;
        std::copy(ext, ext + n, w.ext);
        std::copy(x, x + n, w.x);
        std::copy(ad, ad + n, w.ad);
        std::copy(y, y + n, w.y);
        std::copy(fext, fext + n, w.fext);
        std::copy(dext, dext + n, w.dext);
        std::copy(wext, wext + n, w.wext);
        w.delta = delta;
        w.clipped = clipped;
    }
};

// The extrema of the set's error curve on the grid, as candidates to follow. The grid's set has
// its nodes on grid points: a candidate on one starts on that node.
std::vector<Candidate> GridCandidates(RemezWork& w, int wanted) {
    ComputeError(w);
    int* q = w.candidates.data();
    const int found = CollectErrorExtrema(w, q);
    std::vector<Candidate> candidates(static_cast<size_t>(found));
    for (int c = 0, i = 0; c < found; ++c) {
        Candidate& candidate = candidates[static_cast<size_t>(c)];
        candidate = GridCandidate(w, q[c]);
        while (i < wanted && w.ext[i] < candidate.j) {
            ++i;
        }
        if (i < wanted && w.ext[i] == candidate.j && w.x[i] == candidate.x) {
            candidate.node = i;
        }
    }
    return candidates;
}

double FrequencyOf(double x) {
    return std::acos(std::clamp(x, -1.0, 1.0)) / kTwoPi;
}

// The frequencies of the set's members whose x alone is known.
void ResolveFrequencies(RemezWork& w) {
    for (int i = 0; i <= w.r; ++i) {
        if (std::isnan(w.fext[i])) {
            w.fext[i] = FrequencyOf(w.x[i]);
        }
    }
}

// Makes the candidates order[0 .. wanted - 1] the extremal set and levels on it; they become its
// nodes. False when they are out of order or the levelling fails.
bool LevelOnCandidates(RemezWork& w, std::vector<Candidate>& candidates,
                       const std::vector<int>& order, int wanted) {
    bool ascending = true;
    for (int i = 0; i < wanted; ++i) {
        Candidate& c = candidates[static_cast<size_t>(order[i])];
        if (!c.frequencyKnown && w.differentiator) {
            c.f = FrequencyOf(c.x);
            c.frequencyKnown = true;
        }
        w.ext[i] = c.j;
        // Only the differentiator's targets need the frequency while the set moves; the others
        // get it once the set stands (ResolveFrequencies).
        w.fext[i] = c.frequencyKnown ? c.f : std::numeric_limits<double>::quiet_NaN();
        w.x[i] = c.x;
        if (w.differentiator) {
            TargetAt(w, c.f, c.band, w.dext[i], w.wext[i]);
        } else {
            ConstantTargetAt(w, c.x, c.band, w.dext[i], w.wext[i]);
        }
        ascending = ascending && (i == 0 || w.x[i] < w.x[i - 1]);
    }
    if (!ascending || !LevelExtremals(w) || !std::isfinite(w.delta)) {
        return false;
    }
    for (Candidate& c : candidates) {
        c.node = -1;
    }
    for (int i = 0; i < wanted; ++i) {
        candidates[static_cast<size_t>(order[i])].node = i;
    }
    return true;
}

} // namespace

bool RefineExtremals(RemezWork& w, double* pTaps) {
    const int g = w.nGrid;
    const int wanted = w.r + 1;
    w.refinedLevel = false;
    w.tapsSampled = false;
    if (g < 3 || wanted < 2) {
        return false;
    }
    Snapshot start;
    start.Take(w);
    Snapshot best;
    double startLargest = -1.0; // the largest error of the grid's set, on the axis
    double bestLargest = std::numeric_limits<double>::infinity();
    // The extrema of the grid's error curve are found once; each round then follows them from
    // where it found them last, as the levelling moves them (by a fraction of a grid step from
    // the grid's optimum; farther from a set levelled on a coarser grid, where they move on from
    // grid point to grid point).
    std::vector<Candidate> candidates = GridCandidates(w, wanted);
    std::vector<double> value;
    std::vector<int> order;
    bool curveCurrent = true; // w.error is the error curve of the set as it stands
    for (int iteration = 0; iteration < kRefineIterations; ++iteration) {
        const double level = std::fabs(w.delta);
        double largest = 0.0;
        const int k = static_cast<int>(candidates.size());
        value.resize(candidates.size());
        order.resize(candidates.size());
        for (int c = 0; c < k; ++c) {
            Candidate& candidate = candidates[static_cast<size_t>(c)];
            FollowCandidate(w, candidate, level, curveCurrent);
            if (!std::isfinite(candidate.e)) {
                start.Restore(w);
                return false;
            }
            value[c] = candidate.e;
            largest = std::max(largest, std::fabs(candidate.e));
        }
        startLargest = startLargest < 0.0 ? largest : startLargest;
        if (largest < bestLargest) {
            bestLargest = largest;
            best.Take(w);
        }
        if (largest - level <= kRefinedLevel * largest) {
            // Level on the followed extrema. The error curve of the set on the grid must show no
            // extremum they do not account for (one that rose where the grid's first curve had
            // none): such a one joins them, and the rounds go on.
            if (!JoinUnfollowedOnCurve(w, candidates, level, pTaps)) {
                ResolveFrequencies(w);
                w.refinedError = largest;
                w.refinedLevel = true;
                w.tapsSampled = pTaps != nullptr;
                return true;
            }
            curveCurrent = true;
            continue;
        }
        // The next set: the largest alternating one among the followed extrema.
        for (int c = 0; c < k; ++c) {
            order[c] = c;
        }
        const int n = KeepLargestAlternation(value, order.data(), k, wanted, level * (1.0 - 1e-9));
        if (n != wanted) {
            break;
        }
        curveCurrent = false;
        if (!LevelOnCandidates(w, candidates, order, wanted)) {
            break;
        }
    }
    // Not level to the last digits in the iterations given: the set with the smallest largest
    // error stands if it did better than the grid's.
    if (bestLargest < startLargest) {
        best.Restore(w);
        ResolveFrequencies(w);
        w.refinedError = bestLargest;
        return true;
    }
    start.Restore(w);
    return false;
}

} // namespace dsp
