// The VHDL Code command on the scripted desktop: quantization off (warning 164), a cancelled
// dialog that keeps the box, the data bit range, a template found along the search path, a missing
// template (warning 174 and the Open-file dialog, picked or cancelled), and a template that cannot
// be read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "app/CoefficientsCommands.h"
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "app/ui/OlvexView.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "resources/VhdlResources.h"
#include "tests/support/ScriptedWindow.h"
#include "vhdl/VhdlText.h"

namespace {

namespace fs = std::filesystem;
using platform::DialogAnswer;

struct VhdlCodeFixture : support::ScriptedWindowTest {
    support::ScratchFolder dir{"vhdl-code"};

    VhdlCodeFixture() {
        host.SetSearchFolders({dir.Path().string()});
        doc.m_nTaps = 4;
        doc.m_aFirCoeffs[0] = 0.25;
        doc.m_bQuantize = 1;
        doc.m_nQuantBits = 8;
        view.m_strOutput = "previous text";
        view.UpdateData(false);
    }

    void WriteTemplate(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
    }
    void VhdlCode() { EXPECT_TRUE(view.OnCommand(resources::kIdcVhdlCode)); }
    std::string Output() { return host.Form().GetText(resources::kIdcOutput); }
    DialogAnswer DataBits(const std::string& text) {
        return DialogAnswer::Ok(resources::kIddVhdlSource).Text(resources::kIdcVhdlDataBits, text);
    }
};

TEST_F(VhdlCodeFixture, ShowsTheHeaderAndTheSubstitutedTemplate) {
    WriteTemplate("firfilter.vhd", "\"reph  0\" COB DIOB-1\r\nTAPN\n");
    host.AnswerDialog(DataBits("10"));
    VhdlCode();
    EXPECT_EQ(host.UnansweredDialogs(), 0);
    EXPECT_EQ(doc.m_nDataBits, 10);
    EXPECT_EQ(view.m_bVhdlParamsSet, 1);
    EXPECT_EQ(view.m_strTemplatePath, (dir / "firfilter.vhd").string());
    EXPECT_EQ(view.VhdlCode().m_nSubstIndex, 1);
    const std::string header = vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kDisplay, false,
                                                     commands::HeaderValuesOf(doc, 0));
    EXPECT_EQ(Output(), header + "\"00100000\"  8  9\r\n  4\r\n");
    EXPECT_NE(Output().find("-- Tap Count =     4\r\n"), std::string::npos);
    EXPECT_EQ(host.TimerPeriod(platform::kViewTimerId), COlvexView::kCommandRedrawMs);
    EXPECT_EQ(view.m_bTimerDone, 0);
    ASSERT_FALSE(host.Dialogs().empty());
    EXPECT_EQ(host.Dialogs().back().opened.GetText(resources::kIdcVhdlDataBits), "12");
}

TEST_F(VhdlCodeFixture, AGeneratedFileOfTheTemplatesNameIsPassedOverForTheNextTemplate) {
    // The VHDL a user saved into the first folder has the template's name but no token left;
    // the search goes on to the template in the next folder, as the command line's does.
    support::ScratchFolder installed{"vhdl-code-installed"};
    host.SetSearchFolders({dir.Path().string(), installed.Path().string()});
    WriteTemplate("firfilter.vhd", "-- generated\nentity firfilter is\nend firfilter;\n");
    std::ofstream(installed.Path() / "firfilter.vhd", std::ios::binary) << "\"reph  0\" COB\n";
    host.AnswerDialog(DataBits("10"));
    VhdlCode();
    EXPECT_EQ(host.UnansweredDialogs(), 0);
    EXPECT_EQ(view.m_strTemplatePath, (installed.Path() / "firfilter.vhd").string());
    EXPECT_NE(Output().find("\"00100000\"  8\r\n"), std::string::npos) << Output();
}

