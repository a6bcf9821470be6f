// The commands of the form as plain calls: each takes the document (and the few view fields it
// needs, as values) and a request (the fields of its dialog, as values), checks the request with
// the same rules the dialog's checks use, changes the document and returns an outcome.
//
// The window's handlers run the dialog, build the request, call the command and show the
// outcome; vantrel-cli parses its options into the same requests and prints the same outcomes.
// Nothing here runs a dialog, names a control or writes the status bar.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/DesignRules.h"
#include "dsp/Warning.h"
#include "files/Export.h"
#include "vhdl/Architecture.h"
#include "vhdl/HardwareReport.h"
#include "vhdl/HdlLanguage.h"

class COlvexDoc;

namespace commands {

// ---- Outcomes ----

enum class OutcomeKind {
    kAccepted,       // the request was taken; the document holds the result
    kRefused,        // a warning refused it (`warning`); the document is unchanged
    kOutOfRange,     // a range check refused a field (`range`); the document is unchanged
    kDesignFailed,   // the design gave no filter (`proposal` for FIR); after DesignFir and
                     // DesignIir the document holds the design it held before
    kShortOfOptimum, // the design stands but ended above the equiripple optimum
                     // (`achievedRipple` against `targetRipple`, `iterationLimit`)
    kFileWritten,    // `path` was written
    kFileNotWritten, // `path` was not written; `reason` says why (the system's reason)
    kFileNotRead,    // `path` could not be read (or was read only in part); `reason`, `message`
};

// A value a range check refused: the field (design::DialogField, as the dialogs name their
// fields; design::FieldName gives its short name), the accepted limits and the standard message
// of the check ("Please enter a number between 0 and 1000000000000."). Numbers are accepted when
// low < value <= high (0 < fs <= 1e12), integers when low <= value <= high; "greater than 0"
// checks have high = the largest double.
using design::RangeRefusal;

// What a failed FIR design proposes: both adjustments the window offers, computed for the
// failed design's parameters. `taps` is the estimated tap count as the tap-adjustment dialog
// shows it (before the odd-count rule); `edges` the moved band edges at the current tap count.
struct DesignProposal {
    int taps = 0;
    design::EdgeProposal edges{};
};

struct Outcome {
    OutcomeKind kind = OutcomeKind::kAccepted;
    design::Warning warning; // kRefused
    RangeRefusal range;      // kOutOfRange
    // Warnings that question an accepted request without refusing it, in the order the window
    // shows them (the unbalanced transition bands of BRF/BPF; a coefficient file without its
    // header or with a malformed number).
    std::vector<design::Warning> notices;
    DesignProposal proposal; // kDesignFailed of a FIR design
    // kShortOfOptimum: the Remez run stopped at its iteration limit; its largest weighted error
    // on the grid and the level of its final extremal set.
    bool iterationLimit = false;
    double achievedRipple = 0.0;
    double targetRipple = 0.0;
    // Files: the path written or read, the system's reason when it failed.
    std::string path;
    std::string reason;
    bool notFound = false; // kFileNotRead: the path names no file (the VHDL template)
    // The text the command produced (the VHDL text, the testbench, the token where a load
    // stopped). `message` is the text the window shows for the outcome: for kFileNotRead of a
    // user wave the reader's description of what went wrong (and, accepted, that a user wave
    // held more values than the buffer), for kFileNotWritten the path and
    // " cannot be opened", for a failed IIR design the warning that the cascade is not finite.
    std::string text;
    std::string message;

