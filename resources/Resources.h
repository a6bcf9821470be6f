// Resource ids and the resources of the application shell: the form's template 101, the menu,
// the toolbar, the accelerators and the string table. Other dialogs keep their templates beside
// their commands and use the ids declared with them.
#pragma once

#include <string>
#include <vector>

#include "platform/DialogTemplate.h"

namespace resources {

// ---- Resource ids -----------------------------------------------------------------------------
constexpr int kIdrMainFrame = 128; // menu, toolbar, accelerators, document string
constexpr int kIddForm = 101;
constexpr int kIdbPlotArea = 130; // the plain white bitmap of the plot area

// ---- Form controls ----------------------------------------------------------------------------
constexpr int kIdcOutput = 1001;
constexpr int kIdcInOutWave = 1002;
constexpr int kIdcCoefficients = 1003;
constexpr int kIdcVhdlCode = 1004;
constexpr int kIdcDesign = 1005;
constexpr int kIdcFResponse = 1006;
constexpr int kIdcFftAnalysis = 1007;
constexpr int kIdcLpf = 1010; // start of the filter-type radio group
constexpr int kIdcHpf = 1011;
constexpr int kIdcBpf = 1012;
constexpr int kIdcBrf = 1013;
constexpr int kIdcFir = 1014; // start of the structure radio group
constexpr int kIdcIir = 1015;
constexpr int kIdcCic = 1016; // the third structure: a cascaded integrator-comb filter
constexpr int kIdcPlotArea = 1018;
constexpr int kIdcRefreshView = 1030;
constexpr int kIdcSaveLoad = 1031;

// ---- Menu commands of the view ------------------------------------------------------------------
constexpr int kIdUserWave = 32771;
constexpr int kIdOnlineHelp = 32772;
constexpr int kIdUserCoeffsFormat = 32773;
constexpr int kIdMeasurements = 32774; // View > Measurements
// The Plot menu: the three analysis plots, then the four filter views.
constexpr int kIdPlotFResponse = 32840;
constexpr int kIdPlotInOutWave = 32841;
constexpr int kIdPlotFftAnalysis = 32842;
constexpr int kIdPlotGroupDelay = 32843;
constexpr int kIdPlotPoleZero = 32844;
constexpr int kIdPlotImpulse = 32845;
constexpr int kIdPlotStep = 32846;
constexpr int kIdExportPlot = 32820; // File > Export plot…
// File menu: Save As and the recent designs (kRecentFileCount entries from kIdRecentFirst).
constexpr int kIdFileSaveAs = 32800;
constexpr int kIdRecentFirst = 32801;

// ---- The framework's command ids ----------------------------------------------------------------
constexpr int kIdFileNew = 0xE100;
constexpr int kIdFileOpen = 0xE101;
constexpr int kIdFileSave = 0xE103;
constexpr int kIdFilePrintSetup = 0xE106;
constexpr int kIdFilePrint = 0xE107;
constexpr int kIdFilePrintDirect = 0xE108;
constexpr int kIdFilePrintPreview = 0xE109;
constexpr int kIdEditCopy = 0xE122;
constexpr int kIdEditCut = 0xE123;
constexpr int kIdEditPaste = 0xE125;
constexpr int kIdEditUndo = 0xE12B; // Edit > Undo: the design as it was before the last change
constexpr int kIdEditRedo = 0xE12C; // Edit > Redo: the change undone last, made again
constexpr int kIdAppAbout = 0xE140;
constexpr int kIdAppExit = 0xE141;
constexpr int kIdNextPane = 0xE150;
constexpr int kIdPrevPane = 0xE151;
constexpr int kIdViewToolbar = 0xE800;
constexpr int kIdViewStatusBar = 0xE801;

// ---- Main frame geometry ------------------------------------------------------------------------
constexpr int kFrameX = 0;
constexpr int kFrameY = 0;
constexpr int kFrameWidth = 740;
constexpr int kFrameHeight = 600;
constexpr int kToolbarButtonWidth = 16;
constexpr int kToolbarButtonHeight = 15;

// ---- Templates and tables -----------------------------------------------------------------------
const platform::DialogTemplate& FormTemplate();

struct MenuItem {
    int id = 0;                  // 0 for a separator or a popup
    std::string text;            // with & mnemonics and \t accelerator text
    std::string prompt;          // status bar text while the item is highlighted
    std::vector<MenuItem> items; // a popup's items
};
const std::vector<MenuItem>& MainMenu();

// Toolbar buttons in order; 0 is a separator.
const std::vector<int>& ToolbarButtons();

struct Accelerator {
    std::string keys; // "Ctrl+N", "Shift+Del", "Alt+Backspace", "F6"
    int command = 0;
};
const std::vector<Accelerator>& Accelerators();

// The string table: the text of a string id, empty when there is none.
std::string LoadString(int id);
constexpr int kIdsIdleMessage = 0xE001; // "Ready"
constexpr int kIdsAppTitle = 0xE000;    // "Olvex"
constexpr int kIdsIndicatorCaps = 0xE700;
constexpr int kIdsIndicatorNum = 0xE701;
constexpr int kIdsIndicatorScrl = 0xE702;
// The document string's fields (string 128, separated by '\n').
enum class DocString {
    kWindowTitle,
    kDocName,
    kFileNewName,
    kFilterName,
    kFilterExt,
    kRegTypeId,
    kRegTypeName
};
std::string DocumentString(DocString field);

// Profile settings key word.
constexpr const char* kRegistryKey = "Kestrova";
constexpr int kRecentFileCount = 4;

} // namespace resources
