// The Rate choice of the FIR Design dialogs on the scripted desktop: a design made to decimate or
// interpolate keeps its rate (undo and redo included), VHDL Code shows the polyphase filter and
// Save VHDL writes what vantrel-cli's --decimate writes for the same design, and what the
// polyphase hardware cannot be (another architecture) is refused with the reason; its testbench
// is the command line's too.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>

#include <sys/wait.h>
#include <unistd.h>

#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "app/ui/DesignDialogs.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "resources/VhdlResources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

namespace fs = std::filesystem;
namespace ids = design;
using platform::DialogAnswer;

std::string Read(const fs::path& path) {
    return support::ReadFile(path);
}

struct RateChoiceFixture : support::ScriptedWindowTest {
    support::ScratchFolder dir{"rate-choice"};

    RateChoiceFixture() {
        host.SetSearchFolders({std::string(VANTREL_SOURCE_DIR) + "/vhdl/templates"});
    }

    // FIR LPF, fs 1000 Hz, edges 40 and 80 Hz, 61 taps, with the rate radio and factor given.
    void Design(int rateKind, const char* factor) {
        DialogAnswer answer = DialogAnswer::Ok(ids::kIddFirParameters + kLpf)
                                  .Text(ids::kIdcFs, "1000")
                                  .Text(ids::kIdcFc1, "40")
                                  .Text(ids::kIdcFc2, "80")
                                  .Text(ids::kIdcTaps, "61")
                                  .Radio(ids::kIdcRateKind + rateKind);
        if (rateKind != COlvexDoc::kSingleRate) {
            answer.Text(ids::kIdcRateFactor, factor);
        }
        host.AnswerDialog(answer);
        host.ClickFormRadio(resources::kIdcLpf);
        host.ClickFormRadio(resources::kIdcFir);
        ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
        ASSERT_EQ(host.UnansweredDialogs(), 0);
        // Quantized to 16 bits, as the command line's --quantize 16.
        doc.m_bQuantize = 1;
        doc.m_nQuantBits = 16;
    }
    void VhdlCode(int architecture = resources::kIdcArchSerial, const char* multipliers = "4",
                  const char* clockMhz = "48") {
        DialogAnswer answer = DialogAnswer::Ok(resources::kIddVhdlSource)
                                  .Text(resources::kIdcVhdlDataBits, "12")
                                  .Radio(architecture);
        // The dialog enables the multiplier count for folded and the clock for auto only.
        if (architecture == resources::kIdcArchFolded) {
            answer.Text(resources::kIdcVhdlMultipliers, multipliers);
        } else if (architecture == resources::kIdcArchAuto) {
            answer.Text(resources::kIdcVhdlClockMhz, clockMhz);
        }
        host.AnswerDialog(answer);
        ASSERT_TRUE(view.OnCommand(resources::kIdcVhdlCode));
    }
    std::string Output() { return host.Form().GetText(resources::kIdcOutput); }
    fs::path SaveVhdl(const char* name) {
        const fs::path path = dir / name;
        host.AnswerDialog(DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcSaveVhdl));
        host.AnswerFileDialog(path.string());
        EXPECT_TRUE(view.OnCommand(resources::kIdcSaveLoad));
        return path;
    }
    // vantrel-cli (built next to this test) writing --vhdl (or `output`) for the same design,
    // into the file `name`.
    std::string CliVhdl(const std::string& rateWords, const char* output = "--vhdl",
                        const char* name = "cli.vhd") {
        const fs::path out = dir / name;
        const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "vantrel-cli";
        const std::string command = "cd " + dir.Path().string() + " && " + cli.string() +
                                    " fir --type lpf --fs 1000 --edges 40,80 --taps 61 "
                                    "--quantize 16 --data-bits 12 " +
                                    rateWords + " " + output + " " + out.string() +
                                    " >/dev/null 2>&1";
        const int raw = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << command;
        return Read(out);
    }
};

