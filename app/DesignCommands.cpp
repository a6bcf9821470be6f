// The Design command as plain calls: the range checks of the parameter dialogs, the order and
// parity rules, storing, the FIR design with its proposal after a failure, and the IIR design.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "app/DesignCommands.h"
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "files/NumberText.h"

namespace commands {

FirDesignRequest FirRequestFromDocument(const COlvexDoc& doc, int type) {
    FirDesignRequest request;
    request.type = type;
    request.fs = doc.FsOf(0);
    request.fc[0] = doc.m_fc1;
    request.fc[1] = doc.m_fc2;
    request.fc[2] = doc.m_fc3;
    request.fc[3] = doc.m_fc4;
    request.taps = design::ShownFirTapCount(doc);
    request.rr = doc.m_dRR;
    request.multiplier = doc.m_nCoeffMultiplier;
    request.method = doc.m_nFirMethod;
    request.beta = doc.m_dKaiserBeta;
    return request;
}

RangeRefusal CheckBandTable(const dsp::FirBands& bands, double fs) {
    RangeRefusal check;
    check.field = design::kFieldFc1;
    if (bands.nBands < 1 || bands.nBands > dsp::kMaxFirBands) {
        check.message = "expected 1 to " + std::to_string(dsp::kMaxFirBands) + " bands";
        return check;
    }
    double previous = 0.0;
    for (int i = 0; i < 2 * bands.nBands; ++i) {
        const double edge = bands.edges[static_cast<size_t>(i)];
        if (!std::isfinite(edge) || edge < previous || edge > fs / 2.0) {
            check.message = "band edges must ascend from 0 to fs/2 (" +
                            files::FormatShownDouble(fs / 2.0) + " Hz); edge " +
                            std::to_string(i + 1) + " does not";
            return check;
        }
        previous = edge;
    }
    for (int b = 0; b < bands.nBands; ++b) {
        if (!(bands.edges[static_cast<size_t>(2 * b)] <
              bands.edges[static_cast<size_t>(2 * b + 1)])) {
            check.message = "band " + std::to_string(b + 1) + " is empty";
            return check;
        }
        if (!std::isfinite(bands.desired[static_cast<size_t>(b)])) {
            check.message = "the gain of band " + std::to_string(b + 1) + " is not a number";
            return check;
        }
        const double weight = bands.weight[static_cast<size_t>(b)];
        if (!std::isfinite(weight) || !(weight > 0.0)) {
            check.message = "the weight of band " + std::to_string(b + 1) + " must be above 0";
            return check;
        }
    }
    return RangeRefusal{};
}

Outcome CheckFirRequest(const FirDesignRequest& request) {
    // The dialog checks the tap count as it reads its edit, before the values that need each
    // other (the edges against fs).
    RangeRefusal check = design::CheckIntRange(
        design::kFieldTaps, request.taps, COlvexDoc::kMinDialogTaps, COlvexDoc::kMaxDialogTaps);
    if (!check.Refused() && request.kind != dsp::FirKind::kFilterType) {
        check = design::CheckSamplingFrequency(design::kFieldFs, request.fs);
        if (!check.Refused()) {
            check = CheckBandTable(request.bands, request.fs);
        }
        if (!check.Refused()) {
            check = design::CheckIntRange(design::kFieldMultiplier, request.multiplier,
                                          design::kMinMultiplier, std::numeric_limits<int>::max());
        }
        return check.Refused() ? OutOfRange(check) : Outcome{};
    }
    if (!check.Refused()) {
        check = design::CheckFirDialogValues(request.type, request.fs, request.fc, request.rr,
                                             request.multiplier);
    }
    if (!check.Refused() && (request.method < 0 || request.method >= dsp::kFirMethodCount)) {
        check = design::CheckFirMethodName("");
    }
    if (!check.Refused() && request.method == dsp::kFirKaiser) {
        check = design::CheckKaiserBeta(request.beta);
    }
    if (!check.Refused() && request.method == dsp::kFirHalfband) {
        check = design::CheckHalfband(request.type, request.fs, request.fc[0], request.taps);
    }
    return check.Refused() ? OutOfRange(check) : Outcome{};
}

namespace {

// A band-table request into the document: the table as fractions of fs, the tap count as
// entered (odd and even alike), fs and K; the filter-type edges stay as they were.
void StoreBandTableRequest(COlvexDoc& doc, const FirDesignRequest& request) {
    const dsp::FirBands& bands = request.bands;
    doc.m_nBands = bands.nBands;
    for (int i = 0; i < 2 * bands.nBands; ++i) {
        doc.m_aBandEdges[i] = bands.edges[static_cast<size_t>(i)] / request.fs;
    }
    for (int b = 0; b < bands.nBands; ++b) {
        doc.m_aBandDesired[b] = bands.desired[static_cast<size_t>(b)];
        doc.m_aBandWeight[b] = bands.weight[static_cast<size_t>(b)];
    }
    doc.m_nFirKind = static_cast<int>(request.kind);
    doc.m_nCoeffMultiplier = request.multiplier;
    doc.m_fs = request.fs;
    doc.m_bQuantize = 0;
    doc.m_nCoeffFormat = 0;
    doc.m_nTaps = request.taps;
    doc.m_bEvenTaps = 0;
}

} // namespace

Outcome StoreFirRequest(COlvexDoc& doc, const FirDesignRequest& asked) {
    doc.ShowStructure(0);
    const int type = asked.type;
    if (asked.kind != dsp::FirKind::kFilterType) {
        StoreBandTableRequest(doc, asked);
        return Outcome{};
    }
    // A half-band filter's stop band mirrors its pass band about fs/4.
    FirDesignRequest request = asked;
    if (request.method == dsp::kFirHalfband) {
        request.fc[1] = 0.5 * request.fs - request.fc[0];
    }
    design::Warning warning;
    if (!design::CheckFirEdges(type, request.fs, request.fc[0], request.fc[1], request.fc[2],
                               request.fc[3], warning)) {
        return Refused(warning);
    }
    doc.m_fc1 = request.fc[0];
    doc.m_fc2 = request.fc[1];
    if (design::IsThreeBand(type)) {
        doc.m_fc3 = request.fc[2];
        doc.m_fc4 = request.fc[3];
    }
    doc.m_dRR = request.rr;
    doc.m_nCoeffMultiplier = request.multiplier;
    doc.m_nFirMethod = request.method;
    doc.m_dKaiserBeta = request.beta;
    doc.m_fs = request.fs;
    doc.m_bQuantize = 0;
    doc.m_nCoeffFormat = 0;
    Outcome outcome;
    // Unbalanced transition bands are designed anyway; the user is only told.
    if (design::IsThreeBand(type) &&
        design::FirBandsUnbalanced(doc.m_fc1, doc.m_fc2, doc.m_fc3, doc.m_fc4, warning)) {
        outcome.notices.push_back(warning);
    }
    design::StoreFirTapCount(doc, type, request.taps);
    doc.m_nFilterType = type;
    doc.m_nFirKind = static_cast<int>(dsp::FirKind::kFilterType);
    return outcome;
}

DesignProposal ProposeFirAdjustment(const COlvexDoc& doc, int type) {
    // The tap estimate clears the even-count flag of the record it runs on; the proposal must
    // not change the document, so it runs on a copy.
    COlvexDoc estimate = doc;
    DesignProposal proposal;
    if (doc.FirUsesBandTable()) {
        // The same rule of thumb on the narrowest transition of the table (for antisymmetric
        // taps, DC and half of fs count as band edges too), with the ratio of its weights; the
        // band table's edges are the user's own and are not moved.
        const dsp::FirBands bands = doc.BandTable();
        double narrowest = 0.5;
        double lightest = bands.weight[0];
        double heaviest = bands.weight[0];
        for (int b = 0; b < bands.nBands; ++b) {
            lightest = std::min(lightest, bands.weight[static_cast<size_t>(b)]);
            heaviest = std::max(heaviest, bands.weight[static_cast<size_t>(b)]);
            if (b + 1 < bands.nBands) {
                narrowest = std::min(narrowest, bands.edges[static_cast<size_t>(2 * b + 2)] -
                                                    bands.edges[static_cast<size_t>(2 * b + 1)]);
            }
        }
        if (dsp::IsAntisymmetric(doc.FirKind())) {
            const double low = bands.edges[0];
            const double high = 0.5 - bands.edges[static_cast<size_t>(2 * bands.nBands - 1)];
            narrowest = std::min(narrowest, low > 0.0 ? low : narrowest);
            narrowest = std::min(narrowest, high > 0.0 ? high : narrowest);
        }
        proposal.taps =
            dsp::EstimateTaps(dsp::FirType::kLowPass, 1.0, 0.0, narrowest, heaviest / lightest);
        proposal.edges = design::EdgeProposal{{doc.m_fc1, doc.m_fc2, doc.m_fc3, doc.m_fc4},
                                              {false, false, false, false}};
        return proposal;
    }
    proposal.taps = estimate.EstimateTaps();
    proposal.edges = design::ProposeEdges(doc, type);
    if (doc.m_nFirMethod == dsp::kFirHalfband) {
        // A half-band takes 4k + 3 taps, and its two edges mirror each other about fs/4: the
        // estimate is raised to the next such count, and the proposed transition band is
        // centred on fs/4.
        proposal.taps = std::clamp(proposal.taps + (7 - proposal.taps % 4) % 4, 7,
                                   dsp::kMaxDesignTaps - (dsp::kMaxDesignTaps - 3) % 4);
        const double quarter = 0.25 * doc.m_fs;
        const double width = proposal.edges.fc[1] - doc.m_fc1;
        if (width > 0.0 && width < 2.0 * quarter) {
            proposal.edges.fc[0] = quarter - 0.5 * width;
            proposal.edges.fc[1] = quarter + 0.5 * width;
            proposal.edges.adjusted[0] = proposal.edges.adjusted[1] = true;
        }
    }
    return proposal;
}

DesignOutcome RunFirDesign(COlvexDoc& doc, int type) {
    doc.ShowStructure(0);
    doc.DesignFir(type);
    DesignOutcome outcome;
    if (doc.m_bDesignOk != 0) {
        doc.NoteStructureMade();
    }
    if (doc.m_bDesignOk == 0) {
        outcome.kind = OutcomeKind::kDesignFailed;
        outcome.proposal = ProposeFirAdjustment(doc, type);
    } else if (doc.m_bOptimumReached == 0) {
        outcome.kind = OutcomeKind::kShortOfOptimum;
        outcome.iterationLimit = doc.m_bIterationLimit != 0;
        outcome.achievedRipple = doc.m_dAchievedRipple;
        outcome.targetRipple = doc.m_dTargetRipple;
    }
    return outcome;
}

DesignOutcome RunAdjustedFirDesign(COlvexDoc& doc, int type, const FirAdjustment& confirmed) {
    if (confirmed.kind == FirAdjustment::Kind::kTaps) {
        doc.m_bEvenTaps = 0;
        if (confirmed.confirmed) {
            design::StoreFirTapCount(doc, type, confirmed.taps);
        }
    } else if (confirmed.confirmed) {
        // Stored as the user left them; the adjusted edges are not checked again.
        design::StoreEdgeProposal(doc, confirmed.edges);
    }
    doc.m_bAdjustOffered = 1;
    const DesignOutcome outcome = RunFirDesign(doc, type);
    // A second failure is neither reported nor offered again.
    doc.m_bDesignOk = 1;
    return outcome;
}

DesignOutcome DesignFir(COlvexDoc& doc, const FirDesignRequest& request) {
    const Outcome check = CheckFirRequest(request);
    if (!check.Is(OutcomeKind::kAccepted)) {
        return check;
    }
    const COlvexDoc before = doc;
    const Outcome stored = StoreFirRequest(doc, request);
    if (!stored.Is(OutcomeKind::kAccepted)) {
        return stored;
    }
    DesignOutcome outcome = RunFirDesign(doc, request.type);
    outcome.notices = stored.notices;
    // The engine's unfinished taps of a failed design never stay: the report, the plots and
    // the files see the design the document held before.
    if (outcome.Is(OutcomeKind::kDesignFailed)) {
        doc = before;
    }
    return outcome;
}

IirDesignRequest IirRequestFromDocument(const COlvexDoc& doc, int type) {
    IirDesignRequest request;
    request.type = type;
    request.sections = doc.m_nIirSections;
    request.rippleDb = doc.m_dRippleDb;
    request.fc1 = doc.m_dIirFc1;
    request.fc2 = doc.m_dIirFc2;
    request.fs = doc.FsOf(1);
    request.method = doc.m_nIirMethod;
    request.attenDb = doc.m_dIirAttenDb;
    return request;
}

Outcome CheckIirRequest(const IirDesignRequest& request) {
    RangeRefusal check =
        design::CheckIntRange(design::kFieldSections, request.sections,
                              design::MinIirSections(request.type), design::MaxIirSections());
    if (!check.Refused()) {
        check = design::CheckIirDialogValues(request.type, request.rippleDb, request.fc1,
                                             request.fc2, request.fs);
    }
    if (!check.Refused() && dsp::IirMethodUsesAttenuation(request.method)) {
        // Elliptic: As above the pass-band ripple; Chebyshev II takes no ripple.
        check = request.method == dsp::kIirEllip
                    ? design::CheckRequirements(request.rippleDb, request.attenDb)
                    : design::CheckIirAttenuation(request.attenDb);
    }
    return check.Refused() ? OutOfRange(check) : Outcome{};
}

Outcome StoreIirRequest(COlvexDoc& doc, const IirDesignRequest& request) {
    doc.ShowStructure(1);
    design::Warning warning;
    if (!design::CheckIirParameters(request.type, request.sections, request.fs, request.fc1,
                                    request.fc2, warning)) {
        return Refused(warning);
    }
    design::StoreIirParameters(doc, request.type, request.sections, request.rippleDb, request.fc1,
                               request.fc2, request.fs);
    doc.m_nIirMethod = request.method;
    doc.m_dIirAttenDb = request.attenDb;
    return Outcome{};
}

DesignOutcome RunIirDesign(COlvexDoc& doc) {
    doc.ShowStructure(1);
    DesignOutcome outcome;
    if (doc.DesignIir()) {
        doc.NoteStructureMade();
    } else {
        outcome.kind = OutcomeKind::kDesignFailed;
        outcome.message = design::kIirFailedMessage;
    }
    return outcome;
}

DesignOutcome DesignIir(COlvexDoc& doc, const IirDesignRequest& request) {
    Outcome outcome = CheckIirRequest(request);
    if (outcome.Is(OutcomeKind::kAccepted)) {
        outcome = StoreIirRequest(doc, request);
    }
    return outcome.Is(OutcomeKind::kAccepted) ? RunIirDesign(doc) : DesignOutcome(outcome);
}

} // namespace commands
