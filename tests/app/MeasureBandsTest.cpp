// Loaded coefficients are never measured against bands they did not come with: after a bare
// coefficient file the status bar says the bands are unknown, and View > Measurements asks for
// them in the Band Edges dialog, pre-filled from the form, before it measures.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "app/ui/OlvexView.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/FilesResources.h"
#include "resources/MeasureBandsResources.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

namespace fs = std::filesystem;
using platform::DialogAnswer;

struct MeasureBandsFixture : support::ScriptedWindowTest {
    support::ScratchFolder folder{"bands"};
    std::string path = (folder / "bands.txt").string();

    MeasureBandsFixture() {
        // A design first, so that there are old bands to be wrongly measured against.
        host.AnswerDialog(DialogAnswer::Ok());
        view.OnCommand(resources::kIdcDesign);
        std::ofstream(path) << "Data is Real : 1.0 => 1.0\n 0.25\n 0.5\n 0.25\n";
        host.AnswerDialog(
            DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcLoadCoeffs));
        host.AnswerFileDialog(path);
        view.OnCommand(resources::kIdcSaveLoad);
    }
};

TEST_F(MeasureBandsFixture, TheBandsOfALoadedFileAreAskedForBeforeMeasuring) {
    ASSERT_EQ(doc.m_bBandsKnown, 0);
    EXPECT_EQ(host.StatusTexts().back().rfind("Bands unknown", 0), 0u) << host.StatusTexts().back();

    struct Case {
        const char* name;
        DialogAnswer answer;
        bool measured;
        int warning; // 0: none
    };
    const Case cases[] = {
        {"cancel", DialogAnswer::Cancel(resources::kIddMeasureBands), false, 0},
        {"edges out of order",
         DialogAnswer::Ok(resources::kIddMeasureBands)
             .Text(resources::kIdcBandsFc1, "300")
             .Text(resources::kIdcBandsFc2, "100"),
         false, design::kIddWarnEdges},
        {"accepted",
         DialogAnswer::Ok(resources::kIddMeasureBands)
             .Text(resources::kIdcBandsFs, "2000")
             .Text(resources::kIdcBandsFc1, "100")
             .Text(resources::kIdcBandsFc2, "400"),
         true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t messages = host.Messages().size();
        const size_t warnings = host.Warnings().size();
        host.AnswerDialog(c.answer);
        view.OnCommand(resources::kIdMeasurements);
        ASSERT_EQ(host.UnansweredDialogs(), 0);
        // Pre-filled from the form: the design's fs and edges.
        const platform::ControlValues& shown = host.Dialogs().back().opened;
        EXPECT_EQ(shown.GetText(resources::kIdcBandsFs), "1000");
        EXPECT_EQ(shown.GetText(resources::kIdcBandsFc1), "200");
        EXPECT_EQ(host.Messages().size(), messages + (c.measured ? 1 : 0));
        EXPECT_EQ(host.Warnings().size(), warnings + (c.warning != 0 ? 1 : 0));
        if (c.warning != 0) {
            EXPECT_EQ(host.Warnings().back().templateId, c.warning);
        }
        EXPECT_EQ(doc.m_bBandsKnown, c.measured ? 1 : 0);
    }
    EXPECT_EQ(doc.m_fs, 2000.0);
    EXPECT_EQ(doc.m_fc2, 400.0);
    // Known now: Measurements measures at once.
    const size_t dialogs = host.Dialogs().size();
    view.OnCommand(resources::kIdMeasurements);
    EXPECT_EQ(host.Dialogs().size(), dialogs);
    EXPECT_EQ(host.Messages().back().caption, "Measurements");
}

} // namespace
