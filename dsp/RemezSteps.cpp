// The steps of one Remez exchange iteration and the final frequency sampling.
//
// The response between the extremals is the Lagrange interpolation through the r + 1 extremal
// values, in barycentric form on x = cos(2 pi f).
#include "dsp/RemezWork.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <vector>

namespace dsp {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Barycentric products below this are replaced: their reciprocals would leave the double range
// once multiplied by the values they weigh.
constexpr double kSmallestProduct = 1e-280;

// Four values side by side; the compiler maps it onto the machine's vector registers.
using Lanes = double __attribute__((vector_size(32)));
// Four 64-bit integers, the lanes' indices and masks.
using Wide = long long __attribute__((vector_size(32)));

// Barycentric interpolation at xc = cos(2 pi f).
inline double InterpolateAt(const RemezWork& w, double xc) {
    double num = 0.0;
    double den = 0.0;
    for (int i = 0; i <= w.r; ++i) {
        double t = xc - w.x[i];
        if (std::fabs(t) < 1e-7) {
            return w.y[i];
        }
        t = w.ad[i] / t;
        den += t;
        num += t * w.y[i];
    }
    return num / den;
}

// The barycentric product of every extremal i, prod over k != i of 2 (x_i - x_k), into
// products[0..r]. The factors are taken in an interleaved order (every step-th extremal at a
// time) and each is doubled, which keeps the product inside double range. Eight extremals share
// one pass over k: each lane multiplies its own factors in the same order, and its own k gives the
// factor 1, so every product is exactly the one of a pass of its own.
VANTREL_GRID_CLONES void BarycentricProducts(const RemezWork& w, double* products) {
    const int r = w.r;
    const int step = (r - 1) / 15 + 1;
    for (int first = 0; first <= r; first += 8) {
        Lanes xa;
        Lanes xb;
        for (int lane = 0; lane < 4; ++lane) {
            xa[lane] = w.x[std::min(first + lane, r)]; // lanes past r repeat it, unused
            xb[lane] = w.x[std::min(first + 4 + lane, r)];
        }
        Lanes pa = {1.0, 1.0, 1.0, 1.0};
        Lanes pb = {1.0, 1.0, 1.0, 1.0};
        // The lane whose own extremal is k takes the factor 1, chosen by index without a branch.
        const Wide ia = {first, first + 1, first + 2, first + 3};
        const Wide ib = ia + 4;
        const Lanes one = {1.0, 1.0, 1.0, 1.0};
        for (int j = 0; j < step; ++j) {
            for (int k = j; k <= r; k += step) {
                const Lanes fa = 2.0 * (xa - w.x[k]);
                const Lanes fb = 2.0 * (xb - w.x[k]);
                const Wide ka = ia == k;
                const Wide kb = ib == k;
                pa *= (Lanes)(((Wide)one & ka) | ((Wide)fa & ~ka));
                pb *= (Lanes)(((Wide)one & kb) | ((Wide)fb & ~kb));
            }
        }
        for (int lane = 0; lane < 8 && first + lane <= r; ++lane) {
            products[first + lane] = lane < 4 ? pa[lane] : pb[lane - 4];
        }
    }
}

} // namespace

bool ComputeParameters(RemezWork& w) {
    const int r = w.r;
    bool exact = true;
    for (int i = 0; i <= r; ++i) {
        // An index outside the grid cannot be used: it is reset, and the set is not exact.
        if (w.ext[i] < 0 || w.ext[i] >= w.nGrid) {
            w.ext[i] = 0;
            exact = false;
        }
        w.x[i] = w.gridCos[w.ext[i]]; // cos(2 pi f), kept with the grid
        w.fext[i] = w.grid[w.ext[i]];
        w.dext[i] = w.desired[w.ext[i]];
        w.wext[i] = w.weight[w.ext[i]];
    }
    const bool level = LevelExtremals(w);
    return exact && level;
}

