// The parsers of the hardware report's tool logs, over excerpts captured from yosys 0.23 and
// nextpnr-ice40 0.4 runs of generated filters (and of an oversized design for "does not fit"),
// and the report lines they turn into; then the flow over stand-in tools on PATH that misbehave
// (sleep, print nan, write huge logs, litter the home and temporary folders).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "tests/support/ScratchFolder.h"
#include "vhdl/HardwareReport.h"
#include "vhdl/ToolProcess.h"

namespace {

// yosys "stat" after synth_ice40 -dsp of a 15-tap serial FIR; the earlier block of a generic
// pass must not count.
constexpr const char* kYosysSerialFir = R"(2.48. Printing statistics.

=== firfilter ===

   Number of cells:                999
     $_DFF_P_                      500

3. Printing statistics.

=== firfilter ===

   Number of wires:                178
   Number of memory bits:            0
   Number of processes:              0
   Number of cells:                460
     SB_CARRY                       34
     SB_DFF                          3
     SB_DFFESR                     195
     SB_DFFSR                        1
     SB_LUT4                       224
     SB_MAC16                        3

End of script. Logfile hash: 5c0ab5cb0e
)";

// A delay line mapped to block RAM, without DSP blocks (the HX8K).
constexpr const char* kYosysBlockRam = R"(=== firfilter ===

   Number of cells:                812
     SB_CARRY                      120
     SB_DFFE                       260
     SB_DFFER                       12
     SB_LUT4                       402
     SB_RAM40_4K                     2
)";

// nextpnr-ice40 --up5k of the same FIR at --freq 48: the placer's estimate, then the router's.
constexpr const char* kNextpnrFits = R"(Info: Device utilisation:
Info: 	         ICESTORM_LC:   230/ 5280     4%
Info: 	        ICESTORM_RAM:     0/   30     0%
Info: 	               SB_IO:    25/   96    26%
Info: 	               SB_GB:     4/    8    50%
Info: 	        ICESTORM_DSP:     3/    8    37%
Info: 	      ICESTORM_HFOSC:     0/    1     0%

Info: Placed 25 cells based on constraints.
Info: Max frequency for clock    'clk$SB_IO_IN_$glb_clk': 70.81 MHz (PASS at 48.00 MHz)
Info: Max frequency for clock '$PACKER_GND_NET_$glb_clk': 308.55 MHz (PASS at 48.00 MHz)

Info: Routing complete.
Info: Max frequency for clock    'clk$SB_IO_IN_$glb_clk': 66.49 MHz (PASS at 48.00 MHz)
Info: Max frequency for clock '$PACKER_GND_NET_$glb_clk': 307.03 MHz (PASS at 48.00 MHz)

Info: Program finished normally.
)";

// The same design routed at --freq 200 (with --timing-allow-fail): the clock is missed.
constexpr const char* kNextpnrMissedClock = R"(Info: Device utilisation:
Info: 	         ICESTORM_LC:   230/ 5280     4%
Info: 	        ICESTORM_RAM:     0/   30     0%
Info: 	        ICESTORM_DSP:     3/    8    37%

ERROR: Max frequency for clock    'clk$SB_IO_IN_$glb_clk': 66.49 MHz (FAIL at 200.00 MHz)
Info: Max frequency for clock '$PACKER_GND_NET_$glb_clk': 307.03 MHz (PASS at 200.00 MHz)
)";

// 7,200 logic cells on the UP5K: the placer gives up.
constexpr const char* kNextpnrDoesNotFit = R"(Info: Device utilisation:
Info: 	         ICESTORM_LC:  7202/ 5280   136%
Info: 	        ICESTORM_RAM:     0/   30     0%
Info: 	               SB_IO:    17/   96    17%
Info: 	        ICESTORM_DSP:     0/    8     0%

Info: Placed 0 cells based on constraints.
ERROR: Unable to place cell 'r[782]_SB_LUT4_I2_6_LC', no BELs remaining to implement cell type 'ICESTORM_LC'
1 warning, 1 error
)";

