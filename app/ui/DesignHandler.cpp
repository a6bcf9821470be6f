// The Design command's handler, as its steps: read the form, run the FIR or IIR branch of the
// chosen type (the dialog, the request, the command calls, the warnings and the offer after a
// failed FIR design), then the epilogue that every path reaches: redraw, timer, prompt, status.
#include "app/ui/DesignHandler.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <string>

#include "app/DesignCommands.h"
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "app/RequirementsCommands.h"
#include "app/ui/DesignDialogs.h"
#include "app/ui/OlvexView.h"
#include "dsp/FirMethods.h"
#include "resources/Resources.h"
#include "vhdl/VhdlText.h"

namespace design {

const char* const kIterationLimitStatus = "Reached maximum iteration count. Results may be bad.";
const char* const kShortOfOptimumStatus =
    "The design is short of the equiripple optimum. Results may be bad.";
const char* const kDesignFailedStatus = "The design failed. The previous design is kept.";

namespace {

using Outcome = commands::DesignOutcome;
using commands::OutcomeKind;

// The status bar text of a design that stands but is short of the optimum: why, and by how much.
std::string ShortOfOptimumStatus(const Outcome& outcome) {
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, " Weighted ripple %.4g, target %.4g.",
                  outcome.achievedRipple, outcome.targetRipple);
    return std::string(outcome.iterationLimit ? kIterationLimitStatus : kShortOfOptimumStatus) +
           numbers;
}

void Warn(platform::UiHost& host, const Warning& warning) {
    host.ShowWarning(warning.templateId, warning.title, warning.lines);
}

// A refusal's warning, then the warnings that only question the entry.
void ShowWarnings(platform::UiHost& host, const Outcome& outcome) {
    if (outcome.Is(OutcomeKind::kRefused)) {
        Warn(host, outcome.warning);
    }
    for (const Warning& notice : outcome.notices) {
        Warn(host, notice);
    }
}

// The request of the dialog's fields; RR and beta where the method leaves them disabled stay as
// the document holds them.
commands::FirDesignRequest FirRequest(const COlvexDoc& doc, int type, const CFirDesignDialog& dlg) {
    commands::FirDesignRequest request = commands::FirRequestFromDocument(doc, type);
    request.fs = dlg.m_fs;
    request.fc[0] = dlg.m_fc1;
    request.fc[1] = dlg.m_fc2;
    request.fc[2] = dlg.m_fc3;
    request.fc[3] = dlg.m_fc4;
    request.taps = dlg.m_nTaps;
    if (dlg.UsesRR()) {
        request.rr = dlg.m_dRR;
    }
    request.multiplier = dlg.m_nCoeffMultiplier;
    request.method = dlg.m_nFirMethod;
    if (dlg.UsesBeta()) {
        request.beta = dlg.m_dKaiserBeta;
    }
    return request;
}

// The offer after a failed FIR design: the choice of a tap-count or a band-edge proposal, the
// proposal confirmed (or edited) in its result dialog, and one more design whatever the user
// answered there. Closing the offer keeps the failed outcome.
Outcome OfferAdjustment(platform::UiHost& host, COlvexDoc& doc, int type, const Outcome& failed) {
    CAdjustChoiceDialog choice;
    choice.m_nChoice = 0;
    if (host.RunModal(choice) != platform::kIdOk) {
        return failed;
    }
    commands::FirAdjustment adjustment;
    if (choice.m_nChoice != 1) {
        adjustment.kind = commands::FirAdjustment::Kind::kTaps;
        CFirDesignDialog result(type, FirDialogKind::kTapAdjustment);
        result.Fill(doc, failed.proposal.taps);
        adjustment.confirmed = host.RunModal(result) == platform::kIdOk;
        adjustment.taps = result.m_nTaps;
    } else {
        adjustment.kind = commands::FirAdjustment::Kind::kEdges;
        adjustment.edges = failed.proposal.edges;
        CFirDesignDialog result(type, FirDialogKind::kEdgeAdjustment);
        result.Fill(doc, doc.m_nTaps);
        result.m_fc1 = adjustment.edges.fc[0];
        result.m_fc2 = adjustment.edges.fc[1];
        result.m_fc3 = adjustment.edges.fc[2];
        result.m_fc4 = adjustment.edges.fc[3];
        adjustment.confirmed = host.RunModal(result) == platform::kIdOk;
        const double confirmed[4] = {result.m_fc1, result.m_fc2, result.m_fc3, result.m_fc4};
        std::copy(std::begin(confirmed), std::end(confirmed), adjustment.edges.fc);
    }
    return commands::RunAdjustedFirDesign(doc, type, adjustment);
}

// Requirements that the best design cannot meet: the message says what it reaches, and the
// design counts as failed, so the previous one is kept (as vantrel-cli keeps nothing).
Outcome RequirementsNotMetFail(platform::UiHost& host, commands::RequirementsOutcome outcome) {
    if (outcome.met) {
        return outcome;
    }
    if (!outcome.message.empty()) {
        host.MessageBox(outcome.message, "", platform::MessageIcon::kWarning);
    }
    outcome.kind = OutcomeKind::kDesignFailed;
    return outcome;
}

// Design from requirements: the command chooses N and RR. A refused entry shows its warning and
// the unchanged values are designed, as after any refused entry; requirements that the longest
// filter cannot meet are said in a message box, with what the best design reaches.
// What Kaiser's formulas chose, for the status bar: the tap count and beta, and what the design
// reaches on the requirement's bands (the formulas are estimates and may fall short).
std::string KaiserRequirementsReport(const commands::RequirementsOutcome& outcome, double apDb,
                                     double asDb) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "Kaiser window, %d taps, beta %.4g (Kaiser's formula): pass ripple %.3f dB, "
                  "stop max %.3f dB%s",
                  outcome.taps, outcome.beta, outcome.rippleDb, -outcome.attenuationDb,
                  outcome.rippleDb > apDb || outcome.attenuationDb < asDb
                      ? "; short of the requirements"
                      : "");
    return text;
}

