// The frequency response plot through the recorder: which samples each zoom and start position
// draws and where, the clamping of the gain to the grid, the phase scale, the labels with their
// formats, the hint, the quantization caption, and the release of every pen and font.
#include "plots/FreqResponsePlot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "platform/scripted/RecordingDrawContext.h"
#include "plots/PlotConventions.h"

namespace {

using platform::Point;
using platform::RecordedLine;

constexpr int kResponseArray = 400;

struct Plot {
    std::vector<double> gain = std::vector<double>(kResponseArray, 0.0);
    std::vector<double> phase = std::vector<double>(kResponseArray, 0.0);
    plots::FreqResponseSettings settings;
    int x0 = 20;
    int y0 = 0;

    std::shared_ptr<platform::Drawing> Draw() const {
        auto drawing = std::make_shared<platform::Drawing>();
        {
            platform::RecordingDrawContext dc(drawing);
            plots::DrawFreqResponse(dc, x0, y0, gain, phase, settings);
        }
        return drawing;
    }
};

std::vector<RecordedLine> LinesWith(const platform::Drawing& d, const platform::PenSpec& pen) {
    std::vector<RecordedLine> lines;
    for (const RecordedLine& line : d.lines) {
        if (line.pen == pen) {
            lines.push_back(line);
        }
    }
    return lines;
}

const platform::RecordedText* FindText(const platform::Drawing& d, const std::string& text) {
    for (const platform::RecordedText& t : d.texts) {
        if (t.text == text) {
            return &t;
        }
    }
    return nullptr;
}

TEST(FreqResponsePlot, ZoomAndStartChooseTheSamplesDrawn) {
    struct Case {
        int zoom;
        int start;
        int gainSegments; // without the legend line
        int gainFirstX;   // offset from x0
        int gainLastX;
        int phaseSegments;
        int phaseFirstX;
        int phaseLastX;
    };
    const Case cases[] = {
        {0, 0, 179, 0, 358, 177, 2, 356},
        {0, 50, 89, 0, 178, 87, 2, 176}, // f0 = fs/4: the right half stays empty
        {0, 98, 3, 0, 6, 1, 2, 4},       // s = 176: the last phase segment
        {0, 99, 1, 0, 2, 0, 0, 0},       // s = 178: no phase, one gain segment
        {0, 100, 0, 0, 0, 0, 0, 0},      // s = 180: no curve at all
        {1, 0, 18, 0, 360, 16, 20, 340},
        {1, 100, 18, 0, 360, 16, 20, 340},
    };
    for (const Case& c : cases) {
        Plot plot;
        plot.settings.freqZoom = c.zoom;
        plot.settings.startPos = c.start;
        const auto drawing = plot.Draw();
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " start " << c.start);
        std::vector<RecordedLine> gain = LinesWith(*drawing, plots::kRedTracePen);
        std::vector<RecordedLine> phase = LinesWith(*drawing, plots::kGreenTracePen);
        // The legend lines come last, after each curve.
        ASSERT_FALSE(gain.empty());
        ASSERT_FALSE(phase.empty());
        EXPECT_EQ(gain.back().from, (Point{plot.x0 + 280, 12}));
        EXPECT_EQ(gain.back().to, (Point{plot.x0 + 310, 12}));
        EXPECT_EQ(phase.back().from, (Point{plot.x0 + 280, 32}));
        gain.pop_back();
        phase.pop_back();
        ASSERT_EQ(static_cast<int>(gain.size()), c.gainSegments);
        ASSERT_EQ(static_cast<int>(phase.size()), c.phaseSegments);
        if (c.gainSegments > 0) {
            EXPECT_EQ(gain.front().from.x, plot.x0 + c.gainFirstX);
            EXPECT_EQ(gain.back().to.x, plot.x0 + c.gainLastX);
        }
        if (c.phaseSegments > 0) {
            EXPECT_EQ(phase.front().from.x, plot.x0 + c.phaseFirstX);
            EXPECT_EQ(phase.back().to.x, plot.x0 + c.phaseLastX);
        }
        // Whatever is drawn, the grid, references and frame stay.
        EXPECT_EQ(LinesWith(*drawing, plots::kGreyGridPen).size(), 24u);
        EXPECT_EQ(LinesWith(*drawing, plots::kBlackReferencePen).size(), 2u);
        EXPECT_EQ(drawing->leakedPens, 0);
        EXPECT_EQ(drawing->leakedFonts, 0);
    }
}

