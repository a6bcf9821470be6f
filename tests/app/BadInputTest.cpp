// Bad input in the window, played on the scripted desktop: values that give no filter are
// refused in the parameter and In/Out Wave dialogs (each beside a value just inside its range
// that still designs), a failed IIR design is reported, a user wave that cannot be read keeps the
// previous wave, and the bit-length check counts the coefficient multiplier.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/CoefficientsCommands.h"
#include "app/DesignRules.h"
#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "app/ui/DesignHandler.h"
#include "app/ui/OlvexView.h"
#include "dsp/MeasureReport.h"
#include "dsp/QuantRules.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/AnalysisResources.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::DialogAnswer;

constexpr int kTypeRadios[4] = {resources::kIdcLpf, resources::kIdcHpf, resources::kIdcBrf,
                                resources::kIdcBpf};

struct BadInputFixture : support::ScriptedWindowTest {
    BadInputFixture() {
        doc.m_fnConsole = [](const std::string&) {};
    }
    void Select(int type, bool iir) {
        host.ClickFormRadio(kTypeRadios[type]);
        host.ClickFormRadio(iir ? resources::kIdcIir : resources::kIdcFir);
    }
    void Run(int command) {
        EXPECT_TRUE(view.OnCommand(command));
        EXPECT_EQ(host.UnansweredDialogs(), 0) << "a scripted dialog never came up";
    }
    bool FirTapsFinite() const {
        for (int n = 0; n < doc.m_nTaps; ++n) {
            if (!std::isfinite(doc.m_aFirCoeffs[n])) {
                return false;
            }
        }
        return true;
    }
    bool IirFinite() const {
        for (const double* a : {doc.m_aA0, doc.m_aA1, doc.m_aA2, doc.m_aB1, doc.m_aB2}) {
            for (int s = 0; s < COlvexDoc::kIirSections; ++s) {
                if (!std::isfinite(a[s])) {
                    return false;
                }
            }
        }
        return true;
    }
};

struct RangeCase {
    const char* name;
    int type;
    bool iir;
    int control;
    const char* refused;
    const char* accepted; // just inside the range; with `extra` it designs a sound filter
    const char* message;
    std::vector<std::pair<int, const char*>> extra; // other fields the accepted entry needs
};

TEST_F(BadInputFixture, ParameterDialogsRefuseValuesThatGiveNoFilter) {
    const RangeCase cases[] = {
        {"FIR fs 1e300",
         kLpf,
         false,
         design::kIdcFs,
         "1e300",
         "1e12",
         "Please enter a number above 0 and at most 1000000000000.",
         {{design::kIdcFc1, "2e11"}, {design::kIdcFc2, "2.5e11"}}},
        {"FIR fs 0",
         kLpf,
         false,
         design::kIdcFs,
         "0",
         "1000",
         "Please enter a number above 0 and at most 1000000000000.",
         {{design::kIdcFc1, "200"}, {design::kIdcFc2, "250"}}},
        {"FIR fc1 -100",
         kLpf,
         false,
         design::kIdcFc1,
         "-100",
         "5",
         "Please enter a number above 0 and below 500.",
         {{design::kIdcFc2, "60"}, {design::kIdcTaps, "61"}}},
        {"BPF fc1 0",
         kBpf,
         false,
         design::kIdcFc1,
         "0",
         "150",
         "Please enter a number above 0 and below 500.",
         {{design::kIdcFc2, "200"}, {design::kIdcFc3, "300"}, {design::kIdcFc4, "350"}}},
        {"FIR RR 0",
         kLpf,
         false,
         design::kIdcRR,
         "0",
         "0.1",
         "Please enter a number above 0 and at most 1000000.",
         {}},
        {"FIR RR 1e12",
         kLpf,
         false,
         design::kIdcRR,
         "1e12",
         "1e6",
         "Please enter a number above 0 and at most 1000000.",
         {{design::kIdcTaps, "61"}}},
        {"FIR taps 99999999999",
         kLpf,
         false,
         design::kIdcTaps,
         "99999999999",
         "90",
         "Please enter an integer between 4 and 380.",
         {}},
        {"FIR multiplier 99999999999",
         kLpf,
         false,
         design::kIdcMultiplier,
         "99999999999",
         "2147483647",
         "Please enter an integer between 1 and 2147483647.",
         {}},
        {"IIR sections -99999999999",
         kLpf,
         true,
         design::kIdcIirSections,
         "-99999999999",
         "2",
         "Please enter an integer between 1 and 8.",
         {}},
        {"FIR multiplier 0",
         kHpf,
         false,
         design::kIdcMultiplier,
         "0",
         "1",
         "Please enter an integer between 1 and 2147483647.",
         {}},
        {"IIR ripple 0",
         kLpf,
         true,
         design::kIdcRipple,
         "0",
         "0.01",
         "Please enter a number above 0 and at most 20.",
         {}},
        {"IIR ripple 1000",
         kHpf,
         true,
         design::kIdcRipple,
         "1000",
         "20",
         "Please enter a number above 0 and at most 20.",
         {}},
        {"IIR cut-off -100",
         kLpf,
         true,
         design::kIdcCutoff,
         "-100",
         "0.5",
         "Please enter a number above 0 and below 500.",
         {}},
        {"IIR BRF fc1 0",
         kBrf,
         true,
         design::kIdcFc1,
         "0",
         "1",
         "Please enter a number above 0 and below 500.",
         {}},
        {"IIR fs -1",
         kLpf,
         true,
         design::kIdcFs,
         "-1",
         "1e12",
         "Please enter a number above 0 and at most 1000000000000.",
         {{design::kIdcCutoff, "1e9"}}},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Select(c.type, c.iir);
        const int dialogId =
            (c.iir ? design::kIddIirParameters : design::kIddFirParameters) + c.type;
        DialogAnswer refused = DialogAnswer::Ok(dialogId).Text(c.control, c.refused);
        DialogAnswer accepted = DialogAnswer::Ok(dialogId).Text(c.control, c.accepted);
        for (const auto& [control, text] : c.extra) {
            refused.Text(control, text);
            accepted.Text(control, text);
        }
        const size_t warnings = host.Warnings().size();
        host.AnswerDialog(refused);
        host.AnswerDialog(accepted);
        Run(resources::kIdcDesign);
        const platform::ShownDialog& shown = host.Dialogs().back();
        EXPECT_EQ(shown.failedChecks, std::vector<std::string>{c.message});
        EXPECT_EQ(shown.result, platform::kIdOk);
        EXPECT_EQ(host.Warnings().size(), warnings);
        // The accepted design's measured bands replace the idle message.
        EXPECT_EQ(host.StatusTexts().back(), commands::MeasurementsSummary(doc, c.iir));
        if (c.iir) {
            EXPECT_TRUE(IirFinite());
            EXPECT_NE(doc.m_aB1[0], 0.0);
        } else {
            EXPECT_EQ(doc.m_bDesignOk, 1);
            EXPECT_TRUE(FirTapsFinite());
            EXPECT_NE(doc.m_aFirCoeffs[0], 0.0);
        }
    }
}

