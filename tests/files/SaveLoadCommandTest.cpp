// The Save/Load command on the scripted desktop: the dialog, the readiness warnings (177, 164,
// 170), saving through the Save dialog, loading through the Open dialog with the prompt that
// follows every load, and targets that cannot be written.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/DesignRules.h"
#include "app/FileCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "coeffs/CoeffReport.h"
#include "coeffs/ui/CoeffDialog.h"
#include "files/CoeffFile.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

namespace fs = std::filesystem;
using platform::DialogAnswer;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct SaveLoadFixture : support::ScriptedWindowTest {
    support::ScratchFolder dir{"saveload"};

    SaveLoadFixture() {}

    void Design() {
        host.AnswerDialog(DialogAnswer::Ok());
        view.OnCommand(resources::kIdcDesign);
    }
    void QuantizedHex() {
        host.AnswerDialog(DialogAnswer::Ok(coeffs::kIddCoefficients)
                              .Check(coeffs::kIdcQuantize, 1)
                              .Radio(coeffs::kIdcFormatReal + coeffs::kFormatHex));
        view.OnCommand(resources::kIdcCoefficients);
    }
    // Runs Save/Load with one action; the file dialog answers `path`. Without an answer the
    // command must not show a file dialog at all.
    void SaveLoad(int actionRadio, std::optional<std::optional<std::string>> path,
                  const std::string& name = "") {
        DialogAnswer answer = DialogAnswer::Ok(resources::kIddSaveLoad).Radio(actionRadio);
        if (!name.empty()) {
            answer.Text(resources::kIdcSaveCoeffsName, name);
        }
        host.AnswerDialog(answer);
        if (path) {
            host.AnswerFileDialog(*path);
        }
        view.OnCommand(resources::kIdcSaveLoad);
    }
    std::vector<int> WarningIds() const {
        std::vector<int> ids;
        for (const platform::ShownWarning& w : host.Warnings()) {
            ids.push_back(w.templateId);
        }
        return ids;
    }
    std::string Output() { return host.Form().GetText(resources::kIdcOutput); }
};

TEST_F(SaveLoadFixture, SaveCoefficientsNeedsTheReportThenWritesTheFile) {
    Design();
    SaveLoad(resources::kIdcSaveCoeffs, {});
    const platform::ControlValues& opened = host.Dialogs().back().opened;
    EXPECT_EQ(opened.GetText(resources::kIdcSaveCoeffsName), "coeff0.txt");
    EXPECT_EQ(opened.GetText(resources::kIdcLoadCoeffsName), "coeff0.txt");
    EXPECT_EQ(opened.GetText(resources::kIdcSaveVhdlName), "test0.vhd");
    EXPECT_EQ(opened.GetCheck(resources::kIdcSaveCoeffs), 1);
    EXPECT_EQ(WarningIds(), std::vector<int>{design::kIddWarnSaveNeedsCoeffs});
    EXPECT_TRUE(host.FileDialogs().empty());

    QuantizedHex();
    SaveLoad(resources::kIdcSaveCoeffs, (dir / "test0").string(), "test0");
    const platform::FileDialogRequest& request = host.FileDialogs().back();
    EXPECT_FALSE(request.open);
    EXPECT_EQ(request.fileName, "test0") << "no extension is added";
    EXPECT_TRUE(request.defaultExtension.empty());
    EXPECT_EQ(request.flags, platform::kOfnOverwritePrompt | platform::kOfnHideReadOnly);
    EXPECT_EQ(ReadAll(dir / "test0"), commands::CoeffFileTextOf(doc, false));
    EXPECT_EQ(host.TimerPeriod(platform::kViewTimerId), COlvexView::kCommandRedrawMs);
}

TEST_F(SaveLoadFixture, UnwritableTargetsAreReportedAndLeaveTheOldFile) {
    Design();
    QuantizedHex();
    std::ofstream(dir / "plain") << "keep me";
    const std::string targets[] = {dir.Path().string(), (dir / "plain" / "c.txt").string()};
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        const size_t timers = host.TimerStarts().size();
        SaveLoad(resources::kIdcSaveCoeffs, target);
        ASSERT_FALSE(host.Messages().empty());
        EXPECT_EQ(host.Messages().back().text,
                  target + " cannot be opened\n" + view.m_strFileReason);
        EXPECT_EQ(host.TimerStarts().size(), timers) << "the command ends at once";
    }
    EXPECT_EQ(ReadAll(dir / "plain"), "keep me");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1)
        << "no temporary file is left";
}

