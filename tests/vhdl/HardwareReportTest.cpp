// The parsers of the hardware report's tool logs, over excerpts captured from yosys 0.23 and
// nextpnr-ice40 0.4 runs of generated filters (and of an oversized design for "does not fit"),
// and the report lines they turn into.
#include <gtest/gtest.h>

#include <string>

#include "vhdl/HardwareReport.h"

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
    const vhdl::HardwareFigures figures{224, 199, 3, 0, 230, 66.49};
    EXPECT_EQ(vhdl::FormatHardwareReport("serial", 0, 17, vhdl::Device::kUp5k, figures, "\n"),
              "architecture serial\ncycles_per_sample 17\ndevice up5k\nluts 224\nffs 199\n"
              "dsps 3\nbrams 0\nfmax_mhz 66.49\nmax_sample_rate_hz 3911176\n");
    const std::string folded =
        vhdl::FormatHardwareReport("folded", 8, 6, vhdl::Device::kHx8k, figures, "\r\n");
    EXPECT_EQ(folded.substr(0, 44), "architecture folded 8\r\ncycles_per_sample 6\r\n");
    EXPECT_NE(folded.find("device hx8k\r\n"), std::string::npos);
    EXPECT_NE(folded.find("max_sample_rate_hz 11081667\r\n"), std::string::npos);
}

TEST(HardwareReportTest, DeviceNames) {
    vhdl::Device device = vhdl::Device::kUp5k;
    EXPECT_TRUE(vhdl::ParseDeviceName("hx8k", device));
    EXPECT_EQ(device, vhdl::Device::kHx8k);
    EXPECT_FALSE(vhdl::ParseDeviceName("ecp5", device));
    EXPECT_EQ(device, vhdl::Device::kHx8k);
    EXPECT_STREQ(vhdl::DeviceName(vhdl::Device::kUp5k), "up5k");
}

} // namespace
