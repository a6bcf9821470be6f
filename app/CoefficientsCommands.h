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

// The Coefficients dialog's fields, for the structure the form shows. With the CIC shown (`cic`)
// the coefficients are its droop compensator's taps, a FIR at the low rate.
struct CoefficientsRequest {
    bool iir = false;
    int quantize = 0;
    int bits = 16;
    int format = 0; // 0 Real, 1 Bin, 2 Dec, 3 Hex
    bool cic = false;
};
// Bits in 4..32 (kOutOfRange), then the quantization rules (kRefused: warnings 136, 169, 137);
// stores the three settings when accepted.
// Accepted with `message` "quantized to zero: use more bits" when quantization turned every IIR
// numerator coefficient to 0 (the status bar and standard error say so).
Outcome Coefficients(COlvexDoc& doc, const CoefficientsRequest& request);
// The report of the FIR or IIR coefficients with the settings in force, every line ended by
// lineEnd ("\r\n" in the output box, "\n" on a terminal).
std::string CoefficientReport(const COlvexDoc& doc, bool iir, std::string_view lineEnd);

// ---- The CIC's droop compensator ------------------------------------------------------------
// A CIC has no coefficients of its own: with the CIC shown, Coefficients, Save Coefficients and
// Export act on its compensator's taps (quantized, in the number forms and the export formats as
// a FIR's, multiplier 1), and without a compensator they are kRefused with this text as
// `message` (never another structure's taps).
extern const char* const kNoCicCompensatorText;
Outcome CheckCicCompensator(const COlvexDoc& doc);
// The report of the compensator's taps with the settings in force.
std::string CicCompensatorReport(const COlvexDoc& doc, std::string_view lineEnd);
// The compensator's coefficient file: in the Real form the values one a line, "%.17g" (unquantized
// exactly the file `vantrel-cli cic ... --compensator FILE` writes); in the Bin, Dec and Hex forms
// the coefficient file of a FIR. `vantrel-cli load FILE` reads either.
std::string CicCompensatorFileText(const COlvexDoc& doc);
// Save Coefficients with the CIC shown: kRefused without a compensator, warning 177 before the
// coefficients were listed, else the file written (kFileWritten or kFileNotWritten).
Outcome SaveCicCompensator(const COlvexDoc& doc, bool coefficientsListed, const std::string& path);

} // namespace commands
