// The form view: construction, form exchange, command routing, and the redraw machinery of
// the plot area (immediate redraw, view timer, paint and print).
#include "app/ui/OlvexView.h"

#include <array>

#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "plots/AnalysisPlot.h"
#include "plots/PlotConventions.h"
#include "resources/AnalysisResources.h"
#include "resources/Resources.h"

namespace {

using Handler = void (COlvexView::*)();

struct CommandRoute {
    int id;
    Handler handler; // nullptr: the command is routed to the view but not built yet
};

// The view's command table: the form's buttons and the Help menu. The about command is taken
// here before the application sees it.
constexpr std::array<CommandRoute, 21> kCommandRoutes{{
    {resources::kIdcDesign, &COlvexView::OnDesign},
    {resources::kIdcFResponse, &COlvexView::OnFResponse},
    {resources::kIdcInOutWave, &COlvexView::OnInOutWave},
    {resources::kIdcFftAnalysis, &COlvexView::OnFftAnalysis},
    {resources::kIdcCoefficients, &COlvexView::OnCoefficients},
    {resources::kIdcVhdlCode, &COlvexView::OnVhdlCode},
    {resources::kIdcSaveLoad, &COlvexView::OnSaveLoad},
    {resources::kIdcRefreshView, &COlvexView::OnRefreshView},
    {resources::kIdUserWave, &COlvexView::OnUserWaveHelp},
    {resources::kIdOnlineHelp, &COlvexView::OnOnlineHelp},
    {resources::kIdUserCoeffsFormat, &COlvexView::OnUserCoeffsFormat},
    {resources::kIdAppAbout, &COlvexView::OnAbout},
    {resources::kIdMeasurements, &COlvexView::OnMeasurements},
    {resources::kIdPlotFResponse, &COlvexView::OnFResponse},
    {resources::kIdPlotInOutWave, &COlvexView::OnInOutWave},
    {resources::kIdPlotFftAnalysis, &COlvexView::OnFftAnalysis},
    {resources::kIdPlotGroupDelay, &COlvexView::OnGroupDelayView},
    {resources::kIdPlotPoleZero, &COlvexView::OnPoleZeroView},
    {resources::kIdPlotImpulse, &COlvexView::OnImpulseView},
    {resources::kIdPlotStep, &COlvexView::OnStepView},
    {resources::kIdExportPlot, &COlvexView::OnExportPlot},
}};

} // namespace

COlvexView::COlvexView(COlvexDoc& doc, platform::UiHost& host) : m_doc(doc), m_host(host) {
    m_savedDesign = CurrentDesign(); // the start's design has nothing to save
}

void COlvexView::UpdateData(bool saveToFields) {
    const platform::DialogTemplate& form = resources::FormTemplate();
    platform::DataExchange exchange(saveToFields ? platform::DataExchange::Direction::kFromControls
                                                 : platform::DataExchange::Direction::kToControls,
                                    m_host.FormControls(), form);
    exchange.Text(resources::kIdcOutput, m_strOutput);
    exchange.Radio(resources::kIdcLpf, m_nFilterSel);
    exchange.Radio(resources::kIdcFir, m_nFirIir);
}

void COlvexView::OnInitialUpdate() {
    UpdateData(false);
    ScheduleRedraw(kCommandRedrawMs);
}

void COlvexView::ScheduleRedraw(int periodMs) {
    m_bTimerDone = 0;
    m_host.SetTimer(platform::kViewTimerId, periodMs);
}

bool COlvexView::RoutesCommand(int id) {
    if (IsFileMenuCommand(id)) {
        return true;
    }
    for (const CommandRoute& route : kCommandRoutes) {
        if (route.id == id) {
            return true;
        }
    }
    return false;
}

bool COlvexView::OnCommand(int id) {
    if (IsFileMenuCommand(id)) {
        OnFileMenuCommand(id);
        UpdateTitle();
        return true;
    }
    for (const CommandRoute& route : kCommandRoutes) {
        if (route.id == id) {
            if (route.handler != nullptr) {
                (this->*route.handler)();
            }
            UpdateTitle(); // the command may have changed the design
            return true;
        }
    }
    return false;
}

void COlvexView::RedrawPlot() {
    DrawPlotArea();
    m_bRedrawPending = 0;
}

void COlvexView::DrawPlotArea() {
    std::unique_ptr<platform::DrawContext> dc = m_host.GetPlotContext();
    plots::OpenPlotSurface(*dc);
    plots::PlotNotes notes = DrawPlot(*dc, false);
    if (!notes.unstable.empty()) {
        notes.overflow.push_back(notes.unstable);
    }
    ShowOverflow(notes.overflow);
}

void COlvexView::ShowOverflow(const std::vector<std::string>& overflow) {
    if (overflow.empty()) {
        if (m_bOverflowShown) {
            m_host.SetStatusText(resources::LoadString(resources::kIdsIdleMessage));
            m_bOverflowShown = false;
        }
        return;
    }
    std::string text;
    for (const std::string& line : overflow) {
        text += (text.empty() ? "" : "; ") + line;
    }
    m_host.SetStatusText(text);
    m_bOverflowShown = true;
    m_bCursorReadout = false;
}

void COlvexView::DrawScreenPlot(platform::DrawContext& dc) {
    plots::OpenPlotSurface(dc);
    DrawPlot(dc, false);
}

plots::PlotNotes COlvexView::DrawPlot(platform::DrawContext& dc, bool printing) {
    // The analysis of the mode is recomputed from the document with the FIR/IIR choice last
    // read from the form; any other mode draws nothing.
    const plots::PlotData data = commands::ComputePlot(m_doc, *this);
    plots::DrawAnalysisPlot(dc, data, printing ? plots::Surface::kPrint : plots::Surface::kScreen);
    return data.notes;
}

void COlvexView::OnRefreshView() {
    RedrawPlot();
    m_bTimerDone = 1; // a pending delayed redraw is dropped
}

void COlvexView::OnTimer(int timerId) {
    if (timerId != platform::kViewTimerId || m_bTimerDone != 0) {
        return;
    }
    m_bTimerDone = 1;
    RedrawPlot();
    m_host.SetTimer(platform::kViewTimerId, kIdleTimerMs);
}

void COlvexView::OnPlotResized() {
    if (m_bRedrawPending != 0) {
        return;
    }
    DrawPlotArea();
}

void COlvexView::OnPaint() {
    // The plot area is not painted by the desktop: a repaint schedules a redraw instead, unless
    // a command is about to draw it itself.
    if (m_bRedrawPending != 0) {
        return;
    }
    ScheduleRedraw(kPaintRedrawMs);
    UpdateData(false);
}

void COlvexView::OnPlotMouseMove(platform::Point device, platform::Size surface) {
    const platform::Point logical = plots::ScreenPlotMapping(surface).ToLogical(device);
    const std::string text = commands::CursorReadout(m_doc, *this, logical);
    if (!text.empty()) {
        m_host.SetStatusText(text);
        m_bCursorReadout = true;
        m_bOverflowShown = false;
    } else {
        OnPlotMouseLeave();
    }
}

void COlvexView::OnPlotMouseLeave() {
    // Only a readout is taken back: other messages (the iteration limit) stay.
    if (m_bCursorReadout) {
        m_host.SetStatusText(resources::LoadString(resources::kIdsIdleMessage));
        m_bCursorReadout = false;
    }
}

void COlvexView::OnPrint(platform::DrawContext& dc) {
    plots::DrawPrintPage(dc, commands::ComputePlot(m_doc, *this));
}
