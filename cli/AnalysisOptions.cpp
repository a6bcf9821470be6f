// Options shared by the subcommands that analyse a design: --quantize and --response.
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"

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

// Written beside the target and renamed into place, so a failed write never leaves a partial
// file where a good one was.
int WriteResponseFile(const std::string& path, const COlvexDoc& doc) {
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "w");
    if (file == nullptr) {
        std::fprintf(stderr, "%s cannot be opened\n", path.c_str());
        return kExitFileError;
    }
    bool ok = true;
    for (int i = 0; i < COlvexDoc::kResponseUsed; ++i) {
        ok = std::fprintf(file, "%d %.17g %.17g\n", i, doc.m_aGainDb[i], doc.m_aPhase[i]) > 0 && ok;
    }
    ok = std::fclose(file) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        std::fprintf(stderr, "%s cannot be opened\n", path.c_str());
        return kExitFileError;
    }
    return kExitOk;
}

} // namespace cli
