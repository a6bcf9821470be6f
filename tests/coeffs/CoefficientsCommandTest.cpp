// The Coefficients command on the scripted desktop: the settings it stores or refuses (warnings
// 136, 137, 169), the report it always rewrites, the redraw and the timer, and the readiness
// chain with the Design command.
#include <gtest/gtest.h>

#include <string>

#include "app/CoefficientsCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "coeffs/CoeffReport.h"
#include "coeffs/ui/CoeffDialog.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::DialogAnswer;

constexpr int kDecRadio = coeffs::kIdcFormatReal + coeffs::kFormatDec;
constexpr int kHexRadio = coeffs::kIdcFormatReal + coeffs::kFormatHex;

struct CoefficientsFixture : support::ScriptedWindowTest {
    void Coefficients(const DialogAnswer& answer) {
        host.AnswerDialog(answer);
        EXPECT_TRUE(view.OnCommand(resources::kIdcCoefficients));
        EXPECT_EQ(host.UnansweredDialogs(), 0);
    }
    // Designs the default filter of the structure the form shows.
    void DesignDefault(bool iir) {
        host.ClickFormRadio(iir ? resources::kIdcIir : resources::kIdcFir);
        host.AnswerDialog(DialogAnswer::Ok());
        view.OnCommand(resources::kIdcDesign);
    }
    std::string Output() { return host.Form().GetText(resources::kIdcOutput); }
    std::string FirReport() { return commands::CoefficientReport(doc, false, "\r\n"); }
    std::string IirReport() { return commands::CoefficientReport(doc, true, "\r\n"); }
};

TEST_F(CoefficientsFixture, OkStoresTheSettingsAndWritesTheReport) {
    DesignDefault(false);
    Coefficients(DialogAnswer::Ok(coeffs::kIddCoefficients)
                     .Check(coeffs::kIdcQuantize, 1)
                     .Text(coeffs::kIdcQuantBits, "12")
                     .Radio(kHexRadio));
    EXPECT_EQ(doc.m_bQuantize, 1);
    EXPECT_EQ(doc.m_nQuantBits, 12);
    EXPECT_EQ(doc.m_nCoeffFormat, coeffs::kFormatHex);
    EXPECT_EQ(Output(), FirReport());
    EXPECT_EQ(Output().rfind("Data is Hex : 1.0 => 00000800h\r\nh[  0] =", 0), 0u);
    EXPECT_EQ(view.m_bCoeffsListed, 1);
    EXPECT_EQ(view.m_bRedrawPending, 0);
    EXPECT_EQ(view.m_bTimerDone, 0);
    EXPECT_EQ(host.TimerPeriod(platform::kViewTimerId), COlvexView::kCommandRedrawMs);
    EXPECT_FALSE(host.Invalidations().back()) << "invalidated without erasing";
    // The dialog opens with the stored settings.
    Coefficients(DialogAnswer::Cancel());
    const platform::ControlValues& opened = host.Dialogs().back().opened;
    EXPECT_EQ(opened.GetCheck(coeffs::kIdcQuantize), 1);
    EXPECT_EQ(opened.GetText(coeffs::kIdcQuantBits), "12");
    EXPECT_EQ(opened.GetCheck(kHexRadio), 1);
    // A new design resets quantization and the format, and asks for Coefficients again.
    DesignDefault(false);
    EXPECT_EQ(doc.m_bQuantize, 0);
    EXPECT_EQ(doc.m_nCoeffFormat, coeffs::kFormatReal);
    EXPECT_EQ(view.m_bCoeffsListed, 0);
}

TEST_F(CoefficientsFixture, CancelStillRewritesTheReportAndRedraws) {
    DesignDefault(false);
    host.Form().SetText(resources::kIdcOutput, "something else");
    const size_t drawings = host.Drawings().size();
    Coefficients(DialogAnswer::Cancel().Check(coeffs::kIdcQuantize, 1).Radio(kDecRadio));
    EXPECT_EQ(doc.m_bQuantize, 0);
    EXPECT_EQ(doc.m_nCoeffFormat, coeffs::kFormatReal);
    EXPECT_EQ(Output(), FirReport());
    EXPECT_EQ(Output().substr(0, 27), "Data is Real : 1.0 => 1.0\r\n");
    EXPECT_EQ(host.Drawings().size(), drawings + 1);
    EXPECT_EQ(view.m_bCoeffsListed, 1);
}

