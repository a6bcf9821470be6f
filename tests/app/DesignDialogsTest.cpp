// The Design command's dialogs: every FIR and IIR template with its title, position, labels and
// ranges, the read-only fields and "(Adjusted)" marks of the adjustment result dialogs, and the
// pictures (their contents, kept inside the picture, every pen and font released).
#include "app/ui/DesignDialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/DesignPictures.h"
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "platform/scripted/RecordingDrawContext.h"

namespace {

using design::FirDialogKind;

// The static texts of a template, in order.
std::vector<std::string> Statics(const platform::DialogTemplate& t) {
    std::vector<std::string> texts;
    for (const platform::ControlTemplate& c : t.controls) {
        if (c.kind == platform::ControlKind::kStaticText) {
            texts.push_back(c.text);
        }
    }
    return texts;
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

bool ReadOnly(const platform::DialogTemplate& t, int id) {
    const platform::ControlTemplate* c = t.Find(id);
    EXPECT_NE(c, nullptr) << id;
    return c != nullptr && (c->style & platform::kStyleReadOnly) != 0;
}

TEST(DesignDialogs, FirTemplatesPerTypeAndKind) {
    const struct {
        int type;
        const char* title;
        const char* tapTitle;
        const char* edgeTitle;
        std::vector<std::string> edgeLabels;
        std::vector<int> adjustedEdges;
    } cases[] = {
        {kLpf,
         "FIR Low Pass Filter",
         "LPF (Auto Tap Count Adjustment)",
         "LPF (Auto Band Edge Adjustment)",
         {"Pass band edge (fc1) =", "Stop band edge (fc2) ="},
         {design::kIdcFc2}},
        {kHpf,
         "FIR High Pass Filter",
         "HPF (Auto Tap Count Adjustment)",
         "HPF (Auto Band Edge Adjustment)",
         {"Stop band edge (fc1) =", "Pass band edge (fc2) ="},
         {design::kIdcFc1}},
        {kBrf,
         "FIR Band Rejection Filter",
         "BRF (Auto Tap Adjustment)",
         "BRF (Auto Band Edge Adjustment)",
         {"Pass band edge (fc1) =", "Stop band edge (fc2) =", "Stop band edge (fc3) =",
          "Pass band edge (fc4) ="},
         {design::kIdcFc2, design::kIdcFc3}},
        {kBpf,
         "FIR Band Pass Filter",
         "BPF (Auto Tap Count Adjustment)",
         "BPF (Auto Band Edge Adjustment)",
         {"Stop band edge (fc1) =", "Pass band edge (fc2) =", "Pass band edge (fc3) =",
          "Stop band edge (fc4) ="},
         {design::kIdcFc1, design::kIdcFc4}},
    };
    const int allFields[] = {design::kIdcFs,  design::kIdcFc1,       design::kIdcFc2,
                             design::kIdcFc3, design::kIdcFc4,       design::kIdcTaps,
                             design::kIdcRR,  design::kIdcMultiplier};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        const bool threeBand = design::IsThreeBand(c.type);
        const platform::DialogTemplate params =
            design::FirDialogTemplate(c.type, FirDialogKind::kParameters);
        EXPECT_EQ(params.title, c.title);
        EXPECT_EQ(params.screenPosition, (platform::Point{100, 100}));
        EXPECT_FALSE(params.centered);
        EXPECT_NE(params.Find(platform::kIdCancel), nullptr);
        const std::vector<std::string> labels = Statics(params);
        for (const std::string& label : c.edgeLabels) {
            EXPECT_TRUE(Has(labels, label)) << label;
        }
        for (const char* label :
             {"Sampling F (fs) =", "Tap count (N) =", "RR = K*(d1/d2) =", "Multiple coeffs by"}) {
            EXPECT_TRUE(Has(labels, label)) << label;
        }
        EXPECT_FALSE(Has(labels, design::kAdjustedLabel));
        EXPECT_EQ(params.Find(design::kIdcFc3) != nullptr, threeBand);
        EXPECT_EQ(params.Find(design::kIdcFc4) != nullptr, threeBand);

        const platform::DialogTemplate taps =
            design::FirDialogTemplate(c.type, FirDialogKind::kTapAdjustment);
        const platform::DialogTemplate edges =
            design::FirDialogTemplate(c.type, FirDialogKind::kEdgeAdjustment);
        EXPECT_EQ(taps.title, c.tapTitle);
        EXPECT_EQ(edges.title, c.edgeTitle);
        for (const platform::DialogTemplate* result : {&taps, &edges}) {
            EXPECT_EQ(result->screenPosition, (platform::Point{100, 100}));
            EXPECT_EQ(result->Find(platform::kIdCancel), nullptr) << "only an OK button";
            EXPECT_NE(result->Find(platform::kIdOk), nullptr);
        }
        for (int id : allFields) {
            if (params.Find(id) == nullptr) {
                continue;
            }
            EXPECT_FALSE(ReadOnly(params, id)) << id;
            EXPECT_EQ(ReadOnly(taps, id), id != design::kIdcTaps) << id;
            const bool adjusted = std::count(c.adjustedEdges.begin(), c.adjustedEdges.end(), id);
            EXPECT_EQ(ReadOnly(edges, id), !adjusted) << id;
        }
        const auto marks = [](const platform::DialogTemplate& t) {
            const std::vector<std::string> texts = Statics(t);
            return std::count(texts.begin(), texts.end(), design::kAdjustedLabel);
        };
        EXPECT_EQ(marks(taps), 1);
        EXPECT_EQ(marks(edges), static_cast<long>(c.adjustedEdges.size()));
    }
}

TEST(DesignDialogs, IirTemplatesAndSectionRanges) {
    const struct {
        int type;
        const char* title;
        platform::Point position;
        const char* hint;
        int low;
    } cases[] = {
        {kLpf, "IIR Low Pass Filter", {100, 100}, "(1 to 8)", 1},
        {kHpf, "IIR High Pass Filter", {100, 100}, "(1 to 8)", 1},
        {kBrf, "IIR Band Rejection Filter", {150, 180}, "(2, 4, 6, 8)", 2},
        {kBpf, "IIR Band Pass Filter", {100, 100}, "(2, 4, 6, 8)", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        design::CIirDesignDialog dlg(c.type);
        const platform::DialogTemplate& t = dlg.Template();
        EXPECT_EQ(t.title, c.title);
        EXPECT_EQ(t.screenPosition, c.position);
        const std::vector<std::string> labels = Statics(t);
        EXPECT_TRUE(Has(labels, c.hint));
        EXPECT_TRUE(Has(labels, "Number of IIRs (n) ="));
        EXPECT_TRUE(Has(labels, "Ripple (Ac) ="));
        EXPECT_TRUE(Has(labels, "[dB]"));
        const bool threeBand = design::IsThreeBand(c.type);
        EXPECT_EQ(Has(labels, "Cut off (fc) ="), !threeBand);
        EXPECT_EQ(Has(labels, "Cut off 1 (fc1) ="), threeBand);
        EXPECT_EQ(Has(labels, "Cut off 2 (fc2) ="), threeBand);
        EXPECT_EQ(t.Find(design::kIdcCutoff) != nullptr, !threeBand);

        // The section count is checked against the type's range.
        COlvexDoc doc;
        dlg.Fill(doc);
        platform::ControlValues controls(t);
        platform::OpenDialog(dlg, controls);
        for (int n : {c.low - 1, 9}) {
            controls.SetText(design::kIdcIirSections, std::to_string(n));
            const auto failure = platform::AcceptDialog(dlg, controls);
            ASSERT_TRUE(failure.has_value()) << n;
            EXPECT_EQ(failure->message, files::IntRangeMessage(c.low, 8));
        }
        controls.SetText(design::kIdcIirSections, std::to_string(c.low));
        EXPECT_FALSE(platform::AcceptDialog(dlg, controls).has_value());
    }
}

TEST(DesignDialogs, AdjustChoiceDialog) {
    design::CAdjustChoiceDialog choice;
    const platform::DialogTemplate& t = choice.Template();
    EXPECT_EQ(t.title, "Warning!");
    EXPECT_EQ(t.RadioGroup(design::kIdcAdjustTaps),
              (std::vector<int>{design::kIdcAdjustTaps, design::kIdcAdjustEdges}));
    EXPECT_EQ(t.Find(platform::kIdCancel), nullptr);
    const std::vector<std::string> lines = Statics(t);
    for (const char* line :
         {"Not executable!!", "Choose one of the following", "for Auto Parameter Adjustment",
          "** If you design a filter with LONG Tap Count, **",
          "** (fc2-fc1) and (fc4-fc3) had better be SMALL. **"}) {
        EXPECT_TRUE(Has(lines, line)) << line;
    }
}

// Draws a picture into a recorder and returns the record.
std::shared_ptr<platform::Drawing> Record(platform::Dialog& dialog, int pictureId) {
    auto drawing = std::make_shared<platform::Drawing>();
    {
        platform::RecordingDrawContext dc(drawing);
        dialog.DrawPicture(pictureId, dc);
    }
    return drawing;
}

bool Drew(const platform::Drawing& d, const std::string& text) {
    return std::any_of(d.texts.begin(), d.texts.end(),
                       [&](const platform::RecordedText& t) { return t.text == text; });
}

void ExpectInside(const platform::Drawing& d, platform::Size size) {
    EXPECT_FALSE(d.lines.empty());
    for (const platform::RecordedLine& line : d.lines) {
        for (platform::Point p : {line.from, line.to}) {
            EXPECT_TRUE(p.x >= 0 && p.x < size.cx && p.y >= 0 && p.y < size.cy)
                << p.x << "," << p.y;
        }
    }
    for (const platform::RecordedText& text : d.texts) {
        EXPECT_TRUE(text.at.x >= 0 && text.at.y >= 0 && text.at.y + text.font.height <= size.cy)
            << text.text;
    }
    EXPECT_EQ(d.leakedPens, 0);
    EXPECT_EQ(d.leakedFonts, 0);
}

TEST(DesignDialogs, PicturesShowTheTypesEdgesAndRipples) {
    for (int type = kLpf; type <= kBpf; ++type) {
        SCOPED_TRACE(type);
        const bool threeBand = design::IsThreeBand(type);
        for (FirDialogKind kind : {FirDialogKind::kParameters, FirDialogKind::kEdgeAdjustment}) {
            design::CFirDesignDialog fir(type, kind);
            const platform::ControlTemplate* picture = fir.Template().Find(design::kIdcTypePicture);
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(picture->rect.width, design::kFirPictureSize.cx);
            EXPECT_EQ(picture->rect.height, design::kFirPictureSize.cy);
            const auto drawing = Record(fir, design::kIdcTypePicture);
            ExpectInside(*drawing, design::kFirPictureSize);
            EXPECT_TRUE(Drew(*drawing, "H(z) = h0 + h1 z^-1 + ... + hN-1 z^-(N-1)"));
            for (const char* text : {"d1", "d2", "fc1", "fc2", "z^-1", "hN-1"}) {
                EXPECT_TRUE(Drew(*drawing, text)) << text;
            }
            EXPECT_EQ(Drew(*drawing, "fc3"), threeBand);
            EXPECT_EQ(Drew(*drawing, "fc4"), threeBand);
        }

        design::CIirDesignDialog iir(type);
        const auto common = Record(iir, design::kIdcCommonPicture);
        ExpectInside(*common, design::kIirCommonPictureSize);
        EXPECT_TRUE(Drew(*common, "IIR n"));
        const auto response = Record(iir, design::kIdcTypePicture);
        ExpectInside(*response, design::kIirTypePictureSize);
        EXPECT_TRUE(Drew(*response, "Ac [dB]"));
        EXPECT_EQ(Drew(*response, "fc"), !threeBand);
        EXPECT_EQ(Drew(*response, "fc1"), threeBand);
        EXPECT_EQ(Drew(*response, "fc2"), threeBand);
    }
}

} // namespace
