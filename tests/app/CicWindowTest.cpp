// The CIC structure of the window on the scripted desktop: designed through its dialog (refusals
// keep the dialog open with every entry as typed), its report and status text as vantrel-cli cic
// prints them, undo and redo around it, and its views computed from its closed forms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/wait.h>

#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "app/ui/DesignDialogs.h"
#include "dsp/Cic.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "resources/VhdlResources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

namespace fs = std::filesystem;
namespace ids = design;
using platform::DialogAnswer;

struct CicEntry {
    int kind; // 0 decimate, 1 interpolate
    const char* rate;
    const char* stages;
    const char* delay;
    const char* dataBits;
    const char* edge;
};

struct CicWindowFixture : support::ScriptedWindowTest {
    support::ScratchFolder dir{"cic-window"};

    CicWindowFixture() {
        host.SetSearchFolders({std::string(VANTREL_SOURCE_DIR) + "/vhdl/templates"});
    }
    std::string Read(const fs::path& path) { return support::ReadFile(path); }
    std::string Output() { return host.Form().GetText(resources::kIdcOutput); }

    DialogAnswer Answer(const CicEntry& e) {
        return DialogAnswer::Ok(ids::kIddCicParameters)
            .Radio(ids::kIdcCicKind + e.kind)
            .Text(ids::kIdcCicRate, e.rate)
            .Text(ids::kIdcCicStages, e.stages)
            .Text(ids::kIdcCicDelay, e.delay)
            .Text(ids::kIdcCicDataBits, e.dataBits)
            .Text(ids::kIdcCicEdge, e.edge);
    }
    void DesignCic(const CicEntry& e) {
        host.AnswerDialog(Answer(e));
        host.ClickFormRadio(resources::kIdcCic);
        ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
        ASSERT_EQ(host.UnansweredDialogs(), 0);
    }
    void DesignFir() {
        host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + kLpf)
                              .Text(ids::kIdcFs, "1000")
                              .Text(ids::kIdcFc1, "40")
                              .Text(ids::kIdcFc2, "80")
                              .Text(ids::kIdcTaps, "61"));
        host.ClickFormRadio(resources::kIdcLpf);
        host.ClickFormRadio(resources::kIdcFir);
        ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
        ASSERT_EQ(host.UnansweredDialogs(), 0);
    }
    // vantrel-cli (built next to this test) run with `words`; its standard output.
    std::string Cli(const std::string& words) {
        const fs::path out = dir / "cli.txt";
        const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "vantrel-cli";
        const std::string command = "cd " + dir.Path().string() + " && " + cli.string() + " " +
                                    words + " >" + out.string() + " 2>&1";
        const int raw = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << command;
        std::ifstream in(out, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

// The lines of the command line's output up to and including the first that starts with `last`.
std::string LinesThrough(const std::string& text, const std::string& last) {
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        if (text.compare(at, last.size(), last) == 0) {
            return text.substr(0, end == std::string::npos ? text.size() : end + 1);
        }
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return text;
}

// The value after `name ` on its line of the command line's output.
std::string Field(const std::string& text, const std::string& name) {
    const size_t at = text.find("\n" + name + " ");
    if (at == std::string::npos) {
        return {};
    }
    const size_t from = at + name.size() + 2;
    return text.substr(from, text.find('\n', from) - from);
}

TEST_F(CicWindowFixture, TheDesignsReportAndStatusAreTheCommandLines) {
    const struct {
        CicEntry entry;
        const char* cli;
    } cases[] = {
        {{0, "16", "4", "1", "12", "0.25"},
         "cic --decimate 16 --stages 4 --delay 1 --data-bits 12 --edge 0.25"},
        {{1, "5", "3", "2", "16", "0.4"},
         "cic --interpolate 5 --stages 3 --delay 2 --data-bits 16 --edge 0.4"},
        {{0, "1024", "8", "2", "24", "0.1"},
         "cic --decimate 1024 --stages 8 --delay 2 --data-bits 24 --edge 0.1"},
        {{0, "2", "1", "1", "4", "0.5"},
         "cic --decimate 2 --stages 1 --delay 1 --data-bits 4 --edge 0.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cli);
        DesignCic(c.entry);
        EXPECT_EQ(doc.m_bCicDesigned, 1);
        EXPECT_EQ(view.m_nFirIir, COlvexDoc::kCicStructure);
        EXPECT_EQ(view.m_nDesignStructure, COlvexDoc::kCicStructure);
        EXPECT_EQ(doc.m_bCicInterpolate, c.entry.kind);
        EXPECT_EQ(doc.m_nCicRate, std::atoi(c.entry.rate));
        const std::string cli = Cli(c.cli);
        EXPECT_EQ(commands::CicMeasurementsReport(doc, "\n"), LinesThrough(cli, "droop "));
        // The status text: the gain and the droop in the command line's digits.
        const std::string status = host.StatusTexts().back();
        const std::string droop = Field(cli, "droop");
        ASSERT_FALSE(droop.empty());
        EXPECT_NE(status.find("gain " + Field(cli, "gain") + ","), std::string::npos) << status;
        EXPECT_NE(status.find("droop " + droop.substr(droop.find(' ') + 1) + " dB"),
                  std::string::npos)
            << status;
        // View > Measurements shows the report.
        ASSERT_TRUE(view.OnCommand(resources::kIdMeasurements));
        ASSERT_FALSE(host.Messages().empty());
        EXPECT_EQ(host.Messages().back().text, LinesThrough(cli, "droop "));
    }
}

TEST_F(CicWindowFixture, VhdlCodeSaveVhdlAndTheTestbenchAreTheCommandLines) {
    const struct {
        CicEntry entry;
        bool prune, pipeline;
        int language; // 0 VHDL, 1 Verilog
        const char* cli;
    } cases[] = {
        {{0, "16", "4", "1", "12", "0.25"},
         false,
         false,
         0,
         "cic --decimate 16 --stages 4 --delay 1 --data-bits 12"},
        {{1, "5", "3", "2", "16", "0.25"},
         false,
         false,
         1,
         "cic --interpolate 5 --stages 3 --delay 2 --data-bits 16"},
        {{0, "32", "5", "1", "14", "0.25"},
         true,
         false,
         0,
         "cic --decimate 32 --stages 5 --delay 1 --data-bits 14 --prune"},
        {{0, "8", "3", "2", "10", "0.25"},
         false,
         true,
         1,
         "cic --decimate 8 --stages 3 --delay 2 --data-bits 10 --pipeline"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cli);
        host.AnswerDialog(Answer(c.entry)
                              .Check(ids::kIdcCicPrune, c.prune ? 1 : 0)
                              .Check(ids::kIdcCicPipeline, c.pipeline ? 1 : 0));
        host.ClickFormRadio(resources::kIdcCic);
        ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
        ASSERT_EQ(host.UnansweredDialogs(), 0);
        ASSERT_EQ(doc.m_bCicPrune, c.prune ? 1 : 0);
        ASSERT_EQ(doc.m_bCicPipeline, c.pipeline ? 1 : 0);
        const char* ext = c.language == 1 ? ".v" : ".vhd";
        const std::string hdlOption = c.language == 1 ? " --verilog " : " --vhdl ";
        Cli(std::string(c.cli) + hdlOption + "cli" + ext + " --testbench cli_tb" + ext);
        const std::string cliHdl = Read(dir / (std::string("cli") + ext));
        const std::string cliTestbench = Read(dir / (std::string("cli_tb") + ext));
        ASSERT_FALSE(cliHdl.empty());
        ASSERT_FALSE(cliTestbench.empty());

        host.AnswerDialog(DialogAnswer::Ok(resources::kIddVhdlSource)
                              .Text(resources::kIdcVhdlDataBits, c.entry.dataBits)
                              .Radio(c.language == 1 ? resources::kIdcLanguageVerilog
                                                     : resources::kIdcLanguageVhdl));
        ASSERT_TRUE(view.OnCommand(resources::kIdcVhdlCode));
        EXPECT_TRUE(host.Messages().empty()) << host.Messages().back().text;
        EXPECT_EQ(Output(), cliHdl);

        const fs::path saved = dir / (std::string("window") + ext);
        host.AnswerDialog(DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcSaveVhdl));
        host.AnswerFileDialog(saved.string());
        ASSERT_TRUE(view.OnCommand(resources::kIdcSaveLoad));
        EXPECT_EQ(Read(saved), cliHdl);

        const fs::path bench = dir / (std::string("window_tb") + ext);
        host.AnswerDialog(
            DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcSaveTestbench));
        host.AnswerFileDialog(bench.string());
        ASSERT_TRUE(view.OnCommand(resources::kIdcSaveLoad));
        EXPECT_EQ(Read(bench), cliTestbench);
    }
    // Data bits other than the CIC's own are refused: the CIC dialog sets them.
    host.AnswerDialog(DialogAnswer::Ok(resources::kIddVhdlSource)
                          .Text(resources::kIdcVhdlDataBits, "20")
                          .Radio(resources::kIdcLanguageVhdl));
    const std::string before = Output();
    ASSERT_TRUE(view.OnCommand(resources::kIdcVhdlCode));
    ASSERT_FALSE(host.Messages().empty());
    EXPECT_NE(host.Messages().back().text.find("data bits"), std::string::npos);
    EXPECT_EQ(Output(), before);
}

TEST_F(CicWindowFixture, OpenOnTheCommandLineDoesWhatCicDoes) {
    DesignCic({1, "12", "6", "2", "18", "0.125"});
    const fs::path file = dir / "cic.vantrel";
    host.AnswerFileDialog(file.string());
    ASSERT_TRUE(view.OnCommand(resources::kIdFileSaveAs));
    ASSERT_TRUE(fs::exists(file));
    const std::string opened = Cli("open " + file.string() + " --vhdl open.vhd");
    const std::string direct =
        Cli("cic --interpolate 12 --stages 6 --delay 2 --data-bits 18 --edge 0.125 --vhdl cic.vhd");
    EXPECT_EQ(opened, direct);
    EXPECT_NE(opened.find("structure interpolator"), std::string::npos);
    EXPECT_EQ(Read(dir / "open.vhd"), Read(dir / "cic.vhd"));
    EXPECT_FALSE(Read(dir / "cic.vhd").empty());
}

TEST_F(CicWindowFixture, OutOfRangeEntriesKeepTheDialogOpenWithWhatWasTyped) {
    DesignCic({0, "8", "4", "1", "16", "0.25"});
    const struct {
        CicEntry typed;
        const char* message;
    } refused[] = {
        {{0, "1025", "4", "1", "16", "0.25"}, "The rate change must be 2 to 1024."},
        {{1, "1", "4", "1", "16", "0.25"}, "The rate change must be 2 to 1024."},
        {{0, "8", "9", "1", "16", "0.25"}, "The stage count must be 1 to 8."},
        {{0, "8", "0", "1", "16", "0.25"}, "The stage count must be 1 to 8."},
        {{0, "8", "4", "3", "16", "0.25"}, "The differential delay must be 1 or 2."},
        {{0, "8", "4", "1", "25", "0.25"}, "The data bit length must be 4 to 24."},
        {{0, "8", "4", "1", "3", "0.25"}, "The data bit length must be 4 to 24."},
        {{0, "8.5", "4", "1", "16", "0.25"}, "The rate change must be an integer."},
        {{0, "8", "", "1", "16", "0.25"}, "The stage count must be an integer."},
        {{0, "8", "4", "1", "16", "0.6"},
         "The pass-band edge must be above 0 and at most 0.5 (cycles per sample of the low "
         "rate)."},
        {{0, "8", "4", "1", "16", "0"},
         "The pass-band edge must be above 0 and at most 0.5 (cycles per sample of the low "
         "rate)."},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.message);
        const COlvexDoc before = doc;
        // The refused entry, then Cancel: the dialog stayed open with every entry as typed.
        host.AnswerDialog(Answer(r.typed));
        host.AnswerDialog(DialogAnswer::Cancel(ids::kIddCicParameters));
        ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
        const auto& record = host.Dialogs().back();
        ASSERT_EQ(record.failedChecks.size(), 1u);
        EXPECT_EQ(record.failedChecks[0], r.message);
        EXPECT_EQ(record.closed.GetText(ids::kIdcCicRate), r.typed.rate);
        EXPECT_EQ(record.closed.GetText(ids::kIdcCicStages), r.typed.stages);
        EXPECT_EQ(record.closed.GetText(ids::kIdcCicDataBits), r.typed.dataBits);
        EXPECT_EQ(record.closed.GetText(ids::kIdcCicEdge), r.typed.edge);
        EXPECT_EQ(record.closed.GetCheck(ids::kIdcCicKind + r.typed.kind), 1);
        // Nothing of it reached the document.
        EXPECT_EQ(doc.m_nCicRate, before.m_nCicRate);
        EXPECT_EQ(doc.m_nCicStages, before.m_nCicStages);
        EXPECT_EQ(doc.m_nCicDataBits, before.m_nCicDataBits);
        EXPECT_EQ(doc.m_dCicEdge, before.m_dCicEdge);
        EXPECT_EQ(doc.m_bCicInterpolate, before.m_bCicInterpolate);
    }
}

