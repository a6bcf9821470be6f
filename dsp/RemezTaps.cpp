// The taps of a Remez design measured on the dense grid, and a second way to compute them.
//
// The frequency samples A(i/N) of the final response lie partly in the transition bands, where
// the interpolation through extremals that sit only inside the bands amplifies rounding by a
// factor that grows with the tap count. Beyond about a hundred taps with wide transitions the
// taps then carry a band error far above the level the exchange reached. Measuring the taps on
// the grid shows it; solving the cosine coefficients from the extremal values directly (a least
// squares fit, backward stable) keeps the bands at that level, whatever the transition bands do.
//
// The response of N taps: for odd N, A(f) = sum_{k=0}^{r-1} c_k cos(2 pi f k) with c_0 = h[M] and
// c_k = 2 h[M-k], M = (N-1)/2; for even N, A(f) = sum_{k=0}^{r-1} c_k cos(2 pi f (k + 1/2)) with
// c_k = 2 h[N/2-1-k]. The engine approximates A(f)/cos(pi f) for even N, so the grid's desired
// values and weights carry that factor.
#include "dsp/RemezWork.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace dsp {

namespace {

constexpr double kPi = std::numbers::pi;

// Four grid points side by side, as in the error of the exchange.
using Lanes = double __attribute__((vector_size(32)));

// Cosine coefficients c[0..r-1] of the taps.
void TapsToCosines(int nTaps, const double* h, double* c) {
    const int r = nTaps / 2 + nTaps % 2;
    if (nTaps % 2 != 0) {
        const int m = (nTaps - 1) / 2;
        c[0] = h[m];
        for (int k = 1; k < r; ++k) {
            c[k] = 2.0 * h[m - k];
        }
    } else {
        for (int k = 0; k < r; ++k) {
            c[k] = 2.0 * h[nTaps / 2 - 1 - k];
        }
    }
}

void CosinesToTaps(int nTaps, const double* c, double* h) {
    const int r = nTaps / 2 + nTaps % 2;
    if (nTaps % 2 != 0) {
        const int m = (nTaps - 1) / 2;
        h[m] = c[0];
        for (int k = 1; k < r; ++k) {
            h[m - k] = h[m + k] = 0.5 * c[k];
        }
    } else {
        for (int k = 0; k < r; ++k) {
            h[nTaps / 2 - 1 - k] = h[nTaps / 2 + k] = 0.5 * c[k];
        }
    }
}

} // namespace

// Clenshaw's recurrence on phi_k = cos((k + s) theta), which obey phi_{k+1} = 2 cos(theta) phi_k
// - phi_{k-1}; s is 0 for odd N and 1/2 for even N. Four grid points at a time.
namespace {

// The weighted error of the taps at every grid point, into `curve` when it is not null; returns
// the largest |E|.
__attribute__((always_inline)) inline double TapErrors(const RemezWork& w, const double* pCoeffs,
                                                       double* curve) {
    const int r = w.r;
    double c[RemezWork::kMaxExtremals];
    TapsToCosines(w.nTaps, pCoeffs, c);
    const bool even = w.nTaps % 2 == 0;
    const int g = w.nGrid;
    // x = cos(2 pi f) is the grid's own cosine; for even N, phi_0 = cos(pi f) = sqrt((1 + x)/2)
    // (f <= 0.5) and phi_1 = cos(3 pi f) = 4 phi_0^3 - 3 phi_0. Points past the grid repeat
    // its last one.
    auto load = [&](int j, Lanes& x2, Lanes& phi0, Lanes& phi1) {
        for (int lane = 0; lane < 4; ++lane) {
            const double x = w.gridCos[j + lane < g ? j + lane : g - 1];
            const double half = even ? std::sqrt(0.5 * (1.0 + x)) : 1.0;
            x2[lane] = 2.0 * x;
            phi0[lane] = half;
            phi1[lane] = even ? (4.0 * half * half - 3.0) * half : x;
        }
    };
    double largest = 0.0;
    auto account = [&](int j, const Lanes& a, const Lanes& phi0) {
        for (int lane = 0; lane < 4 && j + lane < g; ++lane) {
            // phi0 is cos(pi f) for even N: the factor the grid's desired values carry.
            const double response = even ? a[lane] / phi0[lane] : a[lane];
            const double signedError = w.weight[j + lane] * (w.desired[j + lane] - response);
            if (curve != nullptr) {
                curve[j + lane] = signedError;
            }
            const double e = std::fabs(signedError);
            largest = (e > largest || std::isnan(e)) ? e : largest;
        }
    };
    // Eight points per pass in two independent recurrences, so that one runs while the other
    // waits for its last step.
    for (int j = 0; j < g; j += 8) {
        Lanes x2a, phi0a, phi1a, x2b, phi0b, phi1b;
        load(j, x2a, phi0a, phi1a);
        load(j + 4, x2b, phi0b, phi1b);
        Lanes a1 = {0, 0, 0, 0};
        Lanes a2 = {0, 0, 0, 0};
        Lanes b1 = {0, 0, 0, 0};
        Lanes b2 = {0, 0, 0, 0};
        for (int k = r - 1; k >= 1; --k) {
            const Lanes ta = c[k] + x2a * a1 - a2;
            const Lanes tb = c[k] + x2b * b1 - b2;
            a2 = a1;
            a1 = ta;
            b2 = b1;
            b1 = tb;
        }
        account(j, phi0a * c[0] + phi1a * a1 - phi0a * a2, phi0a);
        account(j + 4, phi0b * c[0] + phi1b * b1 - phi0b * b2, phi0b);
    }
    return largest;
}

} // namespace

