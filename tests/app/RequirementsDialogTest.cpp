// Design from requirements in the window, played on the scripted desktop: the "From requirements"
// mode of the FIR and IIR parameter dialogs stores the tap count and RR (or the section count)
// the search chose, refuses requirements out of range in the dialog, and says in a message box
// what the best design reaches when the requirements cannot be met.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "app/ui/OlvexView.h"
#include "dsp/Requirements.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::DialogAnswer;
namespace ids = design;

constexpr int kTypeRadios[4] = {resources::kIdcLpf, resources::kIdcHpf, resources::kIdcBrf,
                                resources::kIdcBpf};

struct RequirementsFixture : support::ScriptedWindowTest {
    void Design(int type, bool iir) {
        host.ClickFormRadio(kTypeRadios[type]);
        host.ClickFormRadio(iir ? resources::kIdcIir : resources::kIdcFir);
        EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
        EXPECT_EQ(host.UnansweredDialogs(), 0);
    }
};

TEST_F(RequirementsFixture, FirModeStoresTheChosenTapCountAndRR) {
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + kHpf)
                          .Text(ids::kIdcFc1, "200")
                          .Text(ids::kIdcFc2, "250")
                          .Check(ids::kIdcFromRequirements, 1)
                          .Text(ids::kIdcPassRipple, "1")
                          .Text(ids::kIdcStopAttenuation, "50"));
    Design(kHpf, false);
    dsp::FirRequirements req;
    req.type = dsp::FirType::kHighPass;
    req.fc1 = 200.0;
    req.fc2 = 250.0;
    req.apDb = 1.0;
    req.asDb = 50.0;
    const dsp::FirRequirementResult expected = dsp::SearchFirRequirements(req);
    ASSERT_TRUE(expected.met);
    EXPECT_EQ(doc.m_nTaps, expected.chosen.taps);
    EXPECT_EQ(doc.m_dRR, expected.rr);
    EXPECT_EQ(doc.m_nFilterType, kHpf);
    EXPECT_NE(doc.m_bDesignOk, 0);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_TRUE(host.Warnings().empty());
    // The dialog opens with the mode off, so the dialog of every other flow is unchanged.
    EXPECT_EQ(host.Dialogs()[0].opened.GetCheck(ids::kIdcFromRequirements), 0);
}

TEST_F(RequirementsFixture, FirModeRefusesRequirementsOutOfRangeInTheDialog) {
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + kLpf)
                          .Check(ids::kIdcFromRequirements, 1)
                          .Text(ids::kIdcPassRipple, "3")
                          .Text(ids::kIdcStopAttenuation, "2"));
    host.AnswerDialog(
        DialogAnswer::Ok(ids::kIddFirParameters + kLpf).Text(ids::kIdcPassRipple, "21"));
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + kLpf)
                          .Text(ids::kIdcPassRipple, "0.5")
                          .Text(ids::kIdcStopAttenuation, "60"));
    Design(kLpf, false);
    ASSERT_EQ(host.Dialogs().size(), 1u);
    EXPECT_EQ(host.Dialogs()[0].failedChecks,
              (std::vector<std::string>{"Please enter a number above 3 and at most 200.",
                                        "Please enter a number above 0 and at most 20."}));
    EXPECT_NE(doc.m_nTaps, 90); // designed from the requirements, not the shown N
}

TEST_F(RequirementsFixture, FirModeSaysWhatTheLongestFilterReaches) {
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + kLpf)
                          .Text(ids::kIdcFc1, "200")
                          .Text(ids::kIdcFc2, "203")
                          .Check(ids::kIdcFromRequirements, 1)
                          .Text(ids::kIdcPassRipple, "0.5")
                          .Text(ids::kIdcStopAttenuation, "80"));
    const COlvexDoc before = doc;
    Design(kLpf, false);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_NE(host.Messages()[0].text.find("cannot be met with 380 taps"), std::string::npos)
        << host.Messages()[0].text;
    // The best design does not replace the one that stood, as on the command line.
    EXPECT_EQ(doc.m_nTaps, before.m_nTaps);
    EXPECT_EQ(doc.m_fc2, before.m_fc2);
    EXPECT_TRUE(std::equal(doc.m_aFirCoeffs, doc.m_aFirCoeffs + COlvexDoc::kMaxFirTaps,
                           before.m_aFirCoeffs));
    EXPECT_EQ(host.StatusTexts().back(), "The design failed. The previous design is kept.");
}

TEST_F(RequirementsFixture, IirModeChoosesTheSectionsAndTheCutoffs) {
    const struct {
        int type;
        const char* fc1; // cut-off (LPF, HPF) or cut-offs
        const char* fc2;
        const char* stop1;
        const char* stop2;
        const char* ap;
        const char* as;
        int sections; // scipy.signal.cheb1ord: ceil(order / 2), doubled for BRF/BPF
        bool message; // more than 8 sections needed: the previous design stays
    } cases[] = {
        {kLpf, "200", nullptr, "250", nullptr, "0.5", "60", 6, false},
        {kBrf, "50", "400", "100", "200", "0.5", "40", 4, false},
        {kBpf, "200", "300", "150", "350", "1", "40", 6, false},
        {kLpf, "200", nullptr, "205", nullptr, "0.5", "80", 8, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        DialogAnswer answer = DialogAnswer::Ok(ids::kIddIirParameters + c.type)
                                  .Check(ids::kIdcFromRequirements, 1)
                                  .Text(ids::kIdcRipple, c.ap)
                                  .Text(ids::kIdcStopAttenuation, c.as)
                                  .Text(ids::kIdcStopEdge1, c.stop1);
        if (c.fc2 != nullptr) {
            answer.Text(ids::kIdcFc1, c.fc1)
                .Text(ids::kIdcFc2, c.fc2)
                .Text(ids::kIdcStopEdge2, c.stop2);
        } else {
            answer.Text(ids::kIdcCutoff, c.fc1);
        }
        const size_t messages = host.Messages().size();
        const COlvexDoc before = doc;
        host.AnswerDialog(answer);
        Design(c.type, true);
        EXPECT_EQ(host.Messages().size() - messages, c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(doc.m_nIirSections, before.m_nIirSections);
            EXPECT_EQ(doc.m_nFilterType, before.m_nFilterType);
            EXPECT_TRUE(std::equal(doc.m_aB1, doc.m_aB1 + COlvexDoc::kIirSections, before.m_aB1));
            continue;
        }
        EXPECT_EQ(doc.m_nIirSections, c.sections);
        EXPECT_EQ(doc.m_dRippleDb, std::stod(c.ap));
        EXPECT_EQ(doc.m_nFilterType, c.type);
        if (c.type == kBrf) { // the pass bands widen towards the stop band
            EXPECT_GE(doc.m_dIirFc1, 50.0);
            EXPECT_LT(doc.m_dIirFc2, 400.0);
        } else {
            EXPECT_EQ(doc.m_dIirFc1, std::stod(c.fc1));
        }
    }
}

TEST_F(RequirementsFixture, IirModeRefusesAStopEdgeOnTheWrongSide) {
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddIirParameters + kHpf)
                          .Check(ids::kIdcFromRequirements, 1)
                          .Text(ids::kIdcCutoff, "200")
                          .Text(ids::kIdcStopEdge1, "250"));
    host.AnswerDialog(DialogAnswer::Cancel(ids::kIddIirParameters + kHpf));
    Design(kHpf, true);
    EXPECT_EQ(host.Dialogs()[0].failedChecks,
              (std::vector<std::string>{"Please enter a stop band edge above 0 and below 200."}));
}

} // namespace
