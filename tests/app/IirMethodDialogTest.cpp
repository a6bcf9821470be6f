// The IIR method choice of the Design command's IIR dialogs on the scripted desktop: each method
// radio enables the fields that method is designed with, designs the cascade of that method, is
// remembered for the next opening and is named in the status bar; "From requirements" takes the
// method's minimum order (scipy's buttord, cheb2ord and ellipord), and Bessel, which has none,
// turns the mode off.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "dsp/Iir.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::DialogAnswer;
namespace ids = design;

constexpr int kTypeRadios[4] = {resources::kIdcLpf, resources::kIdcHpf, resources::kIdcBrf,
                                resources::kIdcBpf};

struct IirMethodFixture : support::ScriptedWindowTest {
    void Design(int type) {
        host.ClickFormRadio(kTypeRadios[type]);
        host.ClickFormRadio(resources::kIdcIir);
        EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
        EXPECT_EQ(host.UnansweredDialogs(), 0);
    }
    static int Template(int type) { return ids::kIddIirParameters + type; }
};

TEST_F(IirMethodFixture, EachMethodEnablesItsFieldsAndDesignsItsCascade) {
    const struct {
        int type;
        int method;
        const char* atten;  // typed into the method's As field, when it takes one
        const char* status; // how the status bar begins
    } cases[] = {
        {kLpf, dsp::kIirCheby1, nullptr, "Measured: "},
        {kLpf, dsp::kIirButter, nullptr, "Butterworth IIR. Measured: "},
        {kHpf, dsp::kIirCheby2, "50", "Chebyshev II IIR. Measured: "},
        {kBpf, dsp::kIirEllip, "45", "Elliptic IIR. Measured: "},
        {kBrf, dsp::kIirBessel, nullptr, "Bessel IIR. Measured: "},
        {kLpf, dsp::kIirCheby1, nullptr, "Measured: "}, // back to the default
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(dsp::IirMethodName(c.method)) + " type " + std::to_string(c.type));
        DialogAnswer answer =
            DialogAnswer::Ok(Template(c.type)).Radio(ids::kIdcIirMethod + c.method);
        if (c.atten != nullptr) {
            answer.Text(ids::kIdcIirAttenuation, c.atten);
        }
        host.AnswerDialog(answer);
        Design(c.type);
        const platform::ControlValues& closed = host.Dialogs().back().closed;
        EXPECT_EQ(closed.IsEnabled(ids::kIdcRipple), dsp::IirMethodUsesRipple(c.method));
        EXPECT_EQ(closed.IsEnabled(ids::kIdcIirAttenuation),
                  dsp::IirMethodUsesAttenuation(c.method));
        EXPECT_EQ(closed.IsEnabled(ids::kIdcFromRequirements), c.method != dsp::kIirBessel);
        EXPECT_TRUE(closed.IsEnabled(ids::kIdcIirSections));

        ASSERT_EQ(doc.m_nIirMethod, c.method);
        if (c.atten != nullptr) {
            EXPECT_EQ(doc.m_dIirAttenDb, std::stod(c.atten));
        }
        dsp::IirCascade expected;
        ASSERT_TRUE(
            dsp::DesignIirCascade({c.type, doc.m_nIirSections, doc.m_dRippleDb, doc.m_fs,
                                   doc.m_dIirFc1, doc.m_dIirFc2, c.method, doc.m_dIirAttenDb},
                                  expected));
        for (int j = 0; j < doc.m_nIirSections; ++j) {
            const auto k = static_cast<size_t>(j);
            EXPECT_EQ(doc.m_aA0[j], expected.a0[k]) << j;
            EXPECT_EQ(doc.m_aB1[j], expected.b1[k]) << j;
            EXPECT_EQ(doc.m_aB2[j], expected.b2[k]) << j;
        }
        const std::string status = host.StatusTexts().back();
        EXPECT_EQ(status.rfind(c.status, 0), 0u) << status;
        EXPECT_EQ(status, commands::MeasurementsSummary(doc, true));

        // The next opening shows the method and its fields as accepted.
        host.AnswerDialog(DialogAnswer::Cancel(Template(c.type)));
        Design(c.type);
        const platform::ControlValues& opened = host.Dialogs().back().opened;
        for (int m = 0; m < dsp::kIirMethodCount; ++m) {
            EXPECT_EQ(opened.GetCheck(ids::kIdcIirMethod + m), m == c.method ? 1 : 0) << m;
        }
        EXPECT_EQ(opened.IsEnabled(ids::kIdcIirAttenuation),
                  dsp::IirMethodUsesAttenuation(c.method));
    }
}

