// vantrel-cli end to end: the program is run as a process and compared with the same command
// flow played on the scripted desktop in this process. The report of each subcommand must be
// the output box of that flow; every exit status is produced by its cause; --help lists every
// option the parser takes, with its default, and the parser takes every option it lists.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "app/ui/OlvexView.h"
#include "coeffs/ui/CoeffDialog.h"
#include "files/SearchPath.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "resources/VhdlResources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

namespace fs = std::filesystem;
using platform::DialogAnswer;

// The program is built next to this test binary.
std::string CliPath() {
    return (fs::read_symlink("/proc/self/exe").parent_path() / "vantrel-cli").string();
}

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

std::string Quoted(const std::string& word) {
    std::string text = "'";
    for (char c : word) {
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    text += '\'';
    return text;
}

// Runs vantrel-cli with the words; standard output goes to `stdoutPath` when given.
CliRun RunCli(const std::vector<std::string>& words, const std::string& stdoutPath = "") {
    const fs::path dir = fs::temp_directory_path() / ("cli-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path out = dir / "out.txt";
    const fs::path err = dir / "err.txt";
    std::string command = Quoted(CliPath());
    for (const std::string& word : words) {
        command.append(" ").append(Quoted(word));
    }
    command.append(" >").append(Quoted(stdoutPath.empty() ? out.string() : stdoutPath));
    command.append(" 2>").append(Quoted(err.string()));
    const int raw = std::system(command.c_str());
    CliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = stdoutPath.empty() ? ReadAll(out) : std::string();
    run.err = ReadAll(err);
    fs::remove_all(dir);
    return run;
}

// The window: a document, the form view and the scripted desktop.
struct Window : support::ScriptedWindow {
    std::string Output() const {
        std::string text = view.m_strOutput;
        for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
            text.erase(at, 1);
        }
        return text;
    }
};

DialogAnswer Coefficients(int bits, int format) {
    DialogAnswer answer = DialogAnswer::Ok(coeffs::kIddCoefficients)
                              .Check(coeffs::kIdcQuantize, bits > 0 ? 1 : 0)
                              .Radio(coeffs::kIdcFormatReal + format);
    if (bits > 0) {
        answer.Text(coeffs::kIdcQuantBits, std::to_string(bits));
    }
    return answer;
}

// ---- The report is the output box of the same flow ----------------------------------------------

struct ReportCase {
    const char* name;
    std::vector<std::string> args;
    int formRadio;       // filter type radio of the form
    bool iir;            // structure radio of the form
    DialogAnswer design; // what the user types into the parameter dialog
    int bits;            // 0: "Quantize by" off
    int format;
};

std::vector<ReportCase> ReportCases() {
    using namespace design;
    return {
        {"FirDefaults", {"fir", "--report"}, resources::kIdcLpf, false, DialogAnswer::Ok(), 0, 0},
        {"FirBandPassHex",
         {"fir", "--type", "bpf", "--edges", "100,150,300,350", "--taps", "61", "--mult", "3",
          "--report", "--quantize", "16", "--format", "hex"},
         resources::kIdcBpf,
         false,
         DialogAnswer::Ok()
             .Text(kIdcFc1, "100")
             .Text(kIdcFc2, "150")
             .Text(kIdcFc3, "300")
             .Text(kIdcFc4, "350")
             .Text(kIdcTaps, "61")
             .Text(kIdcMultiplier, "3"),
         16,
         3},
        {"FirHighPassEvenTapsBin",
         {"fir", "--type", "hpf", "--taps", "42", "--fs", "2000", "--edges", "300,400", "--rr", "3",
          "--report", "--quantize", "12", "--format", "bin"},
         resources::kIdcHpf,
         false,
         DialogAnswer::Ok()
             .Text(kIdcTaps, "42")
             .Text(kIdcFs, "2000")
             .Text(kIdcFc1, "300")
             .Text(kIdcFc2, "400")
             .Text(kIdcRR, "3"),
         12,
         1},
        {"IirDefaultsDec",
         {"iir", "--report", "--quantize", "16", "--format", "dec"},
         resources::kIdcLpf,
         true,
         DialogAnswer::Ok(),
         16,
         2},
        {"IirBandRejectReal",
         {"iir", "--type", "brf", "--cutoff", "150,300", "--sections", "4", "--ripple", "0.5",
          "--report"},
         resources::kIdcBrf,
         true,
         DialogAnswer::Ok()
             .Text(kIdcFc1, "150")
             .Text(kIdcFc2, "300")
             .Text(kIdcIirSections, "4")
             .Text(kIdcRipple, "0.5"),
         0,
         0},
    };
}

void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.name;
}

class CliReportTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(CliReportTest, ReportIsTheOutputBoxOfTheSameFlow) {
    const ReportCase& c = GetParam();
    Window window;
    window.host.ClickFormRadio(c.formRadio);
    window.host.ClickFormRadio(c.iir ? resources::kIdcIir : resources::kIdcFir);
    window.host.AnswerDialog(c.design);
    window.Press(resources::kIdcDesign);
    window.host.AnswerDialog(Coefficients(c.bits, c.format));
    window.Press(resources::kIdcCoefficients);
    ASSERT_TRUE(window.host.Warnings().empty());
    ASSERT_EQ(window.host.UnansweredDialogs(), 0);

    const CliRun run = RunCli(c.args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, window.Output());
    EXPECT_FALSE(run.out.empty());
}

INSTANTIATE_TEST_SUITE_P(Flows, CliReportTest, ::testing::ValuesIn(ReportCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// load: the window loads through Save/Load and then lists with Coefficients.
TEST(CliLoadTest, ReportOfALoadedFileIsTheOutputBoxOfTheSameFlow) {
    const fs::path file =
        fs::temp_directory_path() / ("cli-load-" + std::to_string(::getpid()) + ".txt");
    // A FIR design saved as 16-bit hex, then read back by both.
    ASSERT_EQ(RunCli({"fir", "--taps", "31", "--quantize", "16", "--format", "hex", "--save-coeffs",
                      file.string()})
                  .status,
              0);
    for (const bool iirStructure : {false}) {
        Window window;
        window.host.ClickFormRadio(iirStructure ? resources::kIdcIir : resources::kIdcFir);
        window.host.AnswerDialog(
            DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcLoadCoeffs));
        window.host.AnswerFileDialog(file.string());
        window.Press(resources::kIdcSaveLoad);
        ASSERT_TRUE(window.host.Warnings().empty());
        window.host.AnswerDialog(Coefficients(16, 3));
        window.Press(resources::kIdcCoefficients);

        const CliRun run =
            RunCli({"load", file.string(), "--report", "--quantize", "16", "--format", "hex"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, window.Output());
    }
    fs::remove(file);
}

// A load the reader refuses: the warning (in the command line's words where the window's point
// at its Help menu), then what its fixed text leaves out.
TEST(CliLoadTest, RefusedFileGivesTheWindowsWarningAndTheReason) {
    const fs::path file =
        fs::temp_directory_path() / ("cli-bad-" + std::to_string(::getpid()) + ".txt");
    ASSERT_EQ(RunCli({"fir", "--taps", "5", "--save-coeffs", file.string()}).status, 0);
    std::ofstream(file, std::ios::app) << "abc\n";
    struct Case {
        std::string path;
        std::string warning;
        std::string reason;
    };
    const Case cases[] = {
        {file.string(),
         "Invalid coefficient file format (see COEFFICIENT FILES in vantrel-cli(1)).",
         file.string() + ": value 6, 'abc', is not a number"},
        {file.string() + ".none", design::InvalidFileNameWarning().OneLine(),
         file.string() + ".none: No such file or directory"},
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli({"load", c.path});
        EXPECT_EQ(run.status, 2) << c.path;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, c.warning + "\n" + c.reason + "\n");
    }
    fs::remove(file);
}

// ---- VHDL: VHDL Code, then Save/Load's Save VHDL ------------------------------------------------

// The file --vhdl writes is the one Save VHDL writes after VHDL Code in the window.
TEST(CliVhdlTest, VhdlFileIsWhatSaveVhdlOfTheSameFlowWrites) {
    const fs::path dir = fs::temp_directory_path() / ("cli-vhdl-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (const bool iir : {false, true}) {
        Window window;
        window.host.SetSearchFolders(files::SystemSearchFolders());
        window.host.ClickFormRadio(iir ? resources::kIdcIir : resources::kIdcFir);
        window.host.AnswerDialog(DialogAnswer::Ok());
        window.Press(resources::kIdcDesign);
        window.host.AnswerDialog(Coefficients(14, 0));
        window.Press(resources::kIdcCoefficients);
        window.host.AnswerDialog(
            DialogAnswer::Ok(resources::kIddVhdlSource).Text(resources::kIdcVhdlDataBits, "10"));
        window.Press(resources::kIdcVhdlCode);
        window.host.AnswerDialog(
            DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcSaveVhdl));
        window.host.AnswerFileDialog((dir / "window.vhd").string());
        window.Press(resources::kIdcSaveLoad);
        ASSERT_TRUE(window.host.Warnings().empty());

        const CliRun run = RunCli({iir ? "iir" : "fir", "--quantize", "14", "--data-bits", "10",
                                   "--vhdl", (dir / "cli.vhd").string()});
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string written = ReadAll(dir / "window.vhd");
        EXPECT_NE(written.find("entity"), std::string::npos) << "iir " << iir;
        EXPECT_EQ(ReadAll(dir / "cli.vhd"), written) << "iir " << iir;
    }
    fs::remove_all(dir);
}

