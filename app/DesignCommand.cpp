// The Design command, as its steps: read the form, run the FIR or IIR branch of the chosen
// type, then the epilogue that every path reaches.
#include "app/DesignCommand.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/DesignDialogs.h"
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "app/OlvexView.h"
#include "resources/Resources.h"

namespace design {

const char* const kIterationLimitStatus = "Reached maximum iteration count. Results may be bad.";
const char* const kShortOfOptimumStatus =
    "The design is short of the equiripple optimum. Results may be bad.";
const char* const kDesignFailedStatus = "The design failed. The previous design is kept.";
const char* const kIirFailedMessage = "The IIR design failed: the parameters give no finite "
                                      "filter (check the ripple, fs and the cut-off frequencies).";

namespace {

// What the branches report to the epilogue.
struct DesignOutcome {
    bool iterationLimit = false; // the last Remez run of this command stopped at its limit
    bool failed = false;         // the last design of this command gave no filter
    bool designed = false;       // a design ran (Cancel of the FIR dialog runs none)
    bool shortOfOptimum = false; // the last Remez run ended above the equiripple optimum
    double achievedRipple = 0.0; // its largest weighted error on the grid
    double targetRipple = 0.0;   // the level of its final extremal set
};

// The status bar text of a design that stands but is short of the optimum: why, and by how much.
std::string ShortOfOptimumStatus(const DesignOutcome& outcome) {
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, " Weighted ripple %.4g, target %.4g.",
                  outcome.achievedRipple, outcome.targetRipple);
    return std::string(outcome.iterationLimit ? kIterationLimitStatus : kShortOfOptimumStatus) +
           numbers;
}

void Warn(platform::UiHost& host, const Warning& warning) {
    host.ShowWarning(warning.templateId, warning.title, warning.lines);
}

// Clears the result arrays, lays out the bands of type t and runs the Remez design.
void RunFirDesign(COlvexDoc& doc, int type, DesignOutcome& outcome) {
    doc.DesignFir(type);
    outcome.designed = true;
    outcome.iterationLimit = doc.m_bIterationLimit != 0;
    outcome.failed = doc.m_bDesignOk == 0;
    outcome.shortOfOptimum = doc.m_bOptimumReached == 0;
    outcome.achievedRipple = doc.m_dAchievedRipple;
    outcome.targetRipple = doc.m_dTargetRipple;
}

// Stores an accepted FIR parameter dialog, or warns and stores nothing.
void StoreFirDialog(platform::UiHost& host, COlvexDoc& doc, int type, const CFirDesignDialog& dlg) {
    Warning warning;
    if (!CheckFirEdges(type, dlg.m_fs, dlg.m_fc1, dlg.m_fc2, dlg.m_fc3, dlg.m_fc4, warning)) {
        Warn(host, warning);
        return;
    }
    doc.m_fc1 = dlg.m_fc1;
    doc.m_fc2 = dlg.m_fc2;
    if (IsThreeBand(type)) {
        doc.m_fc3 = dlg.m_fc3;
        doc.m_fc4 = dlg.m_fc4;
    }
    doc.m_dRR = dlg.m_dRR;
    doc.m_nCoeffMultiplier = dlg.m_nCoeffMultiplier;
    doc.m_fs = dlg.m_fs;
    doc.m_bQuantize = 0;
    doc.m_nCoeffFormat = 0;
    // Unbalanced transition bands are designed anyway; the user is only told.
    if (IsThreeBand(type) &&
        FirBandsUnbalanced(doc.m_fc1, doc.m_fc2, doc.m_fc3, doc.m_fc4, warning)) {
        Warn(host, warning);
    }
    StoreFirTapCount(doc, type, dlg.m_nTaps);
    doc.m_nFilterType = type;
}

// One offer after a failed FIR design: a tap-count or a band-edge proposal, confirmed (or
// edited) in its result dialog, and one more design whatever the user answered there.
void AdjustFirDesign(platform::UiHost& host, COlvexDoc& doc, int type, DesignOutcome& outcome) {
    CAdjustChoiceDialog choice;
    choice.m_nChoice = 0;
    if (host.RunModal(choice) != platform::kIdOk) {
        doc.m_bDesignOk = 1;
        return;
    }
    if (choice.m_nChoice != 1) {
        CFirDesignDialog result(type, FirDialogKind::kTapAdjustment);
        const int proposed = doc.EstimateTaps();
        result.Fill(doc, proposed);
        if (host.RunModal(result) == platform::kIdOk) {
            StoreFirTapCount(doc, type, result.m_nTaps);
        }
    } else {
        EdgeProposal proposal = ProposeEdges(doc, type);
        CFirDesignDialog result(type, FirDialogKind::kEdgeAdjustment);
        result.Fill(doc, doc.m_nTaps);
        result.m_fc1 = proposal.fc[0];
        result.m_fc2 = proposal.fc[1];
        result.m_fc3 = proposal.fc[2];
        result.m_fc4 = proposal.fc[3];
        if (host.RunModal(result) == platform::kIdOk) {
            // Stored as the user left them; the adjusted edges are not checked again.
            proposal.fc[0] = result.m_fc1;
            proposal.fc[1] = result.m_fc2;
            proposal.fc[2] = result.m_fc3;
            proposal.fc[3] = result.m_fc4;
            StoreEdgeProposal(doc, proposal);
        }
    }
    doc.m_bAdjustOffered = 1;
    RunFirDesign(doc, type, outcome);
    // A second failure is neither reported nor offered again.
    doc.m_bDesignOk = 1;
}

void FirBranch(platform::UiHost& host, COlvexDoc& doc, int type, DesignOutcome& outcome) {
    CFirDesignDialog dlg(type, FirDialogKind::kParameters);
    dlg.Fill(doc, ShownFirTapCount(doc));
    if (host.RunModal(dlg) != platform::kIdOk) {
        return; // Cancel designs nothing
    }
    // A design that fails for good (the offer closed, or failing again after it) leaves the
    // Remez engine's unfinished taps behind; the report, the plots and the files must never see
    // them, so the document goes back to the design it held before this command.
    const COlvexDoc before = doc;
    StoreFirDialog(host, doc, type, dlg);
    // Valid or not, the design runs: after a refused entry it redesigns the unchanged values
    // with the layout of this branch's type.
    RunFirDesign(doc, type, outcome);
    if (doc.m_bDesignOk == 0 && doc.m_bAdjustOffered == 0) {
        AdjustFirDesign(host, doc, type, outcome);
    }
    if (outcome.failed) {
        doc = before;
    }
}

void IirBranch(platform::UiHost& host, COlvexDoc& doc, int type, DesignOutcome& outcome) {
    CIirDesignDialog dlg(type);
    dlg.Fill(doc);
    if (host.RunModal(dlg) == platform::kIdOk) {
        Warning warning;
        if (CheckIirParameters(type, dlg.m_nIirSections, dlg.m_fs, dlg.m_dIirFc1, dlg.m_dIirFc2,
                               warning)) {
            StoreIirParameters(doc, type, dlg.m_nIirSections, dlg.m_dRippleDb, dlg.m_dIirFc1,
                               dlg.m_dIirFc2, dlg.m_fs);
        } else {
            Warn(host, warning);
        }
    }
    // OK or Cancel, valid or not: the cascade is designed from the document as it stands. A
    // cascade that is not finite is not taken (the previous sections stay) and the user is told.
    outcome.designed = true;
    if (!doc.DesignIir()) {
        outcome.failed = true;
        host.MessageBox(kIirFailedMessage, "", platform::MessageIcon::kWarning);
    }
}

} // namespace

} // namespace design