Outcome FirFromRequirements(platform::UiHost& host, COlvexDoc& doc, int type,
                            const CFirDesignDialog& dlg, std::string& report) {
    commands::FirRequirementsRequest request;
    request.type = type;
    request.fs = dlg.m_fs;
    request.fc[0] = dlg.m_fc1;
    request.fc[1] = dlg.m_fc2;
    request.fc[2] = dlg.m_fc3;
    request.fc[3] = dlg.m_fc4;
    request.apDb = dlg.m_dApDb;
    request.asDb = dlg.m_dAsDb;
    request.multiplier = dlg.m_nCoeffMultiplier;
    request.method = dlg.m_nFirMethod;
    commands::RequirementsOutcome outcome = commands::DesignFirFromRequirements(doc, request);
    ShowWarnings(host, outcome);
    if (outcome.transitionAbovePass) {
        host.MessageBox(outcome.transitionText, "", platform::MessageIcon::kWarning);
    }
    if (outcome.Is(OutcomeKind::kRefused) || outcome.Is(OutcomeKind::kOutOfRange)) {
        return commands::RunFirDesign(doc, type);
    }
    if (outcome.met && request.method == dsp::kFirKaiser &&
        !outcome.Is(OutcomeKind::kDesignFailed)) {
        report = KaiserRequirementsReport(outcome, request.apDb, request.asDb);
    }
    return RequirementsNotMetFail(host, outcome);
}

