// The exports as plain calls: the coefficients in the formats of other tools, the testbench and
// a picture of the plot, each written through files::WriteOutputFile.
#include <algorithm>
#include <span>

#include "app/DesignRules.h"
#include "app/ExportCommands.h"

#include "app/AnalysisCommands.h"
#include "app/CoefficientsCommands.h"
#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"

namespace commands {

namespace {

// The file's name without its folder and its last extension: the C header's identifier base.
std::string Stem(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

} // namespace

files::ExportParameters ExportParametersOf(const COlvexDoc& doc, bool iir) {
    files::ExportParameters p;
    p.filterType = doc.FilterTypeOf(iir ? 1 : 0);
    p.fs = doc.FsOf(iir ? 1 : 0);
    const bool twoBands = p.filterType == kBrf || p.filterType == kBpf;
    if (iir) {
        p.sections = doc.m_nIirSections;
        p.rippleDb = doc.m_dRippleDb;
        p.iirMethod = doc.m_nIirMethod;
        p.attenDb = doc.m_dIirAttenDb;
        p.cutoffs = {doc.m_dIirFc1};
        if (twoBands) {
            p.cutoffs.push_back(doc.m_dIirFc2);
        }
    } else {
        p.edges = {doc.m_fc1, doc.m_fc2};
        if (twoBands) {
            p.edges.insert(p.edges.end(), {doc.m_fc3, doc.m_fc4});
        }
        p.taps = doc.m_nTaps;
        if (doc.FirUsesBandTable()) {
            static constexpr const char* kKinds[] = {"", "hilbert", "differentiator", "multiband"};
            p.firKind = kKinds[static_cast<int>(doc.FirKind())];
            const dsp::FirBands table = doc.BandTable();
            for (size_t b = 0; b < static_cast<size_t>(table.nBands); ++b) {
                p.firBands.push_back({table.edges[2 * b] * doc.m_fs,
                                      table.edges[2 * b + 1] * doc.m_fs, table.desired[b],
                                      table.weight[b]});
            }
        }
        p.rr = doc.m_dRR;
        p.multiplier = doc.m_nCoeffMultiplier;
        p.firMethod = doc.m_nFirMethod;
        p.kaiserBeta = doc.m_dKaiserBeta;
    }
    return p;
}

files::ExportParameters CicCompensatorExportParametersOf(const COlvexDoc& doc) {
    files::ExportParameters p;
    p.filterType = kLpf;
    p.fs = doc.m_fs / static_cast<double>(std::max(1, doc.m_nCicRate));
    p.taps = doc.m_nCicCompDesigned;
    p.multiplier = 1;
    p.firKind = files::kCicCompensatorKind;
    p.firBands = {{0.0, doc.m_dCicCompPassEdge * p.fs, 1.0, 1.0},
                  {doc.m_dCicCompStopEdge * p.fs, 0.5 * p.fs, 0.0, 1.0}};
    p.edges = {doc.m_dCicCompPassEdge * p.fs, doc.m_dCicCompStopEdge * p.fs};
    return p;
}

Outcome CheckExport(const COlvexDoc& doc, const ExportRequest& request) {
    if (request.cic) {
        const Outcome compensator = CheckCicCompensator(doc);
        if (!compensator.Is(OutcomeKind::kAccepted)) {
            return compensator;
        }
    }
    if (files::IsIntegerFormat(request.format) && doc.m_bQuantize == 0) {
        return Refused(design::ExportNeedsQuantizeWarning());
    }
    return {};
}

Outcome Export(const COlvexDoc& doc, const ExportRequest& request) {
    const Outcome check = CheckExport(doc, request);
    if (!check.Is(OutcomeKind::kAccepted)) {
        return check;
    }
    files::ExportParameters parameters =
        request.cic ? CicCompensatorExportParametersOf(doc) : ExportParametersOf(doc, request.iir);
    parameters.rate = request.cic ? vhdl::RateChange{} : request.rate;
    const std::optional<std::string> text = files::BuildExport(
        request.format,
        request.cic ? doc.TakeCicCompensatorCoefficients() : doc.TakeCoefficients(request.iir),
        parameters, Stem(request.path));
    if (!text) {
        return Refused(design::ExportNeedsQuantizeWarning());
    }
    return WriteOutcomeFile(request.path, *text);
}

Outcome CheckSaveTestbench(const COlvexDoc& doc, const SaveTestbenchRequest& request) {
    if (doc.m_bQuantize == 0) {
        return Refused(design::VhdlNeedsQuantizeWarning());
    }
    if (!request.vhdlParamsSet) {
        return Refused(design::VhdlNeedsParamsWarning());
    }
    return {};
}

Outcome SaveTestbench(COlvexDoc& doc, const SaveTestbenchRequest& request) {
    const Outcome check = CheckSaveTestbench(doc, request);
    if (!check.Is(OutcomeKind::kAccepted)) {
        return check;
    }
    // The stimulus is the wave In/Out Wave sends through the filter, as --testbench takes it.
    SimulateWave(doc, request.iir);
    const TextOutcome testbench = Testbench(doc, request.iir, StoredLanguage(doc), request.rate);
    if (!testbench.Is(OutcomeKind::kAccepted)) {
        return testbench;
    }
    return WriteOutcomeFile(request.path, testbench.text);
}

Outcome SavePlotPicture(const std::string& path, std::string_view picture) {
    if (picture.empty()) {
        Outcome outcome;
        outcome.kind = OutcomeKind::kFileNotWritten;
        outcome.path = path;
        outcome.reason = "the plot could not be drawn";
        outcome.message = files::QuotedPath(path) + design::kCannotBeOpened;
        return outcome;
    }
    return WriteOutcomeFile(path, picture);
}

} // namespace commands