bool LevelExtremals(RemezWork& w) {
    const int r = w.r;
    w.clipped = false;
    bool exact = true;

    // Barycentric weights, the reciprocals of the products. A product below 1e-12 means two
    // extremals (nearly) coincide or the deviation has fallen below rounding (the optimum may
    // lie beyond double precision for this tap count): the set is not exact, and the caller
    // decides what that means for the run.
    double products[RemezWork::kMaxExtremals];
    BarycentricProducts(w, products);
    for (int i = 0; i <= r; ++i) {
        double p = products[i];
        // Only a product that is no number, zero or near the bottom of the double range is
        // replaced (w.clipped): a small one is what a set crowded into narrow bands has, and the
        // weight it gives is exact, though the set still counts as not exact.
        if (!(std::fabs(p) >= 1e-12) || !std::isfinite(p)) {
            if (!(std::fabs(p) >= kSmallestProduct) || !std::isfinite(p)) {
                p = 1e-12;
                w.clipped = true;
            }
            exact = false;
        }
        w.ad[i] = 1.0 / p;
    }

    // The deviation delta that makes the weighted error alternate on the extremals.
    double num = 0.0;
    double den = 0.0;
    double sign = 1.0;
    for (int i = 0; i <= r; ++i) {
        num += w.ad[i] * w.dext[i];
        den += sign * w.ad[i] / w.wext[i];
        sign = -sign;
    }
    if (num == 0.0) {
        exact = false;
    }
    const double delta = num / den;
    w.delta = delta;
    for (int i = 0; i <= r; ++i) {
        const double s = (i % 2 == 0) ? 1.0 : -1.0;
        w.y[i] = w.dext[i] - s * delta / w.wext[i];
    }
    return exact;
}

double InterpolateResponse(const RemezWork& w, double f) {
    return InterpolateAt(w, std::cos(kTwoPi * f));
}

namespace {

// Barycentric sums for the grid points whose cosines are xc[g][0..3], g < kGroups. Four extremals
// share one division: sum c_k / u_k over k = 0..3 is (sum c_k * prod_{m != k} u_m) / prod u_m, with
// u_k = xc - x_k. |u| <= 2, and a point farther than 1e-7 from every extremal keeps the product
// above 1e-28, so nothing over- or underflows; closer points take the extremal's value instead.
// Several groups share the loads of the extremals, and each runs its own sums.
template <int kGroups>
__attribute__((always_inline)) inline void BarycentricSums(const RemezWork& w, const double* cy,
                                                           const std::array<Lanes, kGroups>& xc,
                                                           Lanes* num, Lanes* den) {
    Lanes n[kGroups];
    Lanes d[kGroups];
    for (int g = 0; g < kGroups; ++g) {
        n[g] = Lanes{0, 0, 0, 0};
        d[g] = Lanes{0, 0, 0, 0};
    }
    const int terms = w.r + 1;
    int i = 0;
    for (; i + 4 <= terms; i += 4) {
        for (int g = 0; g < kGroups; ++g) {
            const Lanes u0 = xc[g] - w.x[i];
            const Lanes u1 = xc[g] - w.x[i + 1];
            const Lanes u2 = xc[g] - w.x[i + 2];
            const Lanes u3 = xc[g] - w.x[i + 3];
            const Lanes p01 = u0 * u1;
            const Lanes p23 = u2 * u3;
            const Lanes q0 = u1 * p23; // all factors but u0
            const Lanes q1 = u0 * p23;
            const Lanes q2 = u3 * p01;
            const Lanes q3 = u2 * p01;
            const Lanes inverse = 1.0 / (p01 * p23);
            d[g] +=
                (w.ad[i] * q0 + w.ad[i + 1] * q1 + w.ad[i + 2] * q2 + w.ad[i + 3] * q3) * inverse;
            n[g] += (cy[i] * q0 + cy[i + 1] * q1 + cy[i + 2] * q2 + cy[i + 3] * q3) * inverse;
        }
    }
    for (; i < terms; ++i) {
        for (int g = 0; g < kGroups; ++g) {
            const Lanes t = w.ad[i] / (xc[g] - w.x[i]);
            d[g] += t;
            n[g] += t * w.y[i];
        }
    }
    for (int g = 0; g < kGroups; ++g) {
        num[g] = n[g];
        den[g] = d[g];
    }
}

} // namespace

