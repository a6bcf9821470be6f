// Largest coefficient magnitudes: the design validity test and the bit-length check use them.
#include "app/OlvexDoc.h"

#include <cmath>

double COlvexDoc::MaxFirCoeffMagnitude() const {
    // The extra tap that an even HPF/BRF tap count adds is not part of the design.
    const int n = m_nTaps < kMaxFirTaps ? m_nTaps : kMaxFirTaps;
    double m = 0.0;
    for (int i = 0; i < n; ++i) {
        const double a = std::fabs(m_aFirCoeffs[i]);
        if (a > m) {
            m = a;
        }
    }
    return m;
}

double COlvexDoc::MaxIirCoeffMagnitude() const {
    // All eight sections count, so the pass-through sections past the design contribute a0 = 1.
    double m = 0.0;
    for (int s = 0; s < kIirSections; ++s) {
        for (const double c : {m_aA0[s], m_aA1[s], m_aA2[s], m_aB1[s], m_aB2[s]}) {
            m = std::fmax(m, std::fabs(c));
        }
    }
    return m;
}
