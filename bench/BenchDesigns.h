// Filters the benchmarks run on.
#pragma once

#include "app/OlvexDoc.h"

#include <cmath>
#include <numbers>

namespace bench {

// A 380-tap windowed-sinc low-pass written straight into the document: the timings depend on
// the tap count, not on the values, and need no Remez run.
inline void FillLongFir(COlvexDoc& doc) {
    doc.m_nTaps = COlvexDoc::kMaxDialogTaps;
    const double centre = (doc.m_nTaps - 1) / 2.0;
    for (int i = 0; i < doc.m_nTaps; ++i) {
        const double t = i - centre;
        const double sinc =
            t == 0.0 ? 0.4 : std::sin(0.4 * std::numbers::pi * t) / (std::numbers::pi * t);
        doc.m_aFirCoeffs[i] =
            sinc * (0.54 - 0.46 * std::cos(2.0 * std::numbers::pi * i / (doc.m_nTaps - 1)));
    }
}

} // namespace bench