// GCC 12 splits the four-lane vectors of the portable clone into halves and then warns that the
// point array may be read before it is written; every lane is written before the sums read it.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
VANTREL_GRID_CLONES void ComputeError(RemezWork& w) {
    // The response of InterpolateResponse at every grid point, twelve points at a time (points
    // past the grid repeat its last one).
    const int g = w.nGrid;
    const double* xc = w.gridCos.data();
    double cy[RemezWork::kMaxExtremals];
    for (int i = 0; i <= w.r; ++i) {
        cy[i] = w.ad[i] * w.y[i];
    }
    constexpr int kGroups = 3;
    for (int j = 0; j < g; j += 4 * kGroups) {
        std::array<Lanes, kGroups> points;
        for (int group = 0; group < kGroups; ++group) {
            const int at = j + 4 * group;
            points[group] = Lanes{xc[std::min(at, g - 1)], xc[std::min(at + 1, g - 1)],
                                  xc[std::min(at + 2, g - 1)], xc[std::min(at + 3, g - 1)]};
        }
        Lanes num[kGroups];
        Lanes den[kGroups];
        BarycentricSums<kGroups>(w, cy, points, num, den);
        for (int group = 0; group < kGroups; ++group) {
            const int at = j + 4 * group;
            if (at + 4 <= g) {
                Lanes weight;
                Lanes desired;
                std::memcpy(&weight, w.weight.data() + at, sizeof weight);
                std::memcpy(&desired, w.desired.data() + at, sizeof desired);
                const Lanes e = weight * (desired - num[group] / den[group]);
                std::memcpy(w.error.data() + at, &e, sizeof e);
                continue;
            }
            for (int lane = 0; at + lane < g; ++lane) {
                const double a = num[group][lane] / den[group][lane];
                w.error[at + lane] = w.weight[at + lane] * (w.desired[at + lane] - a);
            }
        }
    }
    // Points within 1e-7 of an extremal cosine take the extremal's value; of two such extremals,
    // the first. The grid cosines fall monotonically, so the points of extremal i form one run
    // around its own grid index; going from the last extremal down, the first one writes last.
    for (int i = w.r; i >= 0; --i) {
        const double xi = w.x[i];
        const double yi = w.y[i];
        const int centre = w.ext[i];
        for (int j = centre; j >= 0 && std::fabs(xc[j] - xi) < 1e-7; --j) {
            w.error[j] = w.weight[j] * (w.desired[j] - yi);
        }
        for (int j = centre + 1; j < g && std::fabs(xc[j] - xi) < 1e-7; ++j) {
            w.error[j] = w.weight[j] * (w.desired[j] - yi);
        }
    }
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

// Local extrema of the weighted error, in grid order, into q; returns their count. The ends
// count against their one neighbour. Inside, four points at a time are compared with their
// neighbours side by side, and the few extrema among them are picked from the mask.
__attribute__((always_inline)) inline int CollectCandidates(const std::vector<double>& e, int g,
                                                            int* q) {
    using Mask = long long __attribute__((vector_size(32)));
    const double* v = e.data();
    auto isExtremum = [v](int i) {
        return (v[i] >= v[i - 1] && v[i] > v[i + 1] && v[i] > 0.0) ||
               (v[i] <= v[i - 1] && v[i] < v[i + 1] && v[i] < 0.0);
    };
    int k = 0;
    if ((v[0] > 0.0 && v[0] > v[1]) || (v[0] < 0.0 && v[0] < v[1])) {
        q[k++] = 0;
    }
    int i = 1;
    const Lanes zero = {0.0, 0.0, 0.0, 0.0};
    for (; i + 4 < g; i += 4) {
        Lanes before;
        Lanes here;
        Lanes after;
        std::memcpy(&before, v + i - 1, sizeof before);
        std::memcpy(&here, v + i, sizeof here);
        std::memcpy(&after, v + i + 1, sizeof after);
        const Mask m = ((here >= before) & (here > after) & (here > zero)) |
                       ((here <= before) & (here < after) & (here < zero));
        unsigned bits = static_cast<unsigned>((m[0] & 1) | (m[1] & 2) | (m[2] & 4) | (m[3] & 8));
        while (bits != 0) {
            q[k++] = i + std::countr_zero(bits);
            bits &= bits - 1;
        }
    }
    for (; i < g - 1; ++i) {
        if (isExtremum(i)) {
            q[k++] = i;
        }
    }
    if ((v[g - 1] > 0.0 && v[g - 1] > v[g - 2]) || (v[g - 1] < 0.0 && v[g - 1] < v[g - 2])) {
        q[k++] = g - 1;
    }
    return k;
}

// The quick reduction: removes the surplus one candidate at a time, the smallest of a run of
// equal signs or, once all alternate, the smaller of the two ends. Returns the count left.
int DropSurplusOneByOne(const std::vector<double>& e, int* q, int k, int wanted) {
    for (int surplus = k - wanted; surplus > 0; --surplus) {
        bool up = e[q[0]] > 0.0;
        int l = 0;
        bool alternating = true;
        for (int j = 1; j < k; ++j) {
            if (std::fabs(e[q[j]]) < std::fabs(e[q[l]])) {
                l = j;
            }
            if (up && e[q[j]] < 0.0) {
                up = false;
            } else if (!up && e[q[j]] > 0.0) {
                up = true;
            } else {
                alternating = false;
                break;
            }
        }
        if (alternating && surplus == 1) {
            l = std::fabs(e[q[k - 1]]) < std::fabs(e[q[0]]) ? k - 1 : 0;
        }
        for (int j = l; j < k - 1; ++j) {
            q[j] = q[j + 1];
        }
        --k;
    }
    return k;
}

// A set the exchange can use: the wanted count, alternating in sign, every member at least as
// large as the current deviation, and holding the largest candidate. The quick reduction can miss
// each of these; an exchange onto such a set cycles or levels on a wrong alternation.
bool IsSoundSet(const std::vector<double>& e, const int* q, int k, int wanted, double level,
                double largest) {
    if (k != wanted) {
        return false;
    }
    bool holdsLargest = false;
    for (int i = 0; i < k; ++i) {
        const double m = std::fabs(e[q[i]]);
        if (m < level || (i > 0 && (e[q[i]] > 0.0) == (e[q[i - 1]] > 0.0))) {
            return false;
        }
        holdsLargest = holdsLargest || m >= largest;
    }
    return holdsLargest;
}

} // namespace

