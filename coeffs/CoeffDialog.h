// The Coefficients dialog (template 134): "Quantize by" with the bit length, and the format.
#pragma once

#include "platform/Dialog.h"

namespace coeffs {

constexpr int kIddCoefficients = 134;
constexpr int kIdcQuantize = 1019;   // check box "Quantize by"
constexpr int kIdcQuantBits = 1020;  // bit length, 4..32
constexpr int kIdcFormatReal = 1021; // radio group "Real", "Bin", "Dec", "Hex"

const platform::DialogTemplate& CoefficientsTemplate();

class CCoeffDialog : public platform::Dialog {
public:
    CCoeffDialog();
    void DoDataExchange(platform::DataExchange& exchange) override;

    int m_bQuantize = 0;
    int m_nQuantBits = 16;
    int m_nCoeffFormat = 0;
};

} // namespace coeffs
