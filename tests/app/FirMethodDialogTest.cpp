// The FIR method choice of the Design command's FIR dialogs on the scripted desktop: each method
// radio enables the fields it is designed with and designs scipy's taps (firwin with a Kaiser
// window, firls, remez), is remembered for the next opening, is one step of undo, and "From
// requirements" takes Kaiser's formulas (scipy's kaiserord) or the least-squares search. A
// field the method leaves disabled is neither checked nor taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "dsp/FirMethods.h"
#include "dsp/Requirements.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::DialogAnswer;
namespace ids = design;

constexpr int kTypeRadios[4] = {resources::kIdcLpf, resources::kIdcHpf, resources::kIdcBrf,
                                resources::kIdcBpf};

struct FirMethodFixture : support::ScriptedWindowTest {
    void Design(int type, const DialogAnswer& answer) {
        host.AnswerDialog(answer);
        host.ClickFormRadio(kTypeRadios[type]);
        host.ClickFormRadio(resources::kIdcFir);
        EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
        EXPECT_EQ(host.UnansweredDialogs(), 0);
    }
    static int Template(int type) { return ids::kIddFirParameters + type; }
    std::vector<double> Taps() const { return {doc.m_aFirCoeffs, doc.m_aFirCoeffs + doc.m_nTaps}; }
};

struct Tap {
    int index;
    double value;
};