TEST_F(IirMethodFixture, MeasurementsNameTheMethodOnAFirstLine) {
    const struct {
        int method;
        bool fir; // the form shows FIR: the IIR dialog's method is no part of it
        const char* first;
    } cases[] = {
        {dsp::kIirCheby2, false, "Design method: Chebyshev II\n"},
        {dsp::kIirBessel, false, "Design method: Bessel\n"},
        {dsp::kIirBessel, true, nullptr},
        {dsp::kIirCheby1, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.method) + (c.fir ? " FIR" : " IIR"));
        host.AnswerDialog(DialogAnswer::Ok(Template(kLpf)).Radio(ids::kIdcIirMethod + c.method));
        Design(kLpf);
        if (c.fir) {
            host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + kLpf));
            host.ClickFormRadio(resources::kIdcFir);
            EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
        }
        const size_t before = host.Messages().size();
        ASSERT_TRUE(view.OnCommand(resources::kIdMeasurements));
        ASSERT_EQ(host.Messages().size(), before + 1);
        const std::string text = host.Messages().back().text;
        // The method line, then the report as it always was.
        const std::string first = c.first == nullptr ? "" : c.first;
        EXPECT_EQ(text.rfind(first + "Band [Hz]: unquantized gain [dB]", 0), 0u) << text;
        EXPECT_EQ(text.find("Design method") == std::string::npos, c.first == nullptr) << text;
    }
}

TEST_F(IirMethodFixture, MethodAttenuationOutOfRangeKeepsTheDialogOpen) {
    const struct {
        int method;
        const char* ripple;
        const char* atten;
        const char* message;
    } cases[] = {
        {dsp::kIirCheby2, nullptr, "0", "Please enter a number above 0 and at most 200."},
        {dsp::kIirCheby2, nullptr, "250", "Please enter a number above 0 and at most 200."},
        // Elliptic: As above the ripple.
        {dsp::kIirEllip, "3", "2", "Please enter a number above 3 and at most 200."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.atten);
        DialogAnswer answer = DialogAnswer::Ok(Template(kLpf)).Radio(ids::kIdcIirMethod + c.method);
        if (c.ripple != nullptr) { // Chebyshev II takes no ripple
            answer.Text(ids::kIdcRipple, c.ripple);
        }
        host.AnswerDialog(answer.Text(ids::kIdcIirAttenuation, c.atten));
        host.AnswerDialog(DialogAnswer::Cancel(Template(kLpf)));
        const COlvexDoc before = doc;
        Design(kLpf);
        const platform::ShownDialog& shown = host.Dialogs().back();
        ASSERT_EQ(shown.failedChecks.size(), 1u);
        EXPECT_EQ(shown.failedChecks[0], c.message);
        EXPECT_EQ(shown.closed.Focus(), ids::kIdcIirAttenuation);
        EXPECT_EQ(doc.m_nIirMethod, before.m_nIirMethod); // Cancel kept the method
    }
}