    bool Is(OutcomeKind k) const { return kind == k; }
};

// The two refusals, for commands and for the front ends' own checks.
Outcome Refused(const design::Warning& warning);
Outcome OutOfRange(const RangeRefusal& refusal);

// ---- Design ----

// The fields of a FIR parameter dialog. `taps` is the count as entered (HPF and BRF store an
// even count as count - 1); fc[2], fc[3] matter for BRF/BPF only.
struct FirDesignRequest {
    int type = 0; // a FilterType
    double fs = 1000.0;
    double fc[4] = {200.0, 250.0, 350.0, 400.0};
    int taps = 90;
    double rr = 10.0;
    int multiplier = 1;
};
// The request a FIR dialog starts from: the document's values, the tap count as shown.
FirDesignRequest FirRequestFromDocument(const COlvexDoc& doc, int type);

// The range checks of the FIR dialog (fs, the edges of the type, N in 4..380, RR, the
// multiplier): kOutOfRange with the first failed field, else kAccepted.
Outcome CheckFirRequest(const FirDesignRequest& request);

// The whole FIR design: range checks, edge order (kRefused, warning 220/221), store, design.
// An accepted request with unbalanced BRF/BPF transition bands carries the warning (222) in
// `notices` and is designed anyway. A failed design puts the document back as it was and
// returns kDesignFailed with the proposal; the caller may design again with a request that
// takes it (taps = proposal.taps, or the adjusted edges).
Outcome DesignFir(COlvexDoc& doc, const FirDesignRequest& request);

// The steps of the window's FIR Design, in its order. The window designs even after a refused
// entry (the unchanged values, with the layout of the dialog's type) and offers one adjustment
// after a failure, so it calls the steps itself:
//   StoreFirRequest  - edge order check; kRefused (nothing stored) or kAccepted (+ notices)
//   RunFirDesign     - kAccepted, kShortOfOptimum, or kDesignFailed with the proposal; a failed
//                      design leaves the engine's unfinished taps in the document
//   RunAdjustedFirDesign - stores what the user confirmed of the proposal (not checked again),
//                      marks the offer as made and designs once more
// and puts back the document it held before StoreFirRequest when the last design failed.
Outcome StoreFirRequest(COlvexDoc& doc, const FirDesignRequest& request);
Outcome RunFirDesign(COlvexDoc& doc, int type);

// The adjustment the user chose after a failed design, and what was confirmed in its result
// dialog: the tap count as entered, or the band edges as left (only the adjusted ones are
// stored). Not confirmed (the result dialog closed): nothing is stored, the design runs again
// all the same. Choosing the tap count resets the even-count flag, as the estimate does.
struct FirAdjustment {
    enum class Kind { kTaps, kEdges };
    Kind kind = Kind::kTaps;
    bool confirmed = false;
    int taps = 0;
    design::EdgeProposal edges{};
};
Outcome RunAdjustedFirDesign(COlvexDoc& doc, int type, const FirAdjustment& confirmed);
// The proposal for the document's current parameters (what kDesignFailed carries); the
// document is not changed.
DesignProposal ProposeFirAdjustment(const COlvexDoc& doc, int type);

// The fields of an IIR parameter dialog; fc2 matters for BRF/BPF only.
struct IirDesignRequest {
    int type = 0;
    int sections = 2;
    double rippleDb = 0.3;
    double fc1 = 200.0;
    double fc2 = 300.0;
    double fs = 1000.0;
};
IirDesignRequest IirRequestFromDocument(const COlvexDoc& doc, int type);
// The range checks of the IIR dialog (n in 1..8 or 2..8, ripple, fs, the cut-off edges).
Outcome CheckIirRequest(const IirDesignRequest& request);
// Range checks, the IIR rules (kRefused: warning 223, 224 or 220), store, design. A cascade that
// is not finite is kDesignFailed (no proposal) and keeps the previous sections.
Outcome DesignIir(COlvexDoc& doc, const IirDesignRequest& request);
// The window's steps: the IIR rules and storing (kRefused or kAccepted), and the design of the
// document as it stands (kAccepted or kDesignFailed), which the window runs after either.
Outcome StoreIirRequest(COlvexDoc& doc, const IirDesignRequest& request);
Outcome RunIirDesign(COlvexDoc& doc);

// ---- Design from requirements ----
// The pass-band ripple Ap and the stop-band attenuation As (dB) in place of N and RR (FIR), or
// of n and the ripple with the stop-band edge(s) beside the cut-offs (IIR). The outcome is a
// refusal (kOutOfRange, kRefused as the parameter dialogs give them), or the design stored and
// made as the chosen values describe it: kAccepted (or kShortOfOptimum) with `met` false when
// the largest tap or section count cannot meet the requirements; `message` then says what the
// best design reaches.
struct FirRequirementsRequest {
    int type = 0;
    double fs = 1000.0;
    double fc[4] = {200.0, 250.0, 350.0, 400.0};
    double apDb = 0.5;
    double asDb = 60.0;
    int multiplier = 1;
};
struct IirRequirementsRequest {
    int type = 0;
    double fs = 1000.0;
    double fc1 = 200.0, fc2 = 300.0;     // the cut-offs: the pass-band edges
    double stop1 = 250.0, stop2 = 350.0; // the stop-band edges (stop2 for BRF/BPF)
    double apDb = 0.5;
    double asDb = 40.0;
};
struct RequirementsOutcome : Outcome {
    bool met = false;
    int taps = 0;     // FIR: the tap count chosen (as entered)
    double rr = 0.0;  // FIR: dp / ds
    int order = 0;    // IIR: the minimum Chebyshev order
    int sections = 0; // IIR: the section count designed
    // IIR: the cut-offs designed (Hz): the pass-band edges; BRF moves them towards the stop band
    // as far as lowers the order, which widens its pass bands.
    double cutoff1 = 0.0, cutoff2 = 0.0;
    double rippleDb = 0.0;      // the chosen design's measured pass ripple
    double attenuationDb = 0.0; // and its stop-band attenuation
    int designs = 0;            // FIR: Remez designs the search ran
};
RequirementsOutcome DesignFirFromRequirements(COlvexDoc& doc,
                                              const FirRequirementsRequest& request);
RequirementsOutcome DesignIirFromRequirements(COlvexDoc& doc,
                                              const IirRequirementsRequest& request);

// ---- Coefficients ----

// The Coefficients dialog's fields, for the structure the form shows.
struct CoefficientsRequest {
    bool iir = false;
    int quantize = 0;
    int bits = 16;
    int format = 0; // 0 Real, 1 Bin, 2 Dec, 3 Hex
};
// Bits in 4..32 (kOutOfRange), then the quantization rules (kRefused: warnings 136, 169, 137);
// stores the three settings when accepted.
// Accepted with `message` "quantized to zero: use more bits" when quantization turned every IIR
// numerator coefficient to 0 (the status bar and standard error say so).
Outcome Coefficients(COlvexDoc& doc, const CoefficientsRequest& request);
// The report of the FIR or IIR coefficients with the settings in force, every line ended by
// lineEnd ("\r\n" in the output box, "\n" on a terminal).
std::string CoefficientReport(const COlvexDoc& doc, bool iir, std::string_view lineEnd);

// ---- Analyses ----

// F-Response: gain range (> 0), zoom 0 (1x) / 1 (10x), start position 0..100.
struct ResponseRequest {
    double gainRange = 100.0;
    int zoom = 0;
    int startPos = 0;
};
Outcome FResponse(COlvexDoc& doc, const ResponseRequest& request);

// In/Out Wave: wave type 0 sine / 1 square, frequency (0 < f <= 1e12), user wave on/off,
// magnitude range (> 0), zoom, start position, the hardware output beside the ideal one.
// `userWavePath` is read into the input wave when not empty.
struct WaveRequest {
    int waveType = 0;
    double frequency = 100.0;
    int useUserWave = 0;
    double magRange = 50.0;
    int zoom = 0;
    int startPos = 0;
    int showHardware = 0;
    std::string userWavePath;
};
// Whether the window asks for a user wave file: "Use user wave" is switched on by this request.
bool AsksForUserWave(const COlvexDoc& doc, const WaveRequest& request);
// Stores the settings, then reads userWavePath. A file that cannot be opened or read keeps the
// previous wave; one that stops at a token that is not a number keeps the values before it.
// Both are kFileNotRead with the reader's `message` (the settings are stored all the same).
Outcome InOutWave(COlvexDoc& doc, const WaveRequest& request);

// FFT Analysis: magnitude range (> 0), zoom, start position.
struct FftRequest {
    double magRange = 50.0;
    int zoom = 0;
    int startPos = 0;
};
Outcome FftAnalysis(COlvexDoc& doc, const FftRequest& request);

// ---- VHDL Code ----

// Warning 164 when quantization is off, else kAccepted: the window asks for the data bits only
// after this.
Outcome CheckVhdlCode(const COlvexDoc& doc);
// What VHDL Code and Save VHDL leave besides the outcome: the next tap or section the coefficient
// tokens take (the view's m_nSubstIndex).
struct VhdlOutcome : Outcome {
    int substIndex = 0;
    // The template's bytes as read (so that one command reads its template once), and the
    // template tokens the substitution left, one message line each (vhdl::DescribeLeftoverTokens).
    std::string templateText;
    std::vector<std::string> leftovers;
};
// The VHDL Code dialog's field and what the window found: `headerStructure` is the FIR/IIR
// choice last read from the form before the dialog (it words the header's type line), `iir` the
// choice read after it; `templatePath` the located template (empty: none found or picked).
struct VhdlCodeRequest {
    int dataBits = 12;
    int headerStructure = 0;
    bool iir = false;
    std::string templatePath;
    // The hardware: the architecture, the folded multiplier count and the FPGA clock (MHz)
    // that Auto chooses for.
    vhdl::Architecture architecture = vhdl::Architecture::kSerial;
    int multipliers = 4;
    double clockMhz = 48.0;
    // The language of the text; a template whose name says its language is written in that.
    vhdl::HdlLanguage language = vhdl::HdlLanguage::kVhdl;
};
// The architecture the text is generated in once Auto is resolved against the design's fs.
struct ResolvedArchitecture {
    vhdl::Architecture arch = vhdl::Architecture::kSerial;
    int multipliers = 1;     // the folded count (as entered); 0 for serial and parallel
    int cyclesPerSample = 0; // clocks between two samples at full rate
    bool chosen = false;     // Auto chose it
    bool keepsUp = true;     // Auto: it keeps up with fs at the clock
};
ResolvedArchitecture ResolveArchitecture(const COlvexDoc& doc, bool iir,
                                         vhdl::Architecture architecture, int multipliers,
                                         double clockMhz);
// The same for the architecture stored in the document by the last VHDL Code.
ResolvedArchitecture StoredArchitecture(const COlvexDoc& doc, bool iir);
// The template file the front ends search for: the one of the resolved architecture, in the
// language ("firfilter_folded.vhd", "firfilter_folded.v").
std::string ArchitectureTemplateName(const COlvexDoc& doc, bool iir,
                                     vhdl::Architecture architecture, int multipliers,
                                     double clockMhz,
                                     vhdl::HdlLanguage language = vhdl::HdlLanguage::kVhdl);
// The language the document stores (VHDL Code's choice).
vhdl::HdlLanguage StoredLanguage(const COlvexDoc& doc);
// The language of a text built from the template at `templatePath`: the one its name says, else
// the stored one.
vhdl::HdlLanguage TextLanguage(const COlvexDoc& doc, const std::string& templatePath);
// The header's architecture line: empty for serial chosen by hand, which the header leaves out.
std::string ArchitectureHeaderText(const ResolvedArchitecture& resolved, double clockMhz);
// Warning 164, data bits in 4..24, multipliers and clock in range (kOutOfRange), then stores
// the data bits and the hardware fields and builds the text
// the output box shows: the header and the substituted template (`text`, kAccepted; empty when
// no template path is given). A template that cannot be read, or of the other structure, is
// kFileNotRead (`notFound` when the path names no file; `message` for the reader's refusals and
// the wrong kind); the data bits stay stored.
VhdlOutcome VhdlCode(COlvexDoc& doc, const VhdlCodeRequest& request);

// ---- Save/Load ----

// Save Coefficients: `coefficientsListed` is the view's flag (Coefficients ran since the last
// design or load). Warning 177 before that; then the coefficient file of the structure is
// written: kFileWritten, or kFileNotWritten with the system's reason.
struct SaveCoefficientsRequest {
    bool iir = false;
    bool coefficientsListed = false;
    std::string path;
};
// Checks only (warning 177), for the window to ask for the path after it.
Outcome CheckSaveCoefficients(const SaveCoefficientsRequest& request);
Outcome SaveCoefficients(const COlvexDoc& doc, const SaveCoefficientsRequest& request);

// Load Coefficients into the structure the form shows; `loadFormat` is the view's format of the
// last header read, updated by the load. A file that cannot be opened is kRefused with warning
// 167 and the system's `reason`; a file without its header (warning 188, the document reset) or
// with a malformed number (warning 168) is kAccepted with the warning in `notices`, the stop
// token in `text` and the values stored before it in `valuesRead`.
struct LoadCoefficientsRequest {
    bool iir = false;
    std::string path;
};
struct LoadOutcome : Outcome {
    int valuesRead = 0;
};
LoadOutcome LoadCoefficients(COlvexDoc& doc, const LoadCoefficientsRequest& request,
                             int& loadFormat);

// Save VHDL: `vhdlParamsSet` is the view's flag (VHDL Code took its parameters), `headerStructure`
// the FIR/IIR choice of the form, `templatePath` the template VHDL Code located (read again).
// Warning 164 without quantization, 170 before VHDL Code; a template that cannot be read or a
// file that cannot be written is kFileNotWritten (`path` the output, `reason`).
struct SaveVhdlRequest {
    int headerStructure = 0;
    bool vhdlParamsSet = false;
    std::string templatePath;
    std::string path;
    // The template's bytes when this run already read them (VhdlOutcome::templateText); the
    // template at templatePath is read otherwise.
    std::optional<std::string> templateText;
};
Outcome CheckSaveVhdl(const COlvexDoc& doc, const SaveVhdlRequest& request);
VhdlOutcome SaveVhdl(const COlvexDoc& doc, const SaveVhdlRequest& request);

// Hardware report: the text Save VHDL would write (same checks and template), synthesized,
// placed and routed on the device by vhdl::RunHardwareFlow, constrained to the stored clock
// when `constrainClock`. kAccepted with the report lines in `text` (lines ended by `lineEnd`)
// whatever the flow's status (`hardware.status`; the figures are in `text` for a missed clock
// too); a refusal as Save VHDL's; a template that cannot be read is kFileNotRead.
struct HardwareReportRequest {
    int headerStructure = 0;
    bool vhdlParamsSet = false;
    std::string templatePath;
    vhdl::Device device = vhdl::Device::kUp5k;
    bool constrainClock = true;
    const char* lineEnd = "\n";
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(const std::string&)> progress;
};
struct HardwareReportOutcome : Outcome {
    vhdl::HardwareResult hardware;
};
HardwareReportOutcome HardwareReport(const COlvexDoc& doc, const HardwareReportRequest& request);
// The same in two steps, so that the window can run the flow away from its thread: the checks
// and the VHDL text from the document, then the flow on those values alone.
struct HardwareReportJob {
    Outcome check; // kAccepted, or the refusal RunHardwareReport returns
    vhdl::HardwareRequest hardware;
    ResolvedArchitecture architecture;
    const char* lineEnd = "\n";
};
HardwareReportJob PrepareHardwareReport(const COlvexDoc& doc, const HardwareReportRequest& request);
HardwareReportOutcome RunHardwareReport(const HardwareReportJob& job);
// The window's and the command line's text for a flow that gave no report ("... does not fit
// ...", the packages to install); empty for kOk.
std::string HardwareProblemText(const vhdl::HardwareResult& result);

// ---- Exports (app/ExportCommands.cpp) ----

// The coefficients of the structure in an export format, written to `path`: kFileWritten, or
// kFileNotWritten with the system's reason and the message Save/Load gives. An integer format
// (.coe, .mif) of an unquantized design is kRefused (ExportNeedsQuantizeWarning).
struct ExportRequest {
    bool iir = false;
    files::ExportFormat format = files::ExportFormat::kCsv;
    std::string path;
};
Outcome CheckExport(const COlvexDoc& doc, const ExportRequest& request);
Outcome Export(const COlvexDoc& doc, const ExportRequest& request);
// The design parameters an export describes, from the document's fields.
files::ExportParameters ExportParametersOf(const COlvexDoc& doc, bool iir);

// Save Testbench: the testbench Testbench builds (the data bits VHDL Code stored, the test wave
// of In/Out Wave recomputed), written to `path`. Warning 164 without quantization, 170 before
// VHDL Code; kFileWritten or kFileNotWritten.
struct SaveTestbenchRequest {
    bool iir = false;
    bool vhdlParamsSet = false;
    std::string path;
};
Outcome CheckSaveTestbench(const COlvexDoc& doc, const SaveTestbenchRequest& request);
Outcome SaveTestbench(COlvexDoc& doc, const SaveTestbenchRequest& request);

// Export Plot: a picture of the plot the desktop drew (PNG, SVG or PDF bytes) written to `path`;
// an empty picture (the drawing failed) is kFileNotWritten with the reason.
Outcome SavePlotPicture(const std::string& path, std::string_view picture);

// ---- What the command line prints ----
// Besides these, the measured gains per band (dsp::Measure, dsp::ReportedGains) and the bit
// advisor (dsp::AdviseBits, dsp::AdviceText) are engine calls the command line makes directly,
// and `--plot` draws through plots::DrawAnalysisPlot.

// View > Measurements: the measured gain per band of the current design, unquantized and (with
// quantization on) quantized, every line ended by lineEnd; and its one-line summary.
std::string MeasurementsReport(const COlvexDoc& doc, bool iir, const char* lineEnd);
std::string MeasurementsSummary(const COlvexDoc& doc, bool iir);

// The 360 frequency response points of the structure: index, gain in dB, phase. Recomputes the
// document's response arrays.
struct ResponsePoint {
    int index = 0;
    double gainDb = 0.0;
    double phase = 0.0;
};
std::vector<ResponsePoint> ResponsePoints(COlvexDoc& doc, bool iir);

// The test wave (or the user wave in use) through the structure: kWaveFiltered samples of input
// and output. Recomputes the document's wave arrays.
struct WaveSamples {
    std::vector<double> input;
    std::vector<double> output;
};
WaveSamples SimulateWave(COlvexDoc& doc, bool iir);

// The spectra of the input and the output wave as FFT Analysis shows them (256 bins each), of
// the waves the document holds (SimulateWave first).
struct Spectra {
    std::vector<double> inMag, inPhase, outMag, outPhase;
};
Spectra ComputeSpectra(COlvexDoc& doc);

// The output of the generated hardware at data bits D for the waves the document holds:
// kWaveFiltered samples, and one line per saturating part of the hardware. Needs quantization
// on (kRefused, warning 164) and D in 4..24 (kOutOfRange, field kFieldDataBits).
struct HardwareWaveOutcome : Outcome {
    std::vector<double> output;
    std::vector<std::string> overflow;
};
HardwareWaveOutcome HardwareWave(const COlvexDoc& doc, bool iir, int dataBits);

// The self-checking testbench of the design at the document's data bits (as VHDL Code stored
// them), driven by the input wave the document holds, in `text`, in the language. Needs
// quantization on (kRefused, warning 164).
Outcome Testbench(const COlvexDoc& doc, bool iir,
                  vhdl::HdlLanguage language = vhdl::HdlLanguage::kVhdl);

} // namespace commands
