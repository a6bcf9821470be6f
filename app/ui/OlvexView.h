// COlvexView: the form view. It holds the form's selections, the output text, the plot mode and
// the readiness flags, routes the form's buttons and the menus to its command handlers (one per
// dialog, each beside its dialog in a ui/ folder), and owns the redraw machinery of the plot area
// (immediate redraw, timer, paint, print).
//
// The view is core code: it reaches the desktop only through platform::UiHost, so every command
// runs the same in the window and headless.
#pragma once

#include <string>
#include <vector>

#include "app/SessionState.h"
#include "app/ui/DesignHandler.h"
#include "app/ui/EditMenuHandler.h"
#include "app/ui/FileMenuHandler.h"
#include "app/ui/HelpHandler.h"
#include "app/ui/MeasureHandler.h"
#include "coeffs/ui/CoefficientsHandler.h"
#include "files/ui/SaveLoadHandler.h"
#include "platform/UiHost.h"
#include "plots/AnalysisPlot.h"
#include "plots/ui/ExportPlotHandler.h"
#include "plots/ui/FResponseHandler.h"
#include "plots/ui/FftAnalysisHandler.h"
#include "plots/ui/FilterViewHandler.h"
#include "plots/ui/InOutWaveHandler.h"
#include "vhdl/ui/VhdlCodeHandler.h"

class COlvexDoc;

class COlvexView : public platform::ViewEvents, public commands::SessionState {
public:
    // Timer periods of the view timer.
    static constexpr int kCommandRedrawMs = 50; // after commands, dialogs and the initial update
    static constexpr int kPaintRedrawMs = 10;   // after a repaint of the view
    static constexpr int kIdleTimerMs = 1000;   // after a delayed redraw has run

    COlvexView(COlvexDoc& doc, platform::UiHost& host);

    COlvexDoc& GetDocument() { return m_doc; }
    platform::UiHost& Host() { return m_host; }

    // ---- Form fields (the rest are the session state's) -----------------------------------------
    int m_bRedrawPending = 1; // 1 while a command is about to draw the plot area itself
    int m_bTimerDone = 0;     // 0 while the delayed redraw of the timer is still due

    // The reason the system gave for the last file that could not be opened or written, by any
    // command: the window's fixed-text warnings leave it out.
    std::string m_strFileReason;

    // The structure (0 FIR, 1 IIR) of the design that stands: the one its last Design, Load,
    // Open or New made. The structure radio chooses what the next Design makes and which filter
    // the analyses show; the design file and the title's change mark take this one, so a radio
    // clicked without designing changes nothing that is saved.
    int m_nDesignStructure = 0;

    // ---- Form exchange --------------------------------------------------------------------------
    // true: controls to fields; false: fields to controls.
    void UpdateData(bool saveToFields);

    // ---- Lifecycle and redraw -------------------------------------------------------------------
    // After the frame and the form exist: push the fields and start the first delayed redraw.
    void OnInitialUpdate();
    // Draws the plot of m_nPlotMode into the plot area now and clears m_bRedrawPending.
    void RedrawPlot();
    // Opens the plot area, draws the plot of the current mode and releases the area. Commands
    // that draw their own new plot call this; RedrawPlot also clears m_bRedrawPending.
    void DrawPlotArea();
    // Clears m_bTimerDone and (re)starts timer 1, so the timer redraws the plot once more.
    void ScheduleRedraw(int periodMs);
    void OnRefreshView();
    // The plot area changed size: the plot is drawn at its new size at once (unless a command is
    // about to draw it), so no stretched picture stays until the next redraw.
    void OnPlotResized();
    // The template tokens VHDL Code or Save VHDL left in the text, into the status bar.
    void ShowLeftoverTokens(const std::vector<std::string>& leftovers);

    // ---- The handlers other handlers, the frame and the tests reach -----------------------------
    CoefficientsHandler& Coefficients() { return m_coefficients; }
    MeasureHandler& Measure() { return m_measure; }
    VhdlCodeHandler& VhdlCode() { return m_vhdlCode; }
    FileMenuHandler& FileMenu() { return m_fileMenu; }
    EditMenuHandler& EditMenu() { return m_editMenu; }

    // ---- ViewEvents -----------------------------------------------------------------------------
    bool OnCommand(int id) override;
    void OnTimer(int timerId) override;
    void OnPaint() override;
    void OnPrint(platform::DrawContext& dc) override;
    // Draws the plot of the current mode as the plot area shows it, fitted to the context's
    // surface: the plot area's redraw and the plot files of vantrel-cli.
    void DrawScreenPlot(platform::DrawContext& dc);
    // Over the frequency response, the status bar shows the frequency, gain and phase under the
    // mouse; elsewhere, and when the mouse leaves, the idle text.
    void OnPlotMouseMove(platform::Point device, platform::Size surface) override;
    void OnPlotMouseLeave() override;

private:
    // The command's handler call for an id of the routing table (nullptr: not the view's).
    using Route = void (*)(COlvexView&);
    static Route FindRoute(int id);
    // Draws the plot of the current mode at the given origins (screen or print).
    plots::PlotNotes DrawPlot(platform::DrawContext& dc, bool printing);
    // The status bar names the parts of the hardware that saturated for the wave just drawn,
    // and takes the message back once nothing saturates.
    void ShowOverflow(const std::vector<std::string>& overflow);

    COlvexDoc& m_doc;
    platform::UiHost& m_host;
    bool m_bCursorReadout = false; // the status bar shows the cursor readout
    bool m_bOverflowShown = false; // the status bar shows an overflow of the hardware output

    // One handler per dialog or menu; each reaches the view through its public members.
    DesignHandler m_design;
    CoefficientsHandler m_coefficients;
    FResponseHandler m_fResponse;
    InOutWaveHandler m_inOutWave;
    FftAnalysisHandler m_fftAnalysis;
    FilterViewHandler m_filterView;
    ExportPlotHandler m_exportPlot;
    VhdlCodeHandler m_vhdlCode;
    SaveLoadHandler m_saveLoad;
    MeasureHandler m_measure;
    HelpHandler m_help;
    FileMenuHandler m_fileMenu;
    EditMenuHandler m_editMenu; // after the File menu, whose design it compares
};