TEST_F(VhdlCodeFixture, IirTakesTheTemplateOfItsSectionCount) {
    WriteTemplate("iirfilter3.vhd", "repa0 repb2\nrepa0 repb2\nDIOB\n");
    doc.m_nIirSections = 3;
    doc.m_aA0[1] = 0.5;
    host.ClickFormRadio(resources::kIdcIir);
    host.AnswerDialog(DataBits("12"));
    VhdlCode();
    EXPECT_EQ(view.m_nFirIir, 1);
    EXPECT_EQ(view.VhdlCode().m_nSubstIndex, 2);
    EXPECT_NE(Output().find("-- Number of IIRs =     3\r\n"), std::string::npos);
    EXPECT_NE(Output().find("0010000000 0000000000\r\n0001000000 0000000000\r\n16\r\n"),
              std::string::npos);
}

// Quantization off empties the box; Cancel changes nothing, the coefficient listing stays.
TEST_F(VhdlCodeFixture, RefusalEmptiesTheBoxAndCancelKeepsTheListing) {
    struct Case {
        const char* name;
        int quantize;
        bool cancel;
        int warnings;
    };
    for (const Case c : {Case{"quantization off", 0, false, 1}, Case{"cancelled", 1, true, 0}}) {
        SCOPED_TRACE(c.name);
        doc.m_bQuantize = c.quantize;
        view.m_bVhdlParamsSet = 0;
        view.m_strOutput = "h[0] = 0.25\r\n";
        view.UpdateData(false);
        const size_t warningsBefore = host.Warnings().size();
        if (c.quantize == 1) {
            host.AnswerDialog(DialogAnswer::Cancel(resources::kIddVhdlSource));
        }
        VhdlCode();
        EXPECT_EQ(host.UnansweredDialogs(), 0);
        EXPECT_EQ(host.Warnings().size() - warningsBefore, static_cast<size_t>(c.warnings));
        if (c.warnings == 1) {
            EXPECT_EQ(host.Warnings().back().templateId, design::kIddWarnVhdlNeedsQuantize);
            EXPECT_EQ(host.Warnings().back().lines,
                      (std::vector<std::string>{"Warning!!",
                                                "Click \"Coefficients\" and enable \"Quantize\"",
                                                "before VHDL code generation!!"}));
        }
        EXPECT_EQ(Output(), c.cancel ? "h[0] = 0.25\r\n" : "");
        EXPECT_EQ(view.m_bVhdlParamsSet, 0);
        EXPECT_EQ(host.TimerPeriod(platform::kViewTimerId), COlvexView::kCommandRedrawMs);
    }
}

TEST_F(VhdlCodeFixture, DataBitLengthOutsideFourToTwentyFourKeepsTheDialogOpen) {
    WriteTemplate("firfilter.vhd", "reph  0 DIOB\n");
    host.AnswerDialog(DataBits("3"));
    host.AnswerDialog(DataBits("25"));
    host.AnswerDialog(DataBits("24"));
    VhdlCode();
    ASSERT_FALSE(host.Dialogs().empty());
    const std::string message = "Please enter an integer between 4 and 24.";
    EXPECT_EQ(host.Dialogs().back().failedChecks, (std::vector<std::string>{message, message}));
    EXPECT_EQ(doc.m_nDataBits, 24);
}

TEST_F(VhdlCodeFixture, MissingTemplateIsNamedThenPickedWithTheOpenDialog) {
    const fs::path elsewhere = dir / "picked" / "my.vhd";
    fs::create_directories(elsewhere.parent_path());
    std::ofstream(elsewhere) << "reph  0 COB\n";
    host.AnswerDialog(DataBits("12"));
    host.AnswerDialog(DialogAnswer::Ok(resources::kIddLocateTemplate));
    host.AnswerFileDialog(elsewhere.string());
    VhdlCode();
    EXPECT_EQ(host.UnansweredDialogs(), 0);
    ASSERT_EQ(host.Dialogs().size(), 2u);
    EXPECT_EQ(host.Dialogs()[1].templateId, resources::kIddLocateTemplate);
    EXPECT_EQ(host.Dialogs()[1].opened.GetText(resources::kIdcMissingTemplate), "firfilter.vhd");
    ASSERT_EQ(host.FileDialogs().size(), 1u);
    EXPECT_TRUE(host.FileDialogs()[0].open);
    EXPECT_EQ(host.FileDialogs()[0].fileName, "firfilter.vhd");
    EXPECT_EQ(host.FileDialogs()[0].filter, "");
    EXPECT_EQ(host.FileDialogs()[0].defaultExtension, "");
    EXPECT_EQ(host.FileDialogs()[0].flags, platform::kOfnHideReadOnly);
    EXPECT_EQ(view.m_strTemplatePath, elsewhere.string());
    EXPECT_EQ(Output().substr(Output().size() - 4), " 8\r\n");
}

