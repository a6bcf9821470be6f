// COlvexView: the form view. It holds the form's selections, the output text, the plot mode and
// the readiness flags, routes the form's buttons and the Help menu to its command handlers, and
// owns the redraw machinery of the plot area (immediate redraw, timer, paint, print).
//
// The view is core code: it reaches the desktop only through platform::UiHost, so every command
// runs the same in the window and headless.
#pragma once

#include <string>
#include <vector>

#include "app/SessionState.h"
#include "app/VhdlCommands.h"
#include "files/DesignFile.h"
#include "platform/UiHost.h"
#include "plots/AnalysisPlot.h"
#include "vhdl/ui/VhdlDialogs.h"

class COlvexDoc;

class COlvexView : public platform::ViewEvents, public commands::SessionState {
public:
    // Timer periods of the view timer.
    static constexpr int kCommandRedrawMs = 50; // after commands, dialogs and the initial update
    static constexpr int kPaintRedrawMs = 10;   // after a repaint of the view
    static constexpr int kIdleTimerMs = 1000;   // after a delayed redraw has run

    // Plot modes.
    static constexpr int kPlotResponse = 0;
    static constexpr int kPlotSpectra = 1;
    static constexpr int kPlotWaves = 2;
    static constexpr int kPlotGroupDelay = 3;
    static constexpr int kPlotPoleZero = 4;
    static constexpr int kPlotImpulse = 5;
    static constexpr int kPlotStep = 6;

    COlvexView(COlvexDoc& doc, platform::UiHost& host);

    COlvexDoc& GetDocument() { return m_doc; }
    platform::UiHost& Host() { return m_host; }

    // ---- Form fields (the rest are the session state's) -----------------------------------------
    int m_bRedrawPending = 1; // 1 while a command is about to draw the plot area itself
    int m_bTimerDone = 0;     // 0 while the delayed redraw of the timer is still due

    // ---- Working members of VHDL generation and Save/Load ---------------------------------------
    int m_nSubstIndex = 0;         // next tap or section the coefficient tokens take
    // What the window's fixed-text warnings leave out, kept for the command line: the system's
    // reason of the last failed open or save, and the token where the last load stopped reading
    // with the number of values stored before it (empty when it ran to the end).
    std::string m_strFileReason;
    std::string m_strLoadStopToken;
    int m_nLoadStopCount = 0;

    // ---- Form exchange --------------------------------------------------------------------------
    // true: controls to fields; false: fields to controls.
    void UpdateData(bool saveToFields);

    // ---- Lifecycle and redraw -------------------------------------------------------------------
    // After the frame and the form exist: push the fields and start the first delayed redraw.
    void OnInitialUpdate();
    // Draws the plot of m_nPlotMode into the plot area now and clears m_bRedrawPending.
    void RedrawPlot();
    // Clears m_bTimerDone and (re)starts timer 1, so the timer redraws the plot once more.
    void ScheduleRedraw(int periodMs);
    void OnRefreshView();
    // The plot area changed size: the plot is drawn at its new size at once (unless a command is
    // about to draw it), so no stretched picture stays until the next redraw.
    void OnPlotResized();

    // ---- Analysis commands (plots/*Command.cpp) and the Help menu (app/HelpCommands.cpp) --------
    void OnFResponse();
    void OnInOutWave();
    void OnFftAnalysis();
    // Plot menu: the four filter views, drawn at once (plots/FilterViewCommand.cpp).
    void OnGroupDelayView();
    void OnPoleZeroView();
    void OnImpulseView();
    void OnStepView();
    void ShowFilterView(int plotMode);
    void OnUserWaveHelp();
    void OnOnlineHelp();
    void OnUserCoeffsFormat();
    void OnAbout();
    // View > Measurements: the measured gain per band (app/MeasureCommand.cpp).
    void OnMeasurements();
    // The one-line summary of the measurements into the status bar, after Design, Coefficients
    // and Load (nothing before the first design).
    void ShowMeasurementSummary();
    // The template tokens VHDL Code or Save VHDL left in the text, into the status bar.
    void ShowLeftoverTokens(const std::vector<std::string>& leftovers);