// The multiple exchange: keeps the largest alternating set. A run of equal signs keeps its
// largest member; then the surplus goes without breaking the alternation: members below the
// current level first, then the cheapest of an end or two neighbours together (the larger of the
// two is the price), and when only one is too many, the smaller end. Returns the count.
int KeepLargestAlternation(const std::vector<double>& e, int* q, int k, int wanted, double level) {
    int n = 0;
    for (int i = 0; i < k; ++i) {
        const int c = q[i];
        if (n > 0 && (e[c] > 0.0) == (e[q[n - 1]] > 0.0)) {
            q[n - 1] = std::fabs(e[c]) > std::fabs(e[q[n - 1]]) ? c : q[n - 1];
            continue;
        }
        q[n++] = c;
    }
    auto size = [&](int i) { return std::fabs(e[q[i]]); };
    auto erase = [&](int at, int count) {
        for (int j = at; j + count < n; ++j) {
            q[j] = q[j + count];
        }
        n -= count;
    };
    while (n > wanted) {
        // A member below the current level has no place in the set: it goes first, with its
        // smaller neighbour when it lies inside (the two neighbours have one sign).
        int smallest = 0;
        for (int i = 1; i < n; ++i) {
            smallest = size(i) < size(smallest) ? i : smallest;
        }
        if (size(smallest) < level && (smallest == 0 || smallest == n - 1)) {
            erase(smallest, 1);
            continue;
        }
        if (size(smallest) < level && n >= wanted + 2) {
            erase(size(smallest - 1) < size(smallest + 1) ? smallest - 1 : smallest, 2);
            continue;
        }
        int at = size(n - 1) < size(0) ? n - 1 : 0;
        double price = size(at);
        int count = 1;
        if (n >= wanted + 2) {
            for (int i = 0; i + 1 < n; ++i) {
                const double pair = std::max(size(i), size(i + 1));
                if (pair < price) {
                    price = pair;
                    at = i;
                    count = 2;
                }
            }
        }
        erase(at, count);
    }
    return n;
}

