// The Design command played on the scripted desktop: what each dialog answer stores, which
// warnings it gives, that the design still runs where it must, the single adjustment offer,
// the epilogue on every path, and the status text after a run that hit the iteration limit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>

#include "app/CoefficientsCommands.h"
#include "app/DesignCommands.h"
#include "app/DesignRules.h"
#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "app/ui/DesignHandler.h"
#include "app/ui/OlvexView.h"
#include "dsp/MeasureReport.h"
#include "files/NumberText.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::DialogAnswer;
namespace ids = design;

const char* const kPrompt = "Click 'Coefficients' to get coefficients!!\r\n";
constexpr int kTypeRadios[4] = {resources::kIdcLpf, resources::kIdcHpf, resources::kIdcBrf,
                                resources::kIdcBpf};

// A scripted desktop that can act on the document while a given dialog is open, as a user
// cannot, to see what the command does after that dialog.
class ProbingHost : public platform::ScriptedHost {
public:
    using ScriptedHost::ScriptedHost;
    std::function<void(int templateId)> onDialog;
    int RunModal(platform::Dialog& dialog) override {
        if (onDialog) {
            onDialog(dialog.Template().id);
        }
        return ScriptedHost::RunModal(dialog);
    }
};

struct DesignFixture : support::ScriptedWindowTestOf<ProbingHost> {
    std::string console;

    DesignFixture() {
        doc.m_fnConsole = [this](const std::string& text) { console += text; };
    }
    void Select(int type, bool iir) {
        host.ClickFormRadio(kTypeRadios[type]);
        host.ClickFormRadio(iir ? resources::kIdcIir : resources::kIdcFir);
    }
    void Design() {
        EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
        EXPECT_EQ(host.UnansweredDialogs(), 0) << "a scripted dialog never came up";
    }
    int FirstZeroTap() const {
        int n = 0;
        while (n < COlvexDoc::kMaxFirTaps && doc.m_aFirCoeffs[n] != 0.0) {
            ++n;
        }
        return n;
    }
    std::vector<int> DialogIds() const {
        std::vector<int> shown;
        for (const platform::ShownDialog& d : host.Dialogs()) {
            shown.push_back(d.templateId);
        }
        return shown;
    }
};

TEST_F(DesignFixture, EnteredTapCountIsStoredByTheTypesParityRule) {
    const struct {
        int type;
        const char* entered;
        int taps;
        int evenTaps;
    } cases[] = {
        {kHpf, "90", 89, 1}, {kLpf, "90", 90, 0}, {kBrf, "60", 59, 1},
        {kBpf, "60", 60, 0}, {kHpf, "91", 91, 0}, {kBrf, "61", 61, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.entered) + " for type " + std::to_string(c.type));
        Select(c.type, false);
        host.AnswerDialog(
            DialogAnswer::Ok(ids::kIddFirParameters + c.type).Text(ids::kIdcTaps, c.entered));
        Design();
        EXPECT_EQ(doc.m_nTaps, c.taps);
        EXPECT_EQ(doc.m_bEvenTaps, c.evenTaps);
        EXPECT_EQ(doc.m_nFilterType, c.type);
        // The design used m_nTaps taps: the last one is set, the next one was cleared.
        EXPECT_EQ(FirstZeroTap(), c.taps);
        // Reopening shows what the user entered.
        host.AnswerDialog(DialogAnswer::Cancel());
        Design();
        EXPECT_EQ(host.Dialogs().back().opened.GetText(ids::kIdcTaps), c.entered);
    }
    EXPECT_TRUE(host.Warnings().empty());
}