VANTREL_GRID_CLONES double TapGridError(const RemezWork& w, const double* pCoeffs) {
    return TapErrors(w, pCoeffs, nullptr);
}

VANTREL_GRID_CLONES double TapGridErrorCurve(RemezWork& w, const double* pCoeffs) {
    return TapErrors(w, pCoeffs, w.error.data());
}

bool SolveTapsOnExtremals(const RemezWork& w, double* pCoeffs) {
    std::vector<double> c(w.r);
    if (!SolveCosinesOnExtremals(w, w.nTaps % 2 != 0 ? 0.0 : 0.5, c.data())) {
        return false;
    }
    CosinesToTaps(w.nTaps, c.data(), pCoeffs);
    return true;
}

bool SolveCosinesOnExtremals(const RemezWork& w, double shift, double* c) {
    // rows: the r + 1 extremals; columns: the r cosine terms. Column-major.
    const int rows = w.r + 1;
    const int cols = w.r;
    std::vector<double> a(static_cast<size_t>(rows) * cols);
    std::vector<double> rhs(rows);
    for (int i = 0; i < rows; ++i) {
        const double theta = 2.0 * kPi * w.fext[i];
        for (int k = 0; k < cols; ++k) {
            a[static_cast<size_t>(k) * rows + i] = std::cos((k + shift) * theta);
        }
        rhs[i] = w.y[i] * std::cos(shift * theta);
    }
    // Householder QR, applying each reflection to the right-hand side as it is formed.
    for (int k = 0; k < cols; ++k) {
        double* col = &a[static_cast<size_t>(k) * rows];
        double norm = 0.0;
        for (int i = k; i < rows; ++i) {
            norm = std::hypot(norm, col[i]);
        }
        if (!(norm > 0.0) || !std::isfinite(norm)) {
            return false;
        }
        const double alpha = col[k] > 0.0 ? -norm : norm;
        col[k] -= alpha;                   // v = x - alpha e1, kept in place of the column
        const double vv = -alpha * col[k]; // v.v / 2
        for (int j = k + 1; j < cols; ++j) {
            double* other = &a[static_cast<size_t>(j) * rows];
            double dot = 0.0;
            for (int i = k; i < rows; ++i) {
                dot += col[i] * other[i];
            }
            const double f = dot / vv;
            for (int i = k; i < rows; ++i) {
                other[i] -= f * col[i];
            }
        }
        double dot = 0.0;
        for (int i = k; i < rows; ++i) {
            dot += col[i] * rhs[i];
        }
        const double f = dot / vv;
        for (int i = k; i < rows; ++i) {
            rhs[i] -= f * col[i];
        }
        col[k] = alpha; // the diagonal of R
    }
    // Back substitution R c = Q^T y.
    for (int k = cols - 1; k >= 0; --k) {
        double s = rhs[k];
        for (int j = k + 1; j < cols; ++j) {
            s -= a[static_cast<size_t>(j) * rows + k] * c[j];
        }
        c[k] = s / a[static_cast<size_t>(k) * rows + k];
        if (!std::isfinite(c[k])) {
            return false;
        }
    }
    return true;
}

} // namespace dsp
