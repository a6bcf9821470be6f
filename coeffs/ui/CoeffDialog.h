// The Coefficients dialog (template 134): "Quantize by" with the bit length, and the format.
#pragma once

#include "platform/Dialog.h"

class COlvexDoc;

namespace coeffs {

constexpr int kIddCoefficients = 134;
constexpr int kIdcQuantize = 1019;    // check box "Quantize by"
constexpr int kIdcQuantBits = 1020;   // bit length, 4..32
constexpr int kIdcFormatReal = 1021;  // radio group "Real", "Bin", "Dec", "Hex"
constexpr int kIdcAdvise = 1070;      // push button "Advise...": runs the word-length advisor
constexpr int kIdcAdviceTable = 1071; // read-only table: bit length against stop-band maximum

const platform::DialogTemplate& CoefficientsTemplate();

class CCoeffDialog : public platform::Dialog {
public:
    CCoeffDialog();
    void DoDataExchange(platform::DataExchange& exchange) override;
    // "Advise...": the smallest bit length that keeps the design's attenuation and ripple goes
    // into "Quantize by" (checked), and the table shows every candidate.
    void OnButton(int controlId, platform::ControlAccess& controls) override;

    // The design the advisor measures; nullptr before the first design.
    const COlvexDoc* m_pDesign = nullptr;
    bool m_bIir = false;

    int m_bQuantize = 0;
    int m_nQuantBits = 16;
    int m_nCoeffFormat = 0;
};

} // namespace coeffs