TEST_F(DesignFixture, RefusedEdgesWarnStoreNothingAndRedesignTheOldValuesWithTheBranchLayout) {
    const struct {
        int type;
        std::vector<std::pair<int, const char*>> entries;
        const char* title;
        const char* lastLine;
    } cases[] = {
        {kLpf, {{ids::kIdcFc2, "500"}}, "Warning!", "Fc1 < Fc2 < Fs/2."},
        {kHpf, {{ids::kIdcFc1, "250"}}, "Warning!", "Fc1 < Fc2 < Fs/2."},
        {kBpf, {{ids::kIdcFc4, "500"}}, "Warning", "Fc1 < Fc2 < Fc3 < Fc4 < Fs/2."},
        {kBrf, {{ids::kIdcFc3, "240"}}, "Warning", "Fc1 < Fc2 < Fc3 < Fc4 < Fs/2."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const COlvexDoc before = doc;
        std::fill(std::begin(doc.m_aFirCoeffs), std::end(doc.m_aFirCoeffs),
                  std::numeric_limits<double>::quiet_NaN());
        Select(c.type, false);
        DialogAnswer answer = DialogAnswer::Ok(ids::kIddFirParameters + c.type);
        answer.Text(ids::kIdcTaps, "31").Text(ids::kIdcRR, "3");
        for (const auto& [id, text] : c.entries) {
            answer.Text(id, text);
        }
        host.AnswerDialog(answer);
        const size_t warnings = host.Warnings().size();
        Design();
        ASSERT_EQ(host.Warnings().size(), warnings + 1);
        EXPECT_EQ(host.Warnings().back().title, c.title);
        EXPECT_EQ(host.Warnings().back().lines.back(), c.lastLine);
        // Nothing was stored, not even the fields that were valid.
        EXPECT_EQ(doc.m_nTaps, before.m_nTaps);
        EXPECT_EQ(doc.m_dRR, before.m_dRR);
        EXPECT_EQ(doc.m_fc1, before.m_fc1);
        EXPECT_EQ(doc.m_fc4, before.m_fc4);
        EXPECT_EQ(doc.m_nFilterType, before.m_nFilterType);
        // The unchanged values were designed again, with the layout of the chosen type.
        EXPECT_EQ(FirstZeroTap(), before.m_nTaps);
        EXPECT_FALSE(std::isnan(doc.m_aFirCoeffs[0]));
        COlvexDoc reference = before;
        reference.DesignFir(c.type);
        for (int n = 0; n < before.m_nTaps; ++n) {
            ASSERT_EQ(doc.m_aFirCoeffs[n], reference.m_aFirCoeffs[n]) << n;
        }
    }
}

TEST_F(DesignFixture, UnbalancedTransitionBandsWarnButAreStored) {
    // (fc2 - fc1) / (fc4 - fc3) with fc4 - fc3 = 50: warned at or below 0.67 and at or above 1.5.
    const struct {
        const char* fc2;
        bool warned;
    } cases[] = {{"133.5", true}, {"134", false}, {"174.5", false}, {"175", true}};
    for (int type : {kBpf, kBrf}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.fc2) + " type " + std::to_string(type));
            Select(type, false);
            host.AnswerDialog(DialogAnswer::Ok()
                                  .Text(ids::kIdcFc1, "100")
                                  .Text(ids::kIdcFc2, c.fc2)
                                  .Text(ids::kIdcFc3, "350")
                                  .Text(ids::kIdcFc4, "400")
                                  .Text(ids::kIdcTaps, "41"));
            const size_t warnings = host.Warnings().size();
            Design();
            ASSERT_EQ(host.Warnings().size(), warnings + (c.warned ? 1 : 0));
            if (c.warned) {
                EXPECT_EQ(host.Warnings().back().lines.back(),
                          "(fc2-fc1) had better equal to (fc4-fc3). ");
                EXPECT_EQ(host.Warnings().back().templateId, design::kIddWarnUnbalanced);
            }
            EXPECT_EQ(doc.m_fc2, std::stod(c.fc2));
            EXPECT_EQ(doc.m_nTaps, 41);
            EXPECT_EQ(doc.m_nFilterType, type);
        }
    }
}

