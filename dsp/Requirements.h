// Design from requirements: a pass-band ripple Ap and a stop-band attenuation As (both dB) in,
// the smallest FIR tap count or IIR section count that meets them out.
//
// The measures are the ones the measurements report (dsp/Measure.h): the pass ripple of a band is
// its largest gain less its smallest, in dB; the attenuation of a stop band is its largest gain
// below the pass-band level. A FIR pass band has gain 1 +- dp, so Ap = 20 log10((1 + dp)/(1 - dp));
// a FIR stop band reaches ds, so As = -20 log10(ds). The Remez weight of the stop bands, RR, is
// then dp / ds: the weighted errors of both kinds of band are equal at the optimum.
//
// An IIR cascade of this program ripples between 0 dB and +Ap dB in its pass band (the Chebyshev
// type-I prototype of even order), so its attenuation is taken below the +Ap dB peak, as the
// classical minimum-order formula takes it.
#pragma once

#include <vector>

#include "dsp/FirDesign.h"
#include "dsp/Iir.h"
#include "dsp/TransitionPeak.h"

namespace dsp {

// dp of a pass-band ripple Ap (dB, peak to peak) and ds of a stop-band attenuation As (dB).
double PassDeviation(double apDb);
double StopDeviation(double asDb);

// ---- FIR ----

struct FirRequirements {
    FirType type = FirType::kLowPass;
    double fs = 1000.0;
    double fc1 = 0.0, fc2 = 0.0, fc3 = 0.0, fc4 = 0.0; // Hz, as the FIR dialog's edges
    double apDb = 0.5;
    double asDb = 60.0;
    int minTaps = kMinDesignTaps; // the tap counts the dialog accepts
    int maxTaps = kMaxDesignTaps;
};

// The measured pass ripple (largest over the pass bands) and attenuation (smallest over the stop
// bands) of one tap count, and whether both meet the requirements.
struct FirRequirementTrial {
    int taps = 0;
    bool designed = false; // the Remez design gave taps (a failed design meets nothing)
    double rippleDb = 0.0;
    double attenuationDb = 0.0;
    bool meets = false;
    TransitionPeak transition; // of the designed taps
};

struct FirRequirementResult {
    double rr = 1.0;  // dp / ds
    int estimate = 0; // the first tap count tried, from the rule of thumb
    bool met = false; // `chosen` meets the requirements
    // The smallest tap count found that meets them; when none up to maxTaps does, the largest
    // count (the best design the dialog's range allows).
    FirRequirementTrial chosen;
    // When none meets them: of the counts that designed, the one with the largest attenuation
    // (taps 0 when none designed), so that a chosen count that fails can still say what the
    // search reached.
    FirRequirementTrial best;
    int designs = 0; // Remez designs run
    // The band edges the chosen count was designed with, Hz: the requirement's, unless the wider
    // of two unequal transition bands had to be narrowed to the narrower one's width because the
    // design rose above the pass band in it; narrowedEdge then says which edge moved (0..3 for
    // fc1..fc4, -1 none) and narrowedFrom where it was.
    double fc[4] = {0.0, 0.0, 0.0, 0.0};
    int narrowedEdge = -1;
    double narrowedFrom = 0.0;
    // The chosen design still rises above the pass band's upper limit 1 + dp in a transition
    // band (its peak in chosen.transition).
    bool transitionAbovePass = false;
};

// The tap count the rule of thumb N * (transition / fs) * 15 = -10 log10(dp ds) - 13 gives for the
// narrowest transition of the type's edges, on the type's parity, inside minTaps..maxTaps.
int EstimateRequirementTaps(const FirRequirements& req, double dp, double ds);

// Designs and measures tap counts around the estimate: up until a count meets the requirements,
// then down while either of the next two smaller counts still meets them, so the count chosen is
// the smallest one whose two smaller neighbours both fail. High pass and band rejection are
// designed with odd counts only, so their counts step by 2.
//
// A band layout with two transition bands of unequal widths may give an optimum that peaks far
// above the pass band in the wider one (the exchange leaves that band unconstrained). When the
// chosen design rises above 1 + dp there, or when no count meets the requirements, the wider
// band's stop edge moves towards its pass edge until both are as narrow, and the search runs
// again on those edges (the stop band only grows, so the requirements still hold).
FirRequirementResult SearchFirRequirements(const FirRequirements& req);

// ---- IIR ----

struct IirRequirements {
    int type = kIirLpf;
    double fs = 1000.0;
    double pass1 = 200.0, pass2 = 300.0; // pass-band edges, Hz (the cut-offs of the design)
    double stop1 = 250.0, stop2 = 350.0; // stop-band edges, Hz (stop2 for BRF/BPF only)
    double apDb = 0.5;
    double asDb = 40.0;
    int method = kIirCheby1; // an IirMethod
};

// The cut-offs the cascade is designed with: the pass-band edges, except for BRF, whose pass
// edges move towards the stop band as far as lowers the order (each in turn, the lower first),
// so the pass bands come out wider than asked and the stop band is reached with fewer sections.
struct IirCutoffs {
    double fc1 = 0.0, fc2 = 0.0; // Hz
};
IirCutoffs RequiredCutoffs(const IirRequirements& req);

// The minimum Chebyshev type-I order of the analog prototype with the edges pre-warped by the
// bilinear transform (the classical cheb1ord formula) at the cut-offs RequiredCutoffs gives; 0
// when the edges give no transition (a stop edge on the wrong side).
int ChebyshevOrder(const IirRequirements& req);

// The minimum order of the requirement's method with the edges pre-warped: Chebyshev I and II
// the acosh formula, Butterworth the log formula, elliptic the ratio of complete elliptic
// integrals; 0 when the edges give no transition. Bessel has no such formula: 0.
int IirMinimumOrder(const IirRequirements& req);

// The cut-offs a design of `order` is made with: the pass-band edges (RequiredCutoffs) for
// Chebyshev I and elliptic; for Butterworth the -3 dB points that put the pass edge at Ap; for
// Chebyshev II the edges where As is first reached, at the stop edges of the order.
IirCutoffs MethodCutoffs(const IirRequirements& req, int order);

// The section count of the order: ceil(order / 2), twice that for BRF and BPF.
int SectionsForOrder(int type, int order);

struct IirRequirementResult {
    int order = 0;
    int sections = 0;   // the count designed: at most kIirMaxSections
    IirCutoffs cutoffs; // the cut-offs designed, Hz
    bool met = false;   // the count the order asks for fits the cascade
    // The designed cascade measured on the requirement's bands: the pass ripple, and the
    // attenuation of the stop bands below the pass-band peak.
    double rippleDb = 0.0;
    double attenuationDb = 0.0;
    IirCascade cascade;
};

IirRequirementResult SearchIirRequirements(const IirRequirements& req);

} // namespace dsp
