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

// The response through the extremal set at cos(2 pi f) = xc, the extremal's value only where xc
// is one of them exactly: the search needs the error smooth right up to the extremals.
double ResponseAt(const RemezWork& w, double xc) {
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

// The extremum of the error around grid candidate j on the continuous axis, into e (signed) and
// f; followed between its grid neighbours in its band when it is within reach of the level.
void FollowCandidate(const RemezWork& w, int j, double level, double& e, double& f) {
    const int g = w.nGrid;
    const int band = BandOf(w, j);
    const double sign = w.error[j] >= 0.0 ? 1.0 : -1.0;
    e = ErrorAt(w, w.grid[j], band);
    f = w.grid[j];
    if (!(std::fabs(w.error[j]) >= kFollowedFraction * level)) {
        return;
    }
    const double lo = j > 0 && BandOf(w, j - 1) == band ? w.grid[j - 1] : LowestOf(w, j);
    const double hi = j + 1 < g && BandOf(w, j + 1) == band ? w.grid[j + 1] : w.grid[j];
    // At a band edge where the error falls inward, the edge is the extremum.
    const bool edgePeak =
        (hi == w.grid[j] || lo == w.grid[j]) &&
        sign * ErrorAt(w, hi == w.grid[j] ? hi - 1e-9 * (hi - lo) : lo + 1e-9 * (hi - lo), band) <
            sign * e;
    if (hi > lo && !edgePeak) {
        double found = 0.0;
        const double at = FollowExtremum(w, band, sign, lo, hi, found);
        if (sign * found > sign * e) {
            e = found;
            f = at;
        }
    }
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
    if (g < 3 || wanted < 2) {
        return false;
    }
    std::vector<int> q(static_cast<size_t>(g));
    std::vector<double> value(static_cast<size_t>(g));
    std::vector<double> where(static_cast<size_t>(g));
    std::vector<int> order(static_cast<size_t>(g));
    Snapshot start;
    start.Take(w);
    Snapshot best = start;
    double startLargest = -1.0; // the largest error of the grid's set, on the axis
    double bestLargest = std::numeric_limits<double>::infinity();
    for (int iteration = 0; iteration < kRefineIterations; ++iteration) {
        ComputeError(w);
        const int k = CollectErrorExtrema(w, q.data());
        const double level = std::fabs(w.delta);
        double largest = 0.0;
        for (int c = 0; c < k; ++c) {
            const int j = q[c];
            double e = 0.0;
            double f = 0.0;
            FollowCandidate(w, j, level, e, f);
            if (!std::isfinite(e)) {
                start.Restore(w);
                return false;
            }
            value[c] = e;
            where[c] = f;
            largest = std::max(largest, std::fabs(e));
        }
        startLargest = startLargest < 0.0 ? largest : startLargest;
        if (largest < bestLargest) {
            bestLargest = largest;
            best.Take(w);
        }
        if (largest - level <= kRefinedLevel * largest) {
            w.refinedError = largest;
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
            const int c = order[i];
            const int band = BandOf(w, q[c]);
            w.ext[i] = q[c];
            w.fext[i] = where[c];
            w.x[i] = std::cos(kTwoPi * where[c]);
            TargetAt(w, where[c], band, w.dext[i], w.wext[i]);
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