TEST_F(IirMethodFixture, FromRequirementsTakesTheMethodsMinimumOrder) {
    const struct {
        int type;
        int method;
        const char* fc1;
        const char* fc2;
        const char* stop1;
        const char* stop2;
        const char* ap;
        const char* as;
        int sections; // scipy's buttord/cheb2ord/ellipord: ceil(order / 2), even for BRF/BPF
        const char* status;
    } cases[] = {
        {kLpf, dsp::kIirButter, "200", nullptr, "300", nullptr, "1", "40", 5, "Butterworth"},
        {kLpf, dsp::kIirCheby2, "200", nullptr, "250", nullptr, "0.5", "60", 6, "Chebyshev II"},
        {kLpf, dsp::kIirEllip, "200", nullptr, "250", nullptr, "0.5", "60", 4, "Elliptic"},
        {kHpf, dsp::kIirCheby2, "200", nullptr, "150", nullptr, "1", "40", 4, "Chebyshev II"},
        {kHpf, dsp::kIirEllip, "200", nullptr, "150", nullptr, "1", "40", 3, "Elliptic"},
        {kBpf, dsp::kIirButter, "200", "300", "150", "350", "1", "40", 8, "Butterworth"},
        {kBpf, dsp::kIirCheby2, "200", "300", "150", "350", "1", "40", 6, "Chebyshev II"},
        {kBpf, dsp::kIirEllip, "200", "300", "150", "350", "1", "40", 4, "Elliptic"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(dsp::IirMethodName(c.method)) + " type " + std::to_string(c.type));
        DialogAnswer answer = DialogAnswer::Ok(Template(c.type))
                                  .Radio(ids::kIdcIirMethod + c.method)
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
        host.AnswerDialog(answer);
        Design(c.type);
        // In the mode the method's own As gives way to the requirement's.
        EXPECT_FALSE(host.Dialogs().back().closed.IsEnabled(ids::kIdcIirAttenuation));
        EXPECT_TRUE(host.Dialogs().back().closed.IsEnabled(ids::kIdcRipple));
        EXPECT_TRUE(host.Messages().empty());
        EXPECT_EQ(doc.m_nIirMethod, c.method);
        EXPECT_EQ(doc.m_nIirSections, c.sections);
        EXPECT_EQ(doc.m_nFilterType, c.type);
        if (dsp::IirMethodUsesAttenuation(c.method)) {
            EXPECT_EQ(doc.m_dIirAttenDb, std::stod(c.as));
        }
        const std::string status = host.StatusTexts().back();
        EXPECT_EQ(status.rfind(std::string(c.status) + " IIR. " + std::to_string(c.sections) +
                                   " sections (order ",
                               0),
                  0u)
            << status;
    }
}

TEST_F(IirMethodFixture, FromRequirementsBeyondEightSectionsKeepsTheDesign) {
    // buttord gives order 25 for these: 13 sections.
    host.AnswerDialog(DialogAnswer::Ok(Template(kLpf))
                          .Radio(ids::kIdcIirMethod + dsp::kIirButter)
                          .Check(ids::kIdcFromRequirements, 1)
                          .Text(ids::kIdcCutoff, "200")
                          .Text(ids::kIdcRipple, "0.5")
                          .Text(ids::kIdcStopAttenuation, "60")
                          .Text(ids::kIdcStopEdge1, "250"));
    const COlvexDoc before = doc;
    Design(kLpf);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_NE(host.Messages()[0].text.find("need order 25"), std::string::npos)
        << host.Messages()[0].text;
    EXPECT_EQ(doc.m_nIirMethod, before.m_nIirMethod);
    EXPECT_TRUE(std::equal(doc.m_aB1, doc.m_aB1 + COlvexDoc::kIirSections, before.m_aB1));
    EXPECT_EQ(host.StatusTexts().back(), "The design failed. The previous design is kept.");
}

TEST_F(IirMethodFixture, BesselTurnsTheRequirementsModeOff) {
    // Ticked, then Bessel clicked: the mode goes off and cannot be ticked again; the section
    // count designs.
    host.AnswerDialog(DialogAnswer::Ok(Template(kLpf))
                          .Check(ids::kIdcFromRequirements, 1)
                          .Radio(ids::kIdcIirMethod + dsp::kIirBessel)
                          .Text(ids::kIdcIirSections, "3"));
    Design(kLpf);
    const platform::ControlValues& closed = host.Dialogs().back().closed;
    EXPECT_EQ(closed.GetCheck(ids::kIdcFromRequirements), 0);
    EXPECT_FALSE(closed.IsEnabled(ids::kIdcFromRequirements));
    EXPECT_TRUE(closed.IsEnabled(ids::kIdcIirSections));
    EXPECT_FALSE(closed.IsEnabled(ids::kIdcStopAttenuation));
    EXPECT_EQ(doc.m_nIirMethod, dsp::kIirBessel);
    EXPECT_EQ(doc.m_nIirSections, 3);
    EXPECT_EQ(doc.m_bIirFromRequirements, 0);
    // Another method gives the mode back.
    host.AnswerDialog(DialogAnswer::Cancel(Template(kLpf))
                          .Radio(ids::kIdcIirMethod + dsp::kIirEllip)
                          .Check(ids::kIdcFromRequirements, 1));
    Design(kLpf);
    EXPECT_TRUE(host.Dialogs().back().closed.IsEnabled(ids::kIdcFromRequirements));
    EXPECT_EQ(host.Dialogs().back().closed.GetCheck(ids::kIdcFromRequirements), 1);
}

} // namespace
