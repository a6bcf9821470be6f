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