// A kind on a band table: its table's dialog, then the Remez design of the table with fs, N and
// the multiplier of the parameter dialog. The record keeps its filter type, as the command line
// keeps it. A failed design keeps the previous one and says how many taps the narrowest
// transition asks for; the filter type's adjustments (moved edges, the result dialogs) do not
// apply to a table the user wrote. Returns false when the table's dialog was cancelled.
bool BandTableBranch(platform::UiHost& host, COlvexDoc& doc, const CFirDesignDialog& dlg,
                     Outcome& outcome) {
    CBandTableDialog table(dlg.m_nFirKind);
    table.Fill(doc, dlg.m_fs);
    if (host.RunModal(table) != platform::kIdOk) {
        return false;
    }
    commands::FirDesignRequest request = commands::FirRequestFromDocument(doc, doc.FilterTypeOf(0));
    request.kind = static_cast<dsp::FirKind>(dlg.m_nFirKind);
    request.fs = dlg.m_fs;
    request.taps = dlg.m_nTaps;
    request.multiplier = dlg.m_nCoeffMultiplier;
    request.bands.nBands = table.m_nBands;
    for (int b = 0; b < table.m_nBands; ++b) {
        const auto k = static_cast<size_t>(b);
        request.bands.edges[2 * k] = table.m_aFrom[b];
        request.bands.edges[2 * k + 1] = table.m_aTo[b];
        request.bands.desired[k] = table.m_aGain[b];
        request.bands.weight[k] = table.m_aWeight[b];
    }
    const COlvexDoc before = doc;
    outcome = commands::DesignFir(doc, request);
    if (outcome.Is(OutcomeKind::kOutOfRange)) {
        // The dialogs' checks are the command's; this is only the last word.
        host.MessageBox(outcome.range.message, "", platform::MessageIcon::kWarning);
        outcome.kind = OutcomeKind::kDesignFailed;
    } else if (outcome.Is(OutcomeKind::kDesignFailed)) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "The Remez exchange did not converge on this band table with %d taps. "
                      "About %d taps suit its narrowest transition.",
                      request.taps, outcome.proposal.taps);
        host.MessageBox(text, "", platform::MessageIcon::kWarning);
    }
    if (outcome.Is(OutcomeKind::kDesignFailed)) {
        doc = before;
    }
    return true;
}

bool DesignFromDialog(platform::UiHost& host, COlvexDoc& doc, int type, const CFirDesignDialog& dlg,
                      Outcome& outcome, std::string& report);

// The FIR branch: the dialog, storing (or the refusal), the design and, after a failure, the
// offer. Returns false when the dialog was cancelled (nothing designed). The rate chosen goes
// with the design: a design that stands takes it, a failed one keeps the previous design's.
bool FirBranch(platform::UiHost& host, COlvexDoc& doc, int type, Outcome& outcome,
               std::string& report) {
    CFirDesignDialog dlg(type, FirDialogKind::kParameters);
    dlg.Fill(doc, ShownFirTapCount(doc));
    if (host.RunModal(dlg) != platform::kIdOk) {
        return false; // Cancel designs nothing
    }
    dlg.Remember(doc);
    if (!DesignFromDialog(host, doc, type, dlg, outcome, report)) {
        return false;
    }
    if (!outcome.Is(OutcomeKind::kDesignFailed)) {
        doc.m_nRateKind = dlg.m_nRateKind;
        doc.m_nRateFactor = dlg.m_nRateFactor;
    }
    return true;
}

bool DesignFromDialog(platform::UiHost& host, COlvexDoc& doc, int type, const CFirDesignDialog& dlg,
                      Outcome& outcome, std::string& report) {
    if (dlg.UsesBandTable()) {
        return BandTableBranch(host, doc, dlg, outcome);
    }
    // A design that fails for good (the offer closed, or failing again after it) leaves the
    // Remez engine's unfinished taps behind; the report, the plots and the files must never see
    // them, so the document goes back to the design it held before this command.
    const COlvexDoc before = doc;
    if (dlg.m_bFromRequirements != 0) {
        outcome = FirFromRequirements(host, doc, type, dlg, report);
        if (outcome.Is(OutcomeKind::kDesignFailed)) {
            doc = before;
        }
        return true;
    }
    ShowWarnings(host, commands::StoreFirRequest(doc, FirRequest(doc, type, dlg)));
    // Valid or not, the design runs: after a refused entry it redesigns the unchanged values
    // with the layout of this branch's type.
    outcome = commands::RunFirDesign(doc, type);
    if (outcome.Is(OutcomeKind::kDesignFailed)) {
        outcome = OfferAdjustment(host, doc, type, outcome);
    }
    if (outcome.Is(OutcomeKind::kDesignFailed)) {
        doc = before;
    }
    return true;
}