TEST_F(CicWindowFixture, UndoRestoresTheFirBeforeAndRedoTheCic) {
    DesignFir();
    const double firstTap = doc.m_aFirCoeffs[0];
    const int taps = doc.m_nTaps;
    DesignCic({1, "32", "5", "2", "14", "0.3"});
    ASSERT_EQ(view.m_nFirIir, COlvexDoc::kCicStructure);

    ASSERT_TRUE(view.OnCommand(resources::kIdEditUndo));
    EXPECT_EQ(view.m_nFirIir, 0);
    EXPECT_EQ(view.m_nDesignStructure, 0);
    EXPECT_EQ(doc.m_aFirCoeffs[0], firstTap);
    EXPECT_EQ(doc.m_nTaps, taps);
    EXPECT_EQ(doc.m_bCicDesigned, 0);
    EXPECT_EQ(doc.m_nCicRate, 8) << "the CIC parameters of the fresh document";

    ASSERT_TRUE(view.OnCommand(resources::kIdEditRedo));
    EXPECT_EQ(view.m_nFirIir, COlvexDoc::kCicStructure);
    EXPECT_EQ(doc.m_bCicDesigned, 1);
    EXPECT_EQ(doc.m_bCicInterpolate, 1);
    EXPECT_EQ(doc.m_nCicRate, 32);
    EXPECT_EQ(doc.m_nCicStages, 5);
    EXPECT_EQ(doc.m_nCicDelay, 2);
    EXPECT_EQ(doc.m_nCicDataBits, 14);
    EXPECT_EQ(doc.m_dCicEdge, 0.3);
    // A second CIC design is a step of its own: undo gives the first one back.
    DesignCic({0, "4", "2", "1", "10", "0.2"});
    ASSERT_TRUE(view.OnCommand(resources::kIdEditUndo));
    EXPECT_EQ(doc.m_nCicRate, 32);
    EXPECT_EQ(doc.m_bCicInterpolate, 1);
    // The dialog opens with the parameters of the design that stands.
    host.AnswerDialog(DialogAnswer::Cancel(ids::kIddCicParameters));
    ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
    const platform::ControlValues& opened = host.Dialogs().back().opened;
    EXPECT_EQ(opened.GetText(ids::kIdcCicRate), "32");
    EXPECT_EQ(opened.GetCheck(ids::kIdcCicKind + 1), 1);
    EXPECT_FALSE(opened.IsEnabled(ids::kIdcCicPrune)) << "pruning is a decimator's";
}