TEST_F(BadInputFixture, WaveFrequencyMustGiveFiniteSamples) {
    const struct {
        const char* refused;
        const char* accepted;
    } cases[] = {{"1e308", "1e12"}, {"0", "0.001"}, {"-5", "300"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        host.AnswerDialog(
            DialogAnswer::Ok(resources::kIddInOutWave).Text(resources::kIdcWaveFreq, c.refused));
        host.AnswerDialog(
            DialogAnswer::Ok(resources::kIddInOutWave).Text(resources::kIdcWaveFreq, c.accepted));
        Run(resources::kIdcInOutWave);
        EXPECT_EQ(
            host.Dialogs().back().failedChecks,
            std::vector<std::string>{"Please enter a number above 0 and at most 1000000000000."});
        for (int i = 0; i < COlvexDoc::kWaveInSamples; ++i) {
            ASSERT_TRUE(std::isfinite(doc.m_aWaveIn[i])) << i;
        }
        for (int i = 0; i < COlvexDoc::kWaveOutSamples; ++i) {
            ASSERT_TRUE(std::isfinite(doc.m_aWaveOut[i])) << i;
        }
    }
}

// The document can still hold values no dialog accepts (a ripple of 0 from an old session's
// file); Cancel designs from them. The failure is said, and the previous sections stay.
TEST_F(BadInputFixture, AFailedIirDesignIsReported) {
    Select(kLpf, true);
    host.AnswerDialog(DialogAnswer::Ok());
    Run(resources::kIdcDesign);
    const double b1 = doc.m_aB1[0];
    ASSERT_TRUE(host.Messages().empty());
    doc.m_dRippleDb = 0.0;
    host.AnswerDialog(DialogAnswer::Cancel());
    Run(resources::kIdcDesign);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, design::kIirFailedMessage);
    EXPECT_EQ(host.Messages()[0].icon, platform::MessageIcon::kWarning);
    EXPECT_EQ(host.StatusTexts().back(), design::kDesignFailedStatus);
    EXPECT_EQ(doc.m_aB1[0], b1);
    EXPECT_TRUE(IirFinite());
}

