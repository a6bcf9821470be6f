// Exports: the coefficients in an export format, the testbench file and the picture of the plot.
#pragma once

#include <string>
#include <string_view>

#include "app/Outcome.h"
#include "files/Export.h"

class COlvexDoc;

namespace commands {

// The coefficients of the structure in an export format, written to `path`: kFileWritten, or
// kFileNotWritten with the system's reason and the message Save/Load gives. An integer format
// (.coe, .mif) of an unquantized design is kRefused (ExportNeedsQuantizeWarning).
struct ExportRequest {
    bool iir = false;
    files::ExportFormat format = files::ExportFormat::kCsv;
    std::string path;
    // The rate change a FIR's files name (single rate by default).
    vhdl::RateChange rate = {};
    // The CIC is shown: its droop compensator's taps are exported, a FIR at the low rate (kRefused
    // with kNoCicCompensatorText as `message` while none is designed).
    bool cic = false;
};
Outcome CheckExport(const COlvexDoc& doc, const ExportRequest& request);
Outcome Export(const COlvexDoc& doc, const ExportRequest& request);
// The design parameters an export describes, from the document's fields.
files::ExportParameters ExportParametersOf(const COlvexDoc& doc, bool iir);
// The compensator's: a FIR at the low rate fs / R (the document's fs is the CIC's high rate),
// described by its two bands, the pass band (gain 1: the cascade's) and the stop band.
files::ExportParameters CicCompensatorExportParametersOf(const COlvexDoc& doc);

// Save Testbench: the testbench Testbench builds (the data bits VHDL Code stored, the test wave
// of In/Out Wave recomputed), written to `path`. Warning 164 without quantization, 170 before
// VHDL Code; kFileWritten or kFileNotWritten.
struct SaveTestbenchRequest {
    bool iir = false;
    bool vhdlParamsSet = false;
    std::string path;
    vhdl::RateChange rate = {}; // a FIR's polyphase filter is tested (single rate by default)
};
Outcome CheckSaveTestbench(const COlvexDoc& doc, const SaveTestbenchRequest& request);
Outcome SaveTestbench(COlvexDoc& doc, const SaveTestbenchRequest& request);

// Export Plot: a picture of the plot the desktop drew (PNG, SVG or PDF bytes) written to `path`;
// an empty picture (the drawing failed) is kFileNotWritten with the reason.
Outcome SavePlotPicture(const std::string& path, std::string_view picture);

} // namespace commands