TEST(FreqResponsePlot, StartSampleFollowsTheSlider) {
    // A marker in the gain array shows up exactly where the slider puts its sample.
    const struct {
        int zoom;
        int start;
        int marked; // sample that the first segment starts from
    } cases[] = {{0, 50, 90}, {0, 1, 1}, {0, 3, 5}, {1, 25, 45}, {1, 100, 162}};
    // (10x at the slider's end: the 18 samples shown end at fs/2, sample 180.)
    for (const auto& c : cases) {
        Plot plot;
        plot.settings.freqZoom = c.zoom;
        plot.settings.startPos = c.start;
        plot.gain[static_cast<size_t>(c.marked)] = -50.0; // half the range: 104 px below 0 dB
        plot.phase[static_cast<size_t>(c.marked + 1)] = 1.0;
        const auto drawing = plot.Draw();
        const auto gain = LinesWith(*drawing, plots::kRedTracePen);
        const auto phase = LinesWith(*drawing, plots::kGreenTracePen);
        EXPECT_EQ(gain.front().from.y, 41 + 104) << c.start;
        EXPECT_EQ(gain.front().to.y, 41) << c.start;
        EXPECT_EQ(phase.front().from.y, 145 - 26) << c.start; // 1 rad: 26.5 px above 0 rad
    }
}

TEST(FreqResponsePlot, GainIsClampedToTheGridAndPhaseScalesByPi) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double range;
        double gain;
        int y; // at origin (20, 0): row 2 (0 dB) is y 41, the bottom row y 250
    } gains[] = {
        {100.0, 0.0, 41},    {100.0, 20.0, 0},     {100.0, 25.0, 0},     {100.0, 1e9, 0},
        {100.0, -50.0, 145}, {100.0, -100.0, 249}, {100.0, -100.5, 249}, {100.0, -inf, 249},
        {50.0, -50.0, 249},  {50.0, -25.0, 145},   {10.0, 1.0, 21},      {100.0, std::nan(""), 41},
    };
    for (const auto& c : gains) {
        Plot plot;
        plot.settings.gainRange = c.range;
        plot.gain[0] = c.gain;
        const auto gain = LinesWith(*plot.Draw(), plots::kRedTracePen);
        EXPECT_EQ(gain.front().from.y, c.y) << c.gain << " dB in a range of " << c.range;
    }
    const struct {
        double phase;
        int y; // row 7 (0 rad) is y 145; pi sits on row 3 (y 62)
    } phases[] = {{0.0, 145}, {3.1415, 62}, {-3.1415, 228}, {1.5707, 104}, {-1.5707, 186}};
    for (const auto& c : phases) {
        Plot plot;
        plot.phase[1] = c.phase;
        const auto phase = LinesWith(*plot.Draw(), plots::kGreenTracePen);
        EXPECT_EQ(phase.front().from.y, c.y) << c.phase;
    }
}

TEST(FreqResponsePlot, AGainRangeOfZeroOrBelowDrawsNoGain) {
    for (double range : {0.0, -10.0}) {
        Plot plot;
        plot.settings.gainRange = range;
        const auto drawing = plot.Draw();
        // Only the legend line is left of the gain; the grid, the phase and the labels stay.
        EXPECT_EQ(LinesWith(*drawing, plots::kRedTracePen).size(), 1u) << range;
        EXPECT_EQ(LinesWith(*drawing, plots::kGreenTracePen).size(), 178u) << range;
        EXPECT_NE(FindText(*drawing, "[dB]"), nullptr);
    }
}

