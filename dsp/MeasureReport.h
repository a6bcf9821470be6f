// Texts of the measurements and of the word-length advice, as the window shows them.
#pragma once

#include <string>

namespace dsp {

struct BitAdvice;
struct Measurements;

// The band table of a design measured by Measure: unquantized, and quantized to `bits` when
// it holds quantized gains, then the rule the bands follow.
std::string MeasurementsText(const Measurements& m, bool iir, int bits, const char* lineEnd);

// One line for the status bar: the largest pass-band ripple and the largest stop-band gain of
// the unquantized design, and of the quantized one when `m` holds its gains.
std::string MeasurementsSummary(const Measurements& m, int bits);

// The advised bit length, then one row per candidate: B, the largest stop-band gain, ok or
// unstable.
std::string AdviceText(const BitAdvice& advice, double toleranceDb, const char* lineEnd);

} // namespace dsp
