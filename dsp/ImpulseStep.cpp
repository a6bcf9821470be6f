#include "dsp/ImpulseStep.h"

namespace dsp {

std::vector<double> FirTimeResponse(std::span<const double> taps, Excitation excitation) {
    std::vector<double> out(taps.begin(), taps.end());
    if (excitation == Excitation::kStep) {
        // The step response is the running sum of the impulse response.
        for (std::size_t n = 1; n < out.size(); ++n) {
            out[n] += out[n - 1];
        }
    }
    return out;
}

std::vector<double> IirTimeResponse(std::span<const Section> sections, Excitation excitation) {
    std::vector<double> signal(kIirResponseSamples, excitation == Excitation::kStep ? 1.0 : 0.0);
    signal[0] = 1.0;
    for (const Section& q : sections) {
        // x1, x2: the last two inputs; y1, y2: the last two outputs of this section.
        double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
        for (double& sample : signal) {
            const double y = q[0] * sample + q[1] * x1 + q[2] * x2 - q[3] * y1 - q[4] * y2;
            x2 = x1;
            x1 = sample;
            y2 = y1;
            y1 = y;
            sample = y;
        }
    }
    return signal;
}

std::vector<double> TimeResponseOf(const FilterCoefficients& c, Excitation excitation) {
    return c.iir ? IirTimeResponse(c.DesignedSections(), excitation)
                 : FirTimeResponse(c.taps, excitation);
}

} // namespace dsp
