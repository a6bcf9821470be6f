// The language choice of the VHDL Code dialog on the scripted desktop: the output box shows the
// text of the chosen language's template, Save/Load's Save VHDL proposes the file name of that
// language and writes it, and "Save testbench" writes the testbench in that language.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "resources/VhdlResources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

namespace fs = std::filesystem;
using platform::DialogAnswer;

struct VerilogWindowFixture : support::ScriptedWindowTest {
    // One folder per process: ctest runs the cases of this fixture side by side.
    support::ScratchFolder dir{"verilog-window"};

    VerilogWindowFixture() {
        std::ofstream(dir / "firfilter.vhd") << "entity firfilter is -- \"reph  0\"\n";
        std::ofstream(dir / "firfilter.v") << "module firfilter; // COB'breph  0\n";
        host.SetSearchFolders({dir.Path().string()});
        doc.m_nTaps = 4;
        doc.m_aFirCoeffs[0] = 0.25;
        doc.m_bQuantize = 1;
        doc.m_nQuantBits = 8;
        view.UpdateData(false);
    }

    static int LanguageControl(bool verilog) {
        return verilog ? resources::kIdcLanguageVerilog : resources::kIdcLanguageVhdl;
    }
    std::string Read(const fs::path& path) { return support::ReadFile(path); }
};

TEST_F(VerilogWindowFixture, TheChosenLanguageIsShownAndSaved) {
    const struct {
        bool verilog;
        const char* shown;    // in the output box, after the header
        const char* header;   // the header's first line in the box
        const char* proposed; // Save VHDL's file name
    } cases[] = {
        {true, "module firfilter; //  8'b00100000", "//-----", "test0.v"},
        {false, "entity firfilter is -- \"00100000\"", "-------", "test0.vhd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proposed);
        host.AnswerDialog(DialogAnswer::Ok(resources::kIddVhdlSource)
                              .Text(resources::kIdcVhdlDataBits, "10")
                              .Radio(LanguageControl(c.verilog)));
        EXPECT_TRUE(view.OnCommand(resources::kIdcVhdlCode));
        const std::string output = host.Form().GetText(resources::kIdcOutput);
        EXPECT_EQ(output.substr(0, 7), c.header);
        EXPECT_NE(output.find(c.shown), std::string::npos) << output;
        EXPECT_EQ(doc.m_nHdlLanguage, c.verilog ? 1 : 0);

        const fs::path saved = dir / (std::string("saved_") + c.proposed);
        host.AnswerDialog(DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcSaveVhdl));
        host.AnswerFileDialog(saved.string());
        EXPECT_TRUE(view.OnCommand(resources::kIdcSaveLoad));
        ASSERT_FALSE(host.FileDialogs().empty());
        EXPECT_EQ(host.FileDialogs().back().fileName, c.proposed);
        const std::string text = Read(saved);
        EXPECT_EQ(text.substr(0, 7), c.header);
        EXPECT_NE(text.find(c.shown), std::string::npos) << text;
        EXPECT_EQ(host.UnansweredDialogs(), 0);
    }
}

TEST_F(VerilogWindowFixture, SaveTestbenchWritesTheChosenLanguage) {
    const struct {
        bool verilog;
        const char* proposed;
        const char* unit; // what the testbench declares
    } cases[] = {
        {true, "tb0.v", "module firfilter_tb;"},
        {false, "tb0.vhd", "entity firfilter_tb is"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proposed);
        const fs::path path = dir / (std::string("out_") + c.proposed);
        host.AnswerDialog(DialogAnswer::Cancel(resources::kIddVhdlSource)
                              .Text(resources::kIdcVhdlDataBits, "10")
                              .Radio(LanguageControl(c.verilog))
                              .Press(resources::kIdcVhdlSaveTestbench));
        host.AnswerFileDialog(path.string());
        EXPECT_TRUE(view.OnCommand(resources::kIdcVhdlCode));
        ASSERT_FALSE(host.FileDialogs().empty());
        EXPECT_EQ(host.FileDialogs().back().fileName, c.proposed);
        EXPECT_NE(Read(path).find(c.unit), std::string::npos);
        EXPECT_EQ(doc.m_nDataBits, 10);
    }
}

} // namespace
