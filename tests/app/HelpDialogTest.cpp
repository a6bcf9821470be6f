// The dialogs of the analysis commands and the Help menu as templates: every control lies
// inside its dialog and inside the group box that frames it, help dialogs only inform (one OK,
// nothing to enter), and the radio groups the commands exchange hold both zoom buttons.
#include <gtest/gtest.h>

#include <vector>

#include "platform/DialogTemplate.h"
#include "resources/AnalysisResources.h"

namespace {

using platform::ControlKind;
using platform::DialogTemplate;

bool Inside(const platform::Rect& inner, const platform::Rect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

TEST(DialogLayout, ControlsLieInsideTheirDialogAndGroup) {
    const struct {
        const DialogTemplate& dialog;
        bool help;
    } cases[] = {
        {resources::FreqResponseTemplate(), false}, {resources::InOutWaveTemplate(), false},
        {resources::FftResultTemplate(), false},    {resources::UserWaveHelpTemplate(), true},
        {resources::OnlineHelpTemplate(), true},    {resources::UserCoeffsFormatTemplate(), true},
        {resources::AboutTemplate(), true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dialog.title);
        const platform::Rect whole{0, 0, c.dialog.size.cx, c.dialog.size.cy};
        int ok = 0;
        for (const platform::ControlTemplate& control : c.dialog.controls) {
            ok += control.id == platform::kIdOk;
            EXPECT_TRUE(Inside(control.rect, whole)) << control.text;
            if (c.help) {
                EXPECT_NE(control.kind, ControlKind::kEdit) << control.text;
                EXPECT_NE(control.id, platform::kIdCancel);
            }
            // A control whose top-left corner is in a group box lies wholly inside it.
            for (const platform::ControlTemplate& group : c.dialog.controls) {
                if (group.kind == ControlKind::kGroupBox && &group != &control &&
                    Inside({control.rect.x, control.rect.y, 1, 1}, group.rect)) {
                    EXPECT_TRUE(Inside(control.rect, group.rect))
                        << control.text << " in " << group.text;
                }
            }
        }
        EXPECT_EQ(ok, 1);
        if (!c.help) {
            EXPECT_EQ(c.dialog.RadioGroup(resources::kIdcZoom1x),
                      (std::vector<int>{resources::kIdcZoom1x, resources::kIdcZoom10x}));
        }
    }
    EXPECT_EQ(resources::InOutWaveTemplate().RadioGroup(resources::kIdcSineWave),
              (std::vector<int>{resources::kIdcSineWave, resources::kIdcSquareWave}));
}

} // namespace
