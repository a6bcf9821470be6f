// Design from requirements: the pass-band ripple and the stop-band attenuation in place of the
// tap count and ripple ratio (FIR) or the section count and ripple (IIR).
#pragma once

#include "app/DesignCommands.h"

class COlvexDoc;

namespace commands {

// The pass-band ripple Ap and the stop-band attenuation As (dB) in place of N and RR (FIR), or
// of n and the ripple with the stop-band edge(s) beside the cut-offs (IIR). The outcome is a
// refusal (kOutOfRange, kRefused as the parameter dialogs give them), or the design stored and
// made as the chosen values describe it: kAccepted (or kShortOfOptimum) with `met` false when
// the largest tap or section count cannot meet the requirements; `message` then says what the
// best design reaches.
struct FirRequirementsRequest {
    int type = 0;
    double fs = 1000.0;
    double fc[4] = {200.0, 250.0, 350.0, 400.0};
    double apDb = 0.5;
    double asDb = 60.0;
    int multiplier = 1;
};
struct IirRequirementsRequest {
    int type = 0;
    double fs = 1000.0;
    double fc1 = 200.0, fc2 = 300.0;     // the cut-offs: the pass-band edges
    double stop1 = 250.0, stop2 = 350.0; // the stop-band edges (stop2 for BRF/BPF)
    double apDb = 0.5;
    double asDb = 40.0;
    int method = 0; // a dsp::IirMethod other than Bessel, which has no minimum-order formula
};
struct RequirementsOutcome : DesignOutcome {
    bool met = false;
    int taps = 0;     // FIR: the tap count chosen (as entered)
    double rr = 0.0;  // FIR: dp / ds
    int order = 0;    // IIR: the minimum order of the method
    int sections = 0; // IIR: the section count designed
    // IIR: the cut-offs designed (Hz): the pass-band edges; BRF moves them towards the stop band
    // as far as lowers the order, which widens its pass bands.
    double cutoff1 = 0.0, cutoff2 = 0.0;
    double rippleDb = 0.0;      // the chosen design's measured pass ripple
    double attenuationDb = 0.0; // and its stop-band attenuation
    int designs = 0;            // FIR: Remez designs the search ran
    // FIR: the chosen design still rises above the pass band in a transition band; the text
    // says where and how high (the command line's exit status 5).
    bool transitionAbovePass = false;
    std::string transitionText;
};
RequirementsOutcome DesignFirFromRequirements(COlvexDoc& doc,
                                              const FirRequirementsRequest& request);
RequirementsOutcome DesignIirFromRequirements(COlvexDoc& doc,
                                              const IirRequirementsRequest& request);

} // namespace commands