// Nine DSP blocks wanted on a device with eight, stopped before placement.
constexpr const char* kNextpnrTooManyDsps = R"(Info: Device utilisation:
Info: 	         ICESTORM_LC:  1200/ 5280    22%
Info: 	        ICESTORM_RAM:     1/   30     3%
Info: 	        ICESTORM_DSP:     9/    8   112%
ERROR: Unable to place cell 'mac_8', no BELs remaining to implement cell type 'ICESTORM_DSP'
)";

// The HX8K lists no DSP blocks.
constexpr const char* kNextpnrHx8k = R"(Info: Device utilisation:
Info: 	         ICESTORM_LC:   598/ 7680     7%
Info: 	        ICESTORM_RAM:     2/   32     6%
Info: 	               SB_IO:    25/  256     9%
Info: 	               SB_GB:     3/    8    37%
Info: 	        ICESTORM_PLL:     0/    2     0%
Info: 	         SB_WARMBOOT:     0/    1     0%

Info: Max frequency for clock 'clk$SB_IO_IN_$glb_clk': 52.15 MHz (PASS at 12.00 MHz)
)";

TEST(HardwareReportTest, YosysStatisticsCountTheLastMappedBlock) {
    struct Row {
        const char* log;
        bool found;
        int luts, ffs, dsps, brams;
    };
    const Row rows[] = {
        {kYosysSerialFir, true, 224, 199, 3, 0},
        {kYosysBlockRam, true, 402, 272, 0, 2},
        {"ERROR: Module `firfilter' not found!\n", false, 0, 0, 0, 0},
    };
    for (const Row& row : rows) {
        const vhdl::SynthesisCells cells = vhdl::ParseYosysStatistics(row.log);
        EXPECT_EQ(cells.found, row.found) << row.log;
        EXPECT_EQ(cells.luts, row.luts) << row.log;
        EXPECT_EQ(cells.ffs, row.ffs) << row.log;
        EXPECT_EQ(cells.dsps, row.dsps) << row.log;
        EXPECT_EQ(cells.brams, row.brams) << row.log;
    }
}

