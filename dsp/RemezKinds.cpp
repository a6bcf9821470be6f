// The stepped grid of the Remez designs that are not a filter type's (multiband layouts, Hilbert
// transformers, differentiators), and the taps of the antisymmetric ones.
//
// The stepped grid puts its points one step apart from each band's lower edge and the last point
// of a band on its upper edge, and steps by adding the step, as the reference designs do, so that
// the points are the same to the last bit and the exchange ends on the same optimum.
//
// N antisymmetric taps, M = (N - 1)/2, have the amplitude
//   odd N:  A(f) = sum_{m=1}^{M} c_m sin(2 pi f m),          c_m = 2 h[M - m]
//   even N: A(f) = sum_{m=1}^{N/2} c_m sin(2 pi f (m - 1/2)), c_m = 2 h[N/2 - m]
// which is sin(2 pi f) Q(f) or sin(pi f) Q(f) with Q a sum of r = N/2 cosines: the exchange runs
// on Q, with the desired values divided by that factor and the weights multiplied by it. The
// factor vanishes at DC (and at half of fs for odd N), so the grid keeps a step away from there.
#include "dsp/RemezWork.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace dsp {

namespace {

constexpr double kPi = std::numbers::pi;
// A differentiator band whose gain is below this is a stop band: its weight does not fall with f.
constexpr double kSlopeGain = 0.0001;

double Step(const RemezWork& w) {
    return 0.5 / (w.density * w.r);
}

// The factor s(f) of the amplitude: sin(2 pi f) for odd N, sin(pi f) for even N; for symmetric
// taps 1 for odd N, cos(pi f) for even N.
double Factor(const RemezWork& w, double f) {
    if (!w.antisymmetric) {
        return w.nTaps % 2 != 0 ? 1.0 : std::cos(kPi * f);
    }
    return w.nTaps % 2 != 0 ? std::sin(2.0 * kPi * f) : std::sin(kPi * f);
}

struct GridPoint {
    double f;
    int band;
};

// The grid points of the layout in order. The points of a band are stepped by adding the step
// (as the reference designs do, so the points are the same to the last bit), at least one per
// band, and the last one is moved onto the band's upper edge.
std::vector<GridPoint> GridPoints(const RemezWork& w) {
    std::vector<GridPoint> points;
    if (w.r < 1) {
        return points;
    }
    const double step = Step(w);
    double f = w.antisymmetric && w.pEdges[0] < step ? step : w.pEdges[0];
    for (int b = 0; b < w.nBands; ++b) {
        const double upper = w.pEdges[2 * b + 1];
        if (b > 0) {
            f = w.pEdges[2 * b];
        }
        do {
            points.push_back({f, b});
            f += step;
        } while (f <= upper);
        points.back().f = upper;
    }
    // Where the factor vanishes at half of fs (odd N antisymmetric, even N symmetric), a last
    // point above half of fs less a step is left out.
    if ((w.nTaps % 2 != 0) == w.antisymmetric && points.back().f > 0.5 - step) {
        points.pop_back();
    }
    return points;
}

} // namespace

int SteppedGridSize(const RemezWork& w) {
    return static_cast<int>(GridPoints(w).size());
}

void BuildSteppedGrid(RemezWork& w, bool differentiator) {
    w.deltaF = Step(w);
    w.edgePoints.clear();
    int j = 0;
    for (const GridPoint& point : GridPoints(w)) {
        if (j >= static_cast<int>(w.grid.size())) {
            break;
        }
        const double f = point.f;
        const int band = point.band;
        double desired = w.pDesired[band];
        double weight = w.pWeights[band];
        if (differentiator) {
            weight = desired >= kSlopeGain ? weight / f : weight;
            desired *= f;
        }
        const double s = Factor(w, f);
        w.grid[j] = f;
        w.desired[j] = desired / s;
        w.weight[j] = weight * s;
        w.gridCos[j] = std::cos(2.0 * kPi * f);
        ++j;
    }
    w.nGrid = j;
}

void TargetAt(const RemezWork& w, double f, int band, double& desired, double& weight) {
    desired = w.pDesired[band];
    weight = w.pWeights[band];
    if (w.differentiator) {
        weight = desired >= kSlopeGain ? weight / f : weight;
        desired *= f;
    }
    const double s = Factor(w, f);
    desired /= s;
    weight *= s;
}

