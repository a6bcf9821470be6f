// The Design command's parameter dialogs on the scripted desktop: a cross-field error (edges out
// of order, an odd section count for a band filter, a cut-off at or above Nyquist) keeps the
// dialog open with what was typed and the focus on the field to correct; "From requirements"
// enables the fields it governs and disables those it replaces, and the dialogs open with the
// mode and its values as they were last accepted.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::DialogAnswer;
namespace ids = design;

constexpr int kTypeRadios[4] = {resources::kIdcLpf, resources::kIdcHpf, resources::kIdcBrf,
                                resources::kIdcBpf};

struct DesignDialogFixture : support::ScriptedWindowTest {
    void Design(int type, bool iir) {
        host.ClickFormRadio(kTypeRadios[type]);
        host.ClickFormRadio(iir ? resources::kIdcIir : resources::kIdcFir);
        EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
        EXPECT_EQ(host.UnansweredDialogs(), 0);
    }
    static int Template(int type, bool iir) {
        return (iir ? ids::kIddIirParameters : ids::kIddFirParameters) + type;
    }
};

TEST_F(DesignDialogFixture, CrossFieldErrorKeepsTheDialogOpenWithWhatWasTyped) {
    const char* const kTwo = "Frequencies need to be\nFc1 < Fc2 < Fs/2.";
    const char* const kFour = "Frequencies need to be\nFc1 < Fc2 < Fc3 < Fc4 < Fs/2.";
    const struct {
        int type;
        bool iir;
        std::vector<std::pair<int, const char*>> typed;
        int focus;
        const char* message;
    } cases[] = {
        {kLpf, false, {{ids::kIdcFc1, "300"}, {ids::kIdcFc2, "250"}}, ids::kIdcFc2, kTwo},
        {kLpf, false, {{ids::kIdcFc2, "500"}}, ids::kIdcFc2, kTwo},
        {kHpf, false, {{ids::kIdcFc1, "250"}, {ids::kIdcTaps, "41"}}, ids::kIdcFc2, kTwo},
        {kBpf, false, {{ids::kIdcFc3, "120"}}, ids::kIdcFc3, kFour},
        {kBrf, false, {{ids::kIdcFc4, "500"}}, ids::kIdcFc4, kFour},
        {kLpf,
         true,
         {{ids::kIdcCutoff, "600"}},
         ids::kIdcCutoff,
         "Cut off needs to be lower than\nNyquist Frequency!!"},
        {kBpf,
         true,
         {{ids::kIdcIirSections, "3"}, {ids::kIdcRipple, "0.7"}},
         ids::kIdcIirSections,
         "for BPF and BRF, \nthe Number of IIRs needs to be\n2, 4, 6 or 8."},
        {kBrf, true, {{ids::kIdcFc1, "300"}, {ids::kIdcFc2, "200"}}, ids::kIdcFc2, kTwo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + (c.iir ? " IIR" : " FIR"));
        const COlvexDoc before = doc;
        DialogAnswer answer = DialogAnswer::Ok(Template(c.type, c.iir));
        for (const auto& [id, text] : c.typed) {
            answer.Text(id, text);
        }
        host.AnswerDialog(answer);
        // The second press of OK without a change is refused again; Cancel then closes it.
        host.AnswerDialog(DialogAnswer::Ok(Template(c.type, c.iir)));
        host.AnswerDialog(DialogAnswer::Cancel(Template(c.type, c.iir)));
        const size_t shown = host.Dialogs().size();
        const size_t warnings = host.Warnings().size();
        Design(c.type, c.iir);
        ASSERT_EQ(host.Dialogs().size(), shown + 1);
        const platform::ShownDialog& dialog = host.Dialogs().back();
        EXPECT_EQ(dialog.failedChecks, (std::vector<std::string>{c.message, c.message}));
        EXPECT_EQ(dialog.result, platform::kIdCancel);
        for (const auto& [id, text] : c.typed) {
            EXPECT_EQ(dialog.closed.GetText(id), text) << id;
        }
        EXPECT_EQ(dialog.closed.Focus(), c.focus);
        // Nothing after the dialog: no warning, nothing stored.
        EXPECT_EQ(host.Warnings().size(), warnings);
        EXPECT_EQ(doc.m_fc1, before.m_fc1);
        EXPECT_EQ(doc.m_fc2, before.m_fc2);
        EXPECT_EQ(doc.m_dIirFc1, before.m_dIirFc1);
        EXPECT_EQ(doc.m_nIirSections, before.m_nIirSections);
    }
}

TEST_F(DesignDialogFixture, CorrectedEntryIsDesignedAfterTheRefusal) {
    host.AnswerDialog(DialogAnswer::Ok(Template(kLpf, false))
                          .Text(ids::kIdcFc1, "300")
                          .Text(ids::kIdcFc2, "250")
                          .Text(ids::kIdcTaps, "41"));
    host.AnswerDialog(DialogAnswer::Ok(Template(kLpf, false)).Text(ids::kIdcFc2, "350"));
    Design(kLpf, false);
    EXPECT_EQ(host.Dialogs().back().result, platform::kIdOk);
    EXPECT_EQ(doc.m_fc1, 300.0);
    EXPECT_EQ(doc.m_fc2, 350.0);
    EXPECT_EQ(doc.m_nTaps, 41);
}