TEST(HardwareReportTest, NextpnrUtilisationTimingAndFit) {
    struct Row {
        const char* name;
        const char* log;
        int cells, cellsAvailable, dsps, dspsAvailable, brams;
        bool timingFound;
        double fmaxMhz;
        bool passed;
        bool noFit;
    };
    const Row rows[] = {
        // The router's figure replaces the placer's; the DSP blocks' tied-off clock is skipped.
        {"fits", kNextpnrFits, 230, 5280, 3, 8, 0, true, 66.49, true, false},
        {"missed clock", kNextpnrMissedClock, 230, 5280, 3, 8, 0, true, 66.49, false, false},
        {"too many cells", kNextpnrDoesNotFit, 7202, 5280, 0, 8, 0, false, 0.0, true, true},
        {"too many DSPs", kNextpnrTooManyDsps, 1200, 5280, 9, 8, 1, false, 0.0, true, true},
        {"hx8k", kNextpnrHx8k, 598, 7680, 0, 0, 2, true, 52.15, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const vhdl::Utilisation use = vhdl::ParseNextpnrUtilisation(row.log);
        EXPECT_TRUE(use.found);
        EXPECT_EQ(use.logicCells.used, row.cells);
        EXPECT_EQ(use.logicCells.available, row.cellsAvailable);
        EXPECT_EQ(use.dsps.used, row.dsps);
        EXPECT_EQ(use.dsps.available, row.dspsAvailable);
        EXPECT_EQ(use.brams.used, row.brams);
        const vhdl::ClockTiming timing = vhdl::ParseNextpnrTiming(row.log);
        EXPECT_EQ(timing.found, row.timingFound);
        EXPECT_DOUBLE_EQ(timing.fmaxMhz, row.fmaxMhz);
        EXPECT_EQ(timing.passed, row.passed);
        EXPECT_EQ(vhdl::NextpnrReportsNoFit(row.log), row.noFit);
    }
    EXPECT_FALSE(vhdl::ParseNextpnrUtilisation("ERROR: Failed to open JSON file\n").found);
}

// Figures no tool can mean: the parsers mark them, so the flow refuses them.
TEST(HardwareReportTest, ImplausibleFiguresAreMarked) {
    const struct {
        const char* name;
        const char* yosys;
        const char* nextpnr;
        bool cellsPlausible, usePlausible;
    } rows[] = {
        {"captured", kYosysSerialFir, kNextpnrFits, true, true},
        {"negative LUTs", "Number of cells: 9\n  SB_LUT4  -224\n", kNextpnrFits, false, true},
        {"overflowing LUTs", "Number of cells: 9\n  SB_LUT4  99999999999999999999\n", kNextpnrFits,
         false, true},
        {"flip-flops summing past the range",
         "Number of cells: 9\n  SB_DFF  900000\n  SB_DFFE  900000\n", kNextpnrFits, false, true},
        {"negative logic cells", kYosysSerialFir,
         "Info: Device utilisation:\nInfo: \t ICESTORM_LC:   -5/ 5280   0%\n", true, false},
        {"overflowing DSPs", kYosysSerialFir,
         "Info: Device utilisation:\nInfo: \t ICESTORM_DSP: 3/ 4294967296   0%\n", true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(vhdl::ParseYosysStatistics(row.yosys).plausible, row.cellsPlausible);
        const vhdl::Utilisation use = vhdl::ParseNextpnrUtilisation(row.nextpnr);
        EXPECT_TRUE(use.found);
        EXPECT_EQ(use.plausible, row.usePlausible);
    }
}

TEST(HardwareReportTest, EntityNameOfTheVhdlText) {
    const struct {
        const char* text;
        const char* entity;
    } rows[] = {
        {"-- entity comment is here\nlibrary ieee;\nentity firfilter is\n", "firfilter"},
        {"  ENTITY x is\nentity iirfilter is\n", "iirfilter"},
        {"architecture rtl of firfilter is\n", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(vhdl::FindEntityName(row.text), row.entity) << row.text;
    }
}

TEST(HardwareReportTest, ReportLinesInOrderWithTheSampleRate) {
    vhdl::HardwareFigures figures;
    figures.luts = 224;
    figures.ffs = 199;
    figures.dsps = 3;
    figures.logicCells = 230;
    figures.fmaxMhz = 66.49;
    EXPECT_EQ(vhdl::FormatHardwareReport("serial", 0, 17, vhdl::Device::kUp5k, figures, "\n"),
              "architecture serial\ncycles_per_sample 17\ndevice up5k\nluts 224\n"
              "logic_cells 230\nffs 199\ndsps 3\nbrams 0\nfmax_mhz 66.49\n"
              "max_sample_rate_hz 3911176\n");
    const std::string folded =
        vhdl::FormatHardwareReport("folded", 8, 6, vhdl::Device::kHx8k, figures, "\r\n");
    EXPECT_EQ(folded.substr(0, 44), "architecture folded 8\r\ncycles_per_sample 6\r\n");
    EXPECT_NE(folded.find("device hx8k\r\n"), std::string::npos);
    EXPECT_NE(folded.find("max_sample_rate_hz 11081667\r\n"), std::string::npos);
}

TEST(HardwareReportTest, RateChangerClocksPerInputSampleNeedNotBeWhole) {
    vhdl::HardwareFigures figures;
    figures.fmaxMhz = 49.6;
    // 31 clocks per 8 input samples: 3.875 clocks each, 12.8 million samples a second.
    const std::string text = vhdl::FormatHardwareReport("polyphase folded", 2, 31.0 / 8.0,
                                                        vhdl::Device::kUp5k, figures, "\n");
    EXPECT_EQ(text.substr(0, 62),
              "architecture polyphase folded 2\ncycles_per_sample 3.875\ndevice");
    EXPECT_NE(text.find("max_sample_rate_hz 12800000\n"), std::string::npos) << text;
    // Whole clocks print as the integer form does.
    EXPECT_EQ(
        vhdl::FormatHardwareReport("polyphase serial", 1, 62.0, vhdl::Device::kUp5k, figures, "\n"),
        vhdl::FormatHardwareReport("polyphase serial", 1, 62, vhdl::Device::kUp5k, figures, "\n"));
}

TEST(HardwareReportTest, SeedsGiveTheMedianAndTheirSpread) {
    const struct {
        std::vector<double> fmax;
        double median;
    } rows[] = {
        {{}, 0.0},
        {{42.0}, 42.0},
        {{44.0, 40.0}, 42.0},
        {{50.0, 40.0, 45.5}, 45.5},
        {{10.0, 40.0, 30.0, 20.0}, 25.0},
    };
    for (const auto& row : rows) {
        EXPECT_DOUBLE_EQ(vhdl::MedianOf(row.fmax), row.median) << row.fmax.size();
    }
    vhdl::HardwareFigures figures;
    figures.fmaxMhz = 40.0;
    figures.fmaxLowMhz = 38.0;
    figures.fmaxHighMhz = 42.0;
    figures.seeds = 3;
    EXPECT_EQ(vhdl::FmaxSpreadText(figures),
              "fmax over 3 seeds: median 40.00 MHz, from 38.00 to 42.00 MHz (-5.0 % .. +5.0 %)");
    figures.seeds = 1;
    EXPECT_EQ(vhdl::FmaxSpreadText(figures), "fmax of seed 1: 40.00 MHz");
}

TEST(HardwareReportTest, FillCountsEveryKindOfCellAgainstTheDevice) {
    vhdl::HardwareFigures figures;
    figures.logicCells = 4654;
    figures.logicCellsAvailable = 5280;
    figures.dsps = 3;
    figures.dspsAvailable = 8;
    EXPECT_EQ(vhdl::FillText(figures), "fills 4654 of 5280 logic cells (88 %), 3 of 8 DSP blocks "
                                       "(38 %), 0 of 0 block RAMs");
}

TEST(HardwareReportTest, GhdlSignedProductsAreMarkedSignedAndNothingElseChanges) {
    const struct {
        const char* line;
        const char* expected;
    } rows[] = {
        {"  assign n45_o = n43_o * n44_o; // smul",
         "  assign n45_o = $signed(n43_o) * $signed(n44_o); // smul"},
        {"  assign n45_o = n43_o * n44_o; // umul", "  assign n45_o = n43_o * n44_o; // umul"},
        {"  assign n45_o = n43_o * (n44_o + 1); // smul",
         "  assign n45_o = n43_o * (n44_o + 1); // smul"},
        {"  assign n43_o = {{16{n251_data[11]}}, n251_data}; // sext",
         "  assign n43_o = {{16{n251_data[11]}}, n251_data}; // sext"},
        {"  /* f.vhd:493:32  */", "  /* f.vhd:493:32  */"},
        {"", ""},
    };
    std::string netlist;
    std::string expected;
    for (const auto& row : rows) {
        EXPECT_EQ(vhdl::SignedGhdlProducts(std::string(row.line) + "\n"),
                  std::string(row.expected) + "\n");
        netlist += std::string(row.line) + "\n";
        expected += std::string(row.expected) + "\n";
    }
    EXPECT_EQ(vhdl::SignedGhdlProducts(netlist), expected);
}

TEST(HardwareReportTest, DeviceNames) {
    vhdl::Device device = vhdl::Device::kUp5k;
    EXPECT_TRUE(vhdl::ParseDeviceName("hx8k", device));
    EXPECT_EQ(device, vhdl::Device::kHx8k);
    EXPECT_FALSE(vhdl::ParseDeviceName("ecp5", device));
    EXPECT_EQ(device, vhdl::Device::kHx8k);
    EXPECT_STREQ(vhdl::DeviceName(vhdl::Device::kUp5k), "up5k");
}

// ---- The flow over stand-in tools ---------------------------------------------------------------

// One script plays ghdl, yosys and nextpnr-ice40 by the name it is called by. yosys leaves what
// the real one leaves (a history in $HOME, an ABC folder in $TMPDIR); FAKE_TOOL_MODE makes one
// misbehave; in "sleep" ghdl leaves the same, starts a sleeper and waits for it, and writes the
// sleeper's pid to FAKE_PID_FILE.
constexpr const char* kFakeTool = R"sh(#!/bin/sh
mode=${FAKE_TOOL_MODE:-ok}
case "$(basename "$0")" in
ghdl)
  if [ "$mode" = sleep ]; then
    mkdir -p "$TMPDIR/ghdl-fake" && echo x > "$TMPDIR/ghdl-fake/work.cf"
    echo "-a" > "$HOME/.ghdl_history"
    sleep 60 &
    echo $! > "$FAKE_PID_FILE.part" && mv "$FAKE_PID_FILE.part" "$FAKE_PID_FILE"
    wait
  fi
  [ "$1" = --synth ] && echo "module firfilter(input clk); endmodule"
  exit 0 ;;
yosys)
  mkdir -p "$TMPDIR/yosys-abc-fake" && echo x > "$TMPDIR/yosys-abc-fake/input.blif"
  echo "synth_ice40" > "$HOME/.yosys_history"
  if [ "$mode" = hugelog ]; then
    head -c 3000000 /dev/zero | tr '\0' x >&2
    exit 1
  fi
  count=224
  [ "$mode" = overflow ] && count=99999999999999999999
  printf '   Number of cells: 9\n     SB_DFF 3\n     SB_LUT4 %s\n     SB_MAC16 3\n' "$count"
  exit 0 ;;
nextpnr-ice40)
  used=230
  fmax=66.49
  [ "$mode" = negative ] && used=-5
  [ "$mode" = nan ] && fmax=nan
  printf 'Info: Device utilisation:\nInfo: \t ICESTORM_LC: %s/ 5280 4%%\n' "$used"
  printf 'Info: \t ICESTORM_DSP: 3/ 8 37%%\n\n'
  printf "Info: Max frequency for clock 'clk': %s MHz (PASS at 12.00 MHz)\n" "$fmax"
  exit 0 ;;