// A first design that fails for good leaves no taps at all, and the plot keeps its hint.
TEST_F(BadInputFixture, AFailedFirstFirDesignLeavesNoTaps) {
    Select(kLpf, false);
    // 20 taps cannot separate 1 Hz from 2 Hz.
    host.AnswerDialog(DialogAnswer::Ok()
                          .Text(design::kIdcFc1, "1")
                          .Text(design::kIdcFc2, "2")
                          .Text(design::kIdcTaps, "20"));
    host.AnswerDialog(DialogAnswer::Cancel(design::kIddAdjustChoice));
    Run(resources::kIdcDesign);
    EXPECT_EQ(view.m_bNoDesign, 1);
    for (int n = 0; n < COlvexDoc::kMaxFirTaps; ++n) {
        ASSERT_EQ(doc.m_aFirCoeffs[n], 0.0) << n;
    }
    EXPECT_EQ(host.StatusTexts().back(), design::kDesignFailedStatus);
}

// A user wave file of its own (a test may hold two at once).
struct TempWave {
    static inline int count = 0;
    support::ScratchFolder folder{"badinput-wave" + std::to_string(count++)};
    std::filesystem::path path = folder / "wave.txt";
    explicit TempWave(const std::string& text) { std::ofstream(path) << text; }
};

TEST_F(BadInputFixture, AUserWaveThatCannotBeReadKeepsThePreviousWave) {
    const auto userWave = [](int check) {
        return DialogAnswer::Ok(resources::kIddInOutWave).Check(resources::kIdcUseUserWave, check);
    };
    const std::string folder = std::filesystem::temp_directory_path().string();
    const struct {
        std::string path;
        std::string message;
    } unreadable[] = {
        {folder, folder + " cannot be read: Is a directory"},
        {"/proc/self/mem", "/proc/self/mem cannot be read: Input/output error"},
        {folder + "/vantrel-no-such-dir/w.txt",
         folder + "/vantrel-no-such-dir/w.txt cannot be opened: No such file or directory"},
    };
    TempWave good("1.5 2.5 3.5\n");
    for (const auto& c : unreadable) {
        SCOPED_TRACE(c.path);
        // Load a good wave, switch the box off and on again, and pick the unreadable file.
        host.AnswerDialog(userWave(0));
        Run(resources::kIdcInOutWave);
        host.AnswerDialog(userWave(1));
        host.AnswerFileDialog(good.path.string());
        Run(resources::kIdcInOutWave);
        ASSERT_EQ(doc.m_aWaveIn[1], 2.5);
        host.AnswerDialog(userWave(0));
        Run(resources::kIdcInOutWave);
        const double generated = doc.m_aWaveIn[1]; // the wave in use before this pick
        const size_t messages = host.Messages().size();
        host.AnswerDialog(userWave(1));
        host.AnswerFileDialog(c.path);
        Run(resources::kIdcInOutWave);
        ASSERT_EQ(host.Messages().size(), messages + 1);
        EXPECT_EQ(host.Messages().back().text, c.message);
        EXPECT_EQ(doc.m_bUseUserWave, 0) << "refused: the box goes off again";
        EXPECT_EQ(doc.m_aWaveIn[1], generated);
    }

    // A token that is not a number: the values before it are loaded and the user is told.
    TempWave stops("10 20 abc 30 40\n");
    host.AnswerDialog(userWave(0));
    Run(resources::kIdcInOutWave);
    host.AnswerDialog(userWave(1));
    host.AnswerFileDialog(stops.path.string());
    Run(resources::kIdcInOutWave);
    EXPECT_EQ(host.Messages().back().text,
              stops.path.string() +
                  ", line 1: \"abc\" is not a number; 2 values were read before it");
    EXPECT_EQ(doc.m_aWaveIn[0], 10.0);
    EXPECT_EQ(doc.m_aWaveIn[1], 20.0);
    EXPECT_EQ(doc.m_aWaveIn[2], 0.0);
}

// The bit-length check must count what is quantized: K * h for FIR, the coefficients for IIR.
TEST(QuantBitsCheck, CountsTheCoefficientMultiplier) {
    COlvexDoc doc;
    doc.m_nTaps = 2;
    doc.m_aFirCoeffs[0] = 0.4;
    doc.m_aFirCoeffs[1] = -0.25;
    const struct {
        int multiplier;
        int bits;
        bool accepted;
    } cases[] = {
        // B bits scale by 2^(B-1): 0.4 * 2^31 fits; K * h = 400 fits with 2^22 but not with
        // 2^23; 1.6 fits with 2^30 but not with 2^31.
        {1, 32, true},     {1000, 23, true}, {1000, 24, false},
        {1000, 32, false}, {4, 31, true},    {4, 32, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.multiplier) + " x, " + std::to_string(c.bits) + " bits");
        doc.m_nCoeffMultiplier = c.multiplier;
        design::Warning warning;
        EXPECT_EQ(commands::CheckDocumentQuantBits(doc, false, c.bits, warning), c.accepted);
        if (!c.accepted) {
            EXPECT_EQ(warning.templateId, coeffs::kIddWarnQuantLimit);
        }
    }
}

} // namespace
