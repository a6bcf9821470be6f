// VHDL Code, Save VHDL and the hardware report: the data bits and the hardware of the VHDL Code
// dialog, the text built from the header and the substituted template, and the synthesis flow
// over it.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Outcome.h"
#include "dsp/Cic.h"
#include "vhdl/Architecture.h"
#include "vhdl/HardwareReport.h"
#include "vhdl/HardwareWave.h"
#include "vhdl/HdlLanguage.h"
#include "vhdl/Polyphase.h"
#include "vhdl/VhdlText.h"

class COlvexDoc;

namespace commands {

// ---- The engine's VHDL text from the record ----
// The header values of the record; the type words from firIir (the form's structure choice).
vhdl::HeaderValues HeaderValuesOf(const COlvexDoc& doc, int firIir);
// One template line substituted with the record's coefficients and data bits, from tap or
// section substIndex (advanced as vhdl::SubstituteFirLine and SubstituteIirLine do).
std::string SubstituteFirLineOf(const COlvexDoc& doc, std::string_view line, int& substIndex);
std::string SubstituteIirLineOf(const COlvexDoc& doc, std::string_view line, int& substIndex);
// The record's m_aWaveIn through the hardware at data bits D, against m_aWaveOut.
vhdl::HardwareWave HardwareWaveOf(const COlvexDoc& doc, bool iir, int dataBits);

// ---- The FIR's rate change ----
// The rate change the document's FIR runs at (the FIR Design dialogs' Rate choice); none for the
// IIR cascade, which runs at one rate.
vhdl::RateChange DocumentRate(const COlvexDoc& doc, bool iir);
// Why the window cannot generate the FIR with the rate change on `architecture` (with the
// folded multiplier count and the clock Auto chooses for): the rate changers are built serial,
// folded or auto, not parallel, and their tables hold a bounded number of products. Nothing
// when it can (or when the rate is single).
std::optional<std::string> RateChangeRefusal(const COlvexDoc& doc, vhdl::RateChange rate,
                                             vhdl::Architecture architecture, int multipliers = 1,
                                             double clockMhz = 48.0);
// Why --arch parallel and the window's Parallel are refused under a rate change.
inline constexpr const char* kParallelRateRefusal =
    "the parallel architecture is not built for a rate change: a folded decimator with enough "
    "multipliers takes a sample every clock, and an interpolator gives one output a clock at "
    "most; choose serial, folded or auto";

// ---- VHDL Code ----

// The file-error text for a template that does not exist: "PATH was not found.", as the window's
// message box and standard error give it.
std::string TemplateNotFoundText(const std::string& path);

// Warning 164 when quantization is off, else kAccepted: the window asks for the data bits only
// after this.
Outcome CheckVhdlCode(const COlvexDoc& doc);
// What VHDL Code and Save VHDL leave besides the outcome: the next tap or section the coefficient
// tokens take (the view's m_nSubstIndex).
struct VhdlOutcome : TextOutcome {
    bool notFound = false; // kFileNotRead: the template path names no file
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
// The per-section-count name the same template had ("iirfilter3_folded.v"), which the front ends
// search for first so that a user's own template of that name keeps being used; empty where
// there was none (vhdl::LegacyTemplateFileName).
std::string LegacyArchitectureTemplateName(const COlvexDoc& doc, bool iir,
                                           vhdl::Architecture architecture, int multipliers,
                                           double clockMhz,
                                           vhdl::HdlLanguage language = vhdl::HdlLanguage::kVhdl);
// A rate changer's hardware once Auto is resolved: the one-multiplier walk (folded false) or
// the folded one, with the lanes its template instantiates, and the rows of its walk (one clock
// each). The parallel architecture is not built for a rate change (RateChangeRefusal).
struct PolyphaseHardware {
    bool folded = false;
    int multipliers = 1;
    int rows = 1;
    bool chosen = false; // Auto chose it
    bool keepsUp = true; // Auto: a job fits the clocks the rate leaves it
};
PolyphaseHardware ResolvePolyphase(const COlvexDoc& doc, vhdl::RateChange rate,
                                   vhdl::Architecture architecture, int multipliers,
                                   double clockMhz);
// The same for the hardware stored in the document by the last VHDL Code.
PolyphaseHardware StoredPolyphase(const COlvexDoc& doc, vhdl::RateChange rate);
// The template the front ends search for a rate changer: "firfilter_decim.vhd",
// "firfilter_interp_folded.v".
std::string PolyphaseTemplateName(const COlvexDoc& doc, vhdl::RateChange rate,
                                  vhdl::Architecture architecture, int multipliers, double clockMhz,
                                  vhdl::HdlLanguage language);
// The header's architecture line of a rate changer.
std::string PolyphaseHeaderText(const PolyphaseHardware& hardware, vhdl::RateChange rate,
                                double clockMhz);
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
// `rate`: a FIR generated as a polyphase decimator or interpolator, from its own template, with
// the header's architecture and rate lines (Save VHDL and the hardware report take it too).
VhdlOutcome VhdlCode(COlvexDoc& doc, const VhdlCodeRequest& request, vhdl::RateChange rate = {});

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
VhdlOutcome SaveVhdl(const COlvexDoc& doc, const SaveVhdlRequest& request,
                     vhdl::RateChange rate = {});

// Hardware report: the text Save VHDL would write (same checks and template), synthesized,
// placed and routed on the device by vhdl::RunHardwareFlow, always constrained to the stored
// clock (the one Auto chose for, typed or not), with `seeds` placement seeds. kAccepted with the
// report lines in `text` (lines ended by `lineEnd`) whatever the flow's status (`hardware.status`;
// the figures are in `text` for a missed clock too); a refusal as Save VHDL's; a template that
// cannot be read is kFileNotRead.
struct HardwareReportRequest {
    int headerStructure = 0;
    bool vhdlParamsSet = false;
    std::string templatePath;
    vhdl::Device device = vhdl::Device::kUp5k;
    int seeds = vhdl::kDefaultSeeds;
    const char* lineEnd = "\n";
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(const std::string&)> progress;
};
struct HardwareReportOutcome : TextOutcome {
    vhdl::HardwareResult hardware;
};
HardwareReportOutcome HardwareReport(const COlvexDoc& doc, const HardwareReportRequest& request,
                                     vhdl::RateChange rate = {});
// The same in two steps, so that the window can run the flow away from its thread: the checks
// and the VHDL text from the document, then the flow on those values alone.
struct HardwareReportJob {
    Outcome check; // kAccepted, or the refusal RunHardwareReport returns
    vhdl::HardwareRequest hardware;
    ResolvedArchitecture architecture;
    const char* lineEnd = "\n";
    vhdl::RateChange rate;
    int polyphaseEntries = 0; // the clocks of one job's walk of a polyphase filter (its rows)
    PolyphaseHardware polyphase;
    // A CIC's report: its filter's name ("cic_decimator") in place of the architecture's, no
    // multiplier count, and its clocks per input sample.
    bool cic = false;
    std::string cicName;
    int cicClocksPerInput = 1;
};
HardwareReportJob PrepareHardwareReport(const COlvexDoc& doc, const HardwareReportRequest& request,
                                        vhdl::RateChange rate = {});
HardwareReportOutcome RunHardwareReport(const HardwareReportJob& job);
// The window's and the command line's text for a flow that gave no report ("... does not fit
// ...", the packages to install); empty for kOk.
std::string HardwareProblemText(const vhdl::HardwareResult& result);

// ---- A CIC design ----
// The CIC's template in the language ("cic_decimator.vhd", "cic_interpolator.v"), and whether
// the file at `path` is a CIC template (its text holds the CICSTAGES token): a generated file of
// that name is passed over when the template is searched for.
std::string CicTemplateNameOf(const COlvexDoc& doc, vhdl::HdlLanguage language);
bool IsCicTemplate(const std::string& path);
// The CIC's HDL from the template at `templatePath`, in the language its name says: kAccepted
// with `text`, byte for byte what `vantrel-cli cic ... --vhdl / --verilog` writes for the same
// parameters; kFileNotRead (`path`, `notFound`, or `message`) when the template cannot be read or
// is no CIC template.
VhdlOutcome CicHdl(const COlvexDoc& doc, const std::string& templatePath);
// The same for the parameters given (the command line's).
VhdlOutcome CicHdlOf(const dsp::CicParams& params, const std::string& templatePath);
// The same written to `path`: kFileWritten, or kFileNotWritten with `reason`.
VhdlOutcome SaveCicHdl(const COlvexDoc& doc, const std::string& templatePath,
                       const std::string& path);
// The CIC's self-checking testbench in the language, as `cic --testbench` writes it.
std::string CicTestbenchText(const COlvexDoc& doc, vhdl::HdlLanguage language);

// What the window says when a CIC command runs before a CIC was designed.
inline constexpr const char* kCicNotDesignedText =
    "Design a CIC filter first: choose CIC and click Design.";

// ---- A CIC's hardware report ----
// The filter from the CIC template at `templatePath` (its language the one the name says),
// placed and routed with the device, the clock (Hz, 0 for none) and the seeds given. The window
// and `vantrel-cli cic --hw-report` both run it, so their lines are the same.
struct CicHardwareRequest {
    dsp::CicParams params;
    std::string templatePath;
    vhdl::Device device = vhdl::Device::kUp5k;
    double clockHz = 0.0;
    int seeds = vhdl::kDefaultSeeds;
    const char* lineEnd = "\n";
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(const std::string&)> progress;
};
// The clocks a CIC spends per input sample: one for a decimator (it takes a sample every clock),
// R + S + 1 for an interpolator (din_ready is low from the clock that takes a sample until the
// last of its zeros enters the integrators).
int CicClocksPerInput(const dsp::CicParams& params);
// The checks and the text, for RunHardwareReport: kFileNotRead with `path` and `reason` ("not
// found", "not a CIC template", or the reader's), and `message` where there is one, when the
// template cannot be read or is no CIC template.
HardwareReportJob PrepareCicHardwareReport(const CicHardwareRequest& request);

} // namespace commands