TEST_F(RateChoiceFixture, TheWindowsPolyphaseVhdlIsTheCommandLines) {
    const struct {
        int kind;
        const char* factor;
        const char* cli;
        const char* header; // the rate line of the header
        const char* entity;
    } cases[] = {
        {COlvexDoc::kDecimate, "8", "--decimate 8", "-- Decimation = 8", "firfilter_decim"},
        {COlvexDoc::kInterpolate, "4", "--interpolate 4", "-- Interpolation = 4",
         "firfilter_interp"},
        {COlvexDoc::kSingleRate, "8", "", nullptr, "entity firfilter is"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cli);
        Design(c.kind, c.factor);
        EXPECT_EQ(doc.m_nRateKind, c.kind);
        VhdlCode();

        EXPECT_TRUE(host.Messages().empty());
        const std::string shown = Output();
        if (c.header != nullptr) {
            EXPECT_NE(shown.find(c.header), std::string::npos) << shown.substr(0, 600);
            EXPECT_NE(shown.find("Architecture = polyphase"), std::string::npos);
        } else {
            EXPECT_EQ(shown.find("Decimation"), std::string::npos);
            EXPECT_EQ(shown.find("polyphase"), std::string::npos);
        }
        EXPECT_NE(shown.find(c.entity), std::string::npos);
        const std::string saved = Read(SaveVhdl("window.vhd"));
        ASSERT_FALSE(saved.empty());
        EXPECT_EQ(saved, CliVhdl(c.cli));
    }
}

TEST_F(RateChoiceFixture, ADecimatorsStatusAndReportGiveItsFoldedBandsLargestGain) {
    Design(COlvexDoc::kSingleRate, "2");
    EXPECT_EQ(host.StatusTexts().back().find("aliasing"), std::string::npos);
    Design(COlvexDoc::kDecimate, "8");
    doc.m_bQuantize = 0; // as the design was measured
    const std::optional<commands::AliasingMeasure> aliasing = commands::AliasingOf(doc, false);
    ASSERT_TRUE(aliasing.has_value());
    // LPF to 40 Hz at 1000 Hz by 8: the images around 125, 250, 375 and 500 Hz.
    ASSERT_EQ(aliasing->bands.size(), 4u);
    EXPECT_DOUBLE_EQ(aliasing->bands[0].lo, 85.0);
    EXPECT_DOUBLE_EQ(aliasing->bands[3].hi, 500.0);
    char words[80];
    std::snprintf(words, sizeof words, "aliasing max %.3f dB (decimation by 8)", aliasing->worstDb);
    const std::string status = host.StatusTexts().back();
    EXPECT_NE(status.find(words), std::string::npos) << status;
    EXPECT_NE(commands::MeasurementsReport(doc, false, "\n").find(words), std::string::npos);
    // Every folded band lies in the stop band from 80 Hz: no gain there beyond its largest.
    const dsp::Measurements measured = commands::MeasureDocument(doc, false);
    EXPECT_LE(aliasing->worstDb, measured.unquantized.back().maxDb + 1e-9);
}

TEST_F(RateChoiceFixture, UndoAndRedoRestoreTheRate) {
    Design(COlvexDoc::kSingleRate, "2");
    Design(COlvexDoc::kDecimate, "8");
    ASSERT_EQ(doc.m_nRateKind, COlvexDoc::kDecimate);
    ASSERT_EQ(doc.m_nRateFactor, 8);

    ASSERT_TRUE(view.OnCommand(resources::kIdEditUndo));
    EXPECT_EQ(doc.m_nRateKind, COlvexDoc::kSingleRate);
    EXPECT_FALSE(commands::DocumentRate(doc, false).Active());
    ASSERT_TRUE(view.OnCommand(resources::kIdEditRedo));
    EXPECT_EQ(doc.m_nRateKind, COlvexDoc::kDecimate);
    EXPECT_EQ(doc.m_nRateFactor, 8);
    ASSERT_TRUE(view.OnCommand(resources::kIdEditUndo));
    // The dialog opens with the rate of the design that stands, and VHDL Code generates it.
    host.AnswerDialog(DialogAnswer::Cancel(ids::kIddFirParameters + kLpf));
    ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
    const platform::ControlValues& opened = host.Dialogs().back().opened;
    EXPECT_EQ(opened.GetCheck(ids::kIdcRateKind + COlvexDoc::kSingleRate), 1);
    EXPECT_FALSE(opened.IsEnabled(ids::kIdcRateFactor));
    doc.m_bQuantize = 1;
    VhdlCode();
    EXPECT_NE(Output().find("entity firfilter is"), std::string::npos);
    EXPECT_EQ(Output().find("Decimation"), std::string::npos);
}