TEST(FreqResponsePlot, LabelsWithTheirFormatsAndPositions) {
    const struct {
        int zoom;
        int start;
        int y0;
        std::vector<std::pair<std::string, Point>> labels;
    } cases[] = {
        {1,
         0,
         0,
         {{"     20", {-40, -5}},
          {"  0", {-20, 36}},
          {"     -50", {-45, 140}},
          {"    -100", {-45, 245}},
          {"  pai ", {407, 57}},
          {" -pai ", {407, 224}},
          // Frequencies centred under their places, 72 units (10 Hz) apart: "0" moved right
          // from 17 to keep a blank (7) after the gain scale's "-100" (ink to 11), "50" moved
          // left from 373 to end one blank before "[Hz]" at 390.
          {"0", {18, 250}},
          {"30", {229, 250}},
          {"50", {369, 250}},
          {"[Hz]", {390, 260}}}},
        // Print origin (20, 20): the phase labels move down with the rows, not sideways.
        {0,
         50,
         20,
         {{"300", {46, 270}},
          {"500", {190, 270}},
          {"700", {334, 270}},
          {"  pai ", {407, 77}},
          {"     20", {-40, 15}}}},
    };
    for (const auto& c : cases) {
        Plot plot;
        plot.settings.freqZoom = c.zoom;
        plot.settings.startPos = c.start;
        plot.y0 = c.y0;
        const auto drawing = plot.Draw();
        for (const auto& [text, at] : c.labels) {
            const platform::RecordedText* found = FindText(*drawing, text);
            ASSERT_NE(found, nullptr) << "'" << text << "'";
            EXPECT_EQ(found->at, at) << "'" << text << "'";
            EXPECT_EQ(found->font, plots::LabelFont());
            EXPECT_EQ(found->color, plots::kBlack);
            EXPECT_TRUE(found->transparent);
        }
        EXPECT_EQ(FindText(*drawing, plots::kDesignHint), nullptr);
    }
    Plot plot;
    plot.settings.noDesign = true;
    const auto drawing = plot.Draw();
    const platform::RecordedText* hint = FindText(*drawing, plots::kDesignHint);
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->at, (Point{120, 87}));
}

TEST(QuantCaption, OnlyWhileQuantizingWithTheBitsInRed) {
    // Each word starts where the font lets it: at x + 75 and x + 105 in a font narrow enough
    // (5 units a character), further right, one blank after the word before, in a wider one
    // (the recorder's default font: 8 units a character).
    platform::LogicalFont narrow = plots::LabelFont();
    narrow.width = 5;
    const std::optional<platform::LogicalFont> contextFont;
    const struct {
        bool quantize;
        int bits;
        std::optional<platform::LogicalFont> font;
        std::vector<std::string> texts;
        std::vector<Point> at;
    } cases[] = {
        {false, 16, contextFont, {}, {}},
        {true, 16, narrow, {"Quantized by", "16", "bits"}, {{40, 5}, {115, 5}, {145, 5}}},
        {true, 16, contextFont, {"Quantized by", "16", "bits"}, {{40, 5}, {144, 5}, {168, 5}}},
        // The blank of " 8" may stand in the gap; its digit keeps the distance.
        {true, 8, contextFont, {"Quantized by", " 8", "bits"}, {{40, 5}, {136, 5}, {160, 5}}}};
    for (const auto& c : cases) {
        auto drawing = std::make_shared<platform::Drawing>();
        {
            platform::RecordingDrawContext dc(drawing);
            std::optional<plots::ScopedFont> font;
            if (c.font) {
                font.emplace(dc, *c.font);
            }
            plots::DrawQuantCaption(dc, 40, 5, c.quantize, c.bits);
        }
        ASSERT_EQ(drawing->texts.size(), c.texts.size());
        const platform::Rgb colors[] = {plots::kBlack, plots::kRed, plots::kBlack};
        for (size_t i = 0; i < c.texts.size(); ++i) {
            EXPECT_EQ(drawing->texts[i].text, c.texts[i]);
            EXPECT_EQ(drawing->texts[i].at, c.at[i]) << c.texts[i];
            EXPECT_EQ(drawing->texts[i].color, colors[i]) << c.texts[i];
        }
    }
}

} // namespace
