// The Save/Load command's handler: the dialog, then one of its actions (Save Coefficients, Load,
// Save VHDL, Save Testbench, Export).
#pragma once

#include <string>

#include "app/ui/HandlerBase.h"

class SaveLoadHandler : HandlerBase {
public:
    using HandlerBase::HandlerBase;

    void OnSaveLoad();

    // Where the last load stopped reading, kept for the command line: the token and the number
    // of values stored before it (empty when it ran to the end).
    std::string m_strLoadStopToken;
    int m_nLoadStopCount = 0;

private:
    // The actions, each from the name its edit pre-fills. The saves return false when the file
    // could not be written: the command then ends at once. Export asks for the format first.
    bool SaveCoefficients(const std::string& name);
    void LoadCoefficients(const std::string& name);
    bool SaveVhdl(const std::string& name);
    bool SaveTestbench(const std::string& name);
    // A CIC design's HDL (the CIC template in the stored language) and its testbench (in the
    // language of the file's name).
    bool SaveCicHdl(const std::string& name);
    bool SaveCicTestbench(const std::string& name);
    bool ExportCoefficients(const std::string& name);
    bool SaveCicCompensator(const std::string& name);
};