void SampleAntisymmetricTaps(const RemezWork& w, double* pCoeffs) {
    const int n = w.nTaps;
    const bool odd = n % 2 != 0;
    const int terms = n / 2; // c_1 .. c_terms
    // Samples of the amplitude at f = k/N, k = 1..N/2.
    std::vector<double> a(static_cast<size_t>(terms) + 1, 0.0);
    for (int k = 1; k <= terms; ++k) {
        const double f = static_cast<double>(k) / n;
        a[k] = InterpolateResponse(w, f) * Factor(w, f);
    }
    // The sine transform back: odd N, c_m = (4/N) sum_k A_k sin(2 pi k m / N); even N, the same
    // with sin(pi k (2m - 1) / N) and the sample at half of fs counted half.
    for (int m = 1; m <= terms; ++m) {
        double sum = 0.0;
        for (int k = 1; k <= terms; ++k) {
            const double angle = odd ? 2.0 * kPi * k * m / n : kPi * k * (2.0 * m - 1.0) / n;
            const double share = !odd && k == terms ? 0.5 : 1.0;
            sum += share * a[k] * std::sin(angle);
        }
        const double h = 2.0 * sum / n; // c_m / 2
        const int below = odd ? (n - 1) / 2 - m : n / 2 - m;
        pCoeffs[below] = h;
        pCoeffs[n - 1 - below] = -h;
    }
    if (odd) {
        pCoeffs[(n - 1) / 2] = 0.0;
    }
}

bool SolveAntisymmetricTaps(const RemezWork& w, double* pCoeffs) {
    const int n = w.nTaps;
    const bool odd = n % 2 != 0;
    const int terms = n / 2;
    std::vector<double> q(static_cast<size_t>(w.r));
    if (!SolveCosinesOnExtremals(w, 0.0, q.data())) {
        return false;
    }
    // s(f) cos(k theta) in sines: odd N, sin(theta) cos(k theta) = (sin((k+1) theta) -
    // sin((k-1) theta)) / 2; even N, sin(theta/2) cos(k theta) = (sin((k+1/2) theta) -
    // sin((k-1/2) theta)) / 2. c[m] is the factor of the m-th sine of the amplitude.
    std::vector<double> c(static_cast<size_t>(terms) + 2, 0.0);
    c[1] += q[0];
    for (int k = 1; k < w.r; ++k) {
        c[k + 1] += 0.5 * q[k];
        const int lower = odd ? k - 1 : k;
        if (lower >= 1) {
            c[lower] -= 0.5 * q[k];
        }
    }
    for (int m = 1; m <= terms; ++m) {
        const int below = odd ? (n - 1) / 2 - m : n / 2 - m;
        pCoeffs[below] = 0.5 * c[m];
        pCoeffs[n - 1 - below] = -0.5 * c[m];
    }
    if (odd) {
        pCoeffs[(n - 1) / 2] = 0.0;
    }
    return true;
}

double AntisymmetricTapError(const RemezWork& w, const double* pCoeffs) {
    const int n = w.nTaps;
    const bool odd = n % 2 != 0;
    const int terms = n / 2;
    // A(f) by Clenshaw's recurrence on the sines, which obey phi_{m+1} = 2 cos(theta) phi_m -
    // phi_{m-1}.
    std::vector<double> c(static_cast<size_t>(terms) + 2, 0.0);
    for (int m = 1; m <= terms; ++m) {
        c[m] = 2.0 * pCoeffs[odd ? (n - 1) / 2 - m : n / 2 - m];
    }
    double largest = 0.0;
    for (int j = 0; j < w.nGrid; ++j) {
        const double f = w.grid[j];
        const double x2 = 2.0 * w.gridCos[j];
        double b1 = 0.0;
        double b2 = 0.0;
        for (int m = terms; m >= 1; --m) {
            const double b = c[m] + x2 * b1 - b2;
            b2 = b1;
            b1 = b;
        }
        // odd: phi_0 = 0, phi_1 = sin(theta); even: phi_0 = -sin(theta/2), phi_1 = sin(theta/2).
        const double amplitude = odd ? std::sin(2.0 * kPi * f) * b1 : std::sin(kPi * f) * (b1 + b2);
        const double e = std::fabs(w.weight[j] * (w.desired[j] - amplitude / Factor(w, f)));
        largest = (e > largest || std::isnan(e)) ? e : largest;
    }
    return largest;
}

} // namespace dsp