// The F-Response view's gain and phase against scipy.signal.freqz of h (the S-fold convolution
// of R*DL ones) at the response grid's angular frequency i * pi / 180 + 0.001, the gain
// relative to sum(h): numbers from
//   h = ones(R*DL) convolved S times; w, H = freqz(h, worN=[i*pi/180 + 0.001])
//   20*log10(abs(H)/sum(h)), angle(H)
// with numpy 1.24 / scipy (points near a null, where freqz loses its digits, are left out).
TEST(CicViews, ResponseMatchesFreqzOfTheKernel) {
    const struct {
        int rate, stages, delay, point;
        double gainDb, phase;
    } points[] = {
        {8, 4, 1, 1, -0.031062146567352875, -0.2583460952792062},
        {8, 4, 1, 10, -2.858518209342968, -2.457460952792061},
        {8, 4, 1, 100, -78.19173333912718, 0.6841317007977473},
        {8, 4, 1, 170, -87.63715066069379, 2.4294609527922275},
        {16, 3, 2, 1, -0.3793290271284733, -0.8580781021773637},
        {16, 3, 2, 10, -56.007015344765534, -1.8790957145940361},
        {16, 3, 2, 100, -112.50692669210581, 0.47709877559715935},
        {16, 3, 2, 170, -117.04990715240827, -2.926293265791903},
    };
    for (const auto& p : points) {
        SCOPED_TRACE(std::to_string(p.rate) + "/" + std::to_string(p.stages) + "/" +
                     std::to_string(p.delay) + " at point " + std::to_string(p.point));
        COlvexDoc doc;
        doc.m_nCicRate = p.rate;
        doc.m_nCicStages = p.stages;
        doc.m_nCicDelay = p.delay;
        doc.m_bCicDesigned = 1;
        const plots::PlotData data = commands::ComputePlot(
            doc, plots::PlotState{plots::PlotMode::kResponse, false, false, false, true});
        ASSERT_EQ(data.response.gainDb.size(), static_cast<size_t>(COlvexDoc::kResponsePoints));
        const auto i = static_cast<size_t>(p.point);
        EXPECT_NEAR(data.response.gainDb[i], p.gainDb, 1e-6);
        EXPECT_NEAR(std::remainder(data.response.phase[i] - p.phase, 2 * M_PI), 0.0, 1e-6);
        EXPECT_TRUE(data.notes.unavailable.empty());
    }
}