esac
exit 1
)sh";

// Sets an environment variable for the life of the object.
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

bool ProcessGone(pid_t pid) {
    for (int i = 0; i < 100; ++i) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string pidText, name, state;
        if (!(stat >> pidText >> name >> state) || state == "Z") {
            return true; // gone, or dead and waiting for init to reap it
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool IsEmptyFolder(const std::filesystem::path& folder) {
    return std::filesystem::is_directory(folder) && std::filesystem::is_empty(folder);
}

// The stand-in tools in <scratch>/bin, a home and a temporary folder of the test's own.
class FakeToolFlow : public ::testing::Test {
protected:
    FakeToolFlow() {
        namespace fs = std::filesystem;
        fs::create_directories(m_scratch.File("bin"));
        fs::create_directories(m_scratch.File("home"));
        fs::create_directories(m_scratch.File("tmp"));
        const fs::path script = m_scratch.Write("bin/fake", kFakeTool);
        ::chmod(script.c_str(), 0755);
        for (const char* tool : {"ghdl", "yosys", "nextpnr-ice40"}) {
            fs::create_symlink("fake", m_scratch.File("bin") / tool);
        }
    }
    vhdl::HardwareResult Run(const std::atomic<bool>* cancel = nullptr) const {
        vhdl::HardwareRequest request;
        request.vhdlText = "library ieee;\nentity firfilter is\nend firfilter;\n";
        request.cancel = cancel;
        return vhdl::RunHardwareFlow(request);
    }
    std::string Folder(const char* name) const { return m_scratch.File(name).string(); }

    support::ScratchFolder m_scratch{"fake-tools"};
    ScopedEnv m_path{"PATH", Folder("bin") + ":/usr/bin:/bin"};
    ScopedEnv m_home{"HOME", Folder("home")};
    ScopedEnv m_tmp{"TMPDIR", Folder("tmp")};
    ScopedEnv m_pidFile{"FAKE_PID_FILE", Folder("pid")};
};

// What the tools leave (their history, ABC's folders) goes with the work folder; the figures
// read are the stand-ins'.
TEST_F(FakeToolFlow, NothingIsLeftInTheHomeOrTemporaryFolder) {
    const vhdl::HardwareResult result = Run();
    EXPECT_EQ(result.status, vhdl::HardwareStatus::kOk) << result.message;
    EXPECT_EQ(result.figures.luts, 224);
    EXPECT_EQ(result.figures.logicCells, 230);
    EXPECT_DOUBLE_EQ(result.figures.fmaxMhz, 66.49);
    EXPECT_TRUE(IsEmptyFolder(Folder("home")));
    EXPECT_TRUE(IsEmptyFolder(Folder("tmp")));
}

// A relative PATH entry leads to the tools although they run in the work folder.
TEST_F(FakeToolFlow, RelativePathEntriesAreResolvedFirst) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(m_scratch.Path());
    const ScopedEnv relative("PATH", "bin:/usr/bin:/bin");
    const vhdl::HardwareResult result = Run();
    std::filesystem::current_path(before);
    EXPECT_EQ(result.status, vhdl::HardwareStatus::kOk) << result.message;
}

TEST_F(FakeToolFlow, ImplausibleFiguresAndHugeLogsAreToolFailures) {
    const struct {
        const char* mode;
        const char* said;
    } rows[] = {
        {"nan", "nextpnr-ice40 reported an Fmax that cannot be"},
        {"negative", "nextpnr-ice40 reported a utilisation that cannot be"},
        {"overflow", "yosys reported a cell count that cannot be"},
        {"hugelog", "yosys failed:\n["},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mode);
        const ScopedEnv mode("FAKE_TOOL_MODE", row.mode);
        const vhdl::HardwareResult result = Run();
        EXPECT_EQ(result.status, vhdl::HardwareStatus::kToolFailed);
        EXPECT_NE(result.message.find(row.said), std::string::npos)
            << result.message.substr(0, 200);
        EXPECT_LT(result.message.size(), vhdl::kMaxLogTailBytes + 200);
        EXPECT_TRUE(IsEmptyFolder(Folder("tmp")));
    }
}

