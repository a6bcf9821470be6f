// The form view: construction, form exchange, command routing to the handlers, and the redraw
// machinery of the plot area (immediate redraw, view timer, paint and print).
#include "app/ui/OlvexView.h"

#include <array>

#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "plots/AnalysisPlot.h"
#include "plots/PlotConventions.h"
#include "resources/AnalysisResources.h"
#include "resources/Resources.h"

HandlerBase::HandlerBase(COlvexView& view)
    : m_view(view), m_doc(view.GetDocument()), m_host(view.Host()) {}

COlvexView::COlvexView(COlvexDoc& doc, platform::UiHost& host)
    : m_doc(doc), m_host(host), m_design(*this), m_coefficients(*this), m_fResponse(*this),
      m_inOutWave(*this), m_fftAnalysis(*this), m_filterView(*this), m_exportPlot(*this),
      m_vhdlCode(*this), m_saveLoad(*this), m_measure(*this), m_help(*this), m_fileMenu(*this),
      m_editMenu(*this) {}

COlvexView::Route COlvexView::FindRoute(int id) {
    struct CommandRoute {
        int id;
        Route route;
    };
    // The view's command table: the form's buttons, the Plot, View and Help menus and Export
    // plot. The about command is taken here before the application sees it.
    static constexpr std::array<CommandRoute, 21> kCommandRoutes{{
        {resources::kIdcDesign, [](COlvexView& v) { v.m_design.OnDesign(); }},
        {resources::kIdcFResponse, [](COlvexView& v) { v.m_fResponse.OnFResponse(); }},
        {resources::kIdcInOutWave, [](COlvexView& v) { v.m_inOutWave.OnInOutWave(); }},
        {resources::kIdcFftAnalysis, [](COlvexView& v) { v.m_fftAnalysis.OnFftAnalysis(); }},
        {resources::kIdcCoefficients, [](COlvexView& v) { v.m_coefficients.OnCoefficients(); }},
        {resources::kIdcVhdlCode, [](COlvexView& v) { v.m_vhdlCode.OnVhdlCode(); }},
        {resources::kIdcSaveLoad, [](COlvexView& v) { v.m_saveLoad.OnSaveLoad(); }},
        {resources::kIdcRefreshView, [](COlvexView& v) { v.OnRefreshView(); }},
        {resources::kIdUserWave, [](COlvexView& v) { v.m_help.OnUserWaveHelp(); }},
        {resources::kIdOnlineHelp, [](COlvexView& v) { v.m_help.OnOnlineHelp(); }},
        {resources::kIdUserCoeffsFormat, [](COlvexView& v) { v.m_help.OnUserCoeffsFormat(); }},
        {resources::kIdAppAbout, [](COlvexView& v) { v.m_help.OnAbout(); }},
        {resources::kIdMeasurements, [](COlvexView& v) { v.m_measure.OnMeasurements(); }},
        {resources::kIdPlotFResponse, [](COlvexView& v) { v.m_fResponse.OnFResponse(); }},
        {resources::kIdPlotInOutWave, [](COlvexView& v) { v.m_inOutWave.OnInOutWave(); }},
        {resources::kIdPlotFftAnalysis, [](COlvexView& v) { v.m_fftAnalysis.OnFftAnalysis(); }},
        {resources::kIdPlotGroupDelay, [](COlvexView& v) { v.m_filterView.OnGroupDelayView(); }},
        {resources::kIdPlotPoleZero, [](COlvexView& v) { v.m_filterView.OnPoleZeroView(); }},
        {resources::kIdPlotImpulse, [](COlvexView& v) { v.m_filterView.OnImpulseView(); }},
        {resources::kIdPlotStep, [](COlvexView& v) { v.m_filterView.OnStepView(); }},
        {resources::kIdExportPlot, [](COlvexView& v) { v.m_exportPlot.OnExportPlot(); }},
    }};
    for (const CommandRoute& route : kCommandRoutes) {
        if (route.id == id) {
            return route.route;
        }
    }
    return nullptr;
}

void COlvexView::UpdateData(bool saveToFields) {
    const platform::DialogTemplate& form = resources::FormTemplate();
    platform::DataExchange exchange(saveToFields ? platform::DataExchange::Direction::kFromControls
                                                 : platform::DataExchange::Direction::kToControls,
                                    m_host.FormControls(), form);
    exchange.Text(resources::kIdcOutput, m_strOutput);
    exchange.Radio(resources::kIdcLpf, m_nFilterSel);
    exchange.Radio(resources::kIdcFir, m_nFirIir);
    // The analyses that follow show the chosen structure's coefficients with the filter type
    // and fs they were made for.
    m_doc.ShowStructure(m_nFirIir);
}

void COlvexView::OnInitialUpdate() {
    UpdateData(false);
    ScheduleRedraw(kCommandRedrawMs);
}

void COlvexView::ScheduleRedraw(int periodMs) {
    m_bTimerDone = 0;
    m_host.SetTimer(platform::kViewTimerId, periodMs);
}

bool COlvexView::OnCommand(int id) {
    if (EditMenuHandler::IsEditMenuCommand(id)) {
        m_editMenu.OnEditMenuCommand(id);
    } else if (FileMenuHandler::IsFileMenuCommand(id)) {
        m_editMenu.RunRecorded([this, id] { m_fileMenu.OnFileMenuCommand(id); });
    } else if (const Route route = FindRoute(id)) {
        m_editMenu.RunRecorded([this, route] { route(*this); });
    } else {
        return false;
    }
    m_fileMenu.UpdateTitle(); // the command may have changed the design
    return true;
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

void COlvexView::ShowLeftoverTokens(const std::vector<std::string>& leftovers) {
    std::string text = "Template tokens left in the VHDL: ";
    for (size_t i = 0; i < leftovers.size(); ++i) {
        text += (i == 0 ? "" : "; ") + leftovers[i];
    }
    m_host.SetStatusText(text);
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
