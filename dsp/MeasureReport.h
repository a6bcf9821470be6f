// Texts of the measurements and of the word-length advice, as the window shows them.
#pragma once

#include <string>
#include <vector>

namespace dsp {

struct BitAdvice;
struct Measurements;

// The band table of a design measured by Measure: unquantized, and quantized to `bits` when
// it holds quantized gains, then the rule the bands follow. When the quantized cascade has
// unstable sections (1-based), its gains are no measurement: each quantized cell reads
// "unstable" and one line "unstable: section k" per section follows the table. A gain that is
// not a finite number reads "not finite".
std::string MeasurementsText(const Measurements& m, bool iir, int bits, const char* lineEnd,
                             const std::vector<int>& unstableSections = {});

// One line for the status bar: the largest pass-band ripple and the largest stop-band gain of
// the unquantized design, and of the quantized one when `m` holds its gains; an unstable
// quantized cascade is named by its sections ("unstable: section 2; unstable: section 4") in
// place of its gains.
std::string MeasurementsSummary(const Measurements& m, int bits,
                                const std::vector<int>& unstableSections = {});

// The advised bit length, then one row per candidate: B, the largest stop-band gain, ok or
// unstable.
std::string AdviceText(const BitAdvice& advice, double toleranceDb, const char* lineEnd);

} // namespace dsp
