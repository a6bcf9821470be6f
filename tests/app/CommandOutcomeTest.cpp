// The outcomes of the commands, called directly on a document with no dialog and no desktop:
// every refusal with its warning, every failed range check with its field and limits, the failed
// design with its proposal, the design short of the optimum, files not written or not read, and
// the accepted requests. A refused request must leave the document as it was.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "app/AnalysisCommands.h"
#include "app/CoefficientsCommands.h"
#include "app/DesignCommands.h"
#include "app/DesignRules.h"
#include "app/FileCommands.h"
#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"

namespace {

namespace fs = std::filesystem;
using commands::Outcome;
using commands::OutcomeKind;

// A designed FIR low pass (the record's defaults), the start of every case.
COlvexDoc DesignedDoc() {
    COlvexDoc doc;
    doc.m_fnConsole = [](const std::string&) {};
    doc.DesignFir(kLpf);
    return doc;
}

// The fields a command stores and the taps, to tell a refusal that changed nothing.
std::vector<double> Settings(const COlvexDoc& d) {
    std::vector<double> v = {d.m_fs,
                             d.m_fc1,
                             d.m_fc2,
                             d.m_fc3,
                             d.m_fc4,
                             d.m_dRR,
                             static_cast<double>(d.m_nTaps),
                             static_cast<double>(d.m_nFilterType),
                             static_cast<double>(d.m_nCoeffMultiplier),
                             static_cast<double>(d.m_nIirSections),
                             d.m_dRippleDb,
                             d.m_dIirFc1,
                             d.m_dIirFc2,
                             static_cast<double>(d.m_bQuantize),
                             static_cast<double>(d.m_nQuantBits),
                             static_cast<double>(d.m_nCoeffFormat),
                             static_cast<double>(d.m_nDataBits),
                             d.m_dGainRange,
                             d.m_dWaveFreq,
                             d.m_dWaveMagRange,
                             d.m_dFftMagRange,
                             static_cast<double>(d.m_nWaveStartPos)};
    v.insert(v.end(), std::begin(d.m_aFirCoeffs), std::end(d.m_aFirCoeffs));
    v.insert(v.end(), std::begin(d.m_aA1), std::end(d.m_aA1));
    return v;
}

commands::FirDesignRequest Fir(int type, std::vector<double> edges, int taps, double rr = 10.0,
                               int multiplier = 1, double fs = 1000.0) {
    commands::FirDesignRequest r;
    r.type = type;
    r.fs = fs;
    std::copy(edges.begin(), edges.end(), r.fc);
    r.taps = taps;
    r.rr = rr;
    r.multiplier = multiplier;
    return r;
}

commands::IirDesignRequest Iir(int type, int sections, double ripple, double fc1, double fc2,
                               double fs = 1000.0) {
    return {type, sections, ripple, fc1, fc2, fs};
}

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("outcomes-" + std::to_string(::getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
};

const std::string kFirTemplate = std::string(VANTREL_SOURCE_DIR) + "/vhdl/templates/firfilter.vhd";
const std::string kMissing = "/nonexistent-folder-of-the-test/out.txt";

// Quantization on at 16 bits, as VHDL Code and the hardware model need it.
void Quantized(COlvexDoc& doc) {
    ASSERT_TRUE(commands::Coefficients(doc, {false, 1, 16, 0}).Is(OutcomeKind::kAccepted));
}

// ---- Refusals and failed range checks: the document stays as it was ----------------------------

struct RefusalCase {
    const char* name;
    std::function<void(COlvexDoc&)> prepare; // a state the command needs, before the snapshot
    std::function<Outcome(COlvexDoc&)> run;
    OutcomeKind kind;
    int warningId;       // kRefused
    int field;           // kOutOfRange
    double low, high;    // kOutOfRange
    const char* message; // kOutOfRange
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

void Nothing(COlvexDoc&) {}

const RefusalCase kRefusals[] = {
    {"FirEdgesOutOfOrder", Nothing,
     [](COlvexDoc& d) {
         return commands::DesignFir(d, Fir(kLpf, {250, 200}, 40));
     },
     OutcomeKind::kRefused, design::kIddWarnEdges, 0, 0, 0, ""},
    {"FirFourEdgesBeyondNyquist", Nothing,
     [](COlvexDoc& d) {
         return commands::DesignFir(d, Fir(kBpf, {100, 150, 350, 600}, 41));
     },
     OutcomeKind::kRefused, design::kIddWarnEdges4, 0, 0, 0, ""},
    {"FirTapsBelowFour", Nothing,
     [](COlvexDoc& d) {
         return commands::DesignFir(d, Fir(kLpf, {200, 250}, 3));
     },
     OutcomeKind::kOutOfRange, 0, design::kFieldTaps, 4, 380,
     "Please enter an integer between 4 and 380."},
    {"FirSamplingFrequencyZero", Nothing,
     [](COlvexDoc& d) {
         return commands::DesignFir(d, Fir(kLpf, {200, 250}, 40, 10, 1, 0));
     },
     OutcomeKind::kOutOfRange, 0, design::kFieldFs, 0, 1e12,
     "Please enter a number above 0 and at most 1000000000000."},
    {"FirThirdEdgeNotPositive", Nothing,
     [](COlvexDoc& d) {
         return commands::DesignFir(d, Fir(kBrf, {100, 150, -1, 400}, 41));
     },
     OutcomeKind::kOutOfRange, 0, design::kFieldFc3, 0, 500,
     "Please enter a number above 0 and below 500."},
    {"FirRippleRatioNaN", Nothing,
     [](COlvexDoc& d) {
         return commands::DesignFir(d, Fir(kLpf, {200, 250}, 40, NAN));
     },
     OutcomeKind::kOutOfRange, 0, design::kFieldRR, 0, 1e6,
     "Please enter a number above 0 and at most 1000000."},
    {"FirMultiplierZero", Nothing,
     [](COlvexDoc& d) {
         return commands::DesignFir(d, Fir(kLpf, {200, 250}, 40, 10, 0));
     },
     OutcomeKind::kOutOfRange, 0, design::kFieldMultiplier, 1, std::numeric_limits<int>::max(),
     "Please enter an integer between 1 and 2147483647."},
    {"IirCutoffBeyondNyquist", Nothing,
     [](COlvexDoc& d) { return commands::DesignIir(d, Iir(kLpf, 2, 0.3, 600, 0)); },
     OutcomeKind::kRefused, design::kIddWarnCutoff, 0, 0, 0, ""},
    {"IirOddSectionsForBandPass", Nothing,
     [](COlvexDoc& d) { return commands::DesignIir(d, Iir(kBpf, 3, 0.3, 300, 200)); },
     OutcomeKind::kRefused, design::kIddWarnIirSections, 0, 0, 0, ""},
    {"IirBandEdgesOutOfOrder", Nothing,
     [](COlvexDoc& d) { return commands::DesignIir(d, Iir(kBrf, 4, 0.3, 300, 200)); },
     OutcomeKind::kRefused, design::kIddWarnEdges, 0, 0, 0, ""},
    {"IirOneSectionForBandStop", Nothing,
     [](COlvexDoc& d) { return commands::DesignIir(d, Iir(kBrf, 1, 0.3, 200, 300)); },
     OutcomeKind::kOutOfRange, 0, design::kFieldSections, 2, 8,
     "Please enter an integer between 2 and 8."},
    {"IirRippleAboveTwentyDb", Nothing,
     [](COlvexDoc& d) { return commands::DesignIir(d, Iir(kLpf, 2, 25, 200, 0)); },
     OutcomeKind::kOutOfRange, 0, design::kFieldRipple, 0, 20,
     "Please enter a number above 0 and at most 20."},
    {"QuantBitsBelowFour", Nothing,
     [](COlvexDoc& d) {
         return commands::Coefficients(d, {false, 1, 3, 0});
     },
     OutcomeKind::kOutOfRange, 0, design::kFieldQuantBits, 4, 32,
     "Please enter an integer between 4 and 32."},
    {"IirQuantBitsAboveTwentyFour", [](COlvexDoc& d) { d.DesignIir(); },
     [](COlvexDoc& d) {
         return commands::Coefficients(d, {true, 1, 25, 0});
     },
     OutcomeKind::kRefused, 169, 0, 0, 0, ""},
    {"FormatWithoutQuantization", Nothing,
     [](COlvexDoc& d) {
         return commands::Coefficients(d, {false, 0, 16, 3});
     },
     OutcomeKind::kRefused, 137, 0, 0, 0, ""},
    {"MultipliedTapsBeyondThirtyTwoBits", [](COlvexDoc& d) { d.m_nCoeffMultiplier = 1000; },
     [](COlvexDoc& d) {
         return commands::Coefficients(d, {false, 1, 32, 0});
     },
     OutcomeKind::kRefused, 136, 0, 0, 0, ""},
    {"GainRangeZero", Nothing,
     [](COlvexDoc& d) {
         return commands::FResponse(d, {0.0, 0, 0});
     },
     OutcomeKind::kOutOfRange, 0, design::kFieldGainRange, 0, 1e6,
     "Please enter a number above 0 and at most 1000000."},
    {"RippleRatioAboveAMillion", Nothing,
     [](COlvexDoc& d) {
         return commands::DesignFir(d, Fir(kLpf, {200, 250}, 40, 1e12));
     },
     OutcomeKind::kOutOfRange, 0, design::kFieldRR, 0, 1e6,
     "Please enter a number above 0 and at most 1000000."},
    {"MagnitudeRangeAboveAMillion", Nothing,
     [](COlvexDoc& d) {
         return commands::FftAnalysis(d, {1e300, 0, 0});
     },
     OutcomeKind::kOutOfRange, 0, design::kFieldMagRange, 0, 1e6,
     "Please enter a number above 0 and at most 1000000."},
    {"StartBeyondTheSlider", Nothing,
     [](COlvexDoc& d) {
         return commands::FResponse(d, {100.0, 0, 101});
     },
     OutcomeKind::kOutOfRange, 0, design::kFieldStartPos, 0, 100,
     "Please enter an integer between 0 and 100."},
    {"WaveFrequencyZero", Nothing,
     [](COlvexDoc& d) {
         commands::WaveRequest r;
         r.frequency = 0.0;
         return commands::InOutWave(d, r);
     },
     OutcomeKind::kOutOfRange, 0, design::kFieldWaveFreq, 0, 1e12,
     "Please enter a number above 0 and at most 1000000000000."},
    {"FftZoomNeitherOneNorTen", Nothing,
     [](COlvexDoc& d) {
         return commands::FftAnalysis(d, {50.0, 2, 0});
     },
     OutcomeKind::kOutOfRange, 0, design::kFieldZoom, 0, 1,
     "Please enter an integer between 0 and 1."},
    {"VhdlWithoutQuantization", Nothing,
     [](COlvexDoc& d) {
         return commands::VhdlCode(d, {12, 0, false, kFirTemplate});
     },
     OutcomeKind::kRefused, design::kIddWarnVhdlNeedsQuantize, 0, 0, 0, ""},
    {"VhdlDataBitsAboveTwentyFour", Quantized,
     [](COlvexDoc& d) {
         return commands::VhdlCode(d, {25, 0, false, kFirTemplate});
     },
     OutcomeKind::kOutOfRange, 0, design::kFieldDataBits, 4, 24,
     "Please enter an integer between 4 and 24."},
    {"HardwareDataBitsBelowFour", Quantized,
     [](COlvexDoc& d) { return commands::HardwareWave(d, false, 3); }, OutcomeKind::kOutOfRange, 0,
     design::kFieldDataBits, 4, 24, "Please enter an integer between 4 and 24."},
    {"SaveCoefficientsBeforeTheReport", Nothing,
     [](COlvexDoc& d) {
         return commands::SaveCoefficients(d, {false, false, "/tmp/x.txt"});
     },
     OutcomeKind::kRefused, design::kIddWarnSaveNeedsCoeffs, 0, 0, 0, ""},
    {"SaveVhdlBeforeVhdlCode", Quantized,
     [](COlvexDoc& d) {
         return commands::SaveVhdl(d, {0, false, kFirTemplate, "/tmp/x.vhd", {}});
     },
     OutcomeKind::kRefused, design::kIddWarnVhdlNeedsParams, 0, 0, 0, ""},
    {"LoadFromAMissingFile", Nothing,
     [](COlvexDoc& d) {
         int format = 0;
         return Outcome(commands::LoadCoefficients(d, {false, kMissing}, format));
     },
     OutcomeKind::kRefused, design::kIddWarnInvalidFileName, 0, 0, 0, ""},
};

class RefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, NamesItsWarningOrFieldAndChangesNothing) {
    const RefusalCase& c = GetParam();
    COlvexDoc doc = DesignedDoc();
    c.prepare(doc);
    const std::vector<double> before = Settings(doc);
    const Outcome outcome = c.run(doc);
    ASSERT_EQ(outcome.kind, c.kind);
    if (c.kind == OutcomeKind::kRefused) {
        EXPECT_EQ(outcome.warning.templateId, c.warningId);
        EXPECT_FALSE(outcome.warning.lines.empty());
    } else {
        EXPECT_EQ(outcome.range.field, c.field);
        EXPECT_EQ(outcome.range.low, c.low);
        EXPECT_EQ(outcome.range.high, c.high);
        EXPECT_EQ(outcome.range.message, c.message);
    }
    const std::vector<double> after = Settings(doc);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin(), after.end(),
                           [](double a, double b) { return a == b || (a != a && b != b); }));
}

