// The window's exports on the scripted desktop: Save/Load's Export… with its format dialog, Save
// Testbench after VHDL Code, and Print > Export plot…, each with its refusals and a target that
// cannot be written.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/AnalysisCommands.h"
#include "app/DesignRules.h"
#include "app/ExportCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "coeffs/ui/CoeffDialog.h"
#include "platform/scripted/ScriptedHost.h"
#include "plots/ui/ExportPlotHandler.h"
#include "resources/AnalysisResources.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "resources/VhdlResources.h"
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

struct ExportWindow : support::ScriptedWindowTest {
    support::ScratchFolder dir{"export-window"};

    ExportWindow() {
        host.SetSearchFolders({dir.Path().string()});
        host.AnswerDialog(DialogAnswer::Ok());
        view.OnCommand(resources::kIdcDesign);
    }

    void Quantize() {
        host.AnswerDialog(DialogAnswer::Ok(coeffs::kIddCoefficients)
                              .Check(coeffs::kIdcQuantize, 1)
                              .Text(coeffs::kIdcQuantBits, "16"));
        view.OnCommand(resources::kIdcCoefficients);
    }
    // Save/Load with Export…, the format radio, then the Save dialog's answer (if it comes up).
    void Export(int formatRadio, std::optional<std::string> path) {
        host.AnswerDialog(DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcExport));
        host.AnswerDialog(DialogAnswer::Ok(resources::kIddExport).Radio(formatRadio));
        host.AnswerFileDialog(std::move(path));
        view.OnCommand(resources::kIdcSaveLoad);
    }
    // Save/Load with Save Testbench; the Save dialog answers `path`, none comes up without it.
    void SaveTestbench(std::optional<std::string> path) {
        host.AnswerDialog(
            DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcSaveTestbench));
        const std::size_t fileDialogs = host.FileDialogs().size();
        if (path) {
            host.AnswerFileDialog(std::move(path));
        }
        view.OnCommand(resources::kIdcSaveLoad);
        EXPECT_EQ(host.FileDialogs().size(), fileDialogs + (path ? 1 : 0));
    }
    int LastWarning() const {
        return host.Warnings().empty() ? 0 : host.Warnings().back().templateId;
    }
};

TEST_F(ExportWindow, ExportWritesTheChosenFormatUnderItsExtension) {
    Quantize();
    struct Case {
        int radio;
        files::ExportFormat format;
        const char* name;
    };
    const Case cases[] = {
        {resources::kIdcExportCoe, files::ExportFormat::kCoe, "coeff0.coe"},
        {resources::kIdcExportMif, files::ExportFormat::kMif, "coeff0.mif"},
        {resources::kIdcExportCsv, files::ExportFormat::kCsv, "coeff0.csv"},
        {resources::kIdcExportJson, files::ExportFormat::kJson, "coeff0.json"},
        {resources::kIdcExportCHeader, files::ExportFormat::kCHeader, "coeff0.h"},
    };
    for (const Case& c : cases) {
        const fs::path target = dir / c.name;
        Export(c.radio, target.string());
        EXPECT_EQ(host.FileDialogs().back().fileName, c.name);
        EXPECT_FALSE(host.FileDialogs().back().open);
        const std::string expected =
            *files::BuildExport(c.format, doc.TakeCoefficients(false),
                                commands::ExportParametersOf(doc, false), "coeff0");
        EXPECT_EQ(ReadAll(target), expected) << c.name;
    }
    EXPECT_EQ(host.UnansweredDialogs(), 0);
    EXPECT_TRUE(host.Warnings().empty());
}

TEST_F(ExportWindow, ExportRefusalsAndFailedWrites) {
    // No quantization: the integer formats are refused before the Save dialog.
    const std::size_t fileDialogs = host.FileDialogs().size();
    host.AnswerDialog(DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcExport));
    host.AnswerDialog(DialogAnswer::Ok(resources::kIddExport).Radio(resources::kIdcExportMif));
    view.OnCommand(resources::kIdcSaveLoad);
    EXPECT_EQ(LastWarning(), design::kIddWarnExportNeedsQuantize);
    EXPECT_EQ(host.FileDialogs().size(), fileDialogs);
    // Cancel in the format dialog: nothing more.
    host.AnswerDialog(DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcExport));
    host.AnswerDialog(DialogAnswer::Cancel(resources::kIddExport));
    view.OnCommand(resources::kIdcSaveLoad);
    EXPECT_EQ(host.FileDialogs().size(), fileDialogs);
    // CSV needs no quantization; a folder is no file.
    Export(resources::kIdcExportCsv, dir.Path().string());
    ASSERT_FALSE(host.Messages().empty());
    EXPECT_EQ(host.Messages().back().text,
              dir.Path().string() + " cannot be opened\n" + view.m_strFileReason);
    EXPECT_EQ(host.UnansweredDialogs(), 0);
}

