// The "Hardware report" button of the VHDL Code dialog for a CIC design, on the scripted desktop,
// with stand-in tools on PATH: its lines are the ones `vantrel-cli cic --hw-report` prints for the
// same parameters and clock, a cancelled run says so and leaves no work folder, and the dialog's
// refusals (no CIC designed, other data bits) run nothing.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "app/ui/DesignDialogs.h"
#include "app/ui/OlvexView.h"
#include "dsp/Cic.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "resources/VhdlResources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

namespace fs = std::filesystem;
using platform::DialogAnswer;

// ghdl, yosys and nextpnr-ice40 by the name the script is called by: fixed cell counts, and the
// Fmax in FAKE_FMAX (66.49 MHz unless set).
constexpr const char* kFakeTools = R"sh(#!/bin/sh
case "$(basename "$0")" in
ghdl)
  [ "$1" = --synth ] && echo "module cic_decimator(input clk); endmodule"
  exit 0 ;;
yosys)
  printf '   Number of cells: 9\n     SB_DFF 150\n     SB_LUT4 312\n     SB_CARRY 40\n'
  exit 0 ;;
nextpnr-ice40)
  printf 'Info: Device utilisation:\nInfo: \t ICESTORM_LC: 401/ 5280 7%%\n'
  printf 'Info: \t ICESTORM_DSP: 0/ 8 0%%\n\n'
  printf "Info: Max frequency for clock 'clk': %s MHz (PASS at 12.00 MHz)\n" "${FAKE_FMAX:-66.49}"
  exit 0 ;;
