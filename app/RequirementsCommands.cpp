// Design from requirements as plain calls: the range and order checks the parameter dialogs
// use, the search of the engine (dsp/Requirements.h) for the smallest design that meets Ap and
// As, and the ordinary FIR or IIR design of the values it chose, stored as if entered.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>

#include "app/RequirementsCommands.h"

#include "app/DesignCommands.h"
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "dsp/FirMethods.h"
#include "dsp/Requirements.h"

namespace commands {

namespace {

template <typename... Args> std::string Format(const char* format, Args... args) {
    char text[256];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

RequirementsOutcome Carry(const DesignOutcome& outcome) {
    RequirementsOutcome carried;
    static_cast<DesignOutcome&>(carried) = outcome;
    return carried;
}

// The Kaiser window from requirements: the tap count and beta of Kaiser's formulas for the
// narrowest transition and the stricter of Ap and As (the window leaves the same deviation in
// pass and stop bands). A formula count that a type designed with odd counts only cannot take
// is raised by one; one above the dialog's range designs the largest count and is not met.
RequirementsOutcome DesignKaiserFromRequirements(COlvexDoc& doc,
                                                 const FirRequirementsRequest& request,
                                                 const dsp::FirRequirements& req) {
    const bool threeBand = design::IsThreeBand(request.type);
    double transition = request.fc[1] - request.fc[0];
    if (threeBand) {
        transition = std::min(transition, request.fc[3] - request.fc[2]);
    }
    const double rippleDb = dsp::KaiserRippleDb(request.apDb, request.asDb);
    const dsp::KaiserOrder order = dsp::KaiserOrderFor(rippleDb, transition / request.fs);
    if (order.taps == 0) {
        return Carry(OutOfRange({design::kFieldAs, 0.0, 0.0,
                                 Format("Kaiser's formula needs an attenuation of 8 dB or more; "
                                        "these requirements ask for %.3g dB.",
                                        rippleDb)}));
    }
    const bool oddOnly = design::FirOddTapsOnly(request.type, dsp::kFirKaiser);
    int taps = std::max(order.taps, COlvexDoc::kMinDialogTaps);
    if (oddOnly && taps % 2 == 0) {
        ++taps;
    }
    const bool fits = taps <= COlvexDoc::kMaxDialogTaps;
    if (!fits) {
        taps = COlvexDoc::kMaxDialogTaps - (oddOnly && COlvexDoc::kMaxDialogTaps % 2 == 0 ? 1 : 0);
    }
    FirDesignRequest chosen;
    chosen.type = request.type;
    chosen.fs = request.fs;
    std::copy(std::begin(request.fc), std::end(request.fc), chosen.fc);
    chosen.taps = taps;
    chosen.rr = doc.m_dRR; // kept as it was: the window takes no weights
    chosen.multiplier = request.multiplier;
    chosen.method = dsp::kFirKaiser;
    chosen.beta = order.beta;
    RequirementsOutcome outcome = Carry(DesignFir(doc, chosen));
    const dsp::FirRequirementTrial trial =
        dsp::MethodTrial(req, taps, chosen.rr, dsp::kFirKaiser, order.beta);
    outcome.met = fits;
    outcome.taps = taps;
    outcome.formulaTaps = order.taps;
    outcome.beta = order.beta;
    outcome.rr = chosen.rr;
    outcome.rippleDb = trial.rippleDb;
    outcome.attenuationDb = trial.attenuationDb;
    outcome.designs = 1;
    if (!fits && outcome.message.empty()) {
        outcome.message = Format("The requirements cannot be met with %d taps: Kaiser's formula "
                                 "asks for %d; the %d-tap design reaches a pass ripple of %.3f dB "
                                 "and an attenuation of %.1f dB.",
                                 taps, order.taps, taps, trial.rippleDb, trial.attenuationDb);
    }
    return outcome;
}

// The half-band filter from requirements: its pass and stop ripples are equal, and they shrink
// as the count grows, so the smallest count of 4k + 3 that meets Ap and As is found by doubling
// k from 7 taps until a count meets them, then bisecting. The counts tried stay small where they
// can: a design far finer than double precision can level does not converge.
RequirementsOutcome DesignHalfbandFromRequirements(COlvexDoc& doc,
                                                   const FirRequirementsRequest& request,
                                                   dsp::FirRequirements req) {
    req.fc2 = 0.5 * request.fs - request.fc[0];
    const auto countOf = [](int k) { return 4 * k + 3; };
    const int largest = (COlvexDoc::kMaxDialogTaps - 3) / 4;
    int designs = 0;
    const auto trialOf = [&](int k) {
        ++designs;
        return dsp::MethodTrial(req, countOf(k), 1.0, dsp::kFirHalfband, 0.0);
    };
    int low = 1; // 7 taps
    int high = 1;
    dsp::FirRequirementTrial best = trialOf(high);
    while (!best.meets && high < largest) {
        low = high + 1;
        high = std::min(2 * high, largest);
        best = trialOf(high);
    }
    const bool fits = best.meets;
    if (fits) {
        while (low < high) {
            const int mid = (low + high) / 2;
            const dsp::FirRequirementTrial trial = trialOf(mid);
            if (trial.meets) {
                high = mid;
                best = trial;
            } else {
                low = mid + 1;
            }
        }
    }
    FirDesignRequest chosen;
    chosen.type = request.type;
    chosen.fs = request.fs;
    std::copy(std::begin(request.fc), std::end(request.fc), chosen.fc);
    chosen.fc[1] = req.fc2;
    chosen.taps = best.taps;
    chosen.rr = 1.0; // equal ripples in both bands
    chosen.multiplier = request.multiplier;
    chosen.method = dsp::kFirHalfband;
    chosen.beta = doc.m_dKaiserBeta;
    RequirementsOutcome outcome = Carry(DesignFir(doc, chosen));
    outcome.met = fits;
    outcome.taps = best.taps;
    outcome.rr = 1.0;
    outcome.rippleDb = best.rippleDb;
    outcome.attenuationDb = best.attenuationDb;
    outcome.designs = designs;
    if (!fits && outcome.message.empty()) {
        outcome.message =
            best.designed
                ? Format("The requirements cannot be met with %d taps: the half-band design "
                         "reaches a pass ripple of %.3f dB and an attenuation of %.1f dB.",
                         best.taps, best.rippleDb, best.attenuationDb)
                : Format("The requirements cannot be met: the half-band design of %d taps "
                         "does not converge.",
                         best.taps);
    }
    return outcome;
}

} // namespace

RequirementsOutcome DesignFirFromRequirements(COlvexDoc& doc,
                                              const FirRequirementsRequest& request) {
    const int type = request.type;
    // The dialog's checks, with N and RR replaced by Ap and As.
    RangeRefusal check =
        design::CheckFirDialogValues(type, request.fs, request.fc, 1.0, request.multiplier);
    if (!check.Refused()) {
        check = design::CheckRequirements(request.apDb, request.asDb);
    }
    if (!check.Refused() && request.method == dsp::kFirHalfband) {
        check = design::CheckHalfband(type, request.fs, request.fc[0], 7);
    }
    if (check.Refused()) {
        return Carry(OutOfRange(check));
    }
    design::Warning warning;
    if (!design::CheckFirEdges(type, request.fs, request.fc[0], request.fc[1], request.fc[2],
                               request.fc[3], warning)) {
        return Carry(Refused(warning));
    }
    dsp::FirRequirements req;
    req.type = dsp::FirTypeFromIndex(type);
    req.fs = request.fs;
    req.fc1 = request.fc[0];
    req.fc2 = request.fc[1];
    req.fc3 = request.fc[2];
    req.fc4 = request.fc[3];
    req.apDb = request.apDb;
    req.asDb = request.asDb;
    req.minTaps = COlvexDoc::kMinDialogTaps;
    req.maxTaps = COlvexDoc::kMaxDialogTaps;
    if (request.method == dsp::kFirKaiser) {
        return DesignKaiserFromRequirements(doc, request, req);
    }
    if (request.method == dsp::kFirHalfband) {
        return DesignHalfbandFromRequirements(doc, request, req);
    }
    const bool leastSquares = request.method == dsp::kFirLeastSquares;
    const dsp::FirRequirementResult found =
        leastSquares ? dsp::SearchLeastSquaresRequirements(req) : dsp::SearchFirRequirements(req);
    const char* method = leastSquares ? "least squares" : "Remez exchange";

    FirDesignRequest chosen;
    chosen.type = type;
    chosen.fs = request.fs;
    // The edges as asked, unless the search narrowed a transition band.
    if (found.narrowedEdge >= 0) {
        std::copy(std::begin(found.fc), std::end(found.fc), chosen.fc);
    } else {
        std::copy(std::begin(request.fc), std::end(request.fc), chosen.fc);
    }
    chosen.taps = found.chosen.taps;
    chosen.rr = found.rr;
    chosen.multiplier = request.multiplier;
    chosen.method = request.method;
    chosen.beta = doc.m_dKaiserBeta;
    RequirementsOutcome outcome = Carry(DesignFir(doc, chosen));
    outcome.met = found.met;
    outcome.taps = found.chosen.taps;
    outcome.rr = found.rr;
    outcome.rippleDb = found.chosen.rippleDb;
    outcome.attenuationDb = found.chosen.attenuationDb;
    outcome.designs = found.designs;
    if (found.met && found.narrowedEdge >= 0) {
        const int k = found.narrowedEdge;
        outcome.notices.push_back(
            {"Transition band narrowed",
             {Format("With transition bands of unequal widths the design rose above the pass "
                     "band in the wider one or could not be made, so Fc%d moved from %.6g Hz to "
                     "%.6g Hz: both transition bands are now %.6g Hz wide.",
                     k + 1, found.narrowedFrom, found.fc[k],
                     std::fabs(found.fc[1] - found.fc[0]))}});
    }
    if (found.met && found.transitionAbovePass) {
        const double peakDb = 20.0 * std::log10(found.chosen.transition.gain);
        outcome.transitionAbovePass = true;
        outcome.transitionText =
            Format("The design rises above the pass band in a transition band: %+.2f dB at "
                   "%.6g Hz (the pass band's limit is %+.3f dB).",
                   peakDb, found.chosen.transition.frequency,
                   20.0 * std::log10(1.0 + dsp::PassDeviation(request.apDb)));
    }
    if (!found.met && !outcome.Is(OutcomeKind::kDesignFailed)) {
        outcome.message =
            Format("The requirements cannot be met with %d taps: the best design "
                   "reaches a pass ripple of %.3f dB and an attenuation of %.1f dB.",
                   found.chosen.taps, found.chosen.rippleDb, found.chosen.attenuationDb);
    } else if (!found.met && outcome.message.empty()) {
        // The largest count failed to design: say what the best count that designed reached.
        outcome.message =
            found.best.taps == 0
                ? Format("The requirements cannot be met: no tap count the search tried (%d, up "
                         "to %d) designs with RR %.6g (%s).",
                         found.designs, found.chosen.taps, found.rr, method)
                : Format("The requirements cannot be met: the %d-tap design failed (%s); the "
                         "best design, %d taps, reaches a pass ripple of %.3f dB and an "
                         "attenuation of %.1f dB.",
                         found.chosen.taps, method, found.best.taps, found.best.rippleDb,
                         found.best.attenuationDb);
    }
    return outcome;
}

RequirementsOutcome DesignIirFromRequirements(COlvexDoc& doc,
                                              const IirRequirementsRequest& request) {
    const int type = request.type;
    RangeRefusal check = design::CheckRequirements(request.apDb, request.asDb);
    if (!check.Refused()) {
        check =
            design::CheckIirDialogValues(type, request.apDb, request.fc1, request.fc2, request.fs);
    }
    if (!check.Refused() && request.method == dsp::kIirBessel) {
        check = {design::kFieldNone, 0.0, 0.0,
                 "A Bessel filter is designed from its cut-off and section count only."};
    }
    if (check.Refused()) {
        return Carry(OutOfRange(check));
    }
    // The cut-off rules of the dialog, with a section count every type accepts.
    design::Warning warning;
    if (!design::CheckIirParameters(type, design::MaxIirSections(), request.fs, request.fc1,
                                    request.fc2, warning)) {
        return Carry(Refused(warning));
    }
    check = design::CheckIirStopEdges(type, request.fs, request.fc1, request.fc2, request.stop1,
                                      request.stop2);
    if (check.Refused()) {
        return Carry(OutOfRange(check));
    }
    dsp::IirRequirements req;
    req.type = type;
    req.fs = request.fs;
    req.pass1 = request.fc1;
    req.pass2 = request.fc2;
    req.stop1 = request.stop1;
    req.stop2 = request.stop2;
    req.apDb = request.apDb;
    req.asDb = request.asDb;
    req.method = request.method;
    const dsp::IirRequirementResult found = dsp::SearchIirRequirements(req);

    IirDesignRequest chosen;
    chosen.type = type;
    chosen.sections = found.sections;
    chosen.rippleDb = request.apDb;
    chosen.fc1 = found.cutoffs.fc1;
    chosen.fc2 = found.cutoffs.fc2;
    chosen.fs = request.fs;
    chosen.method = request.method;
    chosen.attenDb = request.asDb;
    RequirementsOutcome outcome = Carry(DesignIir(doc, chosen));
    outcome.cutoff1 = found.cutoffs.fc1;
    outcome.cutoff2 = found.cutoffs.fc2;
    outcome.met = found.met;
    outcome.order = found.order;
    outcome.sections = found.sections;
    outcome.rippleDb = found.rippleDb;
    outcome.attenuationDb = found.attenuationDb;
    if (!found.met && !outcome.Is(OutcomeKind::kDesignFailed)) {
        outcome.message = Format("The requirements need order %d, more than %d sections hold: "
                                 "%d sections reach an attenuation of %.1f dB.",
                                 found.order, found.sections, found.sections, found.attenuationDb);
    }
    return outcome;
}

} // namespace commands
