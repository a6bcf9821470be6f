// The continuous refinement of a levelled Remez design.
//
// The exchange on the dense grid levels the error on grid points only; the extrema of the error
// between them rise above that level by up to a few per cent of it. Here each extremum of the
// error on the grid is followed onto the continuous axis (a bounded Brent search between its grid
// neighbours), the multiple exchange picks the largest alternating set among them, and the set is
// levelled there; this repeats until the largest error anywhere equals the level, which is then
// the minimax optimum of the bands themselves, not of their grid.
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

// The response through the extremal set at cos(2 pi f) = xc, the extremal's value only where xc
// is one of them exactly: the search needs the error smooth right up to the extremals.
double ResponseAt(const RemezWork& w, double xc) {
    double sums[6];
    DerivativeSums(w, xc, sums);
    if (std::isfinite(sums[0]) && std::isfinite(sums[3])) {
        return sums[0] / sums[3];
    }
    double num = 0.0;
    double den = 0.0;
    for (int i = 0; i <= w.r; ++i) {
        const double t = xc - w.x[i];
        if (t == 0.0) {
            return w.y[i];
        }
        const double c = w.ad[i] / t;
        den += c;
        num += c * w.y[i];
    }
    return num / den;
}

double ErrorAt(const RemezWork& w, double f, int band) {
    double desired = 0.0;
    double weight = 0.0;
    TargetAt(w, f, band, desired, weight);
    return weight * (desired - ResponseAt(w, std::cos(kTwoPi * f)));
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

// The response H(x) = s(x) P(x) of the kind at x = cos(2 pi f) and its first two derivatives in
// x, from one pass over the extremal set: P the barycentric interpolant through it, s the factor
// of the kind, sqrt((1 + x) / 2) = cos(pi f) for even symmetric taps, sqrt(1 - x^2) = sin(2 pi f)
// and sqrt((1 - x) / 2) = sin(pi f) for odd and even antisymmetric ones. False on an extremal
// node itself or where the factor vanishes: the search there takes the bounded search above.
struct Response {
    double h, h1, h2;
};

bool ResponseDerivatives(const RemezWork& w, double x, Response& out) {
    double s = 1.0;
    double s1 = 0.0;
    double s2 = 0.0;
    const bool odd = w.nTaps % 2 != 0;
    if (!w.antisymmetric && !odd) {
        s = std::sqrt(0.5 * (1.0 + x));
        s1 = 0.25 / s;
        s2 = -1.0 / (16.0 * s * s * s);
    } else if (w.antisymmetric && odd) {
        s = std::sqrt(std::max(0.0, 1.0 - x * x));
        s1 = -x / s;
        s2 = -1.0 / (s * s * s);
    } else if (w.antisymmetric) {
        s = std::sqrt(std::max(0.0, 0.5 * (1.0 - x)));
        s1 = -0.25 / s;
        s2 = -1.0 / (16.0 * s * s * s);
    }
    if (!(s > 1e-6)) {
        return false;
    }
    double sums[6];
    DerivativeSums(w, x, sums);
    const double n0 = sums[0], n1 = sums[1], n2 = sums[2];
    const double d0 = sums[3], d1 = sums[4], d2 = sums[5];
    const double p = n0 / d0;
    const double p1 = (n1 - p * d1) / d0;
    const double p2 = (2.0 * n2 - 2.0 * p1 * d1 - 2.0 * p * d2) / d0;
    out.h = s * p;
    out.h1 = s1 * p + s * p1;
    out.h2 = s2 * p + 2.0 * s1 * p1 + s * p2;
    return std::isfinite(out.h) && std::isfinite(out.h1) && std::isfinite(out.h2);
}

constexpr int kNewtonSteps = 12;

// The largest of sign * E on [a, b] by Newton steps on dH/df = 0 from `start`, kept inside the
// interval (an extremum on its end is taken there). For layouts whose desired value and weight
// are constant within each band. False when the steps do not settle on a maximum (the bounded
// search then takes over); otherwise its frequency and signed error.
bool NewtonExtremum(const RemezWork& w, int band, double sign, double a, double b, double start,
                    double& at, double& best) {
    const double width = b - a;
    if (!(width > 0.0)) {
        return false;
    }
    // Off the node an extremal may sit on, towards the middle of the interval: the second
    // derivative carries rounding of 1e-16 over the square of the distance to a node.
    double f = start + (start < 0.5 * (a + b) ? 1e-3 : -1e-3) * width;
    const double desired = w.pDesired[band];
    const double weight = w.pWeights[band];
    Response r{};
    for (int step = 0; step < kNewtonSteps; ++step) {
        const double x = std::cos(kTwoPi * f);
        if (!ResponseDerivatives(w, x, r)) {
            return false;
        }
        // In f: dx/df = -2 pi sin(2 pi f), d2x/df2 = -(2 pi)^2 x.
        const double xf = -kTwoPi * std::sin(kTwoPi * f);
        const double h1 = r.h1 * xf;
        const double h2 = r.h2 * xf * xf - kTwoPi * kTwoPi * x * r.h1;
        // sign * E = sign * W (D - H) is largest where sign * H is smallest: sign * H'' > 0.
        double next = f;
        if (sign * h2 > 0.0) {
            next = f - h1 / h2;
        } else if (sign * h1 != 0.0) {
            next = sign * h1 > 0.0 ? a : b; // no minimum nearby: towards the falling end
        }
        if (next <= a || next >= b) {
            // The error rises towards an end of the interval (a band edge, as a rule): the end
            // is the extremum when its error is the larger.
            const double end = next <= a ? a : b;
            const double e = ErrorAt(w, end, band);
            if (!(sign * e >= sign * weight * (desired - r.h))) {
                return false;
            }
            at = end;
            best = e;
            return std::isfinite(e);
        }
        // Near an extremal node the derivatives carry rounding of about 1e-16 over the
        // distance to it; a millionth of the interval leaves the error within 1e-11 of its peak.
        if (std::fabs(next - f) <= 1e-6 * width) {
            at = next;
            best = weight * (desired - r.h);
            return sign * h2 > 0.0;
        }
        f = next;
    }
    return false;
}

// A local extremum of the error on the grid, followed on the continuous axis between the grid
// points either side of it in its band.
struct Candidate {
    int j = 0; // grid index
    int band = 0;
    double sign = 1; // of the error there
    double lo = 0.0; // the interval searched
    double hi = 0.0;
    double f = 0.0; // where the extremum was last found (the grid point until it is followed)
    double e = 0.0; // the signed error there
    bool followed = false;
};

Candidate GridCandidate(const RemezWork& w, int j) {
    Candidate c;
    c.j = j;
    c.band = BandOf(w, j);
    c.sign = w.error[j] >= 0.0 ? 1.0 : -1.0;
    c.lo = j > 0 && BandOf(w, j - 1) == c.band ? w.grid[j - 1] : LowestOf(w, j);
    c.hi = j + 1 < w.nGrid && BandOf(w, j + 1) == c.band ? w.grid[j + 1] : w.grid[j];
    c.f = w.grid[j];
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
}

// The extremum of the error around candidate c on the continuous axis, into c.e (signed) and
// c.f; followed when it is within reach of the level (the rest keep their grid point). Newton
// steps from where it was last found, where the targets are constant in the band; the bounded
// search where they are not or the steps do not settle.
void FollowCandidate(const RemezWork& w, Candidate& c, double level) {
    if (!c.followed) {
        c.e = ErrorAt(w, w.grid[c.j], c.band);
        c.f = w.grid[c.j];
        if (!(std::fabs(c.e) >= kFollowedFraction * level)) {
            return;
        }
        c.followed = true;
    }
    if (!w.differentiator && c.hi > c.lo) {
        double at = 0.0;
        double found = 0.0;
        if (NewtonExtremum(w, c.band, c.sign, c.lo, c.hi, c.f, at, found) &&
            c.sign * found >= kFollowedFraction * level) {
            c.f = at;
            c.e = found;
            return;
        }
    }
    SearchAroundGridPoint(w, c);
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

} // namespace

bool RefineExtremals(RemezWork& w) {
    const int g = w.nGrid;
    const int wanted = w.r + 1;
    w.refinedLevel = false;
    if (g < 3 || wanted < 2) {
        return false;
    }
    std::vector<int> q(static_cast<size_t>(g));
    std::vector<double> value(static_cast<size_t>(g));
    std::vector<int> order(static_cast<size_t>(g));
    std::vector<Candidate> candidates;
    Snapshot start;
    start.Take(w);
    Snapshot best = start;
    double startLargest = -1.0; // the largest error of the grid's set, on the axis
    double bestLargest = std::numeric_limits<double>::infinity();
    // The extrema of the grid's error curve are found once; each step then follows them from
    // where it found them last, as the levelling moves them by a fraction of a grid step.
    ComputeError(w);
    const int k = CollectErrorExtrema(w, q.data());
    candidates.reserve(static_cast<size_t>(k));
    for (int c = 0; c < k; ++c) {
        candidates.push_back(GridCandidate(w, q[c]));
    }
    for (int iteration = 0; iteration < kRefineIterations; ++iteration) {
        const double level = std::fabs(w.delta);
        double largest = 0.0;
        for (int c = 0; c < k; ++c) {
            Candidate& candidate = candidates[static_cast<size_t>(c)];
            FollowCandidate(w, candidate, level);
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
            w.refinedError = largest;
            w.refinedLevel = true;
            return true;
        }
        // The next set: the largest alternating one among the followed extrema.
        for (int c = 0; c < k; ++c) {
            order[c] = c;
        }
        const int n = KeepLargestAlternation(value, order.data(), k, wanted, level * (1.0 - 1e-9));
        if (n != wanted) {
            break;
        }
        bool ascending = true;
        for (int i = 0; i < wanted; ++i) {
            const Candidate& c = candidates[static_cast<size_t>(order[i])];
            w.ext[i] = c.j;
            w.fext[i] = c.f;
            w.x[i] = std::cos(kTwoPi * c.f);
            TargetAt(w, c.f, c.band, w.dext[i], w.wext[i]);
            ascending = ascending && (i == 0 || w.fext[i] > w.fext[i - 1]);
        }
        if (!ascending || !LevelExtremals(w) || !std::isfinite(w.delta)) {
            break;
        }
    }
    // Not level to the last digits in the iterations given: the set with the smallest largest
    // error stands if it did better than the grid's.
    if (bestLargest < startLargest) {
        best.Restore(w);
        w.refinedError = bestLargest;
        return true;
    }
    start.Restore(w);
    return false;
}

} // namespace dsp