esac
exit 1
)sh";

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_old) {
            ::setenv(m_name, m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string WithoutCarriageReturns(std::string text) {
    std::string out;
    for (char c : text) {
        if (c != '\r') {
            out += c;
        }
    }
    return out;
}

struct CicEntry {
    int kind; // 0 decimate, 1 interpolate
    const char* rate;
    const char* stages;
    const char* delay;
    const char* dataBits;
    bool prune;
    bool pipeline;
};

struct CicHardwareReportWindow : support::ScriptedWindowTest {
    support::ScratchFolder dir{"cic-hw-window"};
    std::optional<ScopedEnv> path;
    std::optional<ScopedEnv> tmp;

    CicHardwareReportWindow() {
        host.SetSearchFolders({std::string(VANTREL_SOURCE_DIR) + "/vhdl/templates"});
        fs::create_directories(dir / "bin");
        fs::create_directories(dir / "tmp");
        const fs::path script = dir.Write("bin/fake", kFakeTools);
        ::chmod(script.c_str(), 0755);
        for (const char* tool : {"ghdl", "yosys", "nextpnr-ice40"}) {
            fs::create_symlink("fake", dir / "bin" / tool);
        }
        path.emplace("PATH", (dir / "bin").string() + ":/usr/bin:/bin");
        tmp.emplace("TMPDIR", (dir / "tmp").string());
    }

    std::string Output() { return host.Form().GetText(resources::kIdcOutput); }

    void DesignCic(const CicEntry& e) {
        host.AnswerDialog(DialogAnswer::Ok(design::kIddCicParameters)
                              .Radio(design::kIdcCicKind + e.kind)
                              .Text(design::kIdcCicRate, e.rate)
                              .Text(design::kIdcCicStages, e.stages)
                              .Text(design::kIdcCicDelay, e.delay)
                              .Text(design::kIdcCicDataBits, e.dataBits)
                              .Text(design::kIdcCicEdge, "0.25")
                              .Check(design::kIdcCicPrune, e.prune ? 1 : 0)
                              .Check(design::kIdcCicPipeline, e.pipeline ? 1 : 0));
        host.ClickFormRadio(resources::kIdcCic);
        ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
        ASSERT_EQ(host.UnansweredDialogs(), 0);
        ASSERT_EQ(doc.m_bCicDesigned, 1);
    }
    // The VHDL Code dialog with its entries, "Hardware report" pressed, then Cancel.
    void PressReport(const char* dataBits, const char* clockMhz, int language) {
        host.AnswerDialog(
            DialogAnswer::Cancel(resources::kIddVhdlSource)
                .Text(resources::kIdcVhdlDataBits, dataBits)
                .Text(resources::kIdcVhdlClockMhz, clockMhz)
                .Radio(language == 1 ? resources::kIdcLanguageVerilog : resources::kIdcLanguageVhdl)
                .Press(resources::kIdcHardwareReport));
        ASSERT_TRUE(view.OnCommand(resources::kIdcVhdlCode));
        ASSERT_EQ(host.UnansweredDialogs(), 0);
    }

    // vantrel-cli (built next to this test) run with `words` under the same PATH; its exit
    // status, standard output and standard error.
    struct CliRun {
        int status = -1;
        std::string out, err;
    };
    CliRun Cli(const std::string& words) {
        const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "vantrel-cli";
        const std::string command = "cd " + dir.Path().string() + " && " + cli.string() + " " +
                                    words + " >cli.out 2>cli.err";
        const int raw = std::system(command.c_str());
        CliRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = ReadFile(dir / "cli.out");
        run.err = ReadFile(dir / "cli.err");
        return run;
    }
};

// The stand-in figures through both front ends: the window's box holds the command line's
// report lines, then its standard error's spread and fill lines (and, for a missed clock, its
// reason), for every kind of CIC and both languages.
TEST_F(CicHardwareReportWindow, TheBoxHoldsTheCommandLinesReport) {
    const struct {
        CicEntry entry;
        int language; // 0 VHDL, 1 Verilog
        const char* clockMhz;
        const char* fmax;
        const char* cli;
        const char* firstLines; // what the report starts with
    } cases[] = {
        {{0, "16", "4", "1", "12", false, false},
         0,
         "48",
         "66.49",
         "cic --decimate 16 --stages 4 --delay 1 --data-bits 12 --clock 48000000",
         "architecture cic_decimator\ncycles_per_sample 1\n"},
        {{1, "5", "3", "2", "16", false, false},
         1,
         "48",
         "66.49",
         "cic --interpolate 5 --stages 3 --delay 2 --data-bits 16 --clock 48000000 --verilog "
         "cli.v",
         "architecture cic_interpolator\ncycles_per_sample 9\n"},
        {{0, "32", "5", "1", "14", true, false},
         0,
         "60",
         "61.25",
         "cic --decimate 32 --stages 5 --delay 1 --data-bits 14 --prune --clock 60000000",
         "architecture cic_decimator_pruned\ncycles_per_sample 1\n"},
        {{0, "8", "3", "2", "10", false, true},
         1,
         "100",
         "66.49",
         "cic --decimate 8 --stages 3 --delay 2 --data-bits 10 --pipeline --clock 100000000 "
         "--verilog cli.v",
         "architecture cic_decimator_pipelined\ncycles_per_sample 1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cli);
        const ScopedEnv fmax("FAKE_FMAX", c.fmax);
        DesignCic(c.entry);
        PressReport(c.entry.dataBits, c.clockMhz, c.language);
        EXPECT_TRUE(host.Messages().empty()) << host.Messages().back().text;
        const CliRun run = Cli(std::string(c.cli) + " --hw-report");
        ASSERT_EQ(run.out.rfind(c.firstLines, 0), 0u) << run.out << run.err;
        // Missed clock: the figures, then the reason, and the shortfall status.
        const bool missed = std::string(c.clockMhz) == "100";
        EXPECT_EQ(run.status, missed ? 6 : 0) << run.err; // 6: a hardware shortfall
        std::string expected = run.out;
        std::istringstream err(run.err);
        for (std::string line; std::getline(err, line);) {
            expected += (line.rfind("cic: ", 0) == 0 ? line.substr(5) : line) + "\n";
        }
        EXPECT_EQ(WithoutCarriageReturns(Output()), expected);
        EXPECT_NE(Output().find("fmax_mhz " + std::string(c.fmax) + "\r\n"), std::string::npos)
            << Output();
        // Cancel kept the report; the dialog's language is the document's now.
        EXPECT_EQ(doc.m_nHdlLanguage, c.language);
    }
}

TEST_F(CicHardwareReportWindow, CancelledRunSaysSoAndLeavesNoWorkFolder) {
    DesignCic({0, "16", "4", "1", "12", false, false});
    host.CancelBackgroundAt(1); // as soon as the first tool starts
    PressReport("12", "48", 0);
    ASSERT_EQ(host.BackgroundTitles().size(), 1u);
    EXPECT_EQ(host.BackgroundTitles()[0], resources::kHardwareReportTitle);
    EXPECT_EQ(host.BackgroundProgress(), (std::vector<std::string>{"Analysing with GHDL"}));
    EXPECT_EQ(Output(), "Hardware report cancelled.");
    EXPECT_TRUE(fs::is_empty(dir / "tmp"));
}

TEST_F(CicHardwareReportWindow, WithoutTheToolsTheBoxNamesThePackages) {
    DesignCic({1, "4", "2", "1", "12", false, false});
    const ScopedEnv noTools("PATH", (dir / "tmp").string());
    PressReport("12", "48", 1);
    // Verilog goes to yosys directly: GHDL is not needed.
    EXPECT_NE(Output().find("install the Debian packages yosys nextpnr-ice40"), std::string::npos)
        << Output();
}

// What stops the button before any tool runs: data bits other than the CIC's own, a CIC not
// designed (VHDL Code, Save VHDL and Save Testbench say the same).
TEST_F(CicHardwareReportWindow, RefusalsRunNothing) {
    host.ClickFormRadio(resources::kIdcCic);
    ASSERT_TRUE(view.OnCommand(resources::kIdcVhdlCode));
    for (int action : {resources::kIdcSaveVhdl, resources::kIdcSaveTestbench}) {
        host.AnswerDialog(DialogAnswer::Ok(resources::kIddSaveLoad).Radio(action));
        ASSERT_TRUE(view.OnCommand(resources::kIdcSaveLoad));
    }
    ASSERT_EQ(host.Messages().size(), 3u);
    for (const auto& message : host.Messages()) {
        EXPECT_EQ(message.text, "Design a CIC filter first: choose CIC and click Design.");
    }
    EXPECT_TRUE(host.FileDialogs().empty());

    DesignCic({0, "16", "4", "1", "12", false, false});
    const std::string before = Output();
    PressReport("20", "48", 0);
    ASSERT_EQ(host.Messages().size(), 4u);
    EXPECT_EQ(host.Messages().back().text,
              "A CIC filter's data bits are set in its Design dialog (D): keep them here.");
    EXPECT_TRUE(host.BackgroundTitles().empty());
    EXPECT_EQ(Output(), before);
}

} // namespace

namespace {

// What the preparation takes from the template and the parameters, and the templates it
// refuses before any tool runs.
TEST(CicHardwareReportJob, NameLanguageClocksAndRefusals) {
    const std::string templates = std::string(VANTREL_SOURCE_DIR) + "/vhdl/templates/";
    const struct {
        dsp::CicParams params;
        const char* file;
        commands::OutcomeKind kind;
        vhdl::HdlLanguage language;
        const char* name; // the report's name, or the refusal's reason
        int clocks;
    } cases[] = {
        {{false, 4, 16, 1, 12, false, false},
         "cic_decimator.vhd",
         commands::OutcomeKind::kAccepted,
         vhdl::HdlLanguage::kVhdl,
         "cic_decimator",
         1},
        {{true, 3, 5, 2, 16, false, false},
         "cic_interpolator.v",
         commands::OutcomeKind::kAccepted,
         vhdl::HdlLanguage::kVerilog,
         "cic_interpolator",
         9},
        {{false, 5, 32, 1, 14, true, false},
         "cic_decimator_pruned.v",
         commands::OutcomeKind::kAccepted,
         vhdl::HdlLanguage::kVerilog,
         "cic_decimator_pruned",
         1},
        // A FIR template is no CIC template; a missing file is not found.
        {{false, 4, 16, 1, 12, false, false},
         "firfilter.vhd",
         commands::OutcomeKind::kFileNotRead,
         vhdl::HdlLanguage::kVhdl,
         "not a CIC template",
         0},
        {{false, 4, 16, 1, 12, false, false},
         "no_such_template.vhd",
         commands::OutcomeKind::kFileNotRead,
         vhdl::HdlLanguage::kVhdl,
         "not found",
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        commands::CicHardwareRequest request;
        request.params = c.params;
        request.templatePath = templates + c.file;
        request.clockHz = 60e6;
        request.seeds = 2;
        const commands::HardwareReportJob job = commands::PrepareCicHardwareReport(request);
        EXPECT_EQ(job.check.kind, c.kind);
        if (c.kind != commands::OutcomeKind::kAccepted) {
            EXPECT_TRUE(job.hardware.vhdlText.empty());
            EXPECT_EQ(job.check.reason, c.name);
            EXPECT_EQ(job.check.path, request.templatePath);
            continue;
        }
        EXPECT_TRUE(job.cic);
        EXPECT_EQ(job.cicName, c.name);
        EXPECT_EQ(job.cicClocksPerInput, c.clocks);
        EXPECT_EQ(job.hardware.language, c.language);
        EXPECT_DOUBLE_EQ(job.hardware.clockHz, 60e6);
        EXPECT_EQ(job.hardware.seeds, 2);
        EXPECT_EQ(job.hardware.vhdlText, commands::CicHdlOf(c.params, request.templatePath).text);
        // The tokens substituted: what the tools get is the filter, not the template.
        EXPECT_FALSE(job.hardware.vhdlText.empty());
        EXPECT_EQ(job.hardware.vhdlText.find("CICSTAGES"), std::string::npos);
    }
}

} // namespace