int CollectErrorExtrema(const RemezWork& w, int* q) {
    return CollectCandidates(w.error, w.nGrid, q);
}

void KeepBestExtremals(RemezWork& w) {
    if (w.bestError < 0.0 || w.maxError < w.bestError) {
        w.bestError = w.maxError;
        std::copy(w.ext, w.ext + w.r + 1, w.bestExt);
    }
}

VANTREL_GRID_CLONES void SearchExtremals(RemezWork& w) {
    const std::vector<double>& e = w.error;
    const int wanted = w.r + 1;
    int* q = w.candidates.data();
    const int k = CollectCandidates(e, w.nGrid, q);

    // The largest |E| on the grid is a local extremum, so a candidate, unless it sits in a run
    // of equal values at an end of the grid: the ends count too. A deviation that is not a
    // number makes every error one, and counts as the largest.
    double largest = std::max(std::fabs(e[0]), std::fabs(e[w.nGrid - 1]));
    for (int i = 0; i < k; ++i) {
        largest = std::max(largest, std::fabs(e[q[i]]));
    }
    w.maxError = std::isnan(w.delta) || std::isnan(largest)
                     ? std::numeric_limits<double>::quiet_NaN()
                     : largest;
    KeepBestExtremals(w);

    // The quick reduction works on a copy; it stands when it gives a sound set, which keeps the
    // designs it already led to the optimum exactly as they were.
    std::vector<int>& kept = w.reduced;
    kept.assign(q, q + k);
    const double deviation = std::fabs(w.delta) * (1.0 - 1e-9);
    int n = DropSurplusOneByOne(e, kept.data(), k, wanted);
    if (!IsSoundSet(e, kept.data(), n, wanted, deviation, w.maxError)) {
        // When even the multiple exchange finds no r + 1 alternating extrema (the deviation has
        // fallen below rounding, so the signs mean little), the quick set is still a way on.
        const int alternating = KeepLargestAlternation(e, q, k, wanted, deviation);
        if (alternating == wanted) {
            kept.assign(q, q + alternating);
            n = alternating;
        }
    }
    if (n < wanted) {
        // Fewer than r + 1 extrema: the exchange cannot go on, and the extremals stay.
        w.searchFailed = true;
        return;
    }
    for (int i = 0; i < wanted; ++i) {
        w.ext[i] = kept[i];
    }
}

bool IsConverged(const RemezWork& w) {
    // Level when the largest error anywhere on the grid exceeds the smallest on the extremals by
    // less than the tolerance: a set that missed a larger extremum elsewhere is not converged.
    double mn = std::fabs(w.error[w.ext[0]]);
    double mx = mn;
    for (int i = 1; i <= w.r; ++i) {
        const double v = std::fabs(w.error[w.ext[i]]);
        mn = v < mn ? v : mn;
        mx = v > mx ? v : mx;
    }
    mx = w.maxError > mx ? w.maxError : mx;
    if (w.searchFailed) {
        return false;
    }
    return mx == 0.0 || (mx - mn) / mx < w.levelTolerance;
}

namespace {

// cos(pi t / N) for t = 0 .. 2N - 1 into table (odd N: the even t only, the only ones read). The
// upper half mirrors the lower one, cos(pi (2N - t) / N) = cos(pi t / N): half the cosines.
void HalfTurnCosines(int n, double* table) {
    const int period = 2 * n;
    const int stride = n % 2 != 0 ? 2 : 1;
    for (int t = 0; t < period; t += stride) {
        table[t] =
            t <= n ? std::cos(std::numbers::pi * static_cast<double>(t) / n) : table[period - t];
    }
}

// h[n] = (A[0] + sum 2 A[k] cos(2 pi (n - M) k / N)) / N with M = (N - 1)/2. The angle is
// pi * m / N with the integer m = (2n - N + 1) k, so the table of HalfTurnCosines serves all
// terms. For odd N, 2n - N + 1 is even, and so is every m: only the even entries are read.
void SampleWithTable(const RemezWork& w, const double* cosTable, double* pCoeffs) {
    const int n = w.nTaps;
    const int period = 2 * n;
    const int kLast = (n % 2 != 0) ? (n - 1) / 2 : n / 2 - 1;
    // Tap N - 1 - i steps through the angles of tap i backwards, m -> 2N - m, whose entries the
    // table holds equal: the same sum, term for term. The first half is computed.
    for (int i = 0; i < (n + 1) / 2; ++i) {
        // m = (2i - N + 1) k mod 2N, stepped by the base instead of a division per term.
        int step = (2 * i - n + 1) % period;
        step = step < 0 ? step + period : step;
        int m = 0;
        double v = w.a[0];
        for (int k = 1; k <= kLast; ++k) {
            m += step;
            m = m >= period ? m - period : m;
            v += 2.0 * w.a[k] * cosTable[m];
        }
        pCoeffs[i] = v / n;
        pCoeffs[n - 1 - i] = pCoeffs[i];
    }
}

} // namespace

