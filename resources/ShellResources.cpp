// Menu, toolbar, accelerators and string table of the main frame (resource 128).
#include "resources/Resources.h"

#include <array>

namespace resources {

const std::vector<MenuItem>& MainMenu() {
    static const std::vector<MenuItem> menu{
        {0,
         "&File",
         "",
         {
             {kIdFileNew, "&New\tCtrl+N", "Start a new design with the default settings", {}},
             {kIdFileOpen, "&Open...\tCtrl+O", "Open a design file", {}},
             {kIdFileSave, "&Save\tCtrl+S", "Save the design", {}},
             {kIdFileSaveAs, "Save &As...\tCtrl+Shift+S", "Save the design under a new name", {}},
             {0, "", "", {}},
             {kIdExportPlot, "Export plot\u2026", "Write the plot as a PNG, SVG or PDF file", {}},
             {0, "", "", {}},
             // The recent designs: the frame gives them their names and hides the unused ones.
             {kIdRecentFirst, "Recent Design 1", "Open this design", {}},
             {kIdRecentFirst + 1, "Recent Design 2", "Open this design", {}},
             {kIdRecentFirst + 2, "Recent Design 3", "Open this design", {}},
             {kIdRecentFirst + 3, "Recent Design 4", "Open this design", {}},
             {0, "", "", {}},
             {kIdAppExit, "E&xit\tCtrl+Q", "Quit the application", {}},
         }},
        {0,
         "&Edit",
         "",
         {
             {kIdEditUndo, "&Undo\tCtrl+Z", "Go back to the design before the last change", {}},
             {kIdEditRedo, "&Redo\tCtrl+Y", "Make the change undone last again", {}},
         }},
        {0,
         "&Print",
         "",
         {
             {kIdFilePrint, "&Print...\tCtrl+P", "Print the plot", {}},
             {kIdFilePrintPreview, "Print Pre&view", "Display the printed page", {}},
             {kIdFilePrintSetup, "P&rint Setup...", "Change the printer and printing options", {}},
         }},
        {0,
         "&View",
         "",
         {
             {kIdViewToolbar, "&Toolbar", "Show or hide the toolbar", {}},
             {kIdViewStatusBar, "&Status Bar", "Show or hide the status bar", {}},
             {kIdMeasurements, "&Measurements", "Measured pass-band and stop-band gains", {}},
         }},
        {0,
         "P&lot",
         "",
         {
             {kIdPlotFResponse, "F-&Response...", "Gain and phase of the filter", {}},
             {kIdPlotInOutWave, "&In/Out Wave...", "The test wave and the filter's output", {}},
             {kIdPlotFftAnalysis, "&FFT Analysis...", "Spectra of the input and the output", {}},
             {0, "", "", {}},
             {kIdPlotGroupDelay, "&Group Delay", "Group delay in samples over frequency", {}},
             {kIdPlotPoleZero, "&Pole-Zero", "Poles and zeros against the unit circle", {}},
             {kIdPlotImpulse, "I&mpulse Response", "The first samples of the impulse response", {}},
             {kIdPlotStep, "&Step Response", "The first samples of the step response", {}},
         }},
        {0,
         "&Help",
         "",
         {
             {kIdOnlineHelp, "Online Help", "Where to find the online help", {}},
             {kIdUserWave, "User Wave", "The format of a user wave file", {}},
             {kIdUserCoeffsFormat, "User Coeffs Format", "The formats of coefficient files", {}},
             {kIdAppAbout, "&About pelmix1.exe...", "Program information and version", {}},
         }},
    };
    return menu;
}

const std::vector<int>& ToolbarButtons() {
    static const std::vector<int> buttons{kIdFilePrint, 0, kIdAppAbout};
    return buttons;
}

const std::vector<Accelerator>& Accelerators() {
    static const std::vector<Accelerator> table{
        {"Ctrl+N", kIdFileNew},    {"Ctrl+O", kIdFileOpen},   {"Ctrl+S", kIdFileSave},
        {"Ctrl+P", kIdFilePrint},  {"Ctrl+Z", kIdEditUndo},   {"Alt+Backspace", kIdEditUndo},
        {"Ctrl+X", kIdEditCut},    {"Shift+Del", kIdEditCut}, {"Ctrl+C", kIdEditCopy},
        {"Ctrl+Ins", kIdEditCopy}, {"Ctrl+V", kIdEditPaste},  {"Shift+Ins", kIdEditPaste},
        {"F6", kIdNextPane},       {"Shift+F6", kIdPrevPane}, {"Ctrl+Shift+S", kIdFileSaveAs},
        {"Ctrl+Q", kIdAppExit},    {"Ctrl+Shift+Z", kIdEditRedo}, {"Ctrl+Y", kIdEditRedo},
    };
    return table;
}

namespace {
struct StringEntry {
    int id;
    const char* text;
};
constexpr std::array<StringEntry, 6> kStrings{{
    {kIdrMainFrame, "Vantrel\npelmix1.exe\nOlvex\n\n\nOlvex.Document\nOlvex Document"},
    {kIdsAppTitle, "Olvex"},
    {kIdsIdleMessage, "Ready"},
    {kIdsIndicatorCaps, "CAP"},
    {kIdsIndicatorNum, "NUM"},
    {kIdsIndicatorScrl, "SCRL"},
}};
} // namespace

std::string LoadString(int id) {
    for (const StringEntry& entry : kStrings) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return {};
}

std::string DocumentString(DocString field) {
    const std::string all = LoadString(kIdrMainFrame);
    int index = static_cast<int>(field);
    std::string::size_type start = 0;
    while (index > 0) {
        const std::string::size_type next = all.find('\n', start);
        if (next == std::string::npos) {
            return {};
        }
        start = next + 1;
        --index;
    }
    const std::string::size_type end = all.find('\n', start);
    return all.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace resources
