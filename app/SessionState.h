// The form's state beside the document: what the window's form shows and what its commands
// remember between presses (the structure and type chosen, the plot shown, which steps have
// run). The window's view keeps one; vantrel-cli keeps one per run, so both front ends decide
// from the same values.
#pragma once

#include <string>

namespace commands {

struct SessionState {
    std::string m_strOutput;       // output box, control 1001
    int m_nFilterSel = 0;          // filter-type radio group at 1010: 0 LPF, 1 HPF, 2 BRF, 3 BPF
    int m_nFirIir = 0;             // structure radio group at 1014: 0 FIR, 1 IIR
    int m_bNoDesign = 1;           // 1 until the first Design: the plot shows the design hint
    int m_bVhdlParamsSet = 0;      // 1 after VHDL Code took its parameters
    int m_bCoeffsListed = 0;       // 1 after Coefficients listed the coefficients
    int m_nPlotMode = 0;           // the plot the plot area shows (plots/PlotMode.h)
    int m_bShowHardwareWave = 0;   // In/Out Wave: the hardware output beside the ideal one
    std::string m_strTemplatePath; // template located by the last VHDL Code command
    int m_nLoadFormat = 0;         // number form of the last coefficient file header read
    std::string m_strDesignPath;   // the design file of the window, empty while untitled
};

} // namespace commands