// What a design from requirements reached, for the status bar: the section count chosen, and
// the pass ripple and stop-band attenuation measured on the requirement's own bands (from the
// stop edge the user gave, not the form's bands).
std::string IirRequirementsReport(const commands::RequirementsOutcome& outcome, int method) {
    // A method other than Chebyshev I is named first.
    const std::string name = vhdl::DesignMethodWords(1, method);
    char text[160];
    std::snprintf(text, sizeof text,
                  "%d sections (order %d): pass ripple %.3f dB, stop max %.3f dB from the stop "
                  "edge",
                  outcome.sections, outcome.order, outcome.rippleDb, -outcome.attenuationDb);
    return (name.empty() ? std::string() : name + " IIR. ") + text;
}

// The IIR branch: OK or Cancel, valid or not, the cascade is designed from the document as it
// stands. A cascade that is not finite is not taken (the previous sections stay). A design from
// requirements that met them leaves its report in `report`.
void IirBranch(platform::UiHost& host, COlvexDoc& doc, int type, Outcome& outcome,
               std::string& report) {
    CIirDesignDialog dlg(type);
    dlg.Fill(doc);
    const bool accepted = host.RunModal(dlg) == platform::kIdOk;
    if (accepted) {
        dlg.Remember(doc);
    }
    if (accepted && dlg.m_bFromRequirements != 0) {
        commands::IirRequirementsRequest request;
        request.type = type;
        request.fs = dlg.m_fs;
        request.fc1 = dlg.m_dIirFc1;
        request.fc2 = dlg.m_dIirFc2;
        request.stop1 = dlg.m_dStopFc1;
        request.stop2 = dlg.m_dStopFc2;
        request.apDb = dlg.m_dRippleDb;
        request.asDb = dlg.m_dAsDb;
        request.method = dlg.m_nIirMethod;
        const COlvexDoc before = doc;
        const commands::RequirementsOutcome designed =
            commands::DesignIirFromRequirements(doc, request);
        ShowWarnings(host, designed);
        if (designed.Is(OutcomeKind::kRefused) || designed.Is(OutcomeKind::kOutOfRange) ||
            designed.Is(OutcomeKind::kDesignFailed)) {
            outcome = designed.Is(OutcomeKind::kDesignFailed)
                          ? static_cast<const Outcome&>(designed)
                          : commands::RunIirDesign(doc);
            if (outcome.Is(OutcomeKind::kDesignFailed)) {
                host.MessageBox(outcome.message, "", platform::MessageIcon::kWarning);
            }
        } else {
            outcome = RequirementsNotMetFail(host, designed);
            if (designed.met) {
                report = IirRequirementsReport(designed, request.method);
            }
        }
        if (outcome.Is(OutcomeKind::kDesignFailed)) {
            doc = before; // the requirements' best design does not replace the one that stands
        }
        return;
    }
    if (accepted) {
        commands::IirDesignRequest request;
        request.type = type;
        request.sections = dlg.m_nIirSections;
        request.rippleDb = dlg.m_dRippleDb;
        request.fc1 = dlg.m_dIirFc1;
        request.fc2 = dlg.m_dIirFc2;
        request.fs = dlg.m_fs;
        request.method = dlg.m_nIirMethod;
        request.attenDb = dlg.m_dIirAttenDb;
        ShowWarnings(host, commands::StoreIirRequest(doc, request));
    }
    outcome = commands::RunIirDesign(doc);
    if (outcome.Is(OutcomeKind::kDesignFailed)) {
        host.MessageBox(outcome.message, "", platform::MessageIcon::kWarning);
    }
}

