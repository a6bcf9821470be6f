// VHDL Code, Save VHDL and the hardware report as plain calls, and the engine's VHDL text taken
// from the record. Save VHDL writes through files::WriteOutputFile, so a failed save leaves the
// old file as it was and says why.
#include "app/VhdlCommands.h"

#include <algorithm>
#include <cstdio>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/CicHdl.h"
#include "vhdl/HardwareWave.h"
#include "vhdl/Testbench.h"
#include "vhdl/VhdlText.h"

namespace commands {

vhdl::HeaderValues HeaderValuesOf(const COlvexDoc& doc, int firIir) {
    vhdl::HeaderSource source{firIir,
                              doc.FilterTypeOf(firIir),
                              doc.m_nIirSections,
                              doc.FsOf(firIir),
                              doc.m_fc1,
                              doc.m_fc2,
                              doc.m_fc3,
                              doc.m_fc4,
                              doc.m_dIirFc1,
                              doc.m_dIirFc2,
                              doc.TakeCoefficients(false).ShownTaps(),
                              doc.m_nQuantBits,
                              doc.m_nDataBits};
    source.iirMethod = doc.m_nIirMethod;
    if (firIir == 0 && doc.FirUsesBandTable()) {
        // The band table the design ran on, in Hz.
        source.firKind = doc.m_nFirKind;
        const double fs = doc.FsOf(0);
        const dsp::FirBands table = doc.BandTable();
        for (int b = 0; b < table.nBands; ++b) {
            const size_t i = static_cast<size_t>(b);
            source.bands.push_back({table.edges[2 * i] * fs, table.edges[2 * i + 1] * fs,
                                    table.desired[i], table.weight[i]});
        }
    }
    vhdl::HeaderValues values = vhdl::FormatHeaderValues(source);
    values.method = design::FirMethodText(doc, firIir == 0);
    return values;
}

std::string SubstituteFirLineOf(const COlvexDoc& doc, std::string_view line, int& substIndex) {
    return vhdl::SubstituteFirLine(doc.TakeCoefficients(false), doc.m_nDataBits, line, substIndex);
}

std::string SubstituteIirLineOf(const COlvexDoc& doc, std::string_view line, int& substIndex) {
    return vhdl::SubstituteIirLine(doc.TakeCoefficients(true), doc.m_nDataBits, line, substIndex);
}

vhdl::HardwareWave HardwareWaveOf(const COlvexDoc& doc, bool iir, int dataBits) {
    return vhdl::ComputeHardwareWave(doc.TakeCoefficients(iir), dataBits, doc.m_aWaveIn,
                                     doc.m_aWaveOut);
}

namespace {

// The header values with the line of the stored architecture.
vhdl::HeaderValues HeaderWithArchitecture(const COlvexDoc& doc, int headerStructure, bool iir) {
    vhdl::HeaderValues values = HeaderValuesOf(doc, headerStructure);
    values.architecture = ArchitectureHeaderText(StoredArchitecture(doc, iir), doc.m_dVhdlClockMhz);
    return values;
}

// The multiplier count the folded templates take: the one Auto chose, else the entered one, so
// that a folded template given by hand takes it too; the other templates ignore it.
int TemplateMultipliers(const COlvexDoc& doc, bool iir) {
    const ResolvedArchitecture resolved = StoredArchitecture(doc, iir);
    return resolved.chosen && resolved.arch == vhdl::Architecture::kFolded ? resolved.multipliers
                                                                           : doc.m_nVhdlMultipliers;
}

// The template's bytes: the ones this run already read, or the file's.
vhdl::TemplateStatus TemplateBytes(const std::string& path, const std::optional<std::string>& read,
                                   std::string& text, std::string& reason) {
    if (read) {
        text = *read;
        return vhdl::TemplateStatus::kOk;
    }
    return vhdl::ReadTemplateText(path, text, reason);
}

// Why a template cannot be used, for the window's message box and standard error; empty when
// the path could not be opened (no reason: the window's own texts cover that).
std::string TemplateRefusal(const std::string& path, vhdl::TemplateStatus status,
                            const std::string& reason) {
    if (status == vhdl::TemplateStatus::kOk || reason.empty()) {
        return std::string();
    }
    return files::QuotedPath(path) + " cannot be read: " + reason;
}

std::string WrongKind(const std::string& path, bool iir) {
    return files::QuotedPath(path) +
           (iir ? " is not an IIR template: it holds no IIR"
                : " is not a FIR template: it holds no FIR") +
           " coefficient token";
}

// Why the template's section blocks cannot be written for the design; empty when they can.
std::string BlockRefusal(const COlvexDoc& doc, bool iir, const std::string& path,
                         const std::string& templateText) {
    const std::string error = vhdl::TemplateBlockError(doc.TakeCoefficients(iir), templateText);
    return error.empty() ? error : files::QuotedPath(path) + " cannot be used: " + error;
}

// The header of the variant, then the template substituted, and the tokens it left.
// The header in the language of the template at `templatePath`; a polyphase filter's names its
// hardware and its rate change.
std::string Header(const COlvexDoc& doc, int headerStructure, bool iir, vhdl::HeaderVariant variant,
                   const std::string& templatePath, vhdl::RateChange rate = {}) {
    vhdl::HeaderValues values = HeaderWithArchitecture(doc, headerStructure, iir);
    if (rate.Active()) {
        values.architecture =
            PolyphaseHeaderText(StoredPolyphase(doc, rate), rate, doc.m_dVhdlClockMhz);
        values.rateChange = vhdl::RateChangeWords(rate);
    }
    return vhdl::HeaderInLanguage(vhdl::BuildVhdlHeader(variant, iir, values),
                                  TextLanguage(doc, templatePath));
}

void BuildVhdl(const COlvexDoc& doc, int headerStructure, bool iir, vhdl::HeaderVariant variant,
               const std::string& templatePath, const std::string& templateText,
               VhdlOutcome& outcome, std::string& text, vhdl::RateChange rate = {}) {
    outcome.substIndex = 0;
    const dsp::FilterCoefficients c = doc.TakeCoefficients(iir);
    text = Header(doc, headerStructure, iir, variant, templatePath, rate);
    if (rate.Active() && !iir) {
        const std::string body =
            vhdl::SubstitutePolyphaseTemplate(c, doc.m_nDataBits, rate, templateText, variant,
                                              StoredPolyphase(doc, rate).multipliers);
        outcome.leftovers = vhdl::DescribeLeftoverTokens(vhdl::FindPolyphaseLeftovers(body));
        text += body;
        return;
    }
    text += vhdl::SubstituteTemplate(c, doc.m_nDataBits, templateText, variant, outcome.substIndex,
                                     TemplateMultipliers(doc, iir));
    outcome.leftovers =
        vhdl::DescribeLeftoverTokens(vhdl::FindLeftoverTokens(c, doc.m_nDataBits, templateText));
}

} // namespace

ResolvedArchitecture ResolveArchitecture(const COlvexDoc& doc, bool iir,
                                         vhdl::Architecture architecture, int multipliers,
                                         double clockMhz) {
    const dsp::FilterCoefficients c = doc.TakeCoefficients(iir);
    const bool symmetric = vhdl::SymmetricTaps(c);
    const int taps = c.ShownTaps();
    ResolvedArchitecture resolved;
    resolved.arch = architecture;
    // The multipliers the folded template instantiates: never more than the products it has.
    resolved.multipliers = architecture == vhdl::Architecture::kFolded
                               ? vhdl::UsedMultipliers(iir, taps, symmetric, multipliers)
                               : 0;
    if (architecture == vhdl::Architecture::kAuto) {
        const vhdl::ArchitectureChoice choice = vhdl::ChooseArchitecture(
            clockMhz * 1e6, doc.FsOf(iir ? 1 : 0), iir, taps, doc.m_nIirSections, symmetric);
        resolved.arch = choice.arch;
        resolved.multipliers = choice.arch == vhdl::Architecture::kFolded ? choice.multipliers : 0;
        resolved.chosen = true;
        resolved.keepsUp = choice.fits;
    }
    resolved.cyclesPerSample = vhdl::CyclesPerSample(resolved.arch, iir, taps, doc.m_nIirSections,
                                                     resolved.multipliers, symmetric);
    return resolved;
}

ResolvedArchitecture StoredArchitecture(const COlvexDoc& doc, bool iir) {
    const int index = std::clamp(doc.m_nVhdlArchitecture, 0, 3);
    return ResolveArchitecture(doc, iir, static_cast<vhdl::Architecture>(index),
                               doc.m_nVhdlMultipliers, doc.m_dVhdlClockMhz);
}

std::string ArchitectureTemplateName(const COlvexDoc& doc, bool iir,
                                     vhdl::Architecture architecture, int multipliers,
                                     double clockMhz, vhdl::HdlLanguage language) {
    const ResolvedArchitecture resolved =
        ResolveArchitecture(doc, iir, architecture, multipliers, clockMhz);
    return vhdl::WithLanguageExtension(
        vhdl::ArchitectureTemplateFileName(resolved.arch, iir, doc.m_nIirSections), language);
}

std::string LegacyArchitectureTemplateName(const COlvexDoc& doc, bool iir,
                                           vhdl::Architecture architecture, int multipliers,
                                           double clockMhz, vhdl::HdlLanguage language) {
    const ResolvedArchitecture resolved =
        ResolveArchitecture(doc, iir, architecture, multipliers, clockMhz);
    const std::string name = vhdl::LegacyTemplateFileName(resolved.arch, iir, doc.m_nIirSections);
    return name.empty() ? name : vhdl::WithLanguageExtension(name, language);
}

vhdl::HdlLanguage StoredLanguage(const COlvexDoc& doc) {
    return doc.m_nHdlLanguage == 1 ? vhdl::HdlLanguage::kVerilog : vhdl::HdlLanguage::kVhdl;
}

vhdl::HdlLanguage TextLanguage(const COlvexDoc& doc, const std::string& templatePath) {
    return vhdl::TemplateLanguage(templatePath, StoredLanguage(doc));
}

std::string ArchitectureHeaderText(const ResolvedArchitecture& resolved, double clockMhz) {
    if (resolved.arch == vhdl::Architecture::kSerial && !resolved.chosen) {
        return std::string();
    }
    std::string text = vhdl::ArchitectureName(resolved.arch);
    if (resolved.arch == vhdl::Architecture::kFolded) {
        text += ", " + std::to_string(resolved.multipliers) +
                (resolved.multipliers == 1 ? " multiplier" : " multipliers");
    }
    text += ", " + std::to_string(resolved.cyclesPerSample) +
            (resolved.cyclesPerSample == 1 ? " clock per sample" : " clocks per sample");
    if (resolved.chosen) {
        char clock[96];
        std::snprintf(clock, sizeof clock, " (auto for a %.6g MHz clock%s)", clockMhz,
                      resolved.keepsUp ? "" : ", which it cannot keep up with");
        text += clock;
    }
    return text;
}

PolyphaseHardware ResolvePolyphase(const COlvexDoc& doc, vhdl::RateChange rate,
                                   vhdl::Architecture architecture, int multipliers,
                                   double clockMhz) {
    const std::vector<std::int64_t> literals = vhdl::FirLiterals(doc.TakeCoefficients(false));
    PolyphaseHardware hardware;
    if (architecture == vhdl::Architecture::kAuto) {
        const vhdl::PolyphaseChoice choice =
            vhdl::ChoosePolyphaseMultipliers(literals, rate, clockMhz * 1e6, doc.FsOf(0));
        hardware.folded = choice.multipliers > 1;
        hardware.multipliers = choice.multipliers;
        hardware.chosen = true;
        hardware.keepsUp = choice.fits;
    } else if (architecture == vhdl::Architecture::kFolded) {
        hardware.folded = true;
        hardware.multipliers = vhdl::PolyphaseUsedMultipliers(literals, rate, multipliers);
    }
    hardware.rows = vhdl::PolyphaseRows(literals, rate, hardware.multipliers);
    return hardware;
}

PolyphaseHardware StoredPolyphase(const COlvexDoc& doc, vhdl::RateChange rate) {
    const int index = std::clamp(doc.m_nVhdlArchitecture, 0, 3);
    return ResolvePolyphase(doc, rate, static_cast<vhdl::Architecture>(index),
                            doc.m_nVhdlMultipliers, doc.m_dVhdlClockMhz);
}

std::string PolyphaseTemplateName(const COlvexDoc& doc, vhdl::RateChange rate,
                                  vhdl::Architecture architecture, int multipliers, double clockMhz,
                                  vhdl::HdlLanguage language) {
    return vhdl::PolyphaseTemplateName(
        rate, language, ResolvePolyphase(doc, rate, architecture, multipliers, clockMhz).folded);
}

std::string PolyphaseHeaderText(const PolyphaseHardware& hardware, vhdl::RateChange rate,
                                double clockMhz) {
    std::string text = vhdl::PolyphaseArchitectureWords(hardware.rows, rate,
                                                        hardware.folded ? hardware.multipliers : 0);
    if (hardware.chosen) {
        char clock[96];
        std::snprintf(clock, sizeof clock, " (auto for a %.6g MHz clock%s)", clockMhz,
                      hardware.keepsUp ? "" : ", which it cannot keep up with");
        text += clock;
    }
    return text;
}

vhdl::RateChange DocumentRate(const COlvexDoc& doc, bool iir) {
    vhdl::RateChange rate;
    if (iir || !doc.HasRateChange()) {
        return rate;
    }
    rate.kind = doc.m_nRateKind == COlvexDoc::kDecimate ? vhdl::RateKind::kDecimate
                                                        : vhdl::RateKind::kInterpolate;
    rate.factor = doc.m_nRateFactor;
    return rate;
}

std::optional<std::string> RateChangeRefusal(const COlvexDoc& doc, vhdl::RateChange rate,
                                             vhdl::Architecture architecture, int multipliers,
                                             double clockMhz) {
    if (!rate.Active()) {
        return std::nullopt;
    }
    if (architecture == vhdl::Architecture::kParallel) {
        return std::string(kParallelRateRefusal);
    }
    const int lanes =
        architecture == vhdl::Architecture::kSerial
            ? 1
            : ResolvePolyphase(doc, rate, architecture, multipliers, clockMhz).multipliers;
    return vhdl::PolyphaseRefusal(doc.TakeCoefficients(false), rate, lanes);
}

std::string TemplateNotFoundText(const std::string& path) {
    return path + " was not found.";
}

Outcome CheckVhdlCode(const COlvexDoc& doc) {
    return doc.m_bQuantize == 0 ? Refused(design::VhdlNeedsQuantizeWarning()) : Outcome{};
}

VhdlOutcome VhdlCode(COlvexDoc& doc, const VhdlCodeRequest& request, vhdl::RateChange rate) {
    VhdlOutcome outcome;
    static_cast<Outcome&>(outcome) = CheckVhdlCode(doc);
    if (!outcome.Is(OutcomeKind::kAccepted)) {
        return outcome;
    }
    const RangeRefusal bits = design::CheckIntRange(design::kFieldDataBits, request.dataBits,
                                                    design::kMinDataBits, design::kMaxDataBits);
    if (bits.Refused()) {
        static_cast<Outcome&>(outcome) = OutOfRange(bits);
        return outcome;
    }
    for (const RangeRefusal& check :
         {design::CheckMultipliers(request.multipliers), design::CheckClockMhz(request.clockMhz)}) {
        if (check.Refused()) {
            static_cast<Outcome&>(outcome) = OutOfRange(check);
            return outcome;
        }
    }
    doc.m_nDataBits = request.dataBits;
    doc.m_nVhdlArchitecture = static_cast<int>(request.architecture);
    doc.m_nVhdlMultipliers = request.multipliers;
    doc.m_dVhdlClockMhz = request.clockMhz;
    doc.m_nHdlLanguage = request.language == vhdl::HdlLanguage::kVerilog ? 1 : 0;
    if (request.templatePath.empty()) {
        return outcome; // no template was ever found or picked: the box stays empty
    }
    std::string templateText;
    std::string reason;
    const vhdl::TemplateStatus status =
        vhdl::ReadTemplateText(request.templatePath, templateText, reason);
    if (status != vhdl::TemplateStatus::kOk) {
        outcome.kind = OutcomeKind::kFileNotRead;
        outcome.path = request.templatePath;
        outcome.notFound = status == vhdl::TemplateStatus::kNotFound;
        outcome.reason = outcome.notFound ? "not found" : "cannot be read";
        outcome.message = TemplateRefusal(request.templatePath, status, reason);
        return outcome;
    }
    if (!vhdl::TemplateFitsStructure(templateText, request.iir)) {
        outcome.kind = OutcomeKind::kFileNotRead;
        outcome.path = request.templatePath;
        outcome.reason = "not a template of the structure";
        outcome.message = WrongKind(request.templatePath, request.iir);
        return outcome;
    }
    if (std::string blocks = BlockRefusal(doc, request.iir, request.templatePath, templateText);
        !blocks.empty()) {
        outcome.kind = OutcomeKind::kFileNotRead;
        outcome.path = request.templatePath;
        outcome.reason = "malformed section block";
        outcome.message = std::move(blocks);
        return outcome;
    }
    std::string text;
    BuildVhdl(doc, request.headerStructure, request.iir, vhdl::HeaderVariant::kDisplay,
              request.templatePath, templateText, outcome, text, rate);
    outcome.text = std::move(text);
    outcome.templateText = std::move(templateText);
    return outcome;
}

Outcome CheckSaveVhdl(const COlvexDoc& doc, const SaveVhdlRequest& request) {
    if (doc.m_bQuantize == 0) {
        return Refused(design::VhdlNeedsQuantizeWarning());
    }
    return request.vhdlParamsSet ? Outcome{} : Refused(design::VhdlNeedsParamsWarning());
}

VhdlOutcome SaveVhdl(const COlvexDoc& doc, const SaveVhdlRequest& request, vhdl::RateChange rate) {
    VhdlOutcome outcome;
    static_cast<Outcome&>(outcome) = CheckSaveVhdl(doc, request);
    if (!outcome.Is(OutcomeKind::kAccepted)) {
        return outcome;
    }
    // The template the last VHDL Code command located (or the bytes it read in this run); it
    // is not searched for. An IIR section count outside 1..8 has no template: the file holds
    // the header only.
    const bool iir = request.headerStructure == 1;
    std::string text;
    if (!vhdl::TemplateFollowsHeader(iir, doc.m_nIirSections, vhdl::HeaderVariant::kFile)) {
        text = Header(doc, request.headerStructure, iir, vhdl::HeaderVariant::kFile,
                      request.templatePath, rate);
    } else {
        std::string templateText;
        std::string reason;
        const vhdl::TemplateStatus status =
            TemplateBytes(request.templatePath, request.templateText, templateText, reason);
        if (status != vhdl::TemplateStatus::kOk ||
            !vhdl::TemplateFitsStructure(templateText, iir)) {
            // Refused before anything is written.
            outcome.kind = OutcomeKind::kFileNotWritten;
            outcome.path = request.path;
            outcome.reason = status != vhdl::TemplateStatus::kOk
                                 ? "the template " + files::QuotedPath(request.templatePath) +
                                       " cannot be read" +
                                       (reason.empty() ? std::string() : ": " + reason)
                                 : WrongKind(request.templatePath, iir);
            // A template of the other structure is named as such; an unreadable one is reported
            // against the output path, as before.
            outcome.message = status == vhdl::TemplateStatus::kOk
                                  ? outcome.reason
                                  : files::QuotedPath(request.path) + design::kCannotBeOpened;
            return outcome;
        }
        if (std::string blocks = BlockRefusal(doc, iir, request.templatePath, templateText);
            !blocks.empty()) {
            outcome.kind = OutcomeKind::kFileNotWritten;
            outcome.path = request.path;
            outcome.reason = blocks;
            outcome.message = std::move(blocks);
            return outcome;
        }
        BuildVhdl(doc, request.headerStructure, iir, vhdl::HeaderVariant::kFile,
                  request.templatePath, templateText, outcome, text, rate);
    }
    const int substIndex = outcome.substIndex;
    std::vector<std::string> leftovers = std::move(outcome.leftovers);
    static_cast<Outcome&>(outcome) = WriteOutcomeFile(request.path, text);
    outcome.substIndex = substIndex;
    outcome.leftovers = std::move(leftovers);
    return outcome;
}

HardwareReportJob PrepareHardwareReport(const COlvexDoc& doc, const HardwareReportRequest& request,
                                        vhdl::RateChange rate) {
    HardwareReportJob job;
    SaveVhdlRequest check;
    check.headerStructure = request.headerStructure;
    check.vhdlParamsSet = request.vhdlParamsSet;
    job.check = CheckSaveVhdl(doc, check);
    if (!job.check.Is(OutcomeKind::kAccepted)) {
        return job;
    }
    const bool iir = request.headerStructure == 1;
    std::string templateText;
    std::string reason;
    const vhdl::TemplateStatus status =
        vhdl::ReadTemplateText(request.templatePath, templateText, reason);
    if (status != vhdl::TemplateStatus::kOk || !vhdl::TemplateFitsStructure(templateText, iir)) {
        job.check.kind = OutcomeKind::kFileNotRead;
        job.check.path = request.templatePath;
        job.check.reason = status != vhdl::TemplateStatus::kOk ? "cannot be read"
                                                               : "not a template of the structure";
        job.check.message = status != vhdl::TemplateStatus::kOk
                                ? TemplateRefusal(request.templatePath, status, reason)
                                : WrongKind(request.templatePath, iir);
        return job;
    }
    if (std::string blocks = BlockRefusal(doc, iir, request.templatePath, templateText);
        !blocks.empty()) {
        job.check.kind = OutcomeKind::kFileNotRead;
        job.check.path = request.templatePath;
        job.check.reason = "malformed section block";
        job.check.message = std::move(blocks);
        return job;
    }
    VhdlOutcome built;
    BuildVhdl(doc, request.headerStructure, iir, vhdl::HeaderVariant::kFile, request.templatePath,
              templateText, built, job.hardware.vhdlText, rate);
    job.rate = rate;
    if (rate.Active()) {
        job.polyphase = StoredPolyphase(doc, rate);
        job.polyphaseEntries = job.polyphase.rows;
    }
    job.hardware.language = TextLanguage(doc, request.templatePath);
    job.hardware.device = request.device;
    job.hardware.clockHz = doc.m_dVhdlClockMhz * 1e6;
    job.hardware.seeds = request.seeds;
    job.hardware.cancel = request.cancel;
    job.hardware.progress = request.progress;
    job.architecture = StoredArchitecture(doc, iir);
    job.lineEnd = request.lineEnd;
    return job;
}

HardwareReportOutcome RunHardwareReport(const HardwareReportJob& job) {
    HardwareReportOutcome outcome;
    static_cast<Outcome&>(outcome) = job.check;
    if (!outcome.Is(OutcomeKind::kAccepted)) {
        return outcome;
    }
    outcome.hardware = vhdl::RunHardwareFlow(job.hardware);
    const vhdl::HardwareStatus status = outcome.hardware.status;
    if (job.cic &&
        (status == vhdl::HardwareStatus::kOk || status == vhdl::HardwareStatus::kMissedClock)) {
        outcome.text =
            vhdl::FormatHardwareReport(job.cicName, 0, job.cicClocksPerInput, job.hardware.device,
                                       outcome.hardware.figures, job.lineEnd);
    } else if (status == vhdl::HardwareStatus::kOk ||
               status == vhdl::HardwareStatus::kMissedClock) {
        outcome.text = vhdl::FormatHardwareReport(
            vhdl::ArchitectureName(job.architecture.arch), job.architecture.multipliers,
            job.architecture.cyclesPerSample, job.hardware.device, outcome.hardware.figures,
            job.lineEnd);
        if (job.rate.Active()) {
            // A polyphase filter: its hardware and multipliers, its clocks per input sample (a
            // job's clocks over the samples it takes), and the samples it takes per second
            // follow the rate lines ("rate_change decimate 8").
            outcome.text = vhdl::FormatHardwareReport(
                job.polyphase.folded ? "polyphase folded" : "polyphase serial",
                job.polyphase.multipliers,
                vhdl::PolyphaseClocksPerInput(job.polyphaseEntries, job.rate), job.hardware.device,
                outcome.hardware.figures, job.lineEnd);
            const double inputsPerClock =
                vhdl::PolyphaseInputsPerClock(job.polyphaseEntries, job.rate);
            char lines[200];
            std::snprintf(lines, sizeof lines,
                          "rate_change %s %d%sinputs_per_clock %.6g%smax_input_rate_hz %.0f%s",
                          job.rate.kind == vhdl::RateKind::kDecimate ? "decimate" : "interpolate",
                          job.rate.factor, job.lineEnd, inputsPerClock, job.lineEnd,
                          outcome.hardware.figures.fmaxMhz * 1e6 * inputsPerClock, job.lineEnd);
            outcome.text += lines;
        }
    }
    return outcome;
}

HardwareReportOutcome HardwareReport(const COlvexDoc& doc, const HardwareReportRequest& request,
                                     vhdl::RateChange rate) {
    return RunHardwareReport(PrepareHardwareReport(doc, request, rate));
}

std::string HardwareProblemText(const vhdl::HardwareResult& result) {
    if (result.status != vhdl::HardwareStatus::kToolsMissing) {
        return result.message;
    }
    std::string packages;
    for (const std::string& package : result.missingPackages) {
        packages += (packages.empty() ? "" : " ") + package;
    }
    return "The hardware report needs GHDL, yosys and nextpnr-ice40 on PATH: install the Debian "
           "package" +
           std::string(result.missingPackages.size() == 1 ? " " : "s ") + packages +
           " (apt-get install " + packages + ")";
}

std::string CicTemplateNameOf(const COlvexDoc& doc, vhdl::HdlLanguage language) {
    return vhdl::CicTemplateName(doc.CicParams(), language);
}

bool IsCicTemplate(const std::string& path) {
    std::string text;
    return vhdl::ReadTemplateText(path, text) == vhdl::TemplateStatus::kOk &&
           text.find("CICSTAGES") != std::string::npos;
}

VhdlOutcome CicHdl(const COlvexDoc& doc, const std::string& templatePath) {
    return CicHdlOf(doc.CicParams(), templatePath);
}

VhdlOutcome CicHdlOf(const dsp::CicParams& params, const std::string& templatePath) {
    VhdlOutcome outcome;
    outcome.path = templatePath;
    std::string text;
    std::string reason;
    const vhdl::TemplateStatus status = vhdl::ReadTemplateText(templatePath, text, reason);
    if (status != vhdl::TemplateStatus::kOk) {
        outcome.kind = OutcomeKind::kFileNotRead;
        outcome.notFound = status == vhdl::TemplateStatus::kNotFound;
        outcome.reason = reason;
        return outcome;
    }
    if (text.find("CICSTAGES") == std::string::npos) {
        outcome.kind = OutcomeKind::kFileNotRead;
        outcome.message = templatePath + " is no CIC template.";
        return outcome;
    }
    const vhdl::HdlLanguage language =
        vhdl::LanguageOfPath(templatePath).value_or(vhdl::HdlLanguage::kVhdl);
    outcome.templateText = text;
    outcome.text = vhdl::CicHdlText(params, text, language);
    return outcome;
}

VhdlOutcome SaveCicHdl(const COlvexDoc& doc, const std::string& templatePath,
                       const std::string& path) {
    VhdlOutcome outcome = CicHdl(doc, templatePath);
    if (!outcome.Is(OutcomeKind::kAccepted)) {
        outcome.kind = OutcomeKind::kFileNotWritten;
        outcome.reason =
            outcome.message.empty() ? TemplateNotFoundText(templatePath) : outcome.message;
        outcome.path = path;
        return outcome;
    }
    const files::OutputResult written = files::WriteOutputFile(path, outcome.text);
    outcome.path = path;
    outcome.kind = written.ok ? OutcomeKind::kFileWritten : OutcomeKind::kFileNotWritten;
    outcome.reason = written.reason;
    return outcome;
}

std::string CicTestbenchText(const COlvexDoc& doc, vhdl::HdlLanguage language) {
    return vhdl::BuildCicTestbench(doc.CicParams(), language);
}

int CicClocksPerInput(const dsp::CicParams& params) {
    return params.interpolate ? params.rate + params.stages + 1 : 1;
}

HardwareReportJob PrepareCicHardwareReport(const CicHardwareRequest& request) {
    HardwareReportJob job;
    const dsp::CicParams& p = request.params;
    const VhdlOutcome built = CicHdlOf(p, request.templatePath);
    if (!built.Is(OutcomeKind::kAccepted)) {
        static_cast<Outcome&>(job.check) = built;
        job.check.reason = built.notFound         ? "not found"
                           : built.reason.empty() ? "not a CIC template"
                                                  : built.reason;
        return job;
    }
    job.hardware.vhdlText = built.text;
    job.hardware.language =
        vhdl::LanguageOfPath(request.templatePath).value_or(vhdl::HdlLanguage::kVhdl);
    job.hardware.device = request.device;
    job.hardware.clockHz = request.clockHz;
    job.hardware.seeds = request.seeds;
    job.hardware.cancel = request.cancel;
    job.hardware.progress = request.progress;
    job.lineEnd = request.lineEnd;
    job.cic = true;
    const std::string name = vhdl::CicTemplateName(p, job.hardware.language);
    job.cicName = name.substr(0, name.rfind('.'));
    job.cicClocksPerInput = CicClocksPerInput(p);
    return job;
}

} // namespace commands
