// Save/Load > Load Coefficients on the scripted desktop loads into the structure the FIR/IIR
// radio shows, whether or not a design of that structure has run, and leaves the radio as the
// user set it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::DialogAnswer;

struct LoadRadioFixture : support::ScriptedWindowTest {
    support::ScratchFolder dir{"loadradio"};

    void Load(const std::string& text) {
        const std::string path = (dir.Path() / "coeffs.txt").string();
        std::ofstream(path) << text;
        host.AnswerDialog(
            DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcLoadCoeffs));
        host.AnswerFileDialog(path);
        EXPECT_TRUE(view.OnCommand(resources::kIdcSaveLoad));
        EXPECT_EQ(host.UnansweredDialogs(), 0);
        EXPECT_TRUE(host.Warnings().empty());
    }
};

TEST_F(LoadRadioFixture, LoadFollowsTheRadioBeforeAnyDesign) {
    struct Case {
        const char* name;
        bool iir;
        bool designFirst; // a design of the other structure has run before the radio is set
    };
    const Case cases[] = {
        {"IIR radio, nothing designed", true, false},
        {"IIR radio after a FIR design", true, true},
        {"FIR radio after an IIR design", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COlvexDoc& d = doc;
        if (c.designFirst) {
            host.ClickFormRadio(c.iir ? resources::kIdcFir : resources::kIdcIir);
            host.AnswerDialog(DialogAnswer::Ok());
            view.OnCommand(resources::kIdcDesign);
        }
        host.ClickFormRadio(c.iir ? resources::kIdcIir : resources::kIdcFir);
        const double firBefore = d.m_aFirCoeffs[0];
        const double iirBefore = d.m_aB1[0];
        if (c.iir) {
            Load("Data is Real : 1.0 => 1.0\n0.5 0.25 0.125 -0.375 0.0625\n");
            EXPECT_EQ(d.m_aA0[0], 0.5);
            EXPECT_EQ(d.m_aB1[0], -0.375);
            EXPECT_EQ(d.m_aFirCoeffs[0], firBefore); // the FIR design is not touched
        } else {
            Load("Data is Real : 1.0 => 1.0\n0.0625\n0.4375\n0.0625\n");
            EXPECT_EQ(d.m_aFirCoeffs[1], 0.4375);
            EXPECT_EQ(d.m_aB1[0], iirBefore); // the IIR design is not touched
        }
        // The radio stays where the user put it.
        EXPECT_EQ(host.Form().GetCheck(resources::kIdcIir), c.iir ? 1 : 0);
        EXPECT_EQ(host.Form().GetCheck(resources::kIdcFir), c.iir ? 0 : 1);
    }
}

} // namespace