TEST_F(DesignFixture, IirBranchWarnsOddSectionsFirstAndAlwaysDesigns) {
    // BRF with n = 3 and fc1 > fc2: only the section-count warning.
    Select(kBrf, true);
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddIirParameters + kBrf)
                          .Text(ids::kIdcIirSections, "3")
                          .Text(ids::kIdcFc1, "300")
                          .Text(ids::kIdcFc2, "200"));
    Design();
    ASSERT_EQ(host.Warnings().size(), 1u);
    EXPECT_EQ(host.Warnings()[0].lines,
              (std::vector<std::string>{"for BPF and BRF, ", "the Number of IIRs needs to be",
                                        "2, 4, 6 or 8."}));
    // Nothing stored, but the stored LPF parameters were designed: section 1 is no identity.
    EXPECT_EQ(doc.m_nIirSections, 2);
    EXPECT_EQ(doc.m_nFilterType, kLpf);
    EXPECT_NE(doc.m_aA1[0], 0.0);
    EXPECT_EQ(host.Dialogs()[0].title, "IIR Band Rejection Filter");

    // Cancel still designs the stored parameters.
    doc.m_dIirFc1 = 100.0;
    doc.m_aA1[0] = 0.0;
    Select(kHpf, true);
    host.AnswerDialog(DialogAnswer::Cancel(ids::kIddIirParameters + kHpf));
    Design();
    COlvexDoc reference;
    reference.m_dIirFc1 = 100.0;
    reference.DesignIir();
    EXPECT_EQ(doc.m_aA1[0], reference.m_aA1[0]);
    EXPECT_EQ(view.m_strOutput, kPrompt);

    // A valid entry is stored, with quantization reset.
    doc.m_bQuantize = 1;
    doc.m_nCoeffFormat = 3;
    Select(kBpf, true);
    host.AnswerDialog(DialogAnswer::Ok()
                          .Text(ids::kIdcIirSections, "4")
                          .Text(ids::kIdcFc1, "150")
                          .Text(ids::kIdcFc2, "250"));
    Design();
    EXPECT_EQ(doc.m_nIirSections, 4);
    EXPECT_EQ(doc.m_dIirFc2, 250.0);
    EXPECT_EQ(doc.m_nFilterType, kBpf);
    EXPECT_EQ(doc.m_bQuantize, 0);
    EXPECT_EQ(doc.m_nCoeffFormat, 0);
    EXPECT_EQ(host.Warnings().size(), 1u);
}

TEST_F(DesignFixture, AFailingDesignIsOfferedOneAdjustmentOnly) {
    // 20 taps cannot separate 1 Hz from 2 Hz, and the band-edge proposal does not help either.
    Select(kLpf, false);
    host.AnswerDialog(DialogAnswer::Ok()
                          .Text(ids::kIdcFc1, "1")
                          .Text(ids::kIdcFc2, "2")
                          .Text(ids::kIdcTaps, "20"));
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddAdjustChoice).Radio(ids::kIdcAdjustEdges));
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddEdgeAdjustment + kLpf));
    Design();
    EXPECT_EQ(DialogIds(), (std::vector<int>{ids::kIddFirParameters, ids::kIddAdjustChoice,
                                             ids::kIddEdgeAdjustment}));
    // The choice opened on Tap Count.
    EXPECT_EQ(host.Dialogs()[1].opened.GetCheck(ids::kIdcAdjustTaps), 1);
    // The proposal moved fc2 only. The second failure is not offered again: the previous design
    // stays (parameters and taps), the status bar says so, and the flags are clean.
    const platform::ControlValues& result = host.Dialogs()[2].opened;
    EXPECT_EQ(host.Dialogs()[2].title, "LPF (Auto Band Edge Adjustment)");
    EXPECT_FALSE(result.IsReadOnly(ids::kIdcFc2));
    EXPECT_TRUE(result.IsReadOnly(ids::kIdcFc1));
    EXPECT_TRUE(result.IsReadOnly(ids::kIdcTaps));
    EXPECT_EQ(result.GetText(ids::kIdcTaps), "20");
    double proposedFc2 = 0.0;
    ASSERT_TRUE(files::ParseDouble(result.GetText(ids::kIdcFc2), proposedFc2));
    EXPECT_GT(proposedFc2, 2.0);
    EXPECT_EQ(doc.m_fc1, 200.0);
    EXPECT_EQ(doc.m_fc2, 250.0);
    EXPECT_EQ(doc.m_nTaps, 90);
    EXPECT_EQ(doc.m_bDesignOk, 1);
    EXPECT_EQ(doc.m_bAdjustOffered, 0);
    EXPECT_TRUE(host.Warnings().empty());
    EXPECT_EQ(host.StatusTexts().back(), design::kDesignFailedStatus);
}

