// Template 134 and the exchange of the Coefficients dialog.
#include "coeffs/ui/CoeffDialog.h"

#include <string>

#include "app/CoefficientsCommands.h"
#include "app/DesignRules.h"
#include "app/MeasureCommands.h"
#include "dsp/Measure.h"
#include "dsp/MeasureReport.h"
#include "dsp/QuantRules.h"

namespace coeffs {

using platform::ControlKind;
using platform::kIdStatic;

const platform::DialogTemplate& CoefficientsTemplate() {
    static const platform::DialogTemplate dialog{
        kIddCoefficients,
        "Coefficients",
        {0, 0},
        true,
        {232, 160},
        {
            {kIdcQuantize,
             ControlKind::kCheckBox,
             "Quantize by",
             {10, 10, 55, 12},
             platform::kStyleGroupStart},
            {kIdcQuantBits, ControlKind::kEdit, "", {68, 10, 30, 12}},
            {kIdStatic, ControlKind::kStaticText, "bits", {102, 12, 20, 10}},
            {kIdcAdvise, ControlKind::kPushButton, "Advise...", {126, 9, 46, 14}},
            {kIdStatic, ControlKind::kStaticText, "Format =", {10, 32, 36, 10}},
            {kIdcFormatReal,
             ControlKind::kRadio,
             "Real",
             {48, 30, 30, 12},
             platform::kStyleGroupStart},
            {kIdcFormatReal + 1, ControlKind::kRadio, "Bin", {80, 30, 28, 12}},
            {kIdcFormatReal + 2, ControlKind::kRadio, "Dec", {110, 30, 28, 12}},
            {kIdcFormatReal + 3, ControlKind::kRadio, "Hex", {140, 30, 28, 12}},
            {platform::kIdOk,
             ControlKind::kDefaultPushButton,
             "OK",
             {34, 52, 50, 14},
             platform::kStyleGroupStart},
            {platform::kIdCancel, ControlKind::kPushButton, "Cancel", {96, 52, 50, 14}},
            {kIdcAdviceTable,
             ControlKind::kEdit,
             "",
             {10, 72, 212, 80},
             platform::kStyleReadOnly | platform::kStyleMultiLine | platform::kStyleScrollBars |
                 platform::kStyleBorder | platform::kStyleFixedPitch |
                 platform::kStyleGrowWithDialog},
        },
    };
    return dialog;
}

CCoeffDialog::CCoeffDialog() : platform::Dialog(CoefficientsTemplate()) {}

void CCoeffDialog::DoDataExchange(platform::DataExchange& exchange) {
    exchange.Check(kIdcQuantize, m_bQuantize);
    exchange.IntRange(kIdcQuantBits, m_nQuantBits, coeffs::kMinQuantBits, coeffs::kMaxQuantBits);
    exchange.Radio(kIdcFormatReal, m_nCoeffFormat);
}

void CCoeffDialog::OnButton(int controlId, platform::ControlAccess& controls) {
    if (controlId != kIdcAdvise) {
        return;
    }
    if (m_pDesign == nullptr) {
        controls.SetText(kIdcAdviceTable, "Click 'Design' to design FIR/IIR filters");
        return;
    }
    const dsp::BitAdvice advice =
        commands::AdviseDocumentBits(*m_pDesign, m_bIir, dsp::kDefaultToleranceDb);
    if (advice.bits > 0) {
        controls.SetCheck(kIdcQuantize, 1);
        controls.SetText(kIdcQuantBits, std::to_string(advice.bits));
    }
    controls.SetText(kIdcAdviceTable, dsp::AdviceText(advice, dsp::kDefaultToleranceDb, "\r\n"));
}

} // namespace coeffs
