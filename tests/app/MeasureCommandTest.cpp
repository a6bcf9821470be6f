// View > Measurements through the scripted desktop, and the texts of the table and the advice.
#include <gtest/gtest.h>

#include <string>

#include "app/DesignCommands.h"
#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "dsp/Measure.h"
#include "dsp/MeasureReport.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(MeasureCommand, ShowsTheBandTableOfTheCurrentDesign) {
    support::ScriptedWindow window(support::Start::kUnstarted);
    auto& [doc, host, view] = window;

    // Before any design there is nothing to measure.
    ASSERT_TRUE(view.OnCommand(resources::kIdMeasurements));
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages().back().caption, "Measurements");
    EXPECT_FALSE(Contains(host.Messages().back().text, "Pass"));

    doc.DesignFir(0);
    view.m_bNoDesign = 0;
    ASSERT_TRUE(view.OnCommand(resources::kIdMeasurements));
    const std::string plain = host.Messages().back().text;
    EXPECT_TRUE(Contains(plain, "Pass 0.000 - 200.000: -0.004 / 0.004\n")) << plain;
    EXPECT_TRUE(Contains(plain, "Stop 250.000 - 500.000: -87.181\n")) << plain;
    EXPECT_FALSE(Contains(plain, "quantized to"));

    doc.m_bQuantize = 1;
    doc.m_nQuantBits = 12;
    ASSERT_TRUE(view.OnCommand(resources::kIdMeasurements));
    const std::string quantized = host.Messages().back().text;
    EXPECT_TRUE(Contains(quantized, "quantized to 12 bits")) << quantized;
    EXPECT_TRUE(Contains(quantized, "Stop 250.000 - 500.000: -87.181,  -45.149\n")) << quantized;
}

TEST(MeasureCommand, IirTableStatesItsBandRuleAndTheAdviceListsEveryCandidate) {
    COlvexDoc doc;
    ASSERT_TRUE(doc.DesignIir());
    const std::string text = commands::MeasurementsReport(doc, true, "\r\n");
    EXPECT_TRUE(Contains(text, "Stop 278.709 - 500.000: -20.000\r\n")) << text;
    EXPECT_TRUE(Contains(text, "first falls to -20 dB")) << text;

    const dsp::BitAdvice advice = commands::AdviseDocumentBits(doc, true, 1.0);
    ASSERT_GT(advice.bits, 0);
    const std::string table = dsp::AdviceText(advice, 1.0, "\n");
    EXPECT_EQ(
        table.rfind("Advised: " + std::to_string(advice.bits) + " bits (tolerance 1 dB)\n", 0), 0u)
        << table;
    EXPECT_TRUE(Contains(table, "\n   4  ")) << table;
    EXPECT_TRUE(Contains(table, "\n  24  ")) << table;
}

} // namespace
