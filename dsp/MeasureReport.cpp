// The Measurements table and the advisor's table as text, for the window's Measurements command
// and the Coefficients dialog's advice: one row per band (or per candidate bit length).
#include "dsp/MeasureReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dsp/Measure.h"

namespace dsp {

namespace {

constexpr const char* kNotFinite = "not finite";

std::string Format(const char* format, double a) {
    char text[64];
    std::snprintf(text, sizeof text, format, a);
    return text;
}

std::string Format(const char* format, double a, double b) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// A gain in dB with three decimals, or "not finite": nan and inf never reach the text.
std::string Gain(double db) {
    return std::isfinite(db) ? Format("%.3f", db) : kNotFinite;
}

// "min / max" of a pass band, "max" of a stop band, in dB.
std::string GainCell(const BandGain& g) {
    return g.band.pass ? Gain(g.minDb) + " / " + Gain(g.maxDb) : Gain(g.maxDb);
}

std::string UnstableLine(const std::vector<int>& sections, const char* separator) {
    std::string text;
    for (int section : sections) {
        text += (text.empty() ? "" : separator) + std::string("unstable: section ") +
                std::to_string(section);
    }
    return text;
}

// "pass ripple R dB, stop max S dB" over all bands of the list; a kind the design lacks is left
// out. NaN gains (a response that is not finite) read "not finite", so they are not hidden.
std::string GainSummary(const std::vector<BandGain>& gains) {
    bool anyPass = false;
    bool anyStop = false;
    double ripple = 0.0;
    double stopMax = 0.0;
    for (const BandGain& g : gains) {
        const double r = g.maxDb - g.minDb;
        if (g.band.pass) {
            ripple = !anyPass || std::isnan(r) ? r : std::max(ripple, r);
            anyPass = true;
        } else {
            stopMax = !anyStop || std::isnan(g.maxDb) ? g.maxDb : std::max(stopMax, g.maxDb);
            anyStop = true;
        }
    }
    std::string text;
    const auto dB = [](double v) { return std::isfinite(v) ? Format("%.3f dB", v) : kNotFinite; };
    if (anyPass) {
        text += "pass ripple " + dB(ripple);
    }
    if (anyStop) {
        text += (anyPass ? ", stop max " : "stop max ") + dB(stopMax);
    }
    return text;
}

} // namespace

std::string MeasurementsSummary(const Measurements& m, int bits,
                                const std::vector<int>& unstableSections) {
    if (m.quantized.empty() && !unstableSections.empty()) {
        return "Measured: " + UnstableLine(unstableSections, "; ");
    }
    std::string text = "Measured: " + GainSummary(m.unquantized);
    if (!m.quantized.empty()) {
        text += "; quantized to " + std::to_string(bits) + " bits: " +
                (unstableSections.empty() ? GainSummary(m.quantized)
                                          : UnstableLine(unstableSections, "; "));
    }
    return text;
}

std::string MeasurementsText(const Measurements& m, bool iir, int bits, const char* lineEnd,
                             const std::vector<int>& unstableSections) {
    std::string text = "Band [Hz]: unquantized gain [dB]";
    if (!m.quantized.empty()) {
        text += ", quantized to " + std::to_string(bits) + " bits [dB]";
    }
    text += std::string(lineEnd) + "(pass band: min / max, stop band: max)" + lineEnd;
    for (size_t i = 0; i < m.unquantized.size(); ++i) {
        const BandGain& g = m.unquantized[i];
        const bool unstableShown = !unstableSections.empty() && m.quantized.empty();
        text += (g.band.pass ? "Pass " : "Stop ") + Format("%.3f - %.3f: ", g.band.lo, g.band.hi) +
                (unstableShown ? std::string("unstable") : GainCell(g));
        if (i < m.quantized.size()) {
            text += ",  " +
                    (unstableSections.empty() ? GainCell(m.quantized[i]) : std::string("unstable"));
        }
        text += lineEnd;
    }
    if (!unstableSections.empty()) {
        text += (m.quantized.empty() ? "" : "Quantized: ") + UnstableLine(unstableSections, ", ") +
                lineEnd;
    }
    text +=
        std::string(iir ? kIirBandRuleText : "FIR bands are the bands of the design.") + lineEnd;
    return text;
}

std::string AdviceText(const BitAdvice& advice, double toleranceDb, const char* lineEnd) {
    std::string text = advice.bits == 0
                           ? Format("No bit length keeps the design within %g dB.", toleranceDb)
                           : "Advised: " + std::to_string(advice.bits) + " bits" +
                                 Format(" (tolerance %g dB)", toleranceDb);
    text += lineEnd;
    // Every candidate with its stop-band maximum and pass ripple beside the design's own, so a
    // length that misses the tolerance is seen as such.
    text += std::string("Bits  stop max [dB]  ripple [dB]") + lineEnd;
    char row[96];
    std::snprintf(row, sizeof row, "%4s  %13.3f  %11.3f  %s", "-", advice.designStopMaxDb,
                  advice.designRippleDb, "design");
    text += row;
    text += lineEnd;
    for (const BitCandidate& c : advice.candidates) {
        std::snprintf(row, sizeof row, "%4d  %13.3f  %11.3f  %s", c.bits, c.stopMaxDb, c.rippleDb,
                      !c.stable ? "unstable" : (c.meets ? "ok" : "misses"));
        text += row;
        text += lineEnd;
    }
    return text;
}

} // namespace dsp