TEST_F(RateChoiceFixture, WhatThePolyphaseHardwareCannotBeIsRefusedWithItsReason) {
    Design(COlvexDoc::kDecimate, "8");
    VhdlCode();
    const std::string polyphase = Output();
    ASSERT_NE(polyphase.find("-- Decimation = 8"), std::string::npos);
    const size_t before = host.Messages().size();
    VhdlCode(resources::kIdcArchParallel);
    ASSERT_EQ(host.Messages().size(), before + 1);
    EXPECT_NE(host.Messages().back().text.find(
                  "the parallel architecture is not built for a rate change"),
              std::string::npos)
        << host.Messages().back().text;
    EXPECT_EQ(Output(), polyphase) << "the box keeps what it showed";
}

TEST_F(RateChoiceFixture, TheWindowsFoldedAndAutoPolyphaseVhdlIsTheCommandLines) {
    // fs 1000 Hz: a job of 8 samples has 8 * clock / 1000 clocks. 0.01 MHz leaves it 80, which
    // the one-multiplier walk fits; 0.004 MHz leaves 32, which takes folded lanes.
    const struct {
        int architecture;
        const char* multipliers;
        const char* clockMhz;
        const char* cli;
        const char* header;
    } cases[] = {
        {resources::kIdcArchFolded, "3", "48", "--decimate 8 --arch folded --multipliers 3",
         "-- Architecture = polyphase folded, 3 multipliers, "},
        {resources::kIdcArchAuto, "4", "0.01", "--decimate 8 --arch auto --clock 10000",
         "-- Architecture = polyphase, 1 multiplier, "},
        {resources::kIdcArchAuto, "4", "0.004", "--decimate 8 --arch auto --clock 4000",
         "-- Architecture = polyphase folded, 2 multipliers, "},
        {resources::kIdcArchFolded, "2", "48", "--interpolate 4 --arch folded --multipliers 2",
         "-- Architecture = polyphase folded, 2 multipliers, "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cli);
        Design(std::string(c.cli).find("--decimate") == 0 ? COlvexDoc::kDecimate
                                                          : COlvexDoc::kInterpolate,
               std::string(c.cli).find("--decimate") == 0 ? "8" : "4");
        const size_t before = host.Messages().size();
        VhdlCode(c.architecture, c.multipliers, c.clockMhz);
        EXPECT_EQ(host.Messages().size(), before);
        const std::string shown = Output();
        EXPECT_NE(shown.find(c.header), std::string::npos) << shown.substr(0, 600);
        const std::string saved = Read(SaveVhdl("window.vhd"));
        ASSERT_FALSE(saved.empty());
        EXPECT_EQ(saved, CliVhdl(c.cli));
    }
}

TEST_F(RateChoiceFixture, TheWindowsPolyphaseTestbenchIsTheCommandLines) {
    for (const auto& [kind, factor, words] :
         {std::tuple{COlvexDoc::kDecimate, "8", "--decimate 8"},
          std::tuple{COlvexDoc::kInterpolate, "4", "--interpolate 4"}}) {
        SCOPED_TRACE(words);
        Design(kind, factor);
        const fs::path testbench = dir / "tb0.vhd";
        fs::remove(testbench);
        host.AnswerDialog(DialogAnswer::Cancel(resources::kIddVhdlSource)
                              .Text(resources::kIdcVhdlDataBits, "12")
                              .Press(resources::kIdcVhdlSaveTestbench));
        host.AnswerFileDialog(testbench.string());
        ASSERT_TRUE(view.OnCommand(resources::kIdcVhdlCode));
        const std::string written = Read(testbench);
        EXPECT_NE(written.find(kind == COlvexDoc::kDecimate ? "entity firfilter_decim_tb"
                                                            : "entity firfilter_interp_tb"),
                  std::string::npos)
            << written.substr(0, 400);
        EXPECT_EQ(written, CliVhdl(words, "--testbench"));
    }
}

TEST_F(RateChoiceFixture, TheWindowsExportOfARateChangerIsTheCommandLines) {
    Design(COlvexDoc::kDecimate, "8");
    const fs::path header = dir / "coeff0.h";
    host.AnswerDialog(DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcExport));
    host.AnswerDialog(DialogAnswer::Ok(resources::kIddExport).Radio(resources::kIdcExportCHeader));
    host.AnswerFileDialog(header.string());
    ASSERT_TRUE(view.OnCommand(resources::kIdcSaveLoad));
    const std::string written = Read(header);
    EXPECT_NE(written.find("_PHASES"), std::string::npos) << written.substr(0, 600);
    fs::rename(header, dir / "window.h");
    EXPECT_EQ(written, CliVhdl("--decimate 8 --export-format c", "--export", "coeff0.h"));
}

} // namespace
