// Coefficients: the quantization settings of the Coefficients dialog, and the coefficient report
// of the design with the settings in force.
#pragma once

#include <string>
#include <string_view>

#include "app/Outcome.h"

class COlvexDoc;

namespace commands {

// Whether bit length `bits` keeps the document's largest coefficient (times K for FIR) within the
// quantization rules (coeffs::CheckQuantBits); false with the warning (136, 169) when not.
bool CheckDocumentQuantBits(const COlvexDoc& doc, bool iir, int bits, design::Warning& warning);

// The Coefficients dialog's fields, for the structure the form shows.
struct CoefficientsRequest {
    bool iir = false;
    int quantize = 0;
    int bits = 16;
    int format = 0; // 0 Real, 1 Bin, 2 Dec, 3 Hex
};
// Bits in 4..32 (kOutOfRange), then the quantization rules (kRefused: warnings 136, 169, 137);
// stores the three settings when accepted.
// Accepted with `message` "quantized to zero: use more bits" when quantization turned every IIR
// numerator coefficient to 0 (the status bar and standard error say so).
Outcome Coefficients(COlvexDoc& doc, const CoefficientsRequest& request);
// The report of the FIR or IIR coefficients with the settings in force, every line ended by
// lineEnd ("\r\n" in the output box, "\n" on a terminal).
std::string CoefficientReport(const COlvexDoc& doc, bool iir, std::string_view lineEnd);

} // namespace commands
