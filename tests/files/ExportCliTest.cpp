// vantrel-cli --export as a process: the file holds what the same design exports in this process,
// on fir, iir and load; the refusals exit 2 before anything reaches standard output, a file that
// cannot be written exits 4.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/CoefficientsCommands.h"
#include "app/DesignCommands.h"
#include "app/ExportCommands.h"
#include "app/OlvexDoc.h"
#include "files/Export.h"

#include "tests/support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

struct ExportCli : ::testing::Test {
    support::ScratchFolder folder{"export-cli"};
    const fs::path& dir = folder.Path();

    // Runs vantrel-cli (built next to this test) in `dir` with the words (no quoting needed).
    CliRun Run(const std::string& words) const {
        const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "vantrel-cli";
        const std::string command =
            "cd " + dir.string() + " && " + cli.string() + " " + words + " >out.txt 2>err.txt";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(dir / "out.txt"),
                ReadAll(dir / "err.txt")};
    }
};

// The export of the document as the command line's design leaves it.
std::string Expected(const COlvexDoc& doc, bool iir, files::ExportFormat format,
                     const std::string& stem) {
    return files::BuildExport(format, doc.TakeCoefficients(iir),
                              commands::ExportParametersOf(doc, iir), stem)
        .value_or("(refused)");
}

TEST_F(ExportCli, WritesTheFormatOfTheOptionOrOfTheExtension) {
    COlvexDoc fir;
    commands::FirDesignRequest firRequest;
    firRequest.taps = 21;
    commands::DesignFir(fir, firRequest);
    commands::Coefficients(fir, {false, 1, 12, 0});
    COlvexDoc iir;
    commands::DesignIir(iir, commands::IirDesignRequest{});
    commands::Coefficients(iir, {true, 1, 16, 0});

    struct Case {
        std::string words;
        std::string file;
        const COlvexDoc* doc;
        files::ExportFormat format;
    };
    const Case cases[] = {
        {"fir --taps 21 --quantize 12 --export taps.coe", "taps.coe", &fir,
         files::ExportFormat::kCoe},
        {"fir --taps 21 --quantize 12 --export taps.txt --export-format mif", "taps.txt", &fir,
         files::ExportFormat::kMif},
        {"iir --quantize 16 --export sos.h", "sos.h", &iir, files::ExportFormat::kCHeader},
        {"iir --quantize 16 --export sos.json", "sos.json", &iir, files::ExportFormat::kJson},
        {"iir --quantize 16 --export sos.coe", "sos.coe", &iir, files::ExportFormat::kCoe},
        {"iir --quantize 16 --export sos.csv", "sos.csv", &iir, files::ExportFormat::kCsv},
        // A coefficient file read back exports the same integers.
        {"load fir.txt --quantize 12 --export again.csv", "again.csv", &fir,
         files::ExportFormat::kCsv},
    };
    ASSERT_EQ(Run("fir --taps 21 --quantize 12 --report --format dec --save-coeffs fir.txt").status,
              0);
    for (const Case& c : cases) {
        const CliRun run = Run(c.words);
        EXPECT_EQ(run.status, 0) << c.words << "\n" << run.err;
        const std::string stem = c.file.substr(0, c.file.find('.'));
        const bool iirCase = c.doc == &iir;
        EXPECT_EQ(ReadAll(dir / c.file), Expected(*c.doc, iirCase, c.format, stem)) << c.words;
    }
}

TEST_F(ExportCli, RefusalsComeBeforeAnyOutput) {
    struct Case {
        std::string words;
        int status;
        std::string error;
    };
    const Case cases[] = {
        {"fir --export taps.coe", 2, "--quantize B is needed for --export to .coe or .mif"},
        {"iir --export sos.mif", 2, "--quantize B is needed for --export to .coe or .mif"},
        {"fir --export taps.bin", 2, "does not end in .coe, .mif, .csv, .json or .h"},
        {"fir --export-format csv", 2, "--export-format needs --export FILE"},
        {"fir --export taps --export-format hex", 2, "expected coe, mif, csv, json or c"},
        {"fir --export missing/taps.csv", 4, "missing/taps.csv cannot be opened"},
        {"fir --quantize 12 --data-bits 12 --testbench tb.vhd --export t", 2, "does not end in"},
    };
    for (const Case& c : cases) {
        const CliRun run = Run(c.words);
        EXPECT_EQ(run.status, c.status) << c.words;
        EXPECT_NE(run.err.find(c.error), std::string::npos) << c.words << "\n" << run.err;
        if (c.status == 2) {
            EXPECT_EQ(run.out, "") << c.words;
        }
    }
    EXPECT_FALSE(fs::exists(dir / "tb.vhd")) << "no file is written before the refusal";
}

} // namespace