INSTANTIATE_TEST_SUITE_P(Commands, RefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Designs: failed with the proposal, short of the optimum, accepted -------------------------

TEST(CommandOutcome, FailedFirDesignKeepsThePreviousDesignAndProposesBothAdjustments) {
    // 380 taps cannot reach the stop band in 50 Hz at RR 10; the estimate is 127 taps, or the
    // stop-band edge moved to 217 Hz at 380 taps.
    COlvexDoc doc = DesignedDoc();
    const std::vector<double> before = Settings(doc);
    const commands::FirDesignRequest request = Fir(kLpf, {200, 250}, 380);
    const commands::DesignOutcome failed = commands::DesignFir(doc, request);
    ASSERT_EQ(failed.kind, OutcomeKind::kDesignFailed);
    EXPECT_EQ(failed.proposal.taps, 127);
    EXPECT_TRUE(failed.proposal.edges.adjusted[1]);
    EXPECT_FALSE(failed.proposal.edges.adjusted[0]);
    EXPECT_EQ(failed.proposal.edges.fc[0], 200.0);
    EXPECT_EQ(failed.proposal.edges.fc[1], 217.0);
    EXPECT_TRUE(Settings(doc) == before);

    // Each proposal, taken, designs.
    commands::FirDesignRequest taps = request;
    taps.taps = failed.proposal.taps;
    EXPECT_EQ(commands::DesignFir(doc, taps).kind, OutcomeKind::kAccepted);
    EXPECT_EQ(doc.m_nTaps, 127);
    commands::FirDesignRequest edges = request;
    edges.fc[1] = failed.proposal.edges.fc[1];
    EXPECT_EQ(commands::DesignFir(doc, edges).kind, OutcomeKind::kAccepted);
    EXPECT_EQ(doc.m_fc2, 217.0);
    EXPECT_EQ(doc.m_nTaps, 380 - 0); // LPF keeps an even count
}

// A failed half-band design proposes what a half-band takes: a 4k + 3 tap count, and edges that
// mirror each other about fs/4; each, taken, designs. (Tap counts far beyond what a wide
// transition band needs are what fails: the ripples fall below double precision.)
TEST(CommandOutcome, FailedHalfbandProposesItsOwnCountAndMirroredEdges) {
    struct Case {
        double fs, passEdge;
        int taps;
    };
    for (const Case c : {Case{48000.0, 5000.0, 199}, Case{1000.0, 100.0, 151},
                         Case{1000.0, 200.0, 379}, Case{8000.0, 700.0, 303}}) {
        SCOPED_TRACE(c.passEdge);
        COlvexDoc doc = DesignedDoc();
        commands::FirDesignRequest request =
            Fir(kLpf, {c.passEdge, 0.5 * c.fs - c.passEdge}, c.taps, 1.0, 1, c.fs);
        request.method = dsp::kFirHalfband;
        const commands::DesignOutcome failed = commands::DesignFir(doc, request);
        ASSERT_EQ(failed.kind, OutcomeKind::kDesignFailed);
        EXPECT_TRUE(dsp::IsHalfbandTapCount(failed.proposal.taps)) << failed.proposal.taps;
        const design::EdgeProposal& edges = failed.proposal.edges;
        EXPECT_NEAR(edges.fc[0] + edges.fc[1], 0.5 * c.fs, 1e-9 * c.fs);
        EXPECT_TRUE(edges.adjusted[0] && edges.adjusted[1]);

        commands::FirDesignRequest taps = request;
        taps.taps = failed.proposal.taps;
        EXPECT_EQ(commands::DesignFir(doc, taps).kind, OutcomeKind::kAccepted);
        commands::FirDesignRequest moved = request;
        moved.fc[0] = edges.fc[0];
        moved.fc[1] = edges.fc[1];
        EXPECT_EQ(commands::DesignFir(doc, moved).kind, OutcomeKind::kAccepted);
    }
}

TEST(CommandOutcome, WindowStepsDesignTheConfirmedProposalOnce) {
    COlvexDoc doc = DesignedDoc();
    ASSERT_TRUE(
        commands::StoreFirRequest(doc, Fir(kHpf, {200, 250}, 380)).Is(OutcomeKind::kAccepted));
    EXPECT_EQ(doc.m_nTaps, 379); // HPF designs an odd count
    EXPECT_EQ(doc.m_bEvenTaps, 1);
    const commands::DesignOutcome failed = commands::RunFirDesign(doc, kHpf);
    ASSERT_EQ(failed.kind, OutcomeKind::kDesignFailed);
    EXPECT_EQ(doc.m_bEvenTaps, 1) << "the proposal does not change the document";
    EXPECT_TRUE(failed.proposal.edges.adjusted[0]);
    commands::FirAdjustment adjustment;
    adjustment.kind = commands::FirAdjustment::Kind::kTaps;
    adjustment.confirmed = true;
    adjustment.taps = failed.proposal.taps;
    const commands::DesignOutcome again = commands::RunAdjustedFirDesign(doc, kHpf, adjustment);
    EXPECT_EQ(again.kind, OutcomeKind::kAccepted);
    EXPECT_EQ(doc.m_nTaps, failed.proposal.taps);
    EXPECT_EQ(doc.m_bAdjustOffered, 1);
}

TEST(CommandOutcome, DesignShortOfTheOptimumStandsWithBothRipples) {
    // This low pass stops at the Remez iteration limit above its equiripple optimum.
    COlvexDoc doc = DesignedDoc();
    const commands::DesignOutcome outcome =
        commands::DesignFir(doc, Fir(kLpf, {56, 113}, 252, 6.5));
    ASSERT_EQ(outcome.kind, OutcomeKind::kShortOfOptimum);
    EXPECT_TRUE(outcome.iterationLimit);
    EXPECT_GT(outcome.achievedRipple, outcome.targetRipple);
    EXPECT_GT(outcome.targetRipple, 0.0);
    EXPECT_EQ(doc.m_nTaps, 252) << "the design stands";
}

TEST(CommandOutcome, UnbalancedBandsAreDesignedWithTheirWarning) {
    COlvexDoc doc = DesignedDoc();
    const commands::DesignOutcome outcome =
        commands::DesignFir(doc, Fir(kBpf, {100, 200, 300, 310}, 61));
    EXPECT_NE(outcome.kind, OutcomeKind::kRefused);
    ASSERT_EQ(outcome.notices.size(), 1u);
    EXPECT_EQ(outcome.notices[0].templateId, design::kIddWarnUnbalanced);
    EXPECT_EQ(doc.m_nFilterType, kBpf);
}

TEST(CommandOutcome, IirDesignThatGivesNoFiniteCascadeKeepsThePreviousSections) {
    COlvexDoc doc = DesignedDoc();
    ASSERT_EQ(commands::DesignIir(doc, Iir(kLpf, 2, 0.5, 100, 0)).kind, OutcomeKind::kAccepted);
    const double a1 = doc.m_aA1[0];
    EXPECT_TRUE(std::isfinite(a1));
    // The dialog's range refuses a ripple of 0 dB; stored by hand it gives no finite cascade.
    doc.m_dRippleDb = 0.0;
    const commands::DesignOutcome failed = commands::RunIirDesign(doc);
    EXPECT_EQ(failed.kind, OutcomeKind::kDesignFailed);
    EXPECT_EQ(failed.message, design::kIirFailedMessage);
    EXPECT_EQ(doc.m_aA1[0], a1);
}

// ---- Files: written, not written with the system's reason, not read ---------------------------

TEST(CommandOutcome, FilesWrittenOrNotWithTheSystemsReason) {
    TempDir dir;
    COlvexDoc doc = DesignedDoc();
    const std::string good = (dir.path / "coeff.txt").string();
    const Outcome written = commands::SaveCoefficients(doc, {false, true, good});
    EXPECT_EQ(written.kind, OutcomeKind::kFileWritten);
    EXPECT_TRUE(fs::exists(good));
    const Outcome missing = commands::SaveCoefficients(doc, {false, true, kMissing});
    EXPECT_EQ(missing.kind, OutcomeKind::kFileNotWritten);
    EXPECT_EQ(missing.path, kMissing);
    EXPECT_EQ(missing.reason, "No such file or directory");
    EXPECT_EQ(missing.message, kMissing + std::string(" cannot be opened"));

    // The file just written loads back; one without its header that is no other kind of
    // coefficient file either loads with warning 188.
    int format = 0;
    const commands::LoadOutcome loaded = commands::LoadCoefficients(doc, {false, good}, format);
    EXPECT_EQ(loaded.kind, OutcomeKind::kAccepted);
    EXPECT_TRUE(loaded.notices.empty());
    EXPECT_EQ(loaded.valuesRead, 90);
    const std::string bare = (dir.path / "bare.txt").string();
    std::ofstream(bare) << "coefficients:\n0.5\n0.25\n";
    const commands::LoadOutcome headless = commands::LoadCoefficients(doc, {false, bare}, format);
    EXPECT_EQ(headless.kind, OutcomeKind::kAccepted);
    ASSERT_EQ(headless.notices.size(), 1u);
    EXPECT_EQ(headless.notices[0].templateId, design::kIddWarnMissingHeader);
}

TEST(CommandOutcome, VhdlCodeAndSaveVhdlFromTheTemplate) {
    TempDir dir;
    COlvexDoc doc = DesignedDoc();
    Quantized(doc);
    const commands::VhdlOutcome shown = commands::VhdlCode(doc, {16, 0, false, kFirTemplate});
    ASSERT_EQ(shown.kind, OutcomeKind::kAccepted);
    EXPECT_EQ(doc.m_nDataBits, 16);
    EXPECT_NE(shown.text.find("entity"), std::string::npos);
    EXPECT_NE(shown.text.find("\r\n"), std::string::npos);
    EXPECT_GT(shown.substIndex, 0) << "the tap tokens were taken";

    const commands::VhdlOutcome gone =
        commands::VhdlCode(doc, {12, 0, false, (dir.path / "gone.vhd").string()});
    EXPECT_EQ(gone.kind, OutcomeKind::kFileNotRead);
    EXPECT_TRUE(gone.notFound);
    EXPECT_EQ(doc.m_nDataBits, 12) << "the data bits stay stored";

    const std::string out = (dir.path / "filter.vhd").string();
    const Outcome saved = commands::SaveVhdl(doc, {0, true, kFirTemplate, out, {}});
    EXPECT_EQ(saved.kind, OutcomeKind::kFileWritten);
    EXPECT_TRUE(fs::file_size(out) > 0);
    const Outcome notSaved = commands::SaveVhdl(doc, {0, true, kFirTemplate, kMissing, {}});
    EXPECT_EQ(notSaved.kind, OutcomeKind::kFileNotWritten);
    EXPECT_EQ(notSaved.reason, "No such file or directory");
    EXPECT_EQ(notSaved.message, kMissing + std::string(" cannot be opened"));
}

TEST(CommandOutcome, UserWaveThatCannotBeReadKeepsTheSettings) {
    COlvexDoc doc = DesignedDoc();
    ASSERT_TRUE(doc.m_bUseUserWave == 0);
    commands::WaveRequest request;
    request.frequency = 70.0;
    request.useUserWave = 1;
    request.userWavePath = kMissing;
    EXPECT_TRUE(commands::AsksForUserWave(doc, request));
    const Outcome outcome = commands::InOutWave(doc, request);
    EXPECT_EQ(outcome.kind, OutcomeKind::kFileNotRead);
    EXPECT_EQ(outcome.message.rfind(kMissing + " cannot be opened", 0), 0u) << outcome.message;
    EXPECT_EQ(doc.m_dWaveFreq, 70.0);
    EXPECT_EQ(doc.m_bUseUserWave, 0) << "a refused file switches the user wave off again";
    EXPECT_TRUE(commands::AsksForUserWave(doc, request)) << "so the next OK asks again";
}

// ---- Accepted requests store their values ------------------------------------------------------

TEST(CommandOutcome, AcceptedAnalysisAndCoefficientRequestsStoreTheirValues) {
    COlvexDoc doc = DesignedDoc();
    EXPECT_EQ(commands::FResponse(doc, {60.0, 1, 30}).kind, OutcomeKind::kAccepted);
    EXPECT_EQ(doc.m_dGainRange, 60.0);
    EXPECT_EQ(doc.m_nRespFreqZoom, 1);
    EXPECT_EQ(doc.m_nRespStartPos, 30);
    EXPECT_EQ(commands::FftAnalysis(doc, {40.0, 0, 100}).kind, OutcomeKind::kAccepted);
    EXPECT_EQ(doc.m_dFftMagRange, 40.0);
    EXPECT_EQ(doc.m_nFftStartPos, 100);
    EXPECT_EQ(commands::Coefficients(doc, {false, 1, 12, 2}).kind, OutcomeKind::kAccepted);
    EXPECT_EQ(doc.m_bQuantize, 1);
    EXPECT_EQ(doc.m_nQuantBits, 12);
    EXPECT_EQ(doc.m_nCoeffFormat, 2);
    const std::string report = commands::CoefficientReport(doc, false, "\n");
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1 + 90); // header and taps

    // The values the command line prints follow the same document.
    const std::vector<commands::ResponsePoint> points = commands::ResponsePoints(doc, false);
    ASSERT_EQ(points.size(), 360u);
    EXPECT_NEAR(points[0].gainDb, 0.0, 0.1) << "the low pass passes DC";
    const commands::WaveSamples wave = commands::SimulateWave(doc, false);
    ASSERT_EQ(wave.input.size(), static_cast<size_t>(COlvexDoc::kWaveFiltered));
    const commands::Spectra spectra = commands::ComputeSpectra(doc);
    EXPECT_EQ(spectra.outMag.size(), static_cast<size_t>(COlvexDoc::kFftBins));
    const commands::HardwareWaveOutcome hardware = commands::HardwareWave(doc, false, 16);
    EXPECT_EQ(hardware.kind, OutcomeKind::kAccepted);
    EXPECT_EQ(hardware.output.size(), static_cast<size_t>(COlvexDoc::kWaveFiltered));
    const commands::TextOutcome bench = commands::Testbench(doc, false);
    EXPECT_NE(bench.text.find("firfilter_tb"), std::string::npos);
}

} // namespace

namespace {

// Quantization that turns every IIR numerator to 0 is said, next to bit lengths that keep one.
TEST(CommandOutcome, IirQuantizedToZeroIsSaid) {
    const struct {
        double fc1;
        int bits;
        bool zero;
    } cases[] = {
        {5.0, 4, true},
        {5.0, 20, false},
        {200.0, 4, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.fc1) + " Hz at " + std::to_string(c.bits) + " bits");
        COlvexDoc doc;
        ASSERT_TRUE(
            commands::DesignIir(doc, Iir(kLpf, 8, 0.3, c.fc1, 0)).Is(OutcomeKind::kAccepted));
        const Outcome outcome = commands::Coefficients(doc, {true, 1, c.bits, 0});
        ASSERT_TRUE(outcome.Is(OutcomeKind::kAccepted));
        EXPECT_EQ(outcome.message, c.zero ? "quantized to zero: use more bits" : "");
        for (const commands::ResponsePoint& p : commands::ResponsePoints(doc, true)) {
            EXPECT_FALSE(std::isnan(p.phase)) << p.index;
            EXPECT_FALSE(std::isnan(p.gainDb)) << p.index;
        }
    }
}

} // namespace
