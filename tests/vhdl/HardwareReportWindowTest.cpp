// The VHDL Code dialog's hardware fields and its "Hardware report" button on the scripted
// desktop: a refused entry keeps the flow from starting, a run without the tools names the
// packages in the output box, a cancelled run stops its tool and says so, Cancel keeps the
// report in the box, and OK stores the choice and names it in the header.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <unistd.h>

#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"
#include "resources/VhdlResources.h"
#include "tests/support/ScriptedWindow.h"
#include "vhdl/HardwareReport.h"

namespace {

namespace fs = std::filesystem;
using platform::DialogAnswer;

// PATH for the length of one test.
class ScopedPath {
public:
    explicit ScopedPath(const std::string& path) : m_saved(std::getenv("PATH")) {
        ::setenv("PATH", path.c_str(), 1);
    }
    ~ScopedPath() { ::setenv("PATH", m_saved.c_str(), 1); }

private:
    std::string m_saved;
};

struct HardwareReportWindow : support::ScriptedWindowTest {
    support::ScratchFolder dir{"hardware-report-window"};

    HardwareReportWindow() {
        host.SetSearchFolders({dir.Path().string()});
        doc.m_nTaps = 4;
        doc.m_aFirCoeffs[0] = 0.25;
        doc.m_aFirCoeffs[3] = 0.25;
        doc.m_bQuantize = 1;
        doc.m_nQuantBits = 8;
        // Each template holds a tap token, as a FIR template must.
        std::ofstream(dir / "firfilter.vhd")
            << "entity firfilter is\n-- reph  0\nend entity firfilter;\n";
        std::ofstream(dir / "firfilter_folded.vhd") << "-- folded\n-- reph  0\n";
    }

    // The flow's work folders in the temporary folder (other runs may have their own).
    static std::set<std::string> WorkFolders() {
        std::set<std::string> folders;
        for (const auto& entry : fs::directory_iterator(fs::temp_directory_path())) {
            if (entry.path().filename().string().rfind("vantrel-hw-", 0) == 0) {
                folders.insert(entry.path().string());
            }
        }
        return folders;
    }
    std::string Output() { return host.Form().GetText(resources::kIdcOutput); }
    void VhdlCode() { EXPECT_TRUE(view.OnCommand(resources::kIdcVhdlCode)); }
    static DialogAnswer PressReportThenCancel(const char* multipliers) {
        return DialogAnswer::Cancel(resources::kIddVhdlSource)
            .Radio(resources::kIdcArchFolded)
            .Text(resources::kIdcVhdlMultipliers, multipliers)
            .Press(resources::kIdcHardwareReport);
    }
};

TEST_F(HardwareReportWindow, RefusedEntryShowsTheDialogsMessageAndRunsNothing) {
    host.AnswerDialog(PressReportThenCancel("0"));
    VhdlCode();
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "Please enter an integer between 1 and 64.");
    EXPECT_TRUE(host.BackgroundTitles().empty());
    EXPECT_EQ(Output(), "");
    EXPECT_EQ(doc.m_nVhdlMultipliers, 4); // nothing stored
}

TEST_F(HardwareReportWindow, WithoutTheToolsTheBoxNamesThePackagesAndCancelKeepsIt) {
    const ScopedPath noTools(dir.Path().string());
    host.AnswerDialog(PressReportThenCancel("8"));
    VhdlCode();
    EXPECT_EQ(host.UnansweredDialogs(), 0);
    ASSERT_EQ(host.BackgroundTitles().size(), 1u);
    EXPECT_EQ(host.BackgroundTitles()[0], resources::kHardwareReportTitle);
    EXPECT_NE(Output().find("install the Debian packages ghdl yosys nextpnr-ice40"),
              std::string::npos)
        << Output();
    // The button ran VHDL Code with the dialog's entries.
    EXPECT_EQ(doc.m_nVhdlArchitecture, 1);
    EXPECT_EQ(doc.m_nVhdlMultipliers, 8);
    EXPECT_EQ(view.m_bVhdlParamsSet, 1);
    EXPECT_EQ(view.m_strTemplatePath, (dir / "firfilter_folded.vhd").string());
}

TEST_F(HardwareReportWindow, CancelStopsTheRunningToolAndSaysSo) {
    if (!vhdl::MissingHardwarePackages().empty()) {
        GTEST_SKIP() << "ghdl, yosys or nextpnr-ice40 is not installed";
    }
    std::ofstream(dir / "firfilter_folded.vhd")
        << "entity firfilter is\n-- reph  0\nend entity firfilter;\n";
    const std::set<std::string> before = WorkFolders();
    host.CancelBackgroundAt(1); // Cancel as soon as the first tool starts
    host.AnswerDialog(PressReportThenCancel("2"));
    VhdlCode();
    EXPECT_EQ(host.BackgroundProgress(), (std::vector<std::string>{"Analysing with GHDL"}));
    EXPECT_EQ(Output(), "Hardware report cancelled.");
    for (const std::string& folder : WorkFolders()) {
        EXPECT_EQ(before.count(folder), 1u) << "work folder left: " << folder;
    }
}

TEST_F(HardwareReportWindow, OkStoresTheChoiceAndTheHeaderNamesIt) {
    host.AnswerDialog(DialogAnswer::Ok(resources::kIddVhdlSource)
                          .Radio(resources::kIdcArchFolded)
                          .Text(resources::kIdcVhdlMultipliers, "2")
                          .Text(resources::kIdcVhdlClockMhz, "100"));
    VhdlCode();
    EXPECT_EQ(doc.m_nVhdlArchitecture, 1);
    EXPECT_EQ(doc.m_nVhdlMultipliers, 2);
    EXPECT_DOUBLE_EQ(doc.m_dVhdlClockMhz, 100.0);
    // Four symmetric taps: two pre-added pairs on two multipliers, one clock plus one.
    EXPECT_NE(Output().find("-- Architecture = folded, 2 multipliers, 2 clocks per sample\r\n"),
              std::string::npos)
        << Output();
    EXPECT_NE(Output().find("-- folded\r\n"), std::string::npos);
    // The dialog opens with the stored choice the next time.
    host.AnswerDialog(DialogAnswer::Cancel(resources::kIddVhdlSource));
    VhdlCode();
    const platform::ControlValues& opened = host.Dialogs().back().opened;
    EXPECT_EQ(opened.GetText(resources::kIdcVhdlMultipliers), "2");
    EXPECT_EQ(opened.GetText(resources::kIdcVhdlClockMhz), "100");
}

} // namespace
