// An IIR cascade that quantization makes unstable, on the scripted desktop: the F-Response view,
// the status bar and View > Measurements name every unstable section, and no "nan" or "inf"
// reaches any of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "app/OlvexDoc.h"
#include "app/ViewCommands.h"
#include "app/ui/OlvexView.h"
#include "coeffs/ui/CoeffDialog.h"
#include "platform/scripted/RecordingDrawContext.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/DesignResources.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::DialogAnswer;

// A narrow low-pass of six sections with their poles close to z = 1: six bits put the poles of
// some of them on the unit circle.
constexpr const char* kNarrowCutoff = "40";
constexpr const char* kSections = "6";

struct UnstableFixture : support::ScriptedWindowTest {
    UnstableFixture() {
        doc.m_fnConsole = [](const std::string&) {};
    }
    void Run(int command) {
        EXPECT_TRUE(view.OnCommand(command));
        EXPECT_EQ(host.UnansweredDialogs(), 0) << "a scripted dialog never came up";
    }
    void DesignNarrowIir() {
        host.ClickFormRadio(resources::kIdcLpf);
        host.ClickFormRadio(resources::kIdcIir);
        host.AnswerDialog(DialogAnswer::Ok(design::kIddIirParameters)
                              .Text(design::kIdcCutoff, kNarrowCutoff)
                              .Text(design::kIdcIirSections, kSections));
        Run(resources::kIdcDesign);
    }
    void Quantize(const char* bits) {
        host.AnswerDialog(DialogAnswer::Ok(coeffs::kIddCoefficients)
                              .Check(coeffs::kIdcQuantize, 1)
                              .Text(coeffs::kIdcQuantBits, bits));
        Run(resources::kIdcCoefficients);
    }
    // Plot > F-Response, its dialog taken as it opens.
    void Response() {
        host.AnswerDialog(DialogAnswer::Ok());
        Run(resources::kIdPlotFResponse);
    }
    bool Drawn(const std::string& text) const {
        const auto& texts = host.Drawings().back()->texts;
        return std::any_of(texts.begin(), texts.end(),
                           [&](const platform::RecordedText& t) { return t.text == text; });
    }
};

// "nan", "inf", "-inf" as printf writes them, as words.
bool NotFiniteIn(const std::string& text) {
    static const std::regex kNotFinite("\\b(nan|inf)\\b", std::regex::icase);
    return std::regex_search(text, kNotFinite);
}

TEST_F(UnstableFixture, EveryViewNamesEveryUnstableSectionAndNoNumberIsNan) {
    DesignNarrowIir();
    Quantize("16");
    ASSERT_TRUE(commands::UnstableSectionsOf(doc, true).empty()) << "16 bits keep it stable";
    Response();
    for (const auto& t : host.Drawings().back()->texts) {
        EXPECT_EQ(t.text.find("unstable"), std::string::npos) << t.text;
    }

    Quantize("6");
    const std::vector<int> sections = commands::UnstableSectionsOf(doc, true);
    ASSERT_FALSE(sections.empty()) << "the example must be unstable at 6 bits";
    std::string named;
    for (int k : sections) {
        named += (named.empty() ? "" : "; ") + ("unstable: section " + std::to_string(k));
    }
    Response();
    // The F-Response view (a line per section) and the status bar name every unstable section.
    for (int k : sections) {
        EXPECT_TRUE(Drawn("unstable: section " + std::to_string(k))) << k;
    }
    ASSERT_FALSE(host.StatusTexts().empty());
    EXPECT_NE(host.StatusTexts().back().find(named), std::string::npos)
        << host.StatusTexts().back();
    for (const std::string& status : host.StatusTexts()) {
        EXPECT_FALSE(NotFiniteIn(status)) << status;
    }

    // View > Measurements refuses the quantized gains and names the sections instead.
    Run(resources::kIdMeasurements);
    ASSERT_FALSE(host.Messages().empty());
    const std::string& report = host.Messages().back().text;
    EXPECT_FALSE(NotFiniteIn(report)) << report;
    for (int k : sections) {
        EXPECT_NE(report.find("unstable: section " + std::to_string(k)), std::string::npos)
            << report;
    }

    // Back to a stable word length: the note goes from the plot.
    Quantize("16");
    Response();
    EXPECT_FALSE(Drawn("unstable: section " + std::to_string(sections[0])));
}

} // namespace