TEST_F(DesignFixture, TapCountProposalIsConfirmedWithinTheDialogRange) {
    // 380 taps cannot reach the stop band in 50 Hz at RR 10; the proposal is 127.
    Select(kLpf, false);
    host.AnswerDialog(DialogAnswer::Ok().Text(ids::kIdcTaps, "380"));
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddAdjustChoice));
    // A proposal edited out of range is refused by the result dialog's own check.
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddTapAdjustment).Text(ids::kIdcTaps, "3"));
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddTapAdjustment).Text(ids::kIdcTaps, "127"));
    Design();
    const platform::ShownDialog& result = host.Dialogs()[2];
    EXPECT_EQ(result.title, "LPF (Auto Tap Count Adjustment)");
    EXPECT_EQ(result.opened.GetText(ids::kIdcTaps), "127");
    EXPECT_FALSE(result.opened.IsReadOnly(ids::kIdcTaps));
    for (int id : {ids::kIdcFs, ids::kIdcFc1, ids::kIdcFc2, ids::kIdcRR, ids::kIdcMultiplier}) {
        EXPECT_TRUE(result.opened.IsReadOnly(id)) << id;
    }
    EXPECT_EQ(result.failedChecks,
              (std::vector<std::string>{"Please enter an integer between 4 and 380."}));
    EXPECT_EQ(doc.m_nTaps, 127);
    EXPECT_EQ(doc.m_bEvenTaps, 0);
    EXPECT_EQ(FirstZeroTap(), 127);
    EXPECT_EQ(doc.m_bDesignOk, 1);
}

TEST_F(DesignFixture, RippleRatioAboveAMillionIsRefusedSoTheProposalStaysInRange) {
    // RR 1e12 once made the tap-count estimate fall below the dialog's range. It is refused as
    // entered now; at the largest RR accepted the proposal still lies within 4..380, and is
    // confirmed without a correction.
    Select(kLpf, false);
    host.AnswerDialog(DialogAnswer::Ok()
                          .Text(ids::kIdcFc2, "260")
                          .Text(ids::kIdcTaps, "4")
                          .Text(ids::kIdcRR, "1e12"));
    host.AnswerDialog(DialogAnswer::Ok().Text(ids::kIdcRR, "1e6"));
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddAdjustChoice));
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddTapAdjustment));
    Design();
    ASSERT_EQ(DialogIds().size(), 3u);
    EXPECT_EQ(host.Dialogs()[0].failedChecks,
              (std::vector<std::string>{"Please enter a number above 0 and at most 1000000."}));
    int proposed = 0;
    ASSERT_TRUE(files::ParseInt(host.Dialogs()[2].opened.GetText(ids::kIdcTaps), proposed));
    EXPECT_GE(proposed, COlvexDoc::kMinDialogTaps);
    EXPECT_LE(proposed, COlvexDoc::kMaxDialogTaps);
    EXPECT_TRUE(host.Dialogs()[2].failedChecks.empty());
    EXPECT_EQ(doc.m_dRR, 1e6);
    EXPECT_EQ(doc.m_nTaps, proposed);
}

