// Design: the FIR and IIR parameter dialogs' requests, checked with the same rules the dialogs'
// checks use, stored into the document and designed.
#pragma once

#include "app/DesignRules.h"
#include "app/Outcome.h"
#include "dsp/FirDesign.h"

class COlvexDoc;

namespace commands {

// What a failed FIR design proposes: both adjustments the window offers, computed for the
// failed design's parameters. `taps` is the estimated tap count as the tap-adjustment dialog
// shows it (before the odd-count rule); `edges` the moved band edges at the current tap count.
struct DesignProposal {
    int taps = 0;
    design::EdgeProposal edges{};
};

// The outcome of a design: a refusal, or the design accepted, short of the optimum or failed.
struct DesignOutcome : Outcome {
    DesignOutcome() = default;
    DesignOutcome(const Outcome& outcome) : Outcome(outcome) {} // a refusal of the request
    DesignProposal proposal;                                    // kDesignFailed of a FIR design
    // kShortOfOptimum: the Remez run stopped at its iteration limit; its largest weighted error
    // on the grid and the level of its final extremal set.
    bool iterationLimit = false;
    double achievedRipple = 0.0;
    double targetRipple = 0.0;
};

// The fields of a FIR parameter dialog. `taps` is the count as entered (HPF and BRF store an
// even count as count - 1); fc[2], fc[3] matter for BRF/BPF only.
struct FirDesignRequest {
    int type = 0; // a FilterType
    double fs = 1000.0;
    double fc[4] = {200.0, 250.0, 350.0, 400.0};
    int taps = 90;
    double rr = 10.0;
    int multiplier = 1;
    int method = 0;    // a dsp::FirMethod; the Remez exchange by default
    double beta = 8.6; // the Kaiser window's shape (kaiser only)
    // A Hilbert transformer, differentiator or multiband design runs on `bands` (edges in Hz,
    // gain and weight per band) with the tap count as entered; fc and rr then mean nothing.
    dsp::FirKind kind = dsp::FirKind::kFilterType;
    dsp::FirBands bands;
};
// The request a FIR dialog starts from: the document's values, the tap count as shown.
FirDesignRequest FirRequestFromDocument(const COlvexDoc& doc, int type);

// The range checks of the FIR dialog (fs, the edges of the type, N in dsp::kMinDesignTaps ..
// dsp::kMaxDesignTaps, RR, the multiplier, and beta of the Kaiser window): kOutOfRange with the
// first failed field, else kAccepted. A band-table request has its table checked in place of the
// edges and RR: 1 to dsp::kMaxFirBands bands, edges ascending within 0..fs/2, finite gains,
// weights above 0.
Outcome CheckFirRequest(const FirDesignRequest& request);
// The band-table check alone (kFieldFc1 names the table); no refusal when it holds.
RangeRefusal CheckBandTable(const dsp::FirBands& bands, double fs);

// The whole FIR design: range checks, edge order (kRefused, warning 220/221), store, design.
// An accepted request with unbalanced BRF/BPF transition bands carries the warning (222) in
// `notices` and is designed anyway. A failed design puts the document back as it was and
// returns kDesignFailed with the proposal; the caller may design again with a request that
// takes it (taps = proposal.taps, or the adjusted edges).
DesignOutcome DesignFir(COlvexDoc& doc, const FirDesignRequest& request);

// The steps of the window's FIR Design, in its order. The window designs even after a refused
// entry (the unchanged values, with the layout of the dialog's type) and offers one adjustment
// after a failure, so it calls the steps itself:
//   StoreFirRequest  - edge order check; kRefused (nothing stored) or kAccepted (+ notices)
//   RunFirDesign     - kAccepted, kShortOfOptimum, or kDesignFailed with the proposal; a failed
//                      design leaves the engine's unfinished taps in the document
//   RunAdjustedFirDesign - stores what the user confirmed of the proposal (not checked again),
//                      marks the offer as made and designs once more
// and puts back the document it held before StoreFirRequest when the last design failed.
Outcome StoreFirRequest(COlvexDoc& doc, const FirDesignRequest& request);
DesignOutcome RunFirDesign(COlvexDoc& doc, int type);

// The adjustment the user chose after a failed design, and what was confirmed in its result
// dialog: the tap count as entered, or the band edges as left (only the adjusted ones are
// stored). Not confirmed (the result dialog closed): nothing is stored, the design runs again
// all the same. Choosing the tap count resets the even-count flag, as the estimate does.
struct FirAdjustment {
    enum class Kind { kTaps, kEdges };
    Kind kind = Kind::kTaps;
    bool confirmed = false;
    int taps = 0;
    design::EdgeProposal edges{};
};
DesignOutcome RunAdjustedFirDesign(COlvexDoc& doc, int type, const FirAdjustment& confirmed);
// The proposal for the document's current parameters (what kDesignFailed carries); the
// document is not changed.
DesignProposal ProposeFirAdjustment(const COlvexDoc& doc, int type);

// The fields of an IIR parameter dialog; fc2 matters for BRF/BPF only.
struct IirDesignRequest {
    int type = 0;
    int sections = 2;
    double rippleDb = 0.3;
    double fc1 = 200.0;
    double fc2 = 300.0;
    double fs = 1000.0;
    int method = 0;        // a dsp::IirMethod; Chebyshev I by default
    double attenDb = 40.0; // As: Chebyshev II and elliptic only
};
IirDesignRequest IirRequestFromDocument(const COlvexDoc& doc, int type);
// The range checks of the IIR dialog (n in 1..8 or 2..8, ripple, fs, the cut-off edges), and
// As (above 0 and at most 200 dB; above the ripple for elliptic) for the methods that take it.
Outcome CheckIirRequest(const IirDesignRequest& request);
// Range checks, the IIR rules (kRefused: warning 223, 224 or 220), store, design. A cascade that
// is not finite is kDesignFailed (no proposal) and keeps the previous sections.
DesignOutcome DesignIir(COlvexDoc& doc, const IirDesignRequest& request);
// The window's steps: the IIR rules and storing (kRefused or kAccepted), and the design of the
// document as it stands (kAccepted or kDesignFailed), which the window runs after either.
Outcome StoreIirRequest(COlvexDoc& doc, const IirDesignRequest& request);
DesignOutcome RunIirDesign(COlvexDoc& doc);

} // namespace commands