// The CIC branch: its dialog; OK stores the parameters, which are the whole CIC design (the dialog
// refused anything out of range), and designs the droop compensator when it is asked for. Returns
// false when the dialog was cancelled.
bool CicBranch(platform::UiHost& host, COlvexDoc& doc) {
    CCicDesignDialog dlg;
    dlg.Fill(doc);
    if (host.RunModal(dlg) != platform::kIdOk) {
        return false;
    }
    dlg.Store(doc);
    doc.m_bCicDesigned = 1;
    // The CIC stands whatever becomes of its compensator; a failed compensator is said and left
    // out (the dialog checked its entries, so this is the design itself failing).
    const std::string error = doc.DesignCicCompensator();
    if (!error.empty()) {
        std::string text = error;
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        host.MessageBox(text + ".", "", platform::MessageIcon::kWarning);
    }
    return true;
}

} // namespace

} // namespace design

void DesignHandler::OnDesign() {
    using namespace design;
    m_view.m_bRedrawPending = 1;
    const int noDesignBefore = m_view.m_bNoDesign;
    m_view.m_bNoDesign = 0;
    m_host.Invalidate(true);
    // The structure the form showed before this command: it comes back when nothing new is
    // designed.
    const int structureBefore = m_view.m_nFirIir;
    m_view.UpdateData(true);
    const int typeRead = m_view.m_nFilterSel;
    const int structureRead = m_view.m_nFirIir;

    const int type =
        std::clamp(m_view.m_nFilterSel, static_cast<int>(kLpf), static_cast<int>(kBpf));
    commands::DesignOutcome outcome;
    bool designed = true;
    std::string requirementsReport;
    if (m_view.m_nFirIir == COlvexDoc::kCicStructure) {
        designed = CicBranch(m_host, m_doc);
    } else if (m_view.m_nFirIir == 0) {
        designed = FirBranch(m_host, m_doc, type, outcome, requirementsReport);
    } else {
        IirBranch(m_host, m_doc, type, outcome, requirementsReport);
    }
    const bool failed = outcome.Is(commands::OutcomeKind::kDesignFailed);
    if (failed) {
        m_view.m_bNoDesign =
            noDesignBefore; // the plot shows what it showed before: a design or none
    }
    // The form shows the type and structure of the design the document holds: after Cancel, a
    // failed design (the previous design restored) or an IIR design of the unchanged values, the
    // radios the user clicked go back to them. (A FIR design that ran has the clicked type's
    // layout, even after a refused entry.)
    if (!designed || failed) {
        m_view.m_nFirIir = structureBefore;
    }
    m_doc.ShowStructure(m_view.m_nFirIir);
    // A design on a band table keeps the record's filter type, which the form then shows.
    if (m_view.m_nFirIir != 0 || !designed || failed || m_doc.FirUsesBandTable()) {
        m_view.m_nFilterSel =
            std::clamp(m_doc.m_nFilterType, static_cast<int>(kLpf), static_cast<int>(kBpf));
    }
    if (m_view.m_nFilterSel != typeRead || m_view.m_nFirIir != structureRead) {
        m_view.UpdateData(false);
    }
    if (designed && !failed) {
        m_view.m_nDesignStructure = m_view.m_nFirIir;
    }

    // Epilogue, on every path.
    m_view.RedrawPlot();
    m_view.ScheduleRedraw(COlvexView::kCommandRedrawMs);
    m_view.Coefficients().ShowCoeffPrompt();
    m_view.m_bCoeffsListed = 0;
    m_view.m_bVhdlParamsSet = 0;
    m_doc.m_bAdjustOffered = 0;
    // A run that ended short of the optimum (at the iteration limit or otherwise) counts as
    // designed, so its plot is shown; the status bar tells the user to check it, with the
    // achieved and the target ripple.
    // A good design puts the summary of its measured bands where the idle message would be.
    const bool shortOfOptimum = outcome.Is(commands::OutcomeKind::kShortOfOptimum);
    if (designed && !failed && !shortOfOptimum) {
        m_view.Measure().ShowMeasurementSummary();
        if (!requirementsReport.empty()) {
            m_host.SetStatusText(requirementsReport);
        }
    } else {
        m_host.SetStatusText(failed           ? std::string(kDesignFailedStatus)
                             : shortOfOptimum ? ShortOfOptimumStatus(outcome)
                                              : resources::LoadString(resources::kIdsIdleMessage));
    }
}
