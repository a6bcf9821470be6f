// Options shared by the subcommands that analyse a design: --quantize and --response.
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/OutputFile.h"

#include <cstdio>
#include <string>

namespace cli {

void ReportWarning(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

int ApplyQuantizeOption(const CliArgs& args, COlvexDoc& doc, bool iir) {
    if (!args.Has("quantize")) {
        return kExitOk;
    }
    int bits = 0;
    if (!ReadInt(args, "quantize", bits)) {
        return kExitInvalid;
    }
    if (bits < design::kMinQuantBits || bits > design::kMaxQuantBits) {
        std::fprintf(stderr, "--quantize: Please enter an integer between %d and %d.\n",
                     design::kMinQuantBits, design::kMaxQuantBits);
        return kExitInvalid;
    }
    design::Warning warning;
    if (!design::CheckQuantBits(doc, iir, bits, warning)) {
        ReportWarning(warning.OneLine());
        return kExitInvalid;
    }
    doc.m_nQuantBits = bits;
    doc.m_bQuantize = 1;
    return kExitOk;
}

// The response table goes through the output-file component like every file the program
// writes, so a device, a FIFO or a symlink is written as what it is and a failed save leaves the
// old file as it was.
int WriteResponseFile(const std::string& path, const COlvexDoc& doc) {
    std::string text;
    char line[96];
    for (int i = 0; i < COlvexDoc::kResponseUsed; ++i) {
        std::snprintf(line, sizeof line, "%d %.17g %.17g\n", i, doc.m_aGainDb[i], doc.m_aPhase[i]);
        text += line;
    }
    const files::OutputResult written = files::WriteOutputFile(path, text);
    if (!written.ok) {
        std::fprintf(stderr, "--response: %s\n", written.Describe().c_str());
        return kExitFileError;
    }
    return kExitOk;
}

} // namespace cli
