#include "app/ui/HelpDialogs.h"

#include "plots/PlotConventions.h"
#include "resources/AnalysisResources.h"

namespace help {

CAboutDlg::CAboutDlg() : CInfoDlg(resources::AboutTemplate()) {}

void CAboutDlg::DrawPicture(int controlId, platform::DrawContext& dc) {
    if (controlId != resources::kIdcAboutIcon) {
        return;
    }
    // In the icon's own units (20 x 20): a frame, and a gain that stays flat, falls through the
    // transition band and ripples in the stop band.
    const int frame[][2] = {{1, 1}, {19, 1}, {19, 19}, {1, 19}, {1, 1}};
    const int gain[][2] = {{2, 5},   {9, 5},   {11, 8},  {12, 16},
                           {14, 15}, {15, 16}, {17, 15}, {18, 16}};
    dc.MoveTo(frame[0][0], frame[0][1]);
    for (const auto& p : frame) {
        dc.LineTo(p[0], p[1]);
    }
    plots::ScopedPen trace(dc, plots::kRedTracePen);
    dc.MoveTo(gain[0][0], gain[0][1]);
    for (const auto& p : gain) {
        dc.LineTo(p[0], p[1]);
    }
}

} // namespace help