TEST_F(ExportWindow, SaveTestbenchFollowsVhdlCode) {
    SaveTestbench(std::nullopt);
    EXPECT_EQ(LastWarning(), design::kIddWarnVhdlNeedsQuantize);
    Quantize();
    SaveTestbench(std::nullopt);
    EXPECT_EQ(LastWarning(), design::kIddWarnVhdlNeedsParams);

    std::ofstream(dir / "firfilter.vhd") << "\"reph  0\"\n";
    host.AnswerDialog(
        DialogAnswer::Ok(resources::kIddVhdlSource).Text(resources::kIdcVhdlDataBits, "14"));
    view.OnCommand(resources::kIdcVhdlCode);
    const std::size_t warnings = host.Warnings().size();
    const fs::path target = dir / "tb.vhd";
    SaveTestbench(target.string());
    EXPECT_EQ(host.Warnings().size(), warnings);
    EXPECT_EQ(host.FileDialogs().back().fileName, "test0_tb.vhd");
    // The file is the testbench --testbench writes: the data bits of VHDL Code, the test wave.
    commands::SimulateWave(doc, false);
    EXPECT_EQ(ReadAll(target), commands::Testbench(doc, false).text);
    EXPECT_NE(ReadAll(target).find("firfilter_tb"), std::string::npos);
    EXPECT_EQ(doc.m_nDataBits, 14);
}

TEST_F(ExportWindow, ExportPlotWritesThePictureOfTheShownPlot) {
    struct Case {
        const char* name;
        platform::PictureFormat format;
        bool printPage; // the PDF is the printed page
    };
    const Case cases[] = {
        {"plot.png", platform::PictureFormat::kPng, false},
        {"plot.SVG", platform::PictureFormat::kSvg, false},
        {"plot.pdf", platform::PictureFormat::kPdf, true},
    };
    for (const Case& c : cases) {
        host.AnswerFileDialog((dir / c.name).string());
        if (c.format == platform::PictureFormat::kPng) {
            host.AnswerDialog(DialogAnswer::Ok(CExportSizeDialog::kTemplateId)); // the size
        }
        ASSERT_TRUE(view.OnCommand(resources::kIdExportPlot));
        ASSERT_FALSE(host.PictureJobs().empty());
        const platform::PictureJob& job = host.PictureJobs().back();
        EXPECT_EQ(job.format, c.format) << c.name;
        EXPECT_FALSE(job.page->lines.empty()) << c.name;
        // The printed page carries the web address; the screen's plot area does not.
        const bool hasAddress =
            !job.page->texts.empty() && job.page->texts.back().text == resources::kWebAddress;
        EXPECT_EQ(hasAddress, c.printPage) << c.name;
        EXPECT_EQ(ReadAll(dir / c.name).rfind("scripted ", 0), 0u) << c.name;
    }
    EXPECT_EQ(host.FileDialogs().back().fileName, "plot0.png");
    EXPECT_EQ(host.UnansweredDialogs(), 0); // only the PNG asks for its size

    const std::size_t pictures = host.PictureJobs().size();
    host.AnswerFileDialog((dir / "plot.bmp").string());
    view.OnCommand(resources::kIdExportPlot);
    EXPECT_EQ(host.PictureJobs().size(), pictures);
    EXPECT_EQ(host.Messages().back().text,
              (dir / "plot.bmp").string() + " does not end in .png, .svg or .pdf");
    host.AnswerFileDialog((dir / "missing" / "plot.png").string());
    host.AnswerDialog(DialogAnswer::Ok(CExportSizeDialog::kTemplateId));
    view.OnCommand(resources::kIdExportPlot);
    EXPECT_EQ(host.Messages().back().text, (dir / "missing" / "plot.png").string() +
                                               " cannot be opened\n" + view.m_strFileReason);
}

TEST_F(ExportWindow, ExportPlotDrawsThePngAtTheWidthAsked) {
    struct Case {
        const char* width; // typed into the size dialog; nullptr: the default stands
        bool cancel;
        platform::Size size; // the picture drawn; (0, 0): nothing drawn
        int failedChecks;
    };
    const Case cases[] = {
        {nullptr, false, {1876, 1096}, 0}, // four times the plot area, its aspect kept
        {"2400", false, {2400, 1402}, 0},
        {"50", false, {}, 1},  // too small: the dialog stays open, then Cancel
        {"1600", true, {}, 0}, // Cancel writes nothing
    };
    for (const Case& c : cases) {
        const std::size_t pictures = host.PictureJobs().size();
        host.AnswerFileDialog((dir / "sized.png").string());
        DialogAnswer answer = DialogAnswer::Ok(CExportSizeDialog::kTemplateId);
        if (c.cancel) {
            answer = DialogAnswer::Cancel(CExportSizeDialog::kTemplateId);
        }
        if (c.width != nullptr) {
            answer.Text(CExportSizeDialog::kIdcWidth, c.width);
        }
        host.AnswerDialog(answer);
        if (c.failedChecks > 0) {
            host.AnswerDialog(DialogAnswer::Cancel(CExportSizeDialog::kTemplateId));
        }
        view.OnCommand(resources::kIdExportPlot);
        EXPECT_EQ(host.Dialogs().back().failedChecks.size(),
                  static_cast<std::size_t>(c.failedChecks))
            << (c.width ? c.width : "default");
        if (c.size.cx == 0) {
            EXPECT_EQ(host.PictureJobs().size(), pictures) << (c.width ? c.width : "default");
            continue;
        }
        ASSERT_EQ(host.PictureJobs().size(), pictures + 1);
        EXPECT_EQ(host.PictureJobs().back().size.cx, c.size.cx);
        EXPECT_EQ(host.PictureJobs().back().size.cy, c.size.cy);
    }
}

} // namespace
