// --export FILE [--export-format coe|mif|csv|json|c]: the Export action of Save/Load. Without
// --export-format the file's extension names the format (.coe, .mif, .csv, .json, .h).
#include "cli/ExportOptions.h"

#include <cstdio>
#include <optional>
#include <string>

#include "app/ExportCommands.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"

namespace cli {

namespace {

std::optional<files::ExportFormat> FormatOf(const CliArgs& args) {
    if (args.Has("export-format")) {
        return files::ParseExportFormat(args.Value("export-format"));
    }
    const std::string& path = args.Value("export");
    for (files::ExportFormat format :
         {files::ExportFormat::kCoe, files::ExportFormat::kMif, files::ExportFormat::kCsv,
          files::ExportFormat::kJson, files::ExportFormat::kCHeader}) {
        const std::string extension = files::ExportExtension(format);
        if (path.size() > extension.size() &&
            path.compare(path.size() - extension.size(), extension.size(), extension) == 0) {
            return format;
        }
    }
    return std::nullopt;
}

commands::ExportRequest Request(const CliArgs& args, const RunState& run) {
    commands::ExportRequest request;
    request.iir = run.Iir();
    request.format = FormatOf(args).value_or(files::ExportFormat::kCsv);
    request.path = args.Value("export");
    request.rate = run.rate; // --decimate or --interpolate, read with the VHDL options
    return request;
}

} // namespace

int CheckExportOption(const CliArgs& args, const RunState& run) {
    if (!args.Has("export")) {
        if (args.Has("export-format")) {
            std::fputs("--export-format needs --export FILE\n", stderr);
            return kExitInvalid;
        }
        return kExitOk;
    }
    if (!FormatOf(args)) {
        std::fprintf(stderr,
                     "--export: '%s' does not end in .coe, .mif, .csv, .json or .h; give "
                     "--export-format coe|mif|csv|json|c\n",
                     args.Value("export").c_str());
        return kExitInvalid;
    }
    return ReportOutcome(commands::CheckExport(run.doc, Request(args, run)), {});
}

int WriteExportOption(const CliArgs& args, const RunState& run) {
    if (!args.Has("export")) {
        return kExitOk;
    }
    return ReportOutcome(commands::Export(run.doc, Request(args, run)), {});
}

} // namespace cli