// Which fields take input with the mode off and on.
struct ModeFields {
    std::vector<int> requirements; // enabled with the mode on only
    std::vector<int> replaced;     // enabled with the mode off only
};

void ExpectMode(const platform::ControlValues& controls, const ModeFields& fields, bool on) {
    for (const int id : fields.requirements) {
        EXPECT_EQ(controls.IsEnabled(id), on) << id;
    }
    for (const int id : fields.replaced) {
        EXPECT_EQ(controls.IsEnabled(id), !on) << id;
    }
}

TEST_F(DesignDialogFixture, RequirementsModeEnablesItsFields) {
    const struct {
        int type;
        bool iir;
        ModeFields fields;
    } cases[] = {
        {kLpf,
         false,
         {{ids::kIdcPassRipple, ids::kIdcStopAttenuation}, {ids::kIdcTaps, ids::kIdcRR}}},
        {kBpf,
         false,
         {{ids::kIdcPassRipple, ids::kIdcStopAttenuation}, {ids::kIdcTaps, ids::kIdcRR}}},
        {kHpf, true, {{ids::kIdcStopAttenuation, ids::kIdcStopEdge1}, {ids::kIdcIirSections}}},
        {kBrf,
         true,
         {{ids::kIdcStopAttenuation, ids::kIdcStopEdge1, ids::kIdcStopEdge2},
          {ids::kIdcIirSections}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + (c.iir ? " IIR" : " FIR"));
        // Ticked: the governed fields open up; ticked and unticked again: back as they were.
        host.AnswerDialog(
            DialogAnswer::Cancel(Template(c.type, c.iir)).Check(ids::kIdcFromRequirements, 1));
        Design(c.type, c.iir);
        ExpectMode(host.Dialogs().back().opened, c.fields, false);
        ExpectMode(host.Dialogs().back().closed, c.fields, true);
        host.AnswerDialog(DialogAnswer::Cancel(Template(c.type, c.iir))
                              .Check(ids::kIdcFromRequirements, 1)
                              .Check(ids::kIdcFromRequirements, 0));
        Design(c.type, c.iir);
        ExpectMode(host.Dialogs().back().closed, c.fields, false);
    }
    // A replaced field takes no typing while the mode is on.
    host.AnswerDialog(DialogAnswer::Ok(Template(kLpf, false))
                          .Check(ids::kIdcFromRequirements, 1)
                          .Text(ids::kIdcTaps, "41"));
    host.ClickFormRadio(resources::kIdcLpf);
    host.ClickFormRadio(resources::kIdcFir);
    EXPECT_THROW(view.OnCommand(resources::kIdcDesign), platform::ScriptError);
}

TEST_F(DesignDialogFixture, RequirementsModeIsRememberedWithItsValues) {
    // FIR: accepted with the mode on; the next opening shows it on, with Ap and As, and enabled.
    host.AnswerDialog(DialogAnswer::Ok(Template(kLpf, false))
                          .Check(ids::kIdcFromRequirements, 1)
                          .Text(ids::kIdcPassRipple, "1")
                          .Text(ids::kIdcStopAttenuation, "50"));
    Design(kLpf, false);
    host.AnswerDialog(DialogAnswer::Cancel(Template(kBpf, false)));
    Design(kBpf, false);
    const platform::ControlValues& fir = host.Dialogs().back().opened;
    EXPECT_EQ(fir.GetCheck(ids::kIdcFromRequirements), 1);
    EXPECT_EQ(std::stod(fir.GetText(ids::kIdcPassRipple)), 1.0);
    EXPECT_EQ(std::stod(fir.GetText(ids::kIdcStopAttenuation)), 50.0);
    ExpectMode(fir, {{ids::kIdcPassRipple}, {ids::kIdcTaps}}, true);

    // IIR: its own mode and As, kept apart from the FIR's; Cancel does not change them.
    host.AnswerDialog(DialogAnswer::Ok(Template(kLpf, true))
                          .Check(ids::kIdcFromRequirements, 1)
                          .Text(ids::kIdcStopAttenuation, "45"));
    Design(kLpf, true);
    host.AnswerDialog(DialogAnswer::Cancel(Template(kLpf, true))
                          .Text(ids::kIdcStopAttenuation, "70")
                          .Check(ids::kIdcFromRequirements, 0));
    Design(kLpf, true);
    host.AnswerDialog(DialogAnswer::Cancel(Template(kLpf, true)));
    Design(kLpf, true);
    const platform::ControlValues& iir = host.Dialogs().back().opened;
    EXPECT_EQ(iir.GetCheck(ids::kIdcFromRequirements), 1);
    EXPECT_EQ(std::stod(iir.GetText(ids::kIdcStopAttenuation)), 45.0);
    EXPECT_EQ(doc.m_bFirFromRequirements, 1);
    EXPECT_EQ(doc.m_dFirAsDb, 50.0);

    // Turned off and accepted: off next time.
    host.AnswerDialog(DialogAnswer::Ok(Template(kLpf, false)).Check(ids::kIdcFromRequirements, 0));
    Design(kLpf, false);
    host.AnswerDialog(DialogAnswer::Cancel(Template(kLpf, false)));
    Design(kLpf, false);
    EXPECT_EQ(host.Dialogs().back().opened.GetCheck(ids::kIdcFromRequirements), 0);
}

} // namespace