TEST_F(FirMethodFixture, EachMethodEnablesItsFieldsAndDesignsScipysTaps) {
    // fs 1000 Hz; the taps from scipy.signal: firwin(N, cut-offs at the middle of each
    // transition, window=('kaiser', beta), pass_zero=..., fs=1000), firls(N, bands, desired,
    // weight=[1, RR] (pass, stop), fs=1000), remez(N, bands, desired, weight, fs=1000).
    const struct {
        int type;
        int method;
        const char* taps;
        const char* beta; // typed when the method takes it
        double tolerance; // relative to the largest tap
        std::vector<Tap> expected;
    } cases[] = {
        {kLpf,
         dsp::kFirKaiser,
         "41",
         "5",
         1e-9,
         {{1, 0.00103736318046381}, {2, 0.00051931110961768}, {20, 0.44973412649663475}}},
        {kBpf,
         dsp::kFirKaiser,
         "41",
         "3",
         1e-9,
         {{1, -0.00117419693390515}, {10, -0.04580780199302213}, {20, 0.29695501441825284}}},
        {kLpf,
         dsp::kFirLeastSquares,
         "41",
         nullptr,
         1e-9,
         {{1, 0.00330990768109863}, {2, -0.00112694528363898}, {20, 0.4437114559647936}}},
        {kHpf,
         dsp::kFirLeastSquares,
         "31",
         nullptr,
         1e-9,
         {{1, -0.0084335112579762}, {10, -0.04550905441430851}, {15, 0.5414601637433613}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(dsp::FirMethodName(c.method)) + " type " + std::to_string(c.type));
        DialogAnswer answer = DialogAnswer::Ok(Template(c.type))
                                  .Radio(ids::kIdcFirMethod + c.method)
                                  .Text(ids::kIdcTaps, c.taps);
        if (c.beta != nullptr) {
            answer.Text(ids::kIdcKaiserBeta, c.beta);
        }
        Design(c.type, answer);
        const platform::ControlValues& closed = host.Dialogs().back().closed;
        const bool kaiser = c.method == dsp::kFirKaiser;
        EXPECT_EQ(closed.IsEnabled(ids::kIdcKaiserBeta), kaiser);
        EXPECT_EQ(closed.IsEnabled(ids::kIdcRR), !kaiser) << "the window takes no weights";
        EXPECT_TRUE(closed.IsEnabled(ids::kIdcTaps));
        EXPECT_TRUE(closed.IsEnabled(ids::kIdcFromRequirements));

        ASSERT_EQ(doc.m_nFirMethod, c.method);
        ASSERT_EQ(doc.m_nTaps, std::stoi(c.taps));
        const std::vector<double> taps = Taps();
        double largest = 0.0;
        for (double tap : taps) {
            largest = std::max(largest, std::fabs(tap));
        }
        for (const Tap& tap : c.expected) {
            EXPECT_NEAR(taps[static_cast<size_t>(tap.index)], tap.value, c.tolerance * largest)
                << tap.index;
        }
        // Linear phase: symmetric taps.
        for (size_t i = 0; i < taps.size(); ++i) {
            EXPECT_NEAR(taps[i], taps[taps.size() - 1 - i], 1e-12) << i;
        }
        // The status bar names the method that made the filter.
        const std::string status = host.StatusTexts().back();
        EXPECT_EQ(status, commands::MeasurementsSummary(doc, false));
        EXPECT_NE(status.find(dsp::FirMethodTitle(c.method)), std::string::npos) << status;

        // The next opening shows the method, its fields and the beta designed with.
        host.AnswerDialog(DialogAnswer::Cancel(Template(c.type)));
        EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
        const platform::ControlValues& opened = host.Dialogs().back().opened;
        for (int m = 0; m < dsp::kFirMethodCount; ++m) {
            EXPECT_EQ(opened.GetCheck(ids::kIdcFirMethod + m), m == c.method ? 1 : 0) << m;
        }
        EXPECT_EQ(opened.IsEnabled(ids::kIdcKaiserBeta), kaiser);
        if (kaiser) {
            EXPECT_EQ(opened.GetText(ids::kIdcKaiserBeta), c.beta);
        }
    }
}

TEST_F(FirMethodFixture, AKaiserDesignIsOneStepOfUndo) {
    Design(kLpf, DialogAnswer::Ok(Template(kLpf)).Text(ids::kIdcTaps, "41"));
    ASSERT_EQ(doc.m_nFirMethod, dsp::kFirRemez);
    const std::vector<double> remez = Taps();
    Design(kLpf, DialogAnswer::Ok(Template(kLpf))
                     .Radio(ids::kIdcFirMethod + dsp::kFirKaiser)
                     .Text(ids::kIdcKaiserBeta, "5"));
    ASSERT_EQ(doc.m_nFirMethod, dsp::kFirKaiser);
    const std::vector<double> kaiser = Taps();
    ASSERT_NE(kaiser, remez);

    ASSERT_TRUE(view.OnCommand(resources::kIdEditUndo));
    EXPECT_EQ(doc.m_nFirMethod, dsp::kFirRemez);
    EXPECT_EQ(Taps(), remez);
    // The dialog opens with the method of the design that stands.
    host.AnswerDialog(DialogAnswer::Cancel(Template(kLpf)));
    EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
    EXPECT_EQ(host.Dialogs().back().opened.GetCheck(ids::kIdcFirMethod + dsp::kFirRemez), 1);
    EXPECT_FALSE(host.Dialogs().back().opened.IsEnabled(ids::kIdcKaiserBeta));

    ASSERT_TRUE(view.OnCommand(resources::kIdEditRedo));
    EXPECT_EQ(doc.m_nFirMethod, dsp::kFirKaiser);
    EXPECT_EQ(doc.m_dKaiserBeta, 5.0);
    EXPECT_EQ(Taps(), kaiser);
}

TEST_F(FirMethodFixture, FromRequirementsTakesKaisersFormulasOrTheLeastSquaresSearch) {
    // Edges 200 and 250 Hz of fs 1000 (HPF: stop 200, pass 250): a transition of 0.1 of
    // Nyquist. Kaiser: scipy's kaiserord(A, 0.1) for A the stricter of Ap and As, the count made
    // odd where the type needs it (HPF).
    const struct {
        int type;
        int method;
        const char* ap;
        const char* as;
        int taps;    // kaiserord's count (made odd for HPF); 0: the least-squares search
        double beta; // kaiserord's beta
    } cases[] = {
        {kLpf, dsp::kFirKaiser, "0.5", "60", 74, 5.65326},
        {kHpf, dsp::kFirKaiser, "0.5", "50", 61, 4.533514120981248},
        {kLpf, dsp::kFirLeastSquares, "0.5", "40", 0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(dsp::FirMethodName(c.method)) + " As " + c.as);
        Design(c.type, DialogAnswer::Ok(Template(c.type))
                           .Radio(ids::kIdcFirMethod + c.method)
                           .Check(ids::kIdcFromRequirements, 1)
                           .Text(ids::kIdcFc1, "200")
                           .Text(ids::kIdcFc2, "250")
                           .Text(ids::kIdcPassRipple, c.ap)
                           .Text(ids::kIdcStopAttenuation, c.as));
        const platform::ControlValues& closed = host.Dialogs().back().closed;
        // Beta and RR are what the mode chooses.
        EXPECT_FALSE(closed.IsEnabled(ids::kIdcKaiserBeta));
        EXPECT_FALSE(closed.IsEnabled(ids::kIdcRR));
        EXPECT_FALSE(closed.IsEnabled(ids::kIdcTaps));
        EXPECT_TRUE(host.Messages().empty());
        EXPECT_EQ(doc.m_nFirMethod, c.method);
        EXPECT_EQ(doc.m_nFilterType, c.type);
        const std::string status = host.StatusTexts().back();
        if (c.taps != 0) {
            EXPECT_EQ(doc.m_nTaps, c.taps);
            EXPECT_NEAR(doc.m_dKaiserBeta, c.beta, 1e-9);
            char begins[64];
            std::snprintf(begins, sizeof begins, "Kaiser window, %d taps, beta %.4g", c.taps,
                          c.beta);
            EXPECT_EQ(status.rfind(begins, 0), 0u) << status;
        } else {
            // The search's count: odd (least squares designs odd counts only), and the design
            // meets both figures on the requirement's bands.
            EXPECT_EQ(doc.m_nTaps % 2, 1);
            dsp::FirRequirements req;
            req.type = dsp::FirTypeFromIndex(c.type);
            req.fs = 1000.0;
            req.fc1 = 200.0;
            req.fc2 = 250.0;
            req.apDb = std::stod(c.ap);
            req.asDb = std::stod(c.as);
            const dsp::FirRequirementTrial trial =
                dsp::MethodTrial(req, doc.m_nTaps, doc.m_dRR, c.method, doc.m_dKaiserBeta);
            EXPECT_TRUE(trial.meets) << trial.rippleDb << " " << trial.attenuationDb;
            EXPECT_NE(status.find("Least squares"), std::string::npos) << status;
        }
    }
}

TEST_F(FirMethodFixture, BetaIsCheckedOnlyWhereTheKaiserWindowTakesIt) {
    // Out of range for the Kaiser window: the dialog stays open on the beta field.
    host.AnswerDialog(DialogAnswer::Ok(Template(kLpf))
                          .Radio(ids::kIdcFirMethod + dsp::kFirKaiser)
                          .Text(ids::kIdcKaiserBeta, "60"));
    const COlvexDoc before = doc;
    Design(kLpf, DialogAnswer::Cancel(Template(kLpf)));
    const platform::ShownDialog& shown = host.Dialogs().back();
    ASSERT_EQ(shown.failedChecks.size(), 1u);
    EXPECT_EQ(shown.failedChecks[0], "Please enter a number from 0 to 50.");
    EXPECT_EQ(shown.closed.Focus(), ids::kIdcKaiserBeta);
    EXPECT_EQ(shown.closed.GetText(ids::kIdcKaiserBeta), "60") << "the entry stays";
    EXPECT_EQ(doc.m_nFirMethod, before.m_nFirMethod);

    // Typed, then another method chosen: the disabled beta and RR are neither checked nor
    // taken.
    Design(kLpf, DialogAnswer::Ok(Template(kLpf))
                     .Radio(ids::kIdcFirMethod + dsp::kFirKaiser)
                     .Text(ids::kIdcKaiserBeta, "70")
                     .Radio(ids::kIdcFirMethod + dsp::kFirLeastSquares));
    EXPECT_TRUE(host.Dialogs().back().failedChecks.empty());
    EXPECT_EQ(doc.m_nFirMethod, dsp::kFirLeastSquares);
    EXPECT_EQ(doc.m_dKaiserBeta, before.m_dKaiserBeta);
    Design(kLpf, DialogAnswer::Ok(Template(kLpf))
                     .Text(ids::kIdcRR, "-3")
                     .Radio(ids::kIdcFirMethod + dsp::kFirKaiser));
    EXPECT_TRUE(host.Dialogs().back().failedChecks.empty());
    EXPECT_EQ(doc.m_nFirMethod, dsp::kFirKaiser);
    EXPECT_EQ(doc.m_dRR, before.m_dRR);
}

} // namespace