void FrequencySample(const RemezWork& w, double* pCoeffs) {
    double cosTable[4 * RemezWork::kMaxExtremals]; // 2N entries, N at most 398 (kMaxRemezTaps)
    HalfTurnCosines(w.nTaps, cosTable);
    SampleWithTable(w, cosTable, pCoeffs);
}

void SampleSymmetricTaps(RemezWork& w, double* pCoeffs) {
    // The sample points f = i/N have x = cos(2 pi i / N) = cos(pi (2i) / N), and for even N the
    // factor cos(pi i / N) of the response: both entries of the same table.
    const int n = w.nTaps;
    double cosTable[4 * RemezWork::kMaxExtremals];
    HalfTurnCosines(n, cosTable);
    const bool even = n % 2 == 0;
    for (int i = 0; i <= n / 2; ++i) {
        w.a[i] = InterpolateAt(w, cosTable[2 * i]) * (even ? cosTable[i] : 1.0);
    }
    SampleWithTable(w, cosTable, pCoeffs);
}

void SearchExtremalsLocally(RemezWork& w) {
    const std::vector<double>& e = w.error;
    const int g = w.nGrid;
    const int r = w.r;
    int largestAt = 0;
    for (int j = 1; j < g; ++j) {
        largestAt = std::fabs(e[j]) > std::fabs(e[largestAt]) ? j : largestAt;
    }
    w.maxError =
        std::isnan(w.delta) ? std::numeric_limits<double>::quiet_NaN() : std::fabs(e[largestAt]);
    KeepBestExtremals(w);

    // Each extremal moves to the largest error of its own sign between its neighbours (the one
    // before already moved): the set stays ordered and alternating, and every member's error is
    // at least the level, so the next level cannot be lower.
    const double first = e[w.ext[0]] >= 0.0 ? 1.0 : -1.0;
    for (int i = 0; i <= r; ++i) {
        const double sign = (i % 2 == 0) ? first : -first;
        const int lo = i == 0 ? 0 : w.ext[i - 1] + 1;
        const int hi = i == r ? g - 1 : w.ext[i + 1] - 1;
        int best = w.ext[i];
        for (int l = lo; l <= hi; ++l) {
            best = sign * e[l] > sign * e[best] ? l : best;
        }
        w.ext[i] = best;
    }

    // The largest error anywhere joins the set if it is not in it, with one member leaving so
    // that the signs still alternate.
    const double largest = e[largestAt];
    const auto signAt = [&](int i) { return (i % 2 == 0) ? first : -first; };
    int at = 0;
    while (at <= r && w.ext[at] < largestAt) {
        ++at;
    }
    if (at <= r && w.ext[at] == largestAt) {
        return;
    }
    if (at == 0) {
        if (largest * signAt(0) > 0.0) {
            w.ext[0] = largestAt;
        } else {
            std::copy_backward(w.ext, w.ext + r, w.ext + r + 1); // the last member leaves
            w.ext[0] = largestAt;
        }
    } else if (at == r + 1) {
        if (largest * signAt(r) > 0.0) {
            w.ext[r] = largestAt;
        } else {
            std::copy(w.ext + 1, w.ext + r + 1, w.ext); // the first member leaves
            w.ext[r] = largestAt;
        }
    } else {
        // Between members at - 1 and at: it takes the place of the one with its sign.
        w.ext[largest * signAt(at - 1) > 0.0 ? at - 1 : at] = largestAt;
    }
}

} // namespace dsp
