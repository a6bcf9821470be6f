// Coefficients: the quantization settings and the coefficient report.
#include "app/CoefficientsCommands.h"

#include <algorithm>
#include <cstdio>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "coeffs/CoeffReport.h"
#include "dsp/QuantRules.h"
#include "files/CoeffFile.h"

namespace commands {

bool CheckDocumentQuantBits(const COlvexDoc& doc, bool iir, int bits, design::Warning& warning) {
    const double largest = iir ? doc.MaxIirCoeffMagnitude()
                               : doc.MaxFirCoeffMagnitude() * std::max(1, doc.m_nCoeffMultiplier);
    return coeffs::CheckQuantBits(largest, iir, bits, warning);
}

namespace {

// The quantization rules for the compensator's taps (a FIR, multiplier 1).
bool CheckCompensatorQuantBits(const COlvexDoc& doc, int bits, design::Warning& warning) {
    return coeffs::CheckQuantBits(coeffs::LargestMagnitude(doc.CicCompensatorTaps()), false, bits,
                                  warning);
}

constexpr const char* kQuantizedToZero = "quantized to zero: use more bits";

// Whether quantization turned every numerator coefficient (a0, a1, a2 of every section) to 0.
bool NumeratorsQuantizedToZero(const COlvexDoc& doc) {
    const dsp::FilterCoefficients c = doc.TakeCoefficients(true);
    for (const dsp::SectionIntegers& q : c.sectionIntegers) {
        if (q[0] != 0 || q[1] != 0 || q[2] != 0) {
            return false;
        }
    }
    return !c.sectionIntegers.empty();
}

// What OK in the Coefficients dialog does with quantize flag q, bit length b and format f:
// with q set the bit length must keep the largest coefficient within 32 bits (and, for IIR,
// within 24 bits); with q clear only Real is allowed. Stores the three settings and returns
// true, or stores nothing, fills the warning (templates 136, 169, 137) and returns false.
bool StoreCoeffSettings(COlvexDoc& doc, bool iir, bool cic, int quantize, int bits, int format,
                        design::Warning& warning) {
    if (quantize != 0) {
        if (cic ? !CheckCompensatorQuantBits(doc, bits, warning)
                : !CheckDocumentQuantBits(doc, iir, bits, warning)) {
            return false;
        }
        doc.m_nQuantBits = bits;
        doc.m_bQuantize = 1;
        doc.m_nCoeffFormat = coeffs::KnownFormat(format);
        return true;
    }
    if (format != coeffs::kFormatReal) {
        warning = {"Warning!",
                   {"Enable \"Quantize\" for Bin, Dec or Hex!!"},
                   coeffs::kIddWarnFormatNeedsQuantize};
        return false;
    }
    doc.m_nQuantBits = bits;
    doc.m_bQuantize = 0;
    doc.m_nCoeffFormat = coeffs::kFormatReal;
    return true;
}

} // namespace

Outcome Coefficients(COlvexDoc& doc, const CoefficientsRequest& request) {
    const RangeRefusal bits = design::CheckIntRange(design::kFieldQuantBits, request.bits,
                                                    coeffs::kMinQuantBits, coeffs::kMaxQuantBits);
    if (bits.Refused()) {
        return OutOfRange(bits);
    }
    if (request.cic) {
        const Outcome compensator = CheckCicCompensator(doc);
        if (!compensator.Is(OutcomeKind::kAccepted)) {
            return compensator;
        }
    }
    design::Warning warning;
    if (!StoreCoeffSettings(doc, request.iir && !request.cic, request.cic, request.quantize,
                            request.bits, request.format, warning)) {
        return Refused(warning);
    }
    Outcome outcome;
    if (request.iir && !request.cic && doc.m_bQuantize != 0 && NumeratorsQuantizedToZero(doc)) {
        outcome.message = kQuantizedToZero; // the response would be silence at every frequency
    }
    return outcome;
}

std::string CoefficientReport(const COlvexDoc& doc, bool iir, std::string_view lineEnd) {
    const dsp::FilterCoefficients c = doc.TakeCoefficients(iir);
    return iir ? coeffs::IirReportText(c, doc.m_nCoeffFormat, lineEnd)
               : coeffs::FirReportText(c, doc.m_nCoeffFormat, lineEnd);
}

const char* const kNoCicCompensatorText =
    "The CIC filter has no coefficients of its own. To list, save or export the taps of its droop "
    "compensator, check \"Droop compensator\" in the CIC dialog and click Design.";

Outcome CheckCicCompensator(const COlvexDoc& doc) {
    if (doc.m_bCicDesigned != 0 && doc.HasCicCompensator()) {
        return {};
    }
    Outcome outcome;
    outcome.kind = OutcomeKind::kRefused;
    outcome.message = kNoCicCompensatorText;
    return outcome;
}

std::string CicCompensatorReport(const COlvexDoc& doc, std::string_view lineEnd) {
    return coeffs::FirReportText(doc.TakeCicCompensatorCoefficients(), doc.m_nCoeffFormat, lineEnd);
}

std::string CicCompensatorFileText(const COlvexDoc& doc) {
    const dsp::FilterCoefficients c = doc.TakeCicCompensatorCoefficients();
    if (coeffs::KnownFormat(doc.m_nCoeffFormat) != coeffs::kFormatReal) {
        return files::CoeffFileText(c, doc.m_nCoeffFormat);
    }
    std::string column;
    char line[64];
    for (double h : c.taps) {
        std::snprintf(line, sizeof line, "%.17g\n", h);
        column += line;
    }
    return column;
}

Outcome SaveCicCompensator(const COlvexDoc& doc, bool coefficientsListed, const std::string& path) {
    const Outcome compensator = CheckCicCompensator(doc);
    if (!compensator.Is(OutcomeKind::kAccepted)) {
        return compensator;
    }
    if (!coefficientsListed) {
        return Refused(design::SaveNeedsCoeffsWarning());
    }
    return WriteOutcomeFile(path, CicCompensatorFileText(doc));
}

} // namespace commands
