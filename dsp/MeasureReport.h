// Texts of the measurements and of the word-length advice, as the window shows them.
#pragma once

#include <string>

class COlvexDoc;

namespace dsp {

struct BitAdvice;

// The band table of the document's design: unquantized, and quantized while quantization is
// on, then the rule the bands follow.
std::string MeasurementsText(const COlvexDoc& doc, bool iir, const char* lineEnd);

// One line for the status bar: the largest pass-band ripple and the largest stop-band gain of
// the unquantized design, and of the quantized one while quantization is on.
std::string MeasurementsSummary(const COlvexDoc& doc, bool iir);

// The advised bit length, then one row per candidate: B, the largest stop-band gain, ok or
// unstable.
std::string AdviceText(const BitAdvice& advice, double toleranceDb, const char* lineEnd);

} // namespace dsp