void COlvexView::OnDesign() {
    using namespace design;
    m_bRedrawPending = 1;
    const int noDesignBefore = m_bNoDesign;
    m_bNoDesign = 0;
    m_host.Invalidate(true);
    UpdateData(true);

    const int type = std::clamp(m_nFilterSel, static_cast<int>(kLpf), static_cast<int>(kBpf));
    DesignOutcome outcome;
    if (m_nFirIir == 0) {
        FirBranch(m_host, m_doc, type, outcome);
    } else {
        IirBranch(m_host, m_doc, type, outcome);
    }
    if (outcome.failed) {
        m_bNoDesign = noDesignBefore; // the plot shows what it showed before: a design or none
    }

    // Epilogue, on every path.
    RedrawPlot();
    ScheduleRedraw(kCommandRedrawMs);
    ShowCoeffPrompt();
    m_bCoeffsListed = 0;
    m_bVhdlParamsSet = 0;
    m_doc.m_bAdjustOffered = 0;
    // A run that ended short of the optimum (at the iteration limit or otherwise) counts as
    // designed, so its plot is shown; the status bar tells the user to check it, with the
    // achieved and the target ripple.
    // A good design puts the summary of its measured bands where the idle message would be.
    if (outcome.designed && !outcome.failed && !outcome.shortOfOptimum) {
        ShowMeasurementSummary();
    } else {
        m_host.SetStatusText(outcome.failed ? std::string(kDesignFailedStatus)
                             : outcome.shortOfOptimum
                                 ? ShortOfOptimumStatus(outcome)
                                 : resources::LoadString(resources::kIdsIdleMessage));
    }
}
