// Save Design and Open Design: the record (and the few form fields a design keeps beside it) to
// and from a design file (files/DesignFile.h). Opening restores the design as it was saved,
// coefficients included, without designing again; a refused file leaves the record untouched.
// The window's File menu and `vantrel-cli open` / `--save-design` both call these.
#pragma once

#include <string>

#include "app/Outcome.h"
#include "files/DesignFile.h"

class COlvexDoc;

namespace commands {

// What the form keeps beside the record that belongs to a design.
struct FormSettings {
    int structure = 0;        // 0 FIR, 1 IIR, 2 CIC
    int plotMode = 0;         // the plot the design was saved with
    bool designed = false;    // a design stands (the plot shows it, not the hint)
    std::string templatePath; // the template VHDL Code located
    int showHardwareWave = 0; // In/Out Wave: the hardware output beside the ideal one
};

// The record and the form as the file's values.
files::DesignState TakeDesignState(const COlvexDoc& doc, const FormSettings& form);

// The dialogs' range rules over a design file's values: the first value they refuse, named by
// its field in the file ("fir.taps: Please enter an integer between 1 and 400."); empty when
// every value is accepted.
std::string CheckDesignState(const files::DesignState& state);

// Writes the design through the output component: kFileWritten, or kFileNotWritten with
// "PATH cannot be opened" in `message` and the system's `reason`.
Outcome SaveDesign(const COlvexDoc& doc, const FormSettings& form, const std::string& path);

// Reads and checks a design file, then restores it into the record. kFileNotRead with
// `message` naming the field (or the file's problem) leaves the record as it was. An opened
// design whose user wave cannot be read any more falls back to the test wave, with the
// reader's message in `message` (accepted).
struct OpenDesignOutcome : Outcome {
    FormSettings form;
};
OpenDesignOutcome OpenDesign(COlvexDoc& doc, const std::string& path);

// The record of a new design: every setting at its default. The console route stays.
void NewDesign(COlvexDoc& doc);

} // namespace commands