TEST_F(DesignFixture, EscapeInTheAdjustmentDialogsStoresNothing) {
    // Esc on the result dialog: nothing stored, the design still runs once more. (20 taps
    // cannot separate 1 Hz from 2 Hz.)
    Select(kLpf, false);
    host.AnswerDialog(DialogAnswer::Ok()
                          .Text(ids::kIdcFc1, "1")
                          .Text(ids::kIdcFc2, "2")
                          .Text(ids::kIdcTaps, "20"));
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddAdjustChoice));
    host.AnswerDialog(DialogAnswer::Cancel(ids::kIddTapAdjustment));
    // Poison the taps while the result dialog is open: only a new design clears them.
    host.onDialog = [this](int id) {
        if (id == ids::kIddTapAdjustment) {
            doc.m_aFirCoeffs[0] = std::numeric_limits<double>::quiet_NaN();
        }
    };
    const COlvexDoc good = doc; // the default design, before the failing command
    Design();
    // 20 taps fail again: the previous design (90 taps) comes back, never the failed taps.
    EXPECT_EQ(doc.m_nTaps, 90);
    for (int n = 0; n < COlvexDoc::kMaxFirTaps; ++n) {
        ASSERT_EQ(doc.m_aFirCoeffs[n], good.m_aFirCoeffs[n]) << n;
    }
    EXPECT_EQ(DialogIds().size(), 3u);
    EXPECT_EQ(doc.m_bDesignOk, 1);
    EXPECT_EQ(host.StatusTexts().back(), design::kDesignFailedStatus);

    // Esc on the choice dialog: no second design, and the failed taps do not stay either.
    host.AnswerDialog(DialogAnswer::Ok().Text(ids::kIdcTaps, "41"));
    Design();
    const COlvexDoc good41 = doc;
    host.onDialog = [this](int id) {
        if (id == ids::kIddAdjustChoice) {
            doc.m_aFirCoeffs[0] = std::numeric_limits<double>::quiet_NaN();
        }
    };
    host.AnswerDialog(DialogAnswer::Ok()
                          .Text(ids::kIdcFc1, "1")
                          .Text(ids::kIdcFc2, "2")
                          .Text(ids::kIdcTaps, "20"));
    host.AnswerDialog(DialogAnswer::Cancel(ids::kIddAdjustChoice));
    Design();
    EXPECT_EQ(doc.m_nTaps, 41);
    EXPECT_EQ(doc.m_fc1, 200.0);
    for (int n = 0; n < COlvexDoc::kMaxFirTaps; ++n) {
        ASSERT_EQ(doc.m_aFirCoeffs[n], good41.m_aFirCoeffs[n]) << n;
    }
    EXPECT_EQ(doc.m_bDesignOk, 1);
    EXPECT_EQ(doc.m_bAdjustOffered, 0);
    EXPECT_EQ(host.StatusTexts().back(), design::kDesignFailedStatus);
}

// The form's radios show the type and structure of the design the document holds: after Escape
// from the offer and Cancel of the FIR dialog (nothing new designed), and after Cancel of the IIR
// dialog (the cascade of the document's type).
TEST_F(DesignFixture, TheFormShowsTheTypeAndStructureOfTheHeldDesign) {
    const auto shownType = [this] {
        int shown = -1;
        for (int t = kLpf; t <= kBpf; ++t) {
            if (host.Form().GetCheck(kTypeRadios[t]) == 1) {
                shown = t;
            }
        }
        return shown;
    };
    Select(kBrf, false);
    host.AnswerDialog(DialogAnswer::Ok());
    Design();
    ASSERT_EQ(doc.m_nFilterType, kBrf);
    const COlvexDoc bandStop = doc;
    const struct {
        const char* name;
        int type;
        bool iir;
        std::vector<DialogAnswer> answers;
    } paths[] = {
        {"Escape from the offer",
         kLpf,
         false,
         {DialogAnswer::Ok()
              .Text(ids::kIdcFc1, "1")
              .Text(ids::kIdcFc2, "2")
              .Text(ids::kIdcTaps, "20"),
          DialogAnswer::Cancel(ids::kIddAdjustChoice)}},
        {"Cancel of the FIR dialog", kHpf, false, {DialogAnswer::Cancel()}},
        // Cancel of the IIR dialog designs the cascade of the document's values: a BRF cascade.
        {"Cancel of the IIR dialog", kHpf, true, {DialogAnswer::Cancel()}},
    };
    for (const auto& path : paths) {
        SCOPED_TRACE(path.name);
        Select(path.type, path.iir);
        for (const DialogAnswer& answer : path.answers) {
            host.AnswerDialog(answer);
        }
        Design();
        EXPECT_EQ(doc.m_nFilterType, kBrf);
        EXPECT_EQ(doc.m_nTaps, bandStop.m_nTaps);
        EXPECT_EQ(doc.m_aFirCoeffs[10], bandStop.m_aFirCoeffs[10]);
        EXPECT_EQ(view.m_nFilterSel, kBrf);
        EXPECT_EQ(shownType(), kBrf);
        EXPECT_EQ(view.m_nFirIir, path.iir ? 1 : 0);
        EXPECT_EQ(host.Form().GetCheck(path.iir ? resources::kIdcIir : resources::kIdcFir), 1);
    }
}