    // ---- Design (app/DesignCommand.cpp) and Coefficients (coeffs/CoefficientsCommand.cpp) -------
    void OnDesign();
    void OnCoefficients();
    // Replace m_strOutput with the report of the document's FIR or IIR coefficients; they read
    // the form first and leave pushing the text back to their caller.
    void WriteFirReport();
    void WriteIirReport();
    // Puts the prompt for the Coefficients command into the output box.
    void ShowCoeffPrompt();

    // ---- Save/Load (files/SaveLoadCommand.cpp) -------------------------------------------------
    void OnSaveLoad();
    // Print > Export plot…: the current plot as a PNG, SVG or PDF file
    // (plots/ExportPlotCommand.cpp).
    void OnExportPlot();

    // ---- VHDL Code (vhdl/VhdlCodeCommand.cpp) ---------------------------------------------------
    void OnVhdlCode();
    // Finds the template along the search path, or names it in warning 174 and asks for it with
    // the Open-file dialog; sets m_strTemplatePath when found or picked, else leaves it as it is.
    void LocateTemplate(const std::string& name);
    // The dialog's entries to the VHDL Code command: locates the architecture's template and
    // builds the text.
    commands::VhdlOutcome GenerateVhdl(const vhdl::CVhdlSourceDialog& dlg);
    // "Hardware report" in the open dialog: checks its entries, runs VHDL Code with them, then
    // synthesizes, places and routes in the background and shows the report in the output box.
    // true when the box now shows a report.
    bool OnHardwareReport(vhdl::CVhdlSourceDialog& dlg, platform::ControlAccess& controls);
    // "Save testbench" in the open dialog: checks its entries, stores them as VHDL Code does, and
    // writes the self-checking testbench in the chosen language to the file the user picks.
    void OnSaveTestbench(vhdl::CVhdlSourceDialog& dlg, platform::ControlAccess& controls);
    // One template line with the FIR or IIR tokens replaced; advance m_nSubstIndex.
    std::string SubstituteFirLine(const std::string& line);
    std::string SubstituteIirLine(const std::string& line);

    // ---- File menu (app/DesignFileMenu.cpp) ----------------------------------------------------
    // New, Open, Save, Save As and the recent designs; each that would drop unsaved changes
    // asks first. The title names the design and marks unsaved changes.
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnOpenRecent(int index);
    // The File menu's commands (New, Open, Save, Save As, the recent designs).
    static bool IsFileMenuCommand(int id);
    void OnFileMenuCommand(int id);
    // Before the window closes: false when the user cancelled (or a save they asked for failed).
    bool QueryClose();
    // The design as a design file would hold it, and whether it differs from the one last
    // saved or opened (or from the start's defaults).
    files::DesignState CurrentDesign() const;
    bool IsModified() const;
    // "NAME - Vantrel", with "*" after the name while there are unsaved changes.
    std::string WindowTitle() const;
    void UpdateTitle();
    // Opens or saves the design file at path (the recent list takes it); false when refused
    // or not written, with the message shown.
    bool OpenDesignFile(const std::string& path);
    bool SaveDesignFile(const std::string& path);

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

    // Whether the view's routing table names this id (button or menu command).
    static bool RoutesCommand(int id);

private:
    // Draws the plot of the current mode at the given origins (screen or print).
    plots::PlotNotes DrawPlot(platform::DrawContext& dc, bool printing);
    // The status bar names the parts of the hardware that saturated for the wave just drawn,
    // and takes the message back once nothing saturates.
    void ShowOverflow(const std::vector<std::string>& overflow);
    // Opens the plot area, draws the plot of the current mode and releases the area. Commands
    // that draw their own new plot call this; RedrawPlot also clears m_bRedrawPending.
    void DrawPlotArea();
    // The three actions of Save/Load, each from the name its edit pre-fills. The two saves
    // return false when the file could not be written: the command then ends at once.
    bool SaveCoefficients(const std::string& name);
    void LoadCoefficients(const std::string& name);
    bool SaveVhdl(const std::string& name);
    // Save Testbench and Export…, the same way; Export asks for the format first.
    bool SaveTestbench(const std::string& name);
    bool ExportCoefficients(const std::string& name);

    COlvexDoc& m_doc;
    platform::UiHost& m_host;
    bool m_bCursorReadout = false;    // the status bar shows the cursor readout
    bool m_bOverflowShown = false;    // the status bar shows an overflow of the hardware output
    files::DesignState m_savedDesign; // the design as last saved, opened or started
};
