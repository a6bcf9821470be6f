// FIR design driver: the band layout of each filter type and the clearing before a design.
//
// Every pass band has desired gain 1 and weight 1, every stop band desired gain 0 and weight RR.
// The first band starts at DC and the last ends at half the sampling frequency.
#include "app/OlvexDoc.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

struct BandLayout {
    int nBands;
    double desired[COlvexDoc::kMaxBands];
    bool stop[COlvexDoc::kMaxBands]; // stop bands take the weight RR
};

void WriteLayout(COlvexDoc& doc, const BandLayout& layout) {
    doc.m_nBands = layout.nBands;
    const double edges[COlvexDoc::kMaxBandEdges] = {
        0.0, doc.m_fc1 / doc.m_fs, doc.m_fc2 / doc.m_fs, doc.m_fc3 / doc.m_fs, doc.m_fc4 / doc.m_fs,
        0.5};
    if (layout.nBands == 2) {
        doc.m_aBandEdges[0] = 0.0;
        doc.m_aBandEdges[1] = edges[1];
        doc.m_aBandEdges[2] = edges[2];
        doc.m_aBandEdges[3] = 0.5;
    } else {
        std::copy(edges, edges + COlvexDoc::kMaxBandEdges, doc.m_aBandEdges);
    }
    for (int b = 0; b < layout.nBands; ++b) {
        doc.m_aBandDesired[b] = layout.desired[b];
        doc.m_aBandWeight[b] = layout.stop[b] ? doc.m_dRR : 1.0;
    }
}

} // namespace

void COlvexDoc::ClearDesignArrays() {
    std::fill(std::begin(m_aFirCoeffs), std::end(m_aFirCoeffs), 0.0);
    std::fill(std::begin(m_aGainDb), std::end(m_aGainDb), 0.0);
    std::fill(std::begin(m_aPhase), std::end(m_aPhase), 0.0);
}

void COlvexDoc::SetBandsLpf() {
    WriteLayout(*this, {2, {1.0, 0.0, 0.0}, {false, true, false}});
}

void COlvexDoc::SetBandsHpf() {
    WriteLayout(*this, {2, {0.0, 1.0, 0.0}, {true, false, false}});
}

void COlvexDoc::SetBandsBrf() {
    WriteLayout(*this, {3, {1.0, 0.0, 1.0}, {false, true, false}});
}

void COlvexDoc::SetBandsBpf() {
    WriteLayout(*this, {3, {0.0, 1.0, 0.0}, {true, false, true}});
}

void COlvexDoc::DesignFir(int nType) {
    ClearDesignArrays();
    switch (nType) {
    case kHpf:
        SetBandsHpf();
        break;
    case kBrf:
        SetBandsBrf();
        break;
    case kBpf:
        SetBandsBpf();
        break;
    default:
        SetBandsLpf();
        break;
    }
    RemezDesign(m_aFirCoeffs, m_nTaps, m_nBands, m_aBandEdges, m_aBandDesired, m_aBandWeight);
    // Whatever stopped the exchange, taps that are not all finite are no filter: the design
    // counts as failed and leaves zeros rather than NaN for anything that reads the taps.
    const int taps = std::clamp(m_nTaps, 0, kMaxFirTaps);
    if (!std::all_of(m_aFirCoeffs, m_aFirCoeffs + taps,
                     [](double h) { return std::isfinite(h); })) {
        m_bDesignOk = 0;
        std::fill(std::begin(m_aFirCoeffs), std::end(m_aFirCoeffs), 0.0);
    }
}