TEST_F(DesignFixture, EpilogueRunsOnEveryPath) {
    const struct {
        const char* name;
        bool iir;
        DialogAnswer answer;
        bool designs; // a new design of the path's structure is computed
    } paths[] = {
        {"FIR OK", false, DialogAnswer::Ok(), true},
        {"FIR Cancel", false, DialogAnswer::Cancel(), false},
        {"FIR refused", false, DialogAnswer::Ok().Text(ids::kIdcFc1, "300"), true},
        {"IIR OK", true, DialogAnswer::Ok(), true},
        {"IIR Cancel", true, DialogAnswer::Cancel(), true},
    };
    for (const auto& path : paths) {
        SCOPED_TRACE(path.name);
        Select(kLpf, path.iir);
        host.AnswerDialog(path.answer);
        view.m_bCoeffsListed = 1;
        view.m_bVhdlParamsSet = 1;
        view.m_bTimerDone = 1;
        host.Form().SetText(resources::kIdcOutput, "old report");
        // Marks in the results that only a new design overwrites.
        const double mark = std::numeric_limits<double>::quiet_NaN();
        doc.m_aFirCoeffs[0] = mark;
        doc.m_aA1[0] = mark;
        const size_t drawings = host.Drawings().size();
        const size_t invalidations = host.Invalidations().size();
        Design();
        EXPECT_EQ(host.Form().GetText(resources::kIdcOutput), kPrompt);
        EXPECT_EQ(host.Drawings().size(), drawings + 1);
        EXPECT_EQ(host.Invalidations().size(), invalidations + 1);
        EXPECT_TRUE(host.Invalidations().back()) << "invalidated with erasing";
        EXPECT_EQ(host.TimerPeriod(platform::kViewTimerId), COlvexView::kCommandRedrawMs);
        EXPECT_EQ(view.m_bTimerDone, 0);
        EXPECT_EQ(view.m_bRedrawPending, 0);
        EXPECT_EQ(view.m_bNoDesign, 0);
        EXPECT_EQ(view.m_bCoeffsListed, 0);
        EXPECT_EQ(view.m_bVhdlParamsSet, 0);
        EXPECT_EQ(doc.m_bAdjustOffered, 0);
        EXPECT_EQ(doc.m_bDesignOk, 1);
        EXPECT_EQ(view.m_nFirIir, path.iir ? 1 : 0);
        // A design that ran shows its measured bands; Cancel of the FIR dialog leaves the idle
        // message.
        EXPECT_EQ(host.StatusTexts().back(),
                  path.designs ? commands::MeasurementsSummary(doc, path.iir) : "Ready");
        EXPECT_EQ(!std::isnan(doc.m_aFirCoeffs[0]), path.designs && !path.iir);
        EXPECT_EQ(!std::isnan(doc.m_aA1[0]), path.designs && path.iir);
        // The timer redraws once more.
        host.TickTimer();
        EXPECT_EQ(host.Drawings().size(), drawings + 2);
    }
}

TEST_F(DesignFixture, IterationLimitIsShownInTheStatusBar) {
    // This low pass (its optimum lies beyond double precision) stops at the iteration limit
    // short of the optimum; the design stands and the status bar names both ripples.
    Select(kLpf, false);
    host.AnswerDialog(DialogAnswer::Ok()
                          .Text(ids::kIdcFc1, "56")
                          .Text(ids::kIdcFc2, "113")
                          .Text(ids::kIdcRR, "6.5")
                          .Text(ids::kIdcTaps, "252"));
    Design();
    EXPECT_EQ(doc.m_bIterationLimit, 1);
    EXPECT_EQ(console, "Reached maximum iteration count.\nResults may be bad.\n");
    EXPECT_EQ(DialogIds().size(), 1u) << "the design is not treated as failed";
    ASSERT_FALSE(host.StatusTexts().empty());
    EXPECT_EQ(doc.m_bOptimumReached, 0);
    EXPECT_GT(doc.m_dAchievedRipple, doc.m_dTargetRipple);
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, " Weighted ripple %.4g, target %.4g.",
                  doc.m_dAchievedRipple, doc.m_dTargetRipple);
    EXPECT_EQ(host.StatusTexts().back(),
              std::string("Reached maximum iteration count. Results may be bad.") + numbers);

    // The next good design clears it; so does a command that designs no FIR filter.
    host.AnswerDialog(DialogAnswer::Ok().Text(ids::kIdcTaps, "120"));
    Design();
    EXPECT_EQ(host.StatusTexts().back(), commands::MeasurementsSummary(doc, false));
}

} // namespace