// Chosen: with no template ever found, a cancelled Open dialog stops the command with the box
// empty and no path is read.
TEST_F(VhdlCodeFixture, CancelledOpenDialogWithNoTemplateEverFoundStopsWithAnEmptyBox) {
    host.AnswerDialog(DataBits("12"));
    host.AnswerDialog(DialogAnswer::Ok(resources::kIddLocateTemplate));
    host.AnswerFileDialog(std::nullopt);
    VhdlCode();
    EXPECT_EQ(view.m_strTemplatePath, "");
    EXPECT_EQ(Output(), "");
    EXPECT_TRUE(host.Messages().empty());
}

TEST_F(VhdlCodeFixture, TemplateThatCannotBeOpenedShowsNothingHalfBuilt) {
    // A path remembered from an earlier run whose file has gone away since.
    view.m_strTemplatePath = (dir / "gone.vhd").string();
    host.AnswerDialog(DataBits("12"));
    host.AnswerDialog(DialogAnswer::Ok(resources::kIddLocateTemplate));
    host.AnswerFileDialog(std::nullopt);
    const size_t timersBefore = host.TimerStarts().size();
    VhdlCode();
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, (dir / "gone.vhd").string() + " was not found.");
    EXPECT_EQ(Output(), "previous text");
    EXPECT_EQ(view.m_strOutput, "previous text");
    EXPECT_EQ(host.TimerStarts().size(), timersBefore);
}

} // namespace

namespace {

// The window's VHDL Code with templates the substitution cannot fully serve: tokens it left are
// named in the status bar with their template lines; a template of the other structure is
// refused with a message and the box keeps what it showed.
TEST_F(VhdlCodeFixture, LeftoverTokensGoToTheStatusBarAndTheWrongKindIsRefused) {
    WriteTemplate("firfilter.vhd", "reph  0, reph  1;\nTAPN\n");
    host.AnswerDialog(DataBits("10"));
    VhdlCode();
    ASSERT_FALSE(host.StatusTexts().empty());
    EXPECT_EQ(host.StatusTexts().back(),
              "Template tokens left in the VHDL: template line 1: \"reph  1\" was not replaced");
    EXPECT_NE(Output().find("reph  1"), std::string::npos) << "the text is shown as substituted";

    // The search passes over an IIR template of the FIR's name; picked by hand, it is refused.
    WriteTemplate("firfilter.vhd", "repa0 repa1 repa2 repb1 repb2\n");
    view.m_strOutput = "previous text";
    view.UpdateData(false);
    const size_t messages = host.Messages().size();
    host.AnswerDialog(DataBits("10"));
    host.AnswerDialog(DialogAnswer::Ok(resources::kIddLocateTemplate));
    host.AnswerFileDialog((dir / "firfilter.vhd").string());
    VhdlCode();
    EXPECT_EQ(host.UnansweredDialogs(), 0);
    ASSERT_EQ(host.Messages().size(), messages + 1);
    EXPECT_EQ(host.Messages().back().text,
              (dir / "firfilter.vhd").string() +
                  " is not a FIR template: it holds no FIR coefficient token");
    EXPECT_EQ(Output(), "previous text");
}

} // namespace
