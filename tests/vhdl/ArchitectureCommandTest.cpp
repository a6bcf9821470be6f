// The hardware choice of the VHDL Code command: Auto resolved against the design's fs for a
// table of clock/fs budgets, the range refusals of the multipliers and the clock, and the
// header line that names the choice.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"

namespace {

using vhdl::Architecture;

// A quantized 61-tap FIR at fs = 48 kHz; symmetric taps unless told otherwise.
COlvexDoc Fir61(bool symmetric) {
    COlvexDoc doc;
    doc.m_nTaps = 61;
    doc.m_fs = 48000.0;
    doc.m_bQuantize = 1;
    doc.m_nQuantBits = 16;
    for (int n = 0; n < 61; ++n) {
        const int mirror = symmetric ? std::min(n, 60 - n) : n;
        doc.m_aFirCoeffs[n] = 0.01 * (mirror + 1);
    }
    return doc;
}

TEST(ArchitectureCommandTest, AutoPicksTheCheapestThatKeepsUpWithFs) {
    // clocks per sample the budget allows (clock / fs) -> the choice. Serial takes 63 clocks,
    // folded ceil(M / K) + 1 with M = 31 pre-added pairs (61 products when asymmetric).
    struct Row {
        double budget;
        bool symmetric;
        Architecture arch;
        int multipliers;
        int cycles;
        bool keepsUp;
    };
    const Row rows[] = {
        {1000, true, Architecture::kSerial, 0, 63, true},
        {63, true, Architecture::kSerial, 0, 63, true},
        {62, true, Architecture::kFolded, 1, 32, true},
        {32, true, Architecture::kFolded, 1, 32, true},
        {31, true, Architecture::kFolded, 2, 17, true},
        {3, true, Architecture::kFolded, 16, 3, true},
        {2, true, Architecture::kFolded, 31, 2, true},
        {62, false, Architecture::kFolded, 1, 62, true},
        {61, false, Architecture::kFolded, 2, 32, true},
        {3, false, Architecture::kFolded, 31, 3, true},
        {1, true, Architecture::kParallel, 0, 1, true},
        {1, false, Architecture::kParallel, 0, 1, true},
        {0.5, true, Architecture::kParallel, 0, 1, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << "budget " << row.budget << " symmetric " << row.symmetric);
        const COlvexDoc doc = Fir61(row.symmetric);
        const double clockMhz = row.budget * doc.m_fs / 1e6;
        const commands::ResolvedArchitecture resolved =
            commands::ResolveArchitecture(doc, false, Architecture::kAuto, 4, clockMhz);
        EXPECT_EQ(resolved.arch, row.arch);
        EXPECT_EQ(resolved.multipliers, row.multipliers);
        EXPECT_EQ(resolved.cyclesPerSample, row.cycles);
        EXPECT_EQ(resolved.keepsUp, row.keepsUp);
        EXPECT_TRUE(resolved.chosen);
        EXPECT_EQ(commands::ArchitectureTemplateName(doc, false, Architecture::kAuto, 4, clockMhz),
                  vhdl::ArchitectureTemplateFileName(row.arch, false, doc.m_nIirSections));
    }
}

TEST(ArchitectureCommandTest, RefusesMultipliersAndClockOutOfRange) {
    struct Row {
        int multipliers;
        double clockMhz;
        int field; // kFieldNone: accepted
        const char* message;
    };
    const Row rows[] = {
        {0, 48.0, design::kFieldMultipliers, "Please enter an integer between 1 and 64."},
        {65, 48.0, design::kFieldMultipliers, "Please enter an integer between 1 and 64."},
        {4, 0.0, design::kFieldClock, "Please enter a number above 0 and at most 1000."},
        {4, 1000.5, design::kFieldClock, "Please enter a number above 0 and at most 1000."},
        {64, 1000.0, design::kFieldNone, ""},
        {1, 0.001, design::kFieldNone, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.multipliers << " " << row.clockMhz);
        COlvexDoc doc = Fir61(true);
        commands::VhdlCodeRequest request;
        request.architecture = Architecture::kFolded;
        request.multipliers = row.multipliers;
        request.clockMhz = row.clockMhz;
        const commands::Outcome outcome = commands::VhdlCode(doc, request);
        if (row.field == design::kFieldNone) {
            EXPECT_TRUE(outcome.Is(commands::OutcomeKind::kAccepted));
            EXPECT_EQ(doc.m_nVhdlArchitecture, static_cast<int>(Architecture::kFolded));
            EXPECT_EQ(doc.m_nVhdlMultipliers, row.multipliers);
            continue;
        }
        ASSERT_TRUE(outcome.Is(commands::OutcomeKind::kOutOfRange));
        EXPECT_EQ(outcome.range.field, row.field);
        EXPECT_EQ(outcome.range.message, row.message);
        EXPECT_EQ(doc.m_nVhdlArchitecture, 0); // nothing stored
        EXPECT_EQ(doc.m_nVhdlMultipliers, 4);
    }
}

TEST(ArchitectureCommandTest, HeaderNamesTheChoiceExceptSerialByHand) {
    const COlvexDoc doc = Fir61(true);
    struct Row {
        Architecture arch;
        int multipliers;
        double clockMhz;
        const char* text;
    };
    const Row rows[] = {
        {Architecture::kSerial, 4, 48.0, ""},
        {Architecture::kFolded, 8, 48.0, "folded, 8 multipliers, 5 clocks per sample"},
        {Architecture::kParallel, 4, 48.0, "parallel, 1 clock per sample"},
        {Architecture::kAuto, 4, 48.0, "serial, 63 clocks per sample (auto for a 48 MHz clock)"},
        {Architecture::kAuto, 4, 0.024,
         "parallel, 1 clock per sample (auto for a 0.024 MHz clock, which it cannot keep up "
         "with)"},
    };
    for (const Row& row : rows) {
        const commands::ResolvedArchitecture resolved =
            commands::ResolveArchitecture(doc, false, row.arch, row.multipliers, row.clockMhz);
        EXPECT_EQ(commands::ArchitectureHeaderText(resolved, row.clockMhz), row.text);
    }
}

TEST(ArchitectureCommandTest, HeaderNamesTheMultipliersTheTemplateHas) {
    // An IIR section has five products, a 61-tap symmetric FIR 31: more multipliers than that
    // are not instantiated, and the header and the report say so.
    COlvexDoc iir;
    iir.m_nIirSections = 8;
    iir.m_bQuantize = 1;
    const struct {
        const COlvexDoc doc;
        bool iir;
        int asked;
        int used;
        const char* text;
    } rows[] = {
        {iir, true, 8, 5, "folded, 5 multipliers, 10 clocks per sample"},
        {iir, true, 2, 2, "folded, 2 multipliers, 22 clocks per sample"},
        {Fir61(true), false, 40, 31, "folded, 31 multipliers, 2 clocks per sample"},
        {Fir61(false), false, 64, 61, "folded, 61 multipliers, 2 clocks per sample"},
    };
    for (const auto& row : rows) {
        const commands::ResolvedArchitecture resolved =
            commands::ResolveArchitecture(row.doc, row.iir, Architecture::kFolded, row.asked, 48.0);
        EXPECT_EQ(resolved.multipliers, row.used);
        EXPECT_EQ(commands::ArchitectureHeaderText(resolved, 48.0), row.text) << row.asked;
    }
}

} // namespace