// The stimulus of the testbench passes the In/Out Wave dialog's checks; a refused entry writes
// no file at all.
TEST(CliVhdlTest, TestbenchStimulusIsCheckedByTheWaveDialog) {
    const fs::path dir = fs::temp_directory_path() / ("cli-tb-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    struct Case {
        std::string freq;
        int status;
        const char* stderrPart;
    };
    const Case cases[] = {{"1e308", 2, "--freq: Please enter a number above 0 and at most"},
                          {"0", 2, "--freq: Please enter a number above 0 and at most"},
                          {"abc", 2, "--freq: Please enter a number."},
                          {"40", 0, ""}};
    for (const Case& c : cases) {
        const fs::path vhd = dir / "f.vhd";
        const fs::path tb = dir / "tb.vhd";
        const CliRun run = RunCli({"fir", "--quantize", "16", "--data-bits", "12", "--vhdl",
                                   vhd.string(), "--testbench", tb.string(), "--freq", c.freq});
        EXPECT_EQ(run.status, c.status) << c.freq << ": " << run.err;
        EXPECT_NE(run.err.find(c.stderrPart), std::string::npos) << run.err;
        EXPECT_EQ(fs::exists(vhd), c.status == 0) << c.freq;
        EXPECT_EQ(fs::exists(tb), c.status == 0) << c.freq;
        fs::remove(vhd);
        fs::remove(tb);
    }
    fs::remove_all(dir);
}

// ---- Exit statuses
// --------------------------------------------------------------------------------

struct StatusCase {
    const char* name;
    std::vector<std::string> args;
    bool stdoutFull; // standard output on /dev/full
    int status;
    const char* stderrPart;
};

void PrintTo(const StatusCase& c, std::ostream* os) {
    *os << c.name;
}

class CliStatusTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(CliStatusTest, StatusAndMessage) {
    const StatusCase& c = GetParam();
    const CliRun run = RunCli(c.args, c.stdoutFull ? "/dev/full" : "");
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.stderrPart), std::string::npos) << run.err;
    if ((c.status == 2 || c.status == 3) && !c.stdoutFull) {
        EXPECT_EQ(run.out, "") << "a refused or failed run prints no data";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, CliStatusTest,
    ::testing::Values(
        StatusCase{"Done", {"fir", "--taps", "31"}, false, 0, ""},
        StatusCase{"UnknownOption", {"fir", "--spectrum"}, false, 2, "unknown option '--spectrum'"},
        StatusCase{"UnknownCommand", {"filter"}, false, 2, "unknown command 'filter'"},
        StatusCase{"MissingValue", {"iir", "--ripple"}, false, 2, "'--ripple' needs a value"},
        StatusCase{"MalformedInteger",
                   {"fir", "--taps", "4x"},
                   false,
                   2,
                   "--taps: Please enter an integer."},
        StatusCase{
            "MalformedNumber", {"iir", "--fs", "1e3x"}, false, 2, "--fs: Please enter a number."},
        StatusCase{"MalformedSlider",
                   {"fir", "--freq-start", "ten"},
                   false,
                   2,
                   "--freq-start: Please enter an integer."},
        StatusCase{"SliderOutOfRange",
                   {"wave", "--time-start", "101"},
                   false,
                   2,
                   "--time-start: Please enter an integer between 0 and 100."},
        StatusCase{
            "ZoomWord", {"wave", "--fft-zoom", "5"}, false, 2, "--fft-zoom: expected 1 or 10"},
        StatusCase{"GainRangeRefusedByTheDialog",
                   {"iir", "--gain-range", "0"},
                   false,
                   2,
                   "--gain-range: Please enter a number above 0 and at most 1000000."},
        StatusCase{"WaveRangeRefusedByTheDialog",
                   {"wave", "--wave-range", "-5"},
                   false,
                   2,
                   "--wave-range: Please enter a number above 0 and at most 1000000."},
        StatusCase{"SpectrumRangeRefusedByTheDialog",
                   {"wave", "--mag-range", "-5"},
                   false,
                   2,
                   "--mag-range: Please enter a number above 0 and at most 1000000."},
        StatusCase{"WarningThatStoresNothing", {"iir", "--cutoff", "600"}, false, 2, "Nyquist"},
        StatusCase{"QuantizeWarning",
                   {"fir", "--report", "--format", "hex"},
                   false,
                   2,
                   "--format bin, dec and hex need --quantize B."},
        StatusCase{"RangeOfTheCoefficientsDialog",
                   {"fir", "--quantize", "33"},
                   false,
                   2,
                   "--quantize: Please enter an integer between 4 and 32."},
        StatusCase{"DesignFailed",
                   {"fir", "--edges", "1,2", "--taps", "4"},
                   false,
                   3,
                   "The design failed"},
        StatusCase{"StandardOutputFull",
                   {"iir", "--report"},
                   true,
                   4,
                   "standard output: No space left on device"},
        StatusCase{"HelpToAFullStandardOutput",
                   {"wave", "--help"},
                   true,
                   4,
                   "standard output: No space left on device"},
        StatusCase{"ResponseFileNotWritten",
                   {"fir", "--response", "/dev/full"},
                   false,
                   4,
                   "No space left on device"},
        StatusCase{"CoefficientFileNotWritten",
                   {"fir", "--save-coeffs", "/nonexistent-folder/c.txt"},
                   false,
                   4,
                   "/nonexistent-folder/c.txt cannot be opened (No such file or directory)"},
        StatusCase{
            "VhdlFileNotWritten",
            {"fir", "--quantize", "16", "--data-bits", "12", "--vhdl", "/nonexistent-folder/x.vhd"},
            false,
            4,
            "/nonexistent-folder/x.vhd: No such file or directory"},
        StatusCase{"DataBitsRefusedByTheVhdlDialog",
                   {"iir", "--quantize", "16", "--data-bits", "3", "--testbench", "/dev/null"},
                   false,
                   2,
                   "--data-bits: Please enter an integer between 4 and 24."}),
    [](const auto& info) { return std::string(info.param.name); });

// An advisory warning designs anyway: the unbalanced band-pass still prints its taps.
TEST(CliStatusTest, AdvisoryWarningKeepsTheDesign) {
    const CliRun run =
        RunCli({"fir", "--type", "bpf", "--edges", "200,210,350,400", "--taps", "61"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("(fc2-fc1) had better equal to (fc4-fc3)."), std::string::npos);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 61);
}

// ---- Help
// ------------------------------------------------------------------------------------------

