// The measurement texts of the window (View > Measurements and the status bar): a gain that is
// not a finite number and the gains of an unstable cascade never print as numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "dsp/Measure.h"
#include "dsp/MeasureReport.h"

namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

bool HasNotFinite(const std::string& text) {
    return text.find("nan") != std::string::npos || text.find("inf ") != std::string::npos ||
           text.find("inf\n") != std::string::npos || text.find("-inf") != std::string::npos;
}

dsp::Measurements Gains(double passMin, double passMax, double stopMax, bool quantized) {
    const std::vector<dsp::BandGain> gains = {{{true, 0.0, 200.0}, passMin, passMax},
                                              {{false, 250.0, 500.0}, stopMax, stopMax}};
    dsp::Measurements m;
    m.unquantized = gains;
    if (quantized) {
        m.quantized = gains;
    }
    return m;
}

TEST(MeasureReport, NeitherNanNorInfAndUnstableGainsNamedNotPrinted) {
    struct Case {
        const char* name;
        dsp::Measurements m;
        std::vector<int> unstable;
        std::vector<std::string> summaryHas;
        std::vector<std::string> textHas;
    };
    const Case cases[] = {
        {"finite gains print as numbers",
         Gains(-0.5, 0.25, -40.0, true),
         {},
         {"Measured: pass ripple 0.750 dB, stop max -40.000 dB",
          "quantized to 6 bits: pass ripple 0.750 dB, stop max -40.000 dB"},
         {"Pass 0.000 - 200.000: -0.500 / 0.250,  -0.500 / 0.250"}},
        {"nan and inf read not finite",
         Gains(kNan, 0.25, kInf, false),
         {},
         {"Measured: pass ripple not finite, stop max not finite"},
         {"Pass 0.000 - 200.000: not finite / 0.250", "Stop 250.000 - 500.000: not finite"}},
        {"an unstable quantized cascade: its gains are refused, every section named",
         Gains(-0.5, 0.25, kNan, true),
         {2, 5},
         {"Measured: pass ripple 0.750 dB, stop max not finite; quantized to 6 bits: "
          "unstable: section 2; unstable: section 5"},
         {"Pass 0.000 - 200.000: -0.500 / 0.250,  unstable",
          "Stop 250.000 - 500.000: not finite,  "
          "unstable",
          "Quantized: unstable: section 2, unstable: section 5"}},
        {"unstable coefficients without quantization (a loaded file)",
         Gains(-0.5, 0.25, -3.0, false),
         {1},
         {"Measured: unstable: section 1"},
         {"Pass 0.000 - 200.000: unstable", "unstable: section 1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string summary = dsp::MeasurementsSummary(c.m, 6, c.unstable);
        const std::string text = dsp::MeasurementsText(c.m, true, 6, "\n", c.unstable);
        EXPECT_FALSE(HasNotFinite(summary)) << summary;
        EXPECT_FALSE(HasNotFinite(text)) << text;
        for (const std::string& part : c.summaryHas) {
            EXPECT_NE(summary.find(part), std::string::npos) << summary;
        }
        for (const std::string& part : c.textHas) {
            EXPECT_NE(text.find(part), std::string::npos) << text;
        }
    }
}

} // namespace