TEST_F(SaveLoadFixture, EveryLoadEndsWithThePromptAndClearedFlagsUnlessTheFileHasAFault) {
    Design();
    QuantizedHex();
    const fs::path good = dir / "good.txt";
    std::ofstream(good) << "Data is Dec : 1.0 => 32768\n16384\n-32768\n";
    const fs::path noHeader = dir / "nohead.txt";
    std::ofstream(noHeader) << "taps\n16384\n";
    const fs::path malformed = dir / "bad.txt";
    std::ofstream(malformed) << "Data is Hex : 1.0 => 00008000h\nFFFh\n";
    struct Case {
        const char* name;
        std::optional<std::string> path;
        std::vector<int> warnings;
        bool faulty; // a file with a fault changes nothing, the listing and flags included
    } cases[] = {
        {"cancelled", std::optional<std::string>{}, {}, false},
        {"cannot be opened",
         (dir / "missing.txt").string(),
         {design::kIddWarnInvalidFileName},
         false},
        {"a directory", dir.Path().string(), {design::kIddWarnInvalidFileName}, false},
        {"no header", noHeader.string(), {design::kIddWarnMissingHeader}, true},
        {"malformed number", malformed.string(), {design::kIddWarnInvalidCoeffs}, true},
        {"good file", good.string(), {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.m_bCoeffsListed = 1;
        view.m_bVhdlParamsSet = 1;
        host.Form().SetText(resources::kIdcOutput, "report");
        const size_t warnings = host.Warnings().size();
        SaveLoad(resources::kIdcLoadCoeffs, c.path);
        EXPECT_TRUE(host.FileDialogs().back().open);
        EXPECT_EQ(host.FileDialogs().back().fileName, "coeff0.txt");
        const std::vector<int> ids = WarningIds();
        EXPECT_EQ(std::vector<int>(ids.begin() + static_cast<long>(warnings), ids.end()),
                  c.warnings);
        EXPECT_EQ(Output(),
                  c.faulty ? std::string("report") : std::string(coeffs::kCoeffPrompt) + "\r\n");
        EXPECT_EQ(view.m_bCoeffsListed, c.faulty ? 1 : 0);
        EXPECT_EQ(view.m_bVhdlParamsSet, c.faulty ? 1 : 0);
        EXPECT_EQ(host.TimerPeriod(platform::kViewTimerId), COlvexView::kCommandRedrawMs);
    }
    EXPECT_EQ(doc.m_nTaps, 2);
    EXPECT_EQ(doc.m_aFirCoeffs[1], -1.0);
    EXPECT_EQ(view.m_nLoadFormat, coeffs::kFormatDec);
    EXPECT_EQ(doc.m_bQuantize, 0);
}

TEST_F(SaveLoadFixture, SaveVhdlNeedsQuantizationThenTheVhdlParameters) {
    Design();
    view.m_bVhdlParamsSet = 0;
    SaveLoad(resources::kIdcSaveVhdl, {});
    QuantizedHex();
    SaveLoad(resources::kIdcSaveVhdl, {});
    EXPECT_EQ(WarningIds(), (std::vector<int>{design::kIddWarnVhdlNeedsQuantize,
                                              design::kIddWarnVhdlNeedsParams}));
    EXPECT_TRUE(host.FileDialogs().empty());

    // With the parameters taken, the remembered template is read again and written after the
    // file header; a template that has gone away is reported against the output path.
    const fs::path templ = dir / "firfilter.vhd";
    std::ofstream(templ) << "-- reph  0\nentity firfilter is\n";
    view.m_bVhdlParamsSet = 1;
    view.m_strTemplatePath = templ.string();
    host.AnswerDialog(DialogAnswer::Ok(resources::kIddSaveLoad)
                          .Radio(resources::kIdcSaveVhdl)
                          .Text(resources::kIdcSaveVhdlName, "out"));
    host.AnswerFileDialog((dir / "out").string());
    view.OnCommand(resources::kIdcSaveLoad);
    EXPECT_EQ(host.FileDialogs().back().fileName, "out");
    const std::string saved = ReadAll(dir / "out");
    EXPECT_NE(saved.find("-- Tap count = "), std::string::npos);
    EXPECT_EQ(saved.substr(saved.size() - 20), "entity firfilter is\n");
    EXPECT_EQ(saved.find('\r'), std::string::npos);

    fs::remove(templ);
    SaveLoad(resources::kIdcSaveVhdl, (dir / "again.vhd").string());
    EXPECT_EQ(host.Messages().back().text,
              (dir / "again.vhd").string() + " cannot be opened\n" + view.m_strFileReason);
    EXPECT_FALSE(fs::exists(dir / "again.vhd"));
}

} // namespace

namespace {

// The design as a list of named numbers, so that a comparison names the field that moved.
std::vector<std::pair<std::string, double>> DesignFields(const COlvexDoc& d) {
    std::vector<std::pair<std::string, double>> f = {
        {"m_nFilterType", d.m_nFilterType},
        {"m_fs", d.m_fs},
        {"m_fc1", d.m_fc1},
        {"m_fc2", d.m_fc2},
        {"m_fc3", d.m_fc3},
        {"m_fc4", d.m_fc4},
        {"m_dRR", d.m_dRR},
        {"m_nTaps", d.m_nTaps},
        {"m_bEvenTaps", d.m_bEvenTaps},
        {"m_nCoeffMultiplier", d.m_nCoeffMultiplier},
        {"m_nIirSections", d.m_nIirSections},
        {"m_dRippleDb", d.m_dRippleDb},
        {"m_dIirFc1", d.m_dIirFc1},
        {"m_dIirFc2", d.m_dIirFc2},
        {"m_bQuantize", d.m_bQuantize},
        {"m_nQuantBits", d.m_nQuantBits},
        {"m_nCoeffFormat", d.m_nCoeffFormat},
        {"m_nDataBits", d.m_nDataBits},
    };
    const auto add = [&f](const char* name, const double* values, int count) {
        for (int i = 0; i < count; ++i) {
            f.push_back({std::string(name) + "[" + std::to_string(i) + "]", values[i]});
        }
    };
    add("m_aFirCoeffs", d.m_aFirCoeffs, COlvexDoc::kMaxFirTaps);
    add("m_aA0", d.m_aA0, COlvexDoc::kIirSections);
    add("m_aA1", d.m_aA1, COlvexDoc::kIirSections);
    add("m_aA2", d.m_aA2, COlvexDoc::kIirSections);
    add("m_aB1", d.m_aB1, COlvexDoc::kIirSections);
    add("m_aB2", d.m_aB2, COlvexDoc::kIirSections);
    add("m_aGainDb", d.m_aGainDb, 360);
    return f;
}

// A broken file (each of the reader's warnings) leaves the design, its coefficients, its
// settings, the load format and the view's listing as they were; the warning is shown.
TEST_F(SaveLoadFixture, ABrokenFileChangesNothing) {
    Design();
    QuantizedHex();
    view.m_bVhdlParamsSet = 1;
    const std::string fir400 = [] {
        std::string text = "Data is Real : 1.0 => 1.0\n";
        for (int i = 0; i < 400; ++i) {
            text += "0.001\n";
        }
        return text;
    }();
    const struct {
        const char* name;
        std::string text;
        int warning;
    } cases[] = {
        {"malformed hex on line 3", "Data is Hex : 1.0 => 00008000h\n00004000h\n000zz00h\n",
         design::kIddWarnInvalidCoeffs},
        {"malformed binary on line 2", "Data is Bin : 1.0 => 01b\n0000b\n",
         design::kIddWarnInvalidCoeffs},
        {"a word among reals", "Data is Real : 1.0 => 1.0\n0.5\nabc\n",
         design::kIddWarnInvalidCoeffs},
        {"no header", "taps:\n0.5\n0.25\n", design::kIddWarnMissingHeader},
        {"a header without values", "Data is Real : 1.0 => 1.0\n", design::kIddWarnInvalidCoeffs},
        {"400 FIR values", fir400, design::kIddWarnInvalidCoeffs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir / "broken.txt";
        std::ofstream(file) << c.text;
        const auto before = DesignFields(doc);
        const std::string output = Output();
        const int loadFormat = view.m_nLoadFormat;
        const size_t warnings = host.Warnings().size();
        SaveLoad(resources::kIdcLoadCoeffs, file.string());
        ASSERT_EQ(host.Warnings().size(), warnings + 1);
        EXPECT_EQ(host.Warnings().back().templateId, c.warning);
        EXPECT_EQ(DesignFields(doc), before);
        EXPECT_EQ(Output(), output);
        EXPECT_EQ(view.m_nLoadFormat, loadFormat);
        EXPECT_EQ(view.m_bCoeffsListed, 1);
        EXPECT_EQ(view.m_bVhdlParamsSet, 1);
    }
    // The counts of a file that does not fit are in the warning.
    const std::vector<std::string>& lines = host.Warnings().back().lines;
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        (dir / "broken.txt").string() +
                            " holds 400 values; a FIR filter takes at most 399"),
              lines.end());
}

} // namespace
