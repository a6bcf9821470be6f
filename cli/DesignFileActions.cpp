// vantrel-cli open FILE and --save-design FILE: a design file restored into the run's document
// (then the same coefficient actions as fir, iir and load), and the run's design written out
// after every other action.
#include <cstdio>
#include <string>

#include "app/DesignFileCommands.h"
#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/InputFile.h"
#include "files/NumberText.h"

namespace cli {

namespace {

// A CIC design file: what `cic` does with its parameters (with its compensator, what
// `cic --compensate` does), writing the HDL and the testbench that --vhdl, --verilog and
// --testbench name.
int RunOpenedCic(const CliArgs& args, RunState& run) {
    const dsp::CicParams p = run.doc.CicParams();
    CliArgs cic;
    cic.Set(p.interpolate ? "interpolate" : "decimate", std::to_string(p.rate));
    cic.Set("stages", std::to_string(p.stages));
    cic.Set("delay", std::to_string(p.delay));
    cic.Set("data-bits", std::to_string(p.dataBits));
    char edge[32];
    std::snprintf(edge, sizeof edge, "%.17g", run.doc.m_dCicEdge);
    cic.Set("edge", edge);
    if (p.prune) {
        cic.Set("prune", "");
    }
    if (p.pipeline) {
        cic.Set("pipeline", "");
    }
    if (run.doc.m_bCicCompensate != 0) {
        cic.Set("compensate", "");
        cic.Set("taps", std::to_string(run.doc.m_nCicCompTaps));
        char edges[64];
        std::snprintf(edges, sizeof edges, "%.17g,%.17g", run.doc.m_dCicCompPassEdge,
                      run.doc.m_dCicCompStopEdge);
        cic.Set("edges", edges);
    }
    if (args.Has("compensator") && run.doc.m_bCicCompensate == 0) {
        std::fprintf(stderr, "vantrel-cli open: --compensator FILE needs a CIC design file with "
                             "a compensator\n");
        return kExitInvalid;
    }
    for (const char* name : {"vhdl", "verilog", "testbench", "compensator"}) {
        if (args.Has(name)) {
            cic.Set(name, args.Value(name));
        }
    }
    return RunCic(cic, run);
}

} // namespace

int RunOpen(const CliArgs& args, RunState& run) {
    if (!args.Has("file")) {
        std::fprintf(stderr, "vantrel-cli open: name the design file to open\n");
        return kExitInvalid;
    }
    int status = CheckMeasureOptions(args);
    if (status != kExitOk) {
        return status;
    }
    const commands::OpenDesignOutcome opened = commands::OpenDesign(run.doc, args.Value("file"));
    if (!opened.Is(commands::OutcomeKind::kAccepted)) {
        std::fprintf(stderr, "%s\n", opened.message.c_str());
        return kExitInvalid;
    }
    if (!opened.message.empty()) {
        std::fprintf(stderr, "%s\n", opened.message.c_str()); // a user wave no longer readable
    }
    if (opened.form.structure == COlvexDoc::kCicStructure) {
        return RunOpenedCic(args, run);
    }
    if (args.Has("compensator")) {
        std::fprintf(stderr, "vantrel-cli open: --compensator FILE needs a CIC design file with "
                             "a compensator\n");
        return kExitInvalid;
    }
    run.m_nFirIir = opened.form.structure == 1 ? 1 : 0;
    run.m_bNoDesign = opened.form.designed ? 0 : 1;
    run.m_nPlotMode = opened.form.plotMode;
    run.m_strTemplatePath = opened.form.templatePath;
    run.keepsCoefficientSettings = true;
    status = ApplyMeasureBands(args, run);
    if (status != kExitOk) {
        return status;
    }
    // A FIR designed to decimate or interpolate is generated as fir's --decimate and
    // --interpolate generate it, with their checks.
    CliArgs actions = args;
    if (run.m_nFirIir == 0 && run.doc.HasRateChange()) {
        actions.Set(run.doc.m_nRateKind == COlvexDoc::kDecimate ? "decimate" : "interpolate",
                    std::to_string(run.doc.m_nRateFactor));
    }
    return RunCoefficientActions(actions, run);
}

void StoreRateOptions(const CliArgs& args, COlvexDoc& doc) {
    if (args.Has("decimate") == args.Has("interpolate")) {
        return;
    }
    const bool decimate = args.Has("decimate");
    int factor = 0;
    if (!files::ParseInt(args.Value(decimate ? "decimate" : "interpolate"), factor) ||
        factor < COlvexDoc::kMinRateFactor || factor > COlvexDoc::kMaxRateFactor) {
        return;
    }
    doc.m_nRateKind = decimate ? COlvexDoc::kDecimate : COlvexDoc::kInterpolate;
    doc.m_nRateFactor = factor;
}

int WriteDesignOption(const CliArgs& args, const RunState& run) {
    if (!args.Has("save-design")) {
        return kExitOk;
    }
    commands::FormSettings form;
    form.structure = run.Iir() ? 1 : 0;
    form.plotMode = run.m_nPlotMode;
    form.designed = run.Designed();
    form.templatePath = run.m_strTemplatePath;
    const commands::Outcome saved = commands::SaveDesign(run.doc, form, args.Value("save-design"));
    if (!saved.Is(commands::OutcomeKind::kFileWritten)) {
        std::fprintf(stderr, "--save-design: %s (%s)\n",
                     saved.path == files::kStandardStreamPath ? "standard output"
                                                              : saved.message.c_str(),
                     saved.reason.c_str());
        return kExitFileError;
    }
    return kExitOk;
}

} // namespace cli