TEST(CicViews, DelayImpulseAndStepAreTheFiltersAndTheRestSayWhy) {
    COlvexDoc doc;
    doc.m_nCicRate = 1024;
    doc.m_nCicStages = 8;
    doc.m_nCicDelay = 2;
    doc.m_bCicDesigned = 1;
    const dsp::CicParams p = doc.CicParams();
    // h has S (R DL - 1) + 1 taps: its delay is half of one less.
    const double delay = 8.0 * (2048 - 1) / 2.0;
    auto view = [&doc](plots::PlotMode mode) {
        return commands::ComputePlot(doc, plots::PlotState{mode, false, false, false, true});
    };
    const plots::PlotData group = view(plots::PlotMode::kGroupDelay);
    ASSERT_FALSE(group.viewCurve.empty());
    for (double d : group.viewCurve) {
        ASSERT_EQ(d, delay);
    }
    const plots::PlotData impulse = view(plots::PlotMode::kImpulse);
    ASSERT_EQ(impulse.viewCurve.size(), static_cast<size_t>(8 * 2047 + 1));
    EXPECT_EQ(impulse.viewCurve, dsp::CicImpulseResponse(p));
    const plots::PlotData step = view(plots::PlotMode::kStep);
    ASSERT_EQ(step.viewCurve.size(), impulse.viewCurve.size());
    EXPECT_NEAR(step.viewCurve.back(), 1.0, 1e-9);
    double sum = 0.0;
    for (size_t n = 0; n < step.viewCurve.size(); n += 997) {
        sum = 0.0;
        for (size_t k = 0; k <= n; ++k) {
            sum += impulse.viewCurve[k];
        }
        EXPECT_NEAR(step.viewCurve[n], sum, 1e-9) << n;
    }
    for (plots::PlotMode mode :
         {plots::PlotMode::kPoleZero, plots::PlotMode::kSpectra, plots::PlotMode::kWaves}) {
        const plots::PlotData shown = view(mode);
        EXPECT_FALSE(shown.notes.unavailable.empty());
        EXPECT_TRUE(shown.viewCurve.empty());
    }
    // Quantization means nothing for a CIC: no ideal curve beside the response.
    doc.m_bQuantize = 1;
    const plots::PlotData response = view(plots::PlotMode::kResponse);
    EXPECT_FALSE(response.quantize);
    EXPECT_TRUE(response.idealGain.empty());
    // Before any CIC design: the hint, no curve.
    doc.m_bCicDesigned = 0;
    EXPECT_TRUE(view(plots::PlotMode::kImpulse).viewCurve.empty());
    EXPECT_TRUE(view(plots::PlotMode::kImpulse).state.noDesign);
}

} // namespace
