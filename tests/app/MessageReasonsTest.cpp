// The window says why a file step failed, as the command line does: the warnings and message
// boxes of Load Coefficients, Save Coefficients, File > Open and Save As keep their fixed texts
// and add the reason (the system's, the special file's, or the value where reading stopped).
// Also: a number the dialog shows rounded goes back at full precision when it was not edited,
// and a design from requirements says what it reached at the user's stop edge.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "app/ui/OlvexView.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::DialogAnswer;
namespace ids = design;

struct ReasonsFixture : support::ScriptedWindowTest {
    support::ScratchFolder dir{"reasons"};

    std::string PathOf(const std::string& name) const { return (dir / name).string(); }
    void Design() {
        host.AnswerDialog(DialogAnswer::Ok());
        view.OnCommand(resources::kIdcDesign);
    }
    void SaveLoad(int actionRadio, const std::string& path) {
        host.AnswerDialog(DialogAnswer::Ok(resources::kIddSaveLoad).Radio(actionRadio));
        host.AnswerFileDialog(path);
        view.OnCommand(resources::kIdcSaveLoad);
    }
};

TEST_F(ReasonsFixture, LoadWarningsKeepTheirTextAndAddTheReason) {
    Design();
    const std::string fifo = PathOf("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(PathOf("bad.txt")) << "Data is Dec : 1.0 => 32768\n16384\n12x\n";
    const struct {
        const char* name;
        std::string path;
        int warning;
        std::string reason; // the warning's last line
    } cases[] = {
        {"missing", PathOf("missing.txt"), ids::kIddWarnInvalidFileName,
         "No such file or directory"},
        {"a folder", dir.Path().string(), ids::kIddWarnInvalidFileName, "Is a directory"},
        {"a FIFO without a writer", fifo, ids::kIddWarnInvalidFileName,
         "a FIFO without a writer: not read"},
        {"a malformed number", PathOf("bad.txt"), ids::kIddWarnInvalidCoeffs,
         "value 2, '12x', is not a number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t shown = host.Warnings().size();
        SaveLoad(resources::kIdcLoadCoeffs, c.path);
        ASSERT_EQ(host.Warnings().size(), shown + 1);
        const platform::ShownWarning& warning = host.Warnings().back();
        EXPECT_EQ(warning.templateId, c.warning);
        // The fixed lines first, as they always were, then the reason.
        const design::Warning fixed = c.warning == ids::kIddWarnInvalidFileName
                                          ? design::InvalidFileNameWarning()
                                          : design::InvalidCoeffsWarning();
        ASSERT_EQ(warning.lines.size(), fixed.lines.size() + 1);
        EXPECT_TRUE(std::equal(fixed.lines.begin(), fixed.lines.end(), warning.lines.begin()));
        EXPECT_EQ(warning.lines.back(), c.reason);
    }
}

TEST_F(ReasonsFixture, FailedWritesAndOpensShowTheSystemsReason) {
    Design();
    std::ofstream(PathOf("plain")) << "a file, not a folder";
    const std::string underFile = PathOf("plain/out.txt");
    const struct {
        const char* name;
        std::function<void()> run;
        std::string text;
    } cases[] = {
        {"Save As into a file's path",
         [&] {
             host.AnswerFileDialog(underFile);
             view.OnCommand(resources::kIdFileSaveAs);
         },
         underFile + " cannot be opened\nNot a directory"},
        {"Open of a missing design",
         [&] {
             host.AnswerFileDialog(PathOf("gone.vantrel"));
             view.OnCommand(resources::kIdFileOpen);
         },
         PathOf("gone.vantrel") + ": No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t shown = host.Messages().size();
        c.run();
        ASSERT_EQ(host.Messages().size(), shown + 1);
        EXPECT_EQ(host.Messages().back().text, c.text);
    }
}

// After a design from requirements the RR field shows the chosen ratio rounded; OK without
// touching it keeps the ratio to the last bit, an edited field takes what was typed.
TEST_F(ReasonsFixture, RoundedFieldsGoBackAtFullPrecision) {
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + kLpf)
                          .Check(ids::kIdcFromRequirements, 1)
                          .Text(ids::kIdcPassRipple, "0.5")
                          .Text(ids::kIdcStopAttenuation, "60"));
    view.OnCommand(resources::kIdcDesign);
    const double rr = doc.m_dRR;
    ASSERT_NE(rr, std::round(rr * 1e4) / 1e4) << "the ratio needs more digits than are shown";

    // The dialog remembers the requirements mode: untick it, so the ratio is the field's again.
    host.AnswerDialog(
        DialogAnswer::Ok(ids::kIddFirParameters + kLpf).Check(ids::kIdcFromRequirements, 0));
    view.OnCommand(resources::kIdcDesign);
    const std::string shown = host.Dialogs().back().opened.GetText(ids::kIdcRR);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%.6g", rr);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(doc.m_dRR, rr) << "an untouched field keeps the full value";

    host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + kLpf).Text(ids::kIdcRR, "12.5"));
    view.OnCommand(resources::kIdcDesign);
    EXPECT_EQ(doc.m_dRR, 12.5);
}

TEST_F(ReasonsFixture, IirRequirementsReportTheSectionsAndTheStopBandReached) {
    host.ClickFormRadio(resources::kIdcIir);
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddIirParameters + kLpf)
                          .Check(ids::kIdcFromRequirements, 1)
                          .Text(ids::kIdcRipple, "0.5")
                          .Text(ids::kIdcStopAttenuation, "40")
                          .Text(ids::kIdcCutoff, "200")
                          .Text(ids::kIdcStopEdge1, "250"));
    ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
    ASSERT_FALSE(host.StatusTexts().empty());
    const std::string& status = host.StatusTexts().back();
    const std::string sections = std::to_string(doc.m_nIirSections) + " sections";
    EXPECT_EQ(status.rfind(sections, 0), 0u) << status;
    const std::size_t stop = status.find("stop max ");
    ASSERT_NE(stop, std::string::npos) << status;
    const double stopDb = std::strtod(status.c_str() + stop + 9, nullptr);
    EXPECT_LE(stopDb, -40.0) << "the attenuation reached at the stop edge: " << status;
}

} // namespace