TEST_F(FakeToolFlow, BadTemporaryFolderIsAToolFailureNamingIt) {
    const std::string file = m_scratch.Write("plain-file", "x").string();
    for (const std::string& tmp : {Folder("missing"), file}) {
        SCOPED_TRACE(tmp);
        const ScopedEnv bad("TMPDIR", tmp);
        vhdl::HardwareResult result;
        EXPECT_NO_THROW(result = Run());
        EXPECT_EQ(result.status, vhdl::HardwareStatus::kToolFailed);
        EXPECT_NE(result.message.find("TMPDIR) \"" + tmp + "\""), std::string::npos)
            << result.message;
    }
}

// Cancel, the time limit and SIGTERM stop the tool and what it started, and the folder goes.
TEST_F(FakeToolFlow, CancelTimeoutAndSignalStopTheToolsProcessGroup) {
    const ScopedEnv mode("FAKE_TOOL_MODE", "sleep");
    enum class Stop { kCancel, kTimeout, kSigterm };
    for (const Stop stop : {Stop::kCancel, Stop::kTimeout, Stop::kSigterm}) {
        SCOPED_TRACE(static_cast<int>(stop));
        std::filesystem::remove(Folder("pid"));
        const auto start = std::chrono::steady_clock::now();
        vhdl::HardwareResult result;
        bool timedOut = false;
        int caught = 0;
        // The tool is asleep once its pid is written.
        const auto asleep = [pidFile = Folder("pid")] {
            for (int i = 0; i < 500 && !std::filesystem::exists(pidFile); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        };
        if (stop == Stop::kCancel) {
            std::atomic<bool> cancel{false};
            std::thread canceller([&cancel, &asleep] {
                asleep();
                cancel = true;
            });
            result = Run(&cancel);
            canceller.join();
        } else {
            vhdl::ToolWatch watch(stop == Stop::kTimeout ? 1.0 : 0.0);
            std::thread signaller;
            if (stop == Stop::kSigterm) {
                signaller = std::thread([&asleep] {
                    asleep();
                    ::kill(::getpid(), SIGTERM);
                });
            }
            result = Run(watch.Cancel());
            if (signaller.joinable()) {
                signaller.join();
            }
            timedOut = watch.TimedOut();
            caught = watch.CaughtSignal();
        }
        EXPECT_EQ(result.status, vhdl::HardwareStatus::kCancelled);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_EQ(timedOut, stop == Stop::kTimeout);
        EXPECT_EQ(caught, stop == Stop::kSigterm ? SIGTERM : 0);
        pid_t sleeper = 0;
        std::ifstream(Folder("pid")) >> sleeper;
        ASSERT_GT(sleeper, 0);
        EXPECT_TRUE(ProcessGone(sleeper));
        EXPECT_TRUE(IsEmptyFolder(Folder("tmp")));
        EXPECT_TRUE(IsEmptyFolder(Folder("home")));
    }
}

} // namespace
