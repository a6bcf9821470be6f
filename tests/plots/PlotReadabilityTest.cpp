// What makes a plot readable beyond its layout: every line stays inside its frame, the response
// never runs past fs/2, the scale numbers carry the decimals their step needs, the pole-zero
// diagram keeps the unit circle large and counts what it cannot show, and the design hint leaves
// once there is a filter to show.
#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/FileCommands.h"
#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "platform/scripted/RecordingDrawContext.h"
#include "plots/AnalysisPlot.h"
#include "plots/FilterViewPlots.h"
#include "plots/FreqResponsePlot.h"
#include "plots/PlotConventions.h"
#include "plots/PlotFrame.h"
#include "plots/WavePlot.h"
#include "tests/support/ScratchFolder.h"

namespace {

using platform::Point;

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') + 1);
}

std::shared_ptr<platform::Drawing> DrawData(const plots::PlotData& data) {
    auto drawing = std::make_shared<platform::Drawing>();
    {
        platform::RecordingDrawContext dc(drawing);
        plots::DrawAnalysisPlot(dc, data, plots::Surface::kScreen);
    }
    return drawing;
}

struct Frame {
    int left, top, right, bottom;
    bool Holds(Point p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
};

// ---- Inside the frame ---------------------------------------------------------------------------

TEST(PlotReadability, EveryLineStaysInsideItsFrame) {
    // Screen origins: the response grid at (20, 0) 360 x 250; the spectrum panels at (7, 10) and
    // (7, 135), 384 x 100; the wave panels at (0, 20) and (0, 140), 400 x 100.
    const std::vector<Frame> response = {{20, 0, 380, 250}};
    const std::vector<Frame> spectra = {{7, 10, 391, 110}, {7, 135, 391, 235}};
    const std::vector<Frame> waves = {{0, 20, 400, 120}, {0, 140, 400, 240}};
    const struct {
        plots::PlotMode mode;
        const std::vector<Frame>* frames;
    } modes[] = {{plots::PlotMode::kResponse, &response}, {plots::PlotMode::kSpectra, &spectra},
                 {plots::PlotMode::kWaves, &waves},       {plots::PlotMode::kGroupDelay, &response},
                 {plots::PlotMode::kPoleZero, &response}, {plots::PlotMode::kImpulse, &response},
                 {plots::PlotMode::kStep, &response}};
    for (const auto& m : modes) {
        for (int zoom : {0, 1}) {
            for (int start : {0, 37, 100}) {
                // Ranges far below the signal: peaks and waves many times the panel's height.
                COlvexDoc doc;
                doc.DesignFir(0);
                doc.m_dGainRange = 0.001;
                doc.m_dFftMagRange = 1.0;
                doc.m_dWaveMagRange = 1.0;
                doc.m_nRespFreqZoom = doc.m_nFftFreqZoom = doc.m_nWaveTimeZoom = zoom;
                doc.m_nRespStartPos = doc.m_nFftStartPos = doc.m_nWaveStartPos = start;
                const auto drawing = DrawData(commands::ComputePlot(doc, {m.mode, false, false}));
                ASSERT_FALSE(drawing->lines.empty());
                for (const platform::RecordedLine& line : drawing->lines) {
                    const bool inside =
                        std::any_of(m.frames->begin(), m.frames->end(), [&](const Frame& f) {
                            return f.Holds(line.from) && f.Holds(line.to);
                        });
                    EXPECT_TRUE(inside) << plots::PlotModeWord(m.mode) << " zoom " << zoom
                                        << " start " << start << ": " << line.from.x << ","
                                        << line.from.y << " - " << line.to.x << "," << line.to.y;
                }
            }
        }
    }
}

// ---- Never past fs/2 ----------------------------------------------------------------------------

TEST(PlotReadability, ResponseAndGroupDelayEndAtNyquistAtAnyZoomAndStart) {
    const double fs = 1000.0;
    const std::vector<double> values(400, -1.0);
    for (int zoom : {0, 1}) {
        for (int start = 0; start <= 100; ++start) {
            plots::FreqResponseSettings settings;
            settings.freqZoom = zoom;
            settings.startPos = start;
            settings.fs = fs;
            settings.fitLabels = false;
            const plots::FreqResponseGeometry g =
                plots::ComputeFreqResponse(settings, 20, 0, values, values, {});
            const int step = zoom == 1 ? 20 : 2;
            const std::string name =
                "zoom " + std::to_string(zoom) + " start " + std::to_string(start);
            // Sample i stands for i degrees: 180 is fs/2.
            if (!g.gainCurve.empty()) {
                EXPECT_LE(g.startSample + (g.gainCurve.back().to.x - 20) / step, 180) << name;
            }
            if (!g.phaseCurve.empty()) {
                EXPECT_LE(g.startSample + (g.phaseCurve.back().to.x - 20) / step, 180) << name;
            }
            // Each frequency label stands at its frequency over the curve (within a sample), and
            // at 10x none passes fs/2. The labels follow the 14 fixed ones; the label estimate is
            // 8 units a character.
            ASSERT_GT(g.labels.size(), 15u) << name;
            for (size_t k = 14; k < g.labels.size(); ++k) {
                const double value = std::stod(g.labels[k].text);
                const int centre = g.labels[k].at.x + 4 * static_cast<int>(g.labels[k].text.size());
                const double sample = g.startSample + (centre - 20) / static_cast<double>(step);
                EXPECT_NEAR(value, sample * fs / 360.0, fs / 360.0 + 0.1 * step) << name;
                if (zoom == 1) {
                    EXPECT_LE(value, fs / 2) << name;
                }
            }
            // The cursor reads no sample past fs/2.
            for (int x = 20; x <= 380; x += 5) {
                const auto readout =
                    plots::ReadResponseAt(settings, 20, 0, values, values, Point{x, 100});
                if (readout) {
                    EXPECT_LE(readout->sample, 180) << name << " x " << x;
                }
            }
            plots::GroupDelaySettings delay;
            delay.freqZoom = zoom;
            delay.startPos = start;
            delay.fs = fs;
            const plots::CurvePlotGeometry d =
                plots::ComputeGroupDelayPlot(delay, 20, 0, values, {});
            if (!d.shown.empty()) {
                EXPECT_LE(plots::ResponseStartSample(start, zoom) +
                              (d.shown.back().to.x - 20) / step,
                          180)
                    << name;
            }
            EXPECT_EQ(d.labels.back().text, g.labels.back().text) << name;
        }
    }
    // Below the end the slider keeps its place: 10x from position 50 starts at 250 Hz.
    EXPECT_EQ(plots::ResponseStartSample(50, 1), 90);
    EXPECT_EQ(plots::ResponseStartSample(100, 1), 162);
    EXPECT_EQ(plots::ResponseStartSample(100, 0), 180);
    EXPECT_DOUBLE_EQ(plots::ResponseStartFrequency(50, 1, fs), 250.0);
    EXPECT_DOUBLE_EQ(plots::ResponseStartFrequency(100, 1, fs), 450.0);
}

// ---- Numbers for people -------------------------------------------------------------------------

TEST(PlotReadability, DecimalsFollowTheStep) {
    const struct {
        double step;
        int decimals;
    } cases[] = {{250.0, 0},  {12.5, 1}, {0.05, 2}, {0.0001, 4}, {0.25, 2},
                 {433.57, 2}, {1.0, 0},  {0.0, 2},  {-1.0, 2},   {1.0 / 3.0, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(plots::StepDecimals(c.step), c.decimals) << c.step;
    }
    EXPECT_EQ(plots::FormatStep(-0.00004, 0, 4), "0.0000"); // no "-0.0000"
    EXPECT_EQ(plots::FormatStep(-50.0, 8, 0), "     -50");
    const struct {
        double value;
        double nice;
    } nice[] = {{0.7, 1.0}, {1.0, 1.0}, {1.01, 2.0}, {3.0, 5.0}, {18.75, 20.0}, {0.0123, 0.02}};
    for (const auto& n : nice) {
        EXPECT_DOUBLE_EQ(plots::NiceCeil(n.value), n.nice) << n.value;
    }
}

TEST(PlotReadability, ScaleLabelsForATableOfRanges) {
    // Gain scale: +0.2 r, -0.5 r, -r.
    const struct {
        double range;
        const char* top;
        const char* middle;
        const char* bottom;
    } gains[] = {{100.0, "20", "-50", "-100"},
                 {0.001, "0.0002", "-0.0005", "-0.0010"},
                 {0.5, "0.10", "-0.25", "-0.50"},
                 {30.0, "6", "-15", "-30"},
                 {75.0, "15.0", "-37.5", "-75.0"}};
    const std::vector<double> values(400, 0.0);
    for (const auto& c : gains) {
        plots::FreqResponseSettings settings;
        settings.gainRange = c.range;
        settings.fitLabels = false;
        const plots::FreqResponseGeometry g =
            plots::ComputeFreqResponse(settings, 20, 0, values, values, {});
        EXPECT_EQ(Trimmed(g.labels[0].text), c.top) << c.range;
        EXPECT_EQ(Trimmed(g.labels[2].text), c.middle) << c.range;
        EXPECT_EQ(Trimmed(g.labels[3].text), c.bottom) << c.range;
    }
    // Frequency axis: fs/2 (1x) or fs/20 (10x) from the start, labelled at 1-2-5 steps of at
    // least a fifth of that span, wider when the labels would not fit (8 units a character).
    const auto texts = [](const std::vector<plots::PlotLabel>& labels, size_t from) {
        std::vector<std::string> out;
        for (size_t k = from; k < labels.size(); ++k) {
            out.push_back(labels[k].text);
        }
        return out;
    };
    using Texts = std::vector<std::string>;
    const struct {
        double fs;
        int zoom;
        int start;
        Texts labels;
    } freqs[] = {
        {1000.0, 0, 0, {"0", "100", "200", "300", "400", "500"}},
        {1000.0, 1, 0, {"0", "10", "20", "30", "40", "50"}},
        {1000.0, 1, 50, {"250", "260", "270", "280", "290", "300"}},
        {44100.0, 0, 0, {"0", "5000", "10000", "15000", "20000"}},
        {8000.0, 1, 10, {"400", "500", "600", "700", "800"}},
        {1000.0, 0, 37, {"200", "300", "400", "500", "600"}},
        {1.0e6, 0, 0, {"0", "100000", "200000", "300000", "400000", "500000"}},
        {0.3, 0, 0, {"0.00", "0.05", "0.10", "0.15"}},
    };
    for (const auto& c : freqs) {
        plots::FreqResponseSettings settings;
        settings.fs = c.fs;
        settings.freqZoom = c.zoom;
        settings.startPos = c.start;
        settings.fitLabels = false;
        const plots::FreqResponseGeometry g =
            plots::ComputeFreqResponse(settings, 20, 0, values, values, {});
        EXPECT_EQ(texts(g.labels, 14), c.labels) << c.fs << " " << c.zoom << " " << c.start;
    }
    // Time axis of the waves: a 100-sample period (1x) or a tenth of it (10x).
    const struct {
        double fs;
        int zoom;
        Texts labels;
    } times[] = {
        {1000.0, 0, {"0.00", "0.02", "0.04", "0.06", "0.08", "0.10"}},
        {1000.0, 1, {"0.000", "0.002", "0.004", "0.006", "0.008", "0.010"}},
        {44100.0, 0, {"0.0000", "0.0005", "0.0010", "0.0015", "0.0020"}},
        {1.0e6, 0, {"0.00000", "0.00002", "0.00004", "0.00006", "0.00008", "0.00010"}},
    };
    for (const auto& c : times) {
        plots::WaveSettings settings;
        settings.fs = c.fs;
        settings.timeZoom = c.zoom;
        settings.fitLabels = false;
        const plots::WaveGeometry g = plots::ComputeWave(settings, 0, 20, {}, true, {});
        EXPECT_EQ(texts(g.labels, 4), c.labels) << c.fs;
    }
}

TEST(PlotReadability, CurveScalesEndOnOneTwoOrFive) {
    const struct {
        std::vector<double> values;
        double low;
        double high;
        const char* top;
        const char* bottom;
    } cases[] = {{{15.0}, 0.0, 20.0, "20", "0"},
                 {{0.0, 1.0, -0.5, 0.25}, -1.0, 2.0, "2.0", "-1.0"},
                 {{0.003, -0.0001}, -0.001, 0.005, "0.005", "-0.001"},
                 {{0.0}, 0.0, 1.0, "1.0", "0.0"}};
    for (const auto& c : cases) {
        const plots::CurvePlotGeometry g =
            plots::ComputeTimeResponsePlot(20, 0, false, c.values, {}, false);
        EXPECT_DOUBLE_EQ(g.low, c.low);
        EXPECT_DOUBLE_EQ(g.high, c.high);
        EXPECT_EQ(Trimmed(g.labels[1].text), c.top); // after the unit "[n]"
        EXPECT_EQ(Trimmed(g.labels[3].text), c.bottom);
    }
}

// ---- Pole-zero diagram
// ---------------------------------------------------------------------------

std::vector<plots::PlotLabel> AllLabels(const plots::PoleZeroGeometry& g) {
    std::vector<plots::PlotLabel> all = g.labels;
    all.insert(all.end(), g.blueLabels.begin(), g.blueLabels.end());
    all.insert(all.end(), g.redLabels.begin(), g.redLabels.end());
    return all;
}

dsp::PoleZeroSet Zeros(std::vector<dsp::Root> zeros, std::vector<dsp::Root> poles = {}) {
    dsp::PoleZeroSet set;
    set.zeros = std::move(zeros);
    set.poles = std::move(poles);
    return set;
}

TEST(PlotReadability, PoleZeroScaleKeepsTheUnitCircleLarge) {
    const struct {
        const char* name;
        dsp::PoleZeroSet set;
        double viewRadius;
        int beyond;
    } cases[] = {
        {"inside", Zeros({{-1.0, 0.0}, {0.5, 0.5}}), 1.25, 0},
        {"just outside", Zeros({{1.2, 0.0}}), 1.35, 0},
        {"one far zero", Zeros({{-1.0, 0.0}, {40.0, 0.0}}), 1.5, 1},
        {"reciprocal pair", Zeros({{0.2, 0.0}, {5.0, 0.0}, {0.0, 5.0}}), 1.5, 2},
    };
    for (const auto& c : cases) {
        const plots::PoleZeroGeometry g = plots::ComputePoleZeroPlot(20, 0, c.set, nullptr, false);
        EXPECT_DOUBLE_EQ(g.viewRadius, c.viewRadius) << c.name;
        EXPECT_EQ(g.hiddenRoots, c.beyond) << c.name;
        // The unit circle's radius is never below 110 / 1.5 = 73 units.
        EXPECT_GE(g.unitCircle.front().from.x - g.centre.x, 73) << c.name;
        // Every mark stays inside the view.
        for (const plots::PlotSegment& s : g.idealMarks) {
            for (Point p : {s.from, s.to}) {
                EXPECT_LE(std::abs(p.x - g.centre.x), plots::kPoleZeroRadiusPixels) << c.name;
                EXPECT_LE(std::abs(p.y - g.centre.y), plots::kPoleZeroRadiusPixels) << c.name;
            }
        }
    }
    // Far roots in two directions: one arrow (3 strokes) each, with its count.
    const plots::PoleZeroGeometry g = plots::ComputePoleZeroPlot(
        20, 0, Zeros({{10.0, 0.0}, {12.0, 0.0}, {0.0, -8.0}}), nullptr, false);
    EXPECT_EQ(g.idealMarks.size(), 6u);
    const std::vector<plots::PlotLabel> all = AllLabels(g);
    const auto has = [&](const std::string& text) {
        return std::any_of(all.begin(), all.end(),
                           [&](const plots::PlotLabel& l) { return l.text == text; });
    };
    EXPECT_TRUE(has("2"));
    EXPECT_TRUE(has("1"));
    EXPECT_TRUE(has("3 beyond |z| = 1.5"));
}

TEST(PlotReadability, RepeatedRootsShareAMarkerWithTheirCount) {
    const struct {
        const char* name;
        std::vector<dsp::Root> roots;
        std::vector<int> counts; // per marker, in order of first appearance
    } cases[] = {
        {"distinct", {{0.5, 0.0}, {-0.5, 0.0}}, {1, 1}},
        {"double", {{-1.0, 0.0}, {-1.0, 1e-9}}, {2}},
        // A fourfold root found numerically spreads by about 1e-4: still one spot.
        {"fourfold spread", {{-1.0001, 0.0}, {-0.9999, 0.0}, {-1.0, 0.0001}, {-1.0, -0.0001}}, {4}},
        {"origin", std::vector<dsp::Root>(30, {0.0, 0.0}), {30}},
        // Distinct poles a pixel apart are no repeated root.
        {"close but distinct", {{0.95, 0.0}, {0.96, 0.0}, {0.95, 0.0}}, {2, 1}},
        {"far apart", {{10.0, 0.0}, {0.0, 10.0}, {11.0, 0.1}}, {2, 1}},
    };
    for (const auto& c : cases) {
        const std::vector<plots::RootMarker> markers =
            plots::GroupRoots(c.roots, {220, 125}, 88.0, 1.25);
        std::vector<int> counts;
        for (const plots::RootMarker& m : markers) {
            counts.push_back(m.count);
        }
        EXPECT_EQ(counts, c.counts) << c.name;
    }
}

// A FIR's poles: all N' - 1 at the origin, drawn as one x with its count; its zeros counted as
// numpy.roots finds them for (1 + z^-1)^4: a fourfold zero at -1, spread by about 2e-4.
TEST(PlotReadability, FirPolesAtTheOriginWithTheirCount) {
    COlvexDoc doc;
    doc.m_nTaps = 5;
    doc.DesignFir(0);
    const double binomial[] = {1.0, 4.0, 6.0, 4.0, 1.0};
    std::copy(std::begin(binomial), std::end(binomial), doc.m_aFirCoeffs);
    const plots::PlotData data =
        commands::ComputePlot(doc, {plots::PlotMode::kPoleZero, false, false});
    ASSERT_EQ(data.idealRoots.poles.size(), 4u);
    for (const dsp::Root& p : data.idealRoots.poles) {
        EXPECT_EQ(p, dsp::Root(0.0, 0.0));
    }
    const plots::PoleZeroGeometry g =
        plots::ComputePoleZeroPlot(20, 0, data.idealRoots, nullptr, false);
    // One x (2 strokes) at the centre and one o (12 sides) at -1.
    EXPECT_EQ(g.idealMarks.size(), 2u + 12u);
    const std::vector<plots::PlotLabel> all = AllLabels(g);
    const auto countAt = [&](const std::string& text, Point near) {
        return std::any_of(all.begin(), all.end(), [&](const plots::PlotLabel& l) {
            return l.text == text && std::abs(l.at.x - near.x) <= 24 &&
                   std::abs(l.at.y - near.y) <= 24;
        });
    };
    EXPECT_TRUE(countAt("4", g.centre));
    EXPECT_TRUE(countAt("4", {g.centre.x - 88, g.centre.y}));
    // The "-1" of the axis keeps clear of the zero marker there and of its count.
    const auto minusOne = std::find_if(g.labels.begin(), g.labels.end(),
                                       [](const plots::PlotLabel& l) { return l.text == "-1"; });
    ASSERT_NE(minusOne, g.labels.end());
    const plots::TextBox marker{g.centre.x - 88 - 5, g.centre.y - 5, g.centre.x - 88 + 6,
                                g.centre.y + 6};
    const plots::TextBox label{minusOne->at.x, minusOne->at.y, minusOne->at.x + 16,
                               minusOne->at.y + 16};
    EXPECT_FALSE(label.Overlaps(marker));
}

TEST(PlotReadability, AxisLabelsKeepClearOfMarkers) {
    // Zeros on the four axis points and the view's edges: no axis label overlaps a marker.
    const dsp::PoleZeroSet set =
        Zeros({{1.0, 0.0}, {-1.0, 0.0}, {0.0, 1.0}, {0.0, -1.0}, {1.25, 0.0}, {0.0, 1.25}},
              {{1.0, 0.0}, {-1.0, 0.0}, {0.0, 1.0}, {0.0, -1.0}});
    const plots::PoleZeroGeometry g = plots::ComputePoleZeroPlot(20, 0, set, nullptr, false);
    const double unit = plots::kPoleZeroRadiusPixels / g.viewRadius;
    std::vector<plots::TextBox> markers;
    for (const auto& roots : {set.zeros, set.poles}) {
        for (const dsp::Root& z : roots) {
            const int x = g.centre.x + static_cast<int>(z.real() * unit);
            const int y = g.centre.y - static_cast<int>(z.imag() * unit);
            markers.push_back({x - 4, y - 4, x + 5, y + 5});
        }
    }
    for (const plots::PlotLabel& l : g.labels) {
        if (l.text != "1" && l.text != "-1" && l.text != "j" && l.text != "-j" && l.text != "Re" &&
            l.text != "Im") {
            continue;
        }
        // The label estimate: 8 units a character, 16 high.
        const plots::TextBox box{l.at.x, l.at.y, l.at.x + 8 * static_cast<int>(l.text.size()),
                                 l.at.y + 16};
        for (const plots::TextBox& m : markers) {
            EXPECT_FALSE(box.Overlaps(m)) << "'" << l.text << "' at " << l.at.x << "," << l.at.y;
        }
    }
}

// ---- The hint
// ------------------------------------------------------------------------------------

bool ShowsHint(const plots::PlotData& data) {
    const auto drawing = DrawData(data);
    return std::any_of(
        drawing->texts.begin(), drawing->texts.end(),
        [](const platform::RecordedText& t) { return t.text == plots::kDesignHint; });
}

TEST(PlotReadability, HintLeavesOnceCoefficientsAreLoaded) {
    support::ScratchFolder folder("plot-hint");
    COlvexDoc designed;
    designed.DesignFir(0);
    const std::string path = (folder.Path() / "coeff.txt").string();
    ASSERT_EQ(commands::SaveCoefficients(designed, {false, true, path}).kind,
              commands::OutcomeKind::kFileWritten);

    for (plots::PlotMode mode : {plots::PlotMode::kResponse, plots::PlotMode::kGroupDelay,
                                 plots::PlotMode::kPoleZero, plots::PlotMode::kImpulse}) {
        // The form has never designed: the hint shows over an empty document ...
        COlvexDoc doc;
        EXPECT_TRUE(ShowsHint(commands::ComputePlot(doc, {mode, false, true})))
            << plots::PlotModeWord(mode);
        // ... and leaves once a load brings a filter, whose curve is drawn.
        int format = 0;
        ASSERT_EQ(commands::LoadCoefficients(doc, {false, path}, format).kind,
                  commands::OutcomeKind::kAccepted);
        const plots::PlotData data = commands::ComputePlot(doc, {mode, false, true});
        EXPECT_FALSE(data.state.noDesign);
        EXPECT_FALSE(ShowsHint(data)) << plots::PlotModeWord(mode);
        // The IIR structure holds no filter yet: its plot still asks for a design.
        EXPECT_TRUE(ShowsHint(commands::ComputePlot(doc, {mode, true, true})))
            << plots::PlotModeWord(mode);
    }
}

} // namespace