// The options a help text lists, in order.
std::vector<std::string> ListedOptions(const std::string& help) {
    std::vector<std::string> names;
    const std::regex option(R"(^  --([a-z-]+))");
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (std::regex_search(line, match, option)) {
            names.push_back(match[1]);
        }
    }
    return names;
}

TEST(CliHelpTest, EveryListedOptionIsAcceptedAndEveryOtherRefused) {
    // Options of the subcommands that the contract checks in tools/ use.
    const std::map<std::string, std::set<std::string>> used = {
        {"fir", {"type",        "fs",          "edges",      "taps",      "rr",
                 "mult",        "auto",        "quantize",   "report",    "format",
                 "response",    "save-coeffs", "vhdl",       "testbench", "data-bits",
                 "template",    "wave",        "freq",       "user",      "measure",
                 "advise-bits", "tolerance",   "gain-range", "freq-zoom", "freq-start"}},
        {"iir",
         {"type", "fs", "cutoff", "sections", "ripple", "quantize", "report", "format", "response",
          "save-coeffs", "vhdl", "testbench", "data-bits", "measure"}},
        {"wave",
         {"structure", "type", "edges", "taps", "cutoff", "sections", "wave", "freq", "user",
          "quantize", "spectrum", "mag-range", "hardware", "data-bits", "wave-range", "time-zoom",
          "time-start", "fft-zoom", "fft-start"}},
        {"load",
         {"file", "structure", "quantize", "report", "format", "response", "save-coeffs", "measure",
          "advise-bits", "tolerance", "edges", "save-design"}},
        {"open", {"file", "report", "measure", "vhdl", "testbench", "save-design"}},
    };
    const CliRun all = RunCli({"--help"});
    ASSERT_EQ(all.status, 0);
    std::set<std::string> everywhere;
    for (const auto& [command, options] : used) {
        const CliRun help = RunCli({command, "--help"});
        ASSERT_EQ(help.status, 0) << command;
        // The overview names each command; a command's help is its own, the same by either
        // spelling, and holds no other command's section.
        EXPECT_NE(all.out.find("  " + command + " "), std::string::npos) << command;
        EXPECT_EQ(RunCli({"help", command}).out, help.out) << command;
        for (const auto& other : used) {
            if (other.first != command) {
                EXPECT_EQ(help.out.find("vantrel-cli " + other.first), std::string::npos)
                    << command << " --help shows " << other.first;
            }
        }
        const std::vector<std::string> listed = ListedOptions(help.out);
        const std::set<std::string> listedSet(listed.begin(), listed.end());
        for (const std::string& name : options) {
            EXPECT_TRUE(listedSet.count(name)) << command << " --help lacks --" << name;
        }
        everywhere.insert(listed.begin(), listed.end());
        // Each listed option is taken by the parser: whatever happens next, it is not unknown.
        for (const std::string& name : listed) {
            if (name == "help") {
                continue;
            }
            // A value no file can be written to and no number reads.
            const CliRun run = RunCli({command, "--" + name, "/nonexistent/1"});
            EXPECT_EQ(run.err.find("unknown option"), std::string::npos)
                << command << " --" << name << ": " << run.err;
        }
        // Defaults come from the document: the tap count and fs of a fresh one.
        if (command == "fir") {
            EXPECT_NE(help.out.find("[default: 90]"), std::string::npos);
            EXPECT_NE(help.out.find("[default: 1000]"), std::string::npos);
        }
        if (command == "wave") {
            EXPECT_NE(help.out.find("[default: 50]"), std::string::npos);
        }
    }
    // An option listed for some command but not for this one is refused by the parser.
    for (const auto& [command, options] : used) {
        const std::vector<std::string> listed = ListedOptions(RunCli({command, "--help"}).out);
        const std::set<std::string> own(listed.begin(), listed.end());
        for (const std::string& name : everywhere) {
            if (own.count(name) == 0) {
                const CliRun run = RunCli({command, "--" + name, "1"});
                EXPECT_EQ(run.status, 2) << command << " --" << name;
                EXPECT_NE(run.err.find("unknown option '--" + name + "'"), std::string::npos)
                    << command << " --" << name << ": " << run.err;
            }
        }
    }
}

} // namespace