TEST_F(CoefficientsFixture, RefusedSettingsLeaveThePreviousOnesInForce) {
    const struct {
        const char* name;
        bool iir;
        DialogAnswer answer;
        int warning; // 0: accepted
        int quantize;
        int bits;
        int format;
    } cases[] = {
        // Quantize off with an integer format.
        {"137", false, DialogAnswer::Ok().Check(coeffs::kIdcQuantize, 0).Radio(kDecRadio), 137, 1,
         16, coeffs::kFormatDec},
        // IIR beyond 24 bits only when quantizing.
        {"169", true,
         DialogAnswer::Ok().Check(coeffs::kIdcQuantize, 1).Text(coeffs::kIdcQuantBits, "25"), 169,
         1, 16, coeffs::kFormatDec},
        {"25 unquantized", true,
         DialogAnswer::Ok()
             .Check(coeffs::kIdcQuantize, 0)
             .Text(coeffs::kIdcQuantBits, "25")
             .Radio(coeffs::kIdcFormatReal),
         0, 0, 25, coeffs::kFormatReal},
        {"24 quantized", true,
         DialogAnswer::Ok()
             .Check(coeffs::kIdcQuantize, 1)
             .Text(coeffs::kIdcQuantBits, "24")
             .Radio(kDecRadio),
         0, 1, 24, coeffs::kFormatDec},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The previous settings: quantized at 16 bits, Dec.
        doc.m_bQuantize = 1;
        doc.m_nQuantBits = 16;
        doc.m_nCoeffFormat = coeffs::kFormatDec;
        host.ClickFormRadio(c.iir ? resources::kIdcIir : resources::kIdcFir);
        view.UpdateData(true);
        const size_t warnings = host.Warnings().size();
        Coefficients(c.answer);
        if (c.warning != 0) {
            ASSERT_EQ(host.Warnings().size(), warnings + 1);
            EXPECT_EQ(host.Warnings().back().templateId, c.warning);
        } else {
            EXPECT_EQ(host.Warnings().size(), warnings);
        }
        EXPECT_EQ(doc.m_bQuantize, c.quantize);
        EXPECT_EQ(doc.m_nQuantBits, c.bits);
        EXPECT_EQ(doc.m_nCoeffFormat, c.format);
        EXPECT_EQ(Output(), c.iir ? IirReport() : FirReport());
    }
    const platform::ShownWarning& w137 = host.Warnings()[0];
    EXPECT_EQ(w137.title, "Warning!");
    EXPECT_EQ(w137.lines, std::vector<std::string>{"Enable \"Quantize\" for Bin, Dec or Hex!!"});
    const platform::ShownWarning& w169 = host.Warnings()[1];
    EXPECT_EQ(w169.title, "Warning");
    EXPECT_EQ(w169.lines, (std::vector<std::string>{"In IIR design, the bit length of coefficients",
                                                    "can not exceed 24!!"}));
}

TEST_F(CoefficientsFixture, FreshIirDocumentAt32BitsExceedsTheIntegerRange) {
    // Every section is the identity: a0 = 1 is exactly 2^31 at 32 bits.
    host.ClickFormRadio(resources::kIdcIir);
    view.UpdateData(true);
    Coefficients(
        DialogAnswer::Ok().Check(coeffs::kIdcQuantize, 1).Text(coeffs::kIdcQuantBits, "32"));
    ASSERT_EQ(host.Warnings().size(), 1u);
    EXPECT_EQ(host.Warnings()[0].templateId, 136);
    EXPECT_EQ(host.Warnings()[0].lines,
              (std::vector<std::string>{"Decrease the bits for Quantization!!",
                                        "(The integer exceeds the limit)"}));
    EXPECT_EQ(doc.m_nQuantBits, 16);
    EXPECT_EQ(doc.m_bQuantize, 0);
    // The report is the IIR one: a header and 40 coefficient lines, identity sections.
    EXPECT_EQ(Output(), IirReport());
    EXPECT_NE(Output().find("\r\na0 =  1.000000000\r\na1 =  0.000000000\r\n"), std::string::npos);
}

TEST_F(CoefficientsFixture, BitLengthOutsideTheRangeNeverLeavesTheDialog) {
    host.AnswerDialog(
        DialogAnswer::Ok().Check(coeffs::kIdcQuantize, 1).Text(coeffs::kIdcQuantBits, "33"));
    host.AnswerDialog(DialogAnswer::Ok().Text(coeffs::kIdcQuantBits, "x"));
    Coefficients(DialogAnswer::Ok().Text(coeffs::kIdcQuantBits, "4"));
    EXPECT_EQ(host.Dialogs()[0].failedChecks,
              (std::vector<std::string>{"Please enter an integer between 4 and 32.",
                                        "Please enter an integer."}));
    EXPECT_EQ(doc.m_nQuantBits, 4);
    EXPECT_EQ(doc.m_bQuantize, 1);
}

TEST_F(CoefficientsFixture, EvenTapCountListsOneMoreTap) {
    // HPF entered with 42 taps: designed with 41, listed with 42.
    host.ClickFormRadio(resources::kIdcHpf);
    host.AnswerDialog(DialogAnswer::Ok().Text(1028, "42"));
    view.OnCommand(resources::kIdcDesign);
    ASSERT_EQ(doc.m_nTaps, 41);
    ASSERT_EQ(doc.m_bEvenTaps, 1);
    Coefficients(DialogAnswer::Ok());
    const std::string report = Output();
    size_t lines = 0;
    for (size_t at = report.find("\r\n"); at != std::string::npos;
         at = report.find("\r\n", at + 2)) {
        ++lines;
    }
    EXPECT_EQ(lines, 43u);
    EXPECT_NE(report.find("\r\nh[ 41] ="), std::string::npos);
    EXPECT_EQ(report.find("h[ 42]"), std::string::npos);
}

} // namespace
