// The document's FIR design and proposals: each reads the record's fields, calls the engine in
// dsp/FirDesign.h and stores what it returns.
#include "app/OlvexDoc.h"
#include "dsp/FirDesign.h"
#include "dsp/FirMethods.h"

#include <algorithm>
#include <iterator>

void COlvexDoc::ClearDesignArrays() {
    std::fill(std::begin(m_aFirCoeffs), std::end(m_aFirCoeffs), 0.0);
    std::fill(std::begin(m_aGainDb), std::end(m_aGainDb), 0.0);
    std::fill(std::begin(m_aPhase), std::end(m_aPhase), 0.0);
}

dsp::FirKind COlvexDoc::FirKind() const {
    switch (m_nFirKind) {
    case static_cast<int>(dsp::FirKind::kHilbert):
        return dsp::FirKind::kHilbert;
    case static_cast<int>(dsp::FirKind::kDifferentiator):
        return dsp::FirKind::kDifferentiator;
    case static_cast<int>(dsp::FirKind::kMultiband):
        return dsp::FirKind::kMultiband;
    default:
        return dsp::FirKind::kFilterType;
    }
}

dsp::FirBands COlvexDoc::BandTable() const {
    dsp::FirBands bands;
    bands.nBands = std::clamp(m_nBands, 0, kMaxBands);
    std::copy_n(m_aBandEdges, 2 * bands.nBands, bands.edges.begin());
    std::copy_n(m_aBandDesired, bands.nBands, bands.desired.begin());
    std::copy_n(m_aBandWeight, bands.nBands, bands.weight.begin());
    return bands;
}

void COlvexDoc::DesignFir(int nType) {
    ClearDesignArrays();
    m_bBandsKnown = 1; // the taps now come from the form's bands
    const dsp::FirDesign design =
        FirUsesBandTable() ? dsp::DesignFirBands(m_nTaps, BandTable(), FirKind())
                           : dsp::DesignFirByMethod({.type = dsp::FirTypeFromIndex(nType),
                                                     .fs = m_fs,
                                                     .fc1 = m_fc1,
                                                     .fc2 = m_fc2,
                                                     .fc3 = m_fc3,
                                                     .fc4 = m_fc4,
                                                     .rr = m_dRR,
                                                     .nTaps = m_nTaps},
                                                    m_nFirMethod, m_dKaiserBeta);
    // The layout: only the bands of this type are written (a two-band type leaves the last two
    // edges as they were).
    const dsp::FirBands& bands = design.bands;
    m_nBands = bands.nBands;
    std::copy_n(bands.edges.begin(), 2 * bands.nBands, m_aBandEdges);
    std::copy_n(bands.desired.begin(), bands.nBands, m_aBandDesired);
    std::copy_n(bands.weight.begin(), bands.nBands, m_aBandWeight);

    const dsp::FirDesignResult& result = design.result;
    std::copy_n(result.taps.begin(), std::min<size_t>(result.taps.size(), kMaxFirTaps),
                m_aFirCoeffs);
    m_bDesignOk = result.Ok() ? 1 : 0;
    m_bOptimumReached = result.verdict == dsp::FirVerdict::kOptimum ? 1 : 0;
    m_bIterationLimit = result.iterationLimit ? 1 : 0;
    m_nRemezIterations = result.iterations;
    m_nGridSize = result.gridSize;
    m_dAchievedRipple = result.achievedRipple;
    m_dTargetRipple = result.targetRipple;
    if (!result.notice.empty()) {
        WriteConsole(result.notice);
    }
}

int COlvexDoc::EstimateTaps() {
    m_bEvenTaps = 0;
    return dsp::EstimateTaps(dsp::FirTypeFromIndex(m_nFilterType), m_fs, m_fc1, m_fc2, m_dRR);
}

double COlvexDoc::EstimateFc2FromFc1() const {
    return dsp::EstimateEdgeAbove(m_fc1, m_fs, m_nTaps, m_dRR);
}

double COlvexDoc::EstimateFc1FromFc2() const {
    return dsp::EstimateEdgeBelow(m_fc2, m_fs, m_nTaps, m_dRR);
}

double COlvexDoc::EstimateFc3FromFc4() const {
    return dsp::EstimateEdgeBelow(m_fc4, m_fs, m_nTaps, m_dRR);
}

double COlvexDoc::EstimateFc4FromFc3() const {
    return dsp::EstimateEdgeAbove(m_fc3, m_fs, m_nTaps, m_dRR);
}
