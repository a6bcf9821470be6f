// The CIC's droop compensator in the window on the scripted desktop: designed through the CIC
// dialog (refusals keep every entry as typed), reported as vantrel-cli cic --compensate prints it,
// kept by undo/redo and design files, drawn with the CIC and the cascade in F-Response, and the
// taps Coefficients, Save Coefficients and Export act on while the CIC is shown.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "app/CoefficientsCommands.h"
#include "app/ExportCommands.h"
#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "app/ui/DesignDialogs.h"
#include "coeffs/ui/CoeffDialog.h"
#include "dsp/Cic.h"
#include "dsp/Response.h"
#include "files/Export.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

namespace fs = std::filesystem;
namespace ids = design;
using platform::DialogAnswer;

// The dialog's entries: the CIC's, then the compensator's (taps nullptr: the box unchecked).
struct Entry {
    int kind; // 0 decimate, 1 interpolate
    const char* rate;
    const char* stages;
    const char* delay;
    const char* taps;
    const char* pass;
    const char* stop;
};

struct CompensatorWindow : support::ScriptedWindowTest {
    support::ScratchFolder dir{"cic-compensator-window"};

    std::string Read(const fs::path& path) { return support::ReadFile(path); }
    std::string Output() { return host.Form().GetText(resources::kIdcOutput); }

    DialogAnswer Answer(const Entry& e) {
        DialogAnswer answer = DialogAnswer::Ok(ids::kIddCicParameters)
                                  .Radio(ids::kIdcCicKind + e.kind)
                                  .Text(ids::kIdcCicRate, e.rate)
                                  .Text(ids::kIdcCicStages, e.stages)
                                  .Text(ids::kIdcCicDelay, e.delay)
                                  .Text(ids::kIdcCicDataBits, "16")
                                  .Text(ids::kIdcCicEdge, "0.25")
                                  .Check(ids::kIdcCicCompensate, e.taps != nullptr ? 1 : 0);
        if (e.taps != nullptr) {
            answer.Text(ids::kIdcCicCompTaps, e.taps)
                .Text(ids::kIdcCicCompPassEdge, e.pass)
                .Text(ids::kIdcCicCompStopEdge, e.stop);
        }
        return answer;
    }
    void DesignCic(const Entry& e) {
        host.AnswerDialog(Answer(e));
        host.ClickFormRadio(resources::kIdcCic);
        ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
        ASSERT_EQ(host.UnansweredDialogs(), 0);
    }
    void DesignFir() {
        host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + kLpf)
                              .Text(ids::kIdcFs, "1000")
                              .Text(ids::kIdcFc1, "40")
                              .Text(ids::kIdcFc2, "80")
                              .Text(ids::kIdcTaps, "61"));
        host.ClickFormRadio(resources::kIdcLpf);
        host.ClickFormRadio(resources::kIdcFir);
        ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
        ASSERT_EQ(host.UnansweredDialogs(), 0);
    }
    void Coefficients(int quantize, const char* bits, int formatRadio) {
        host.AnswerDialog(DialogAnswer::Ok(coeffs::kIddCoefficients)
                              .Check(coeffs::kIdcQuantize, quantize)
                              .Text(coeffs::kIdcQuantBits, bits)
                              .Radio(formatRadio));
        ASSERT_TRUE(view.OnCommand(resources::kIdcCoefficients));
    }
    void SaveCoefficients(const fs::path& path) {
        host.AnswerDialog(
            DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcSaveCoeffs));
        host.AnswerFileDialog(path.string());
        view.OnCommand(resources::kIdcSaveLoad);
    }
    void Export(int formatRadio, const fs::path& path) {
        host.AnswerDialog(DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcExport));
        host.AnswerDialog(DialogAnswer::Ok(resources::kIddExport).Radio(formatRadio));
        host.AnswerFileDialog(path.string());
        view.OnCommand(resources::kIdcSaveLoad);
    }
    // vantrel-cli (built next to this test) run with `words`: its standard output, and whether
    // it exited with status 0.
    std::string Cli(const std::string& words, bool expectOk = true) {
        const fs::path out = dir / "cli.txt";
        const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "vantrel-cli";
        const std::string command = "cd " + dir.Path().string() + " && " + cli.string() + " " +
                                    words + " >" + out.string() + " 2>&1";
        const int raw = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(raw) && WEXITSTATUS(raw) == 0, expectOk) << command;
        return Read(out);
    }
};

// The lines of `text` from the first that starts with `first` through the first that starts
// with `last`.
std::string LinesFromThrough(const std::string& text, const std::string& first,
                             const std::string& last) {
    const size_t from = text.find("\n" + first);
    const size_t to = text.find("\n" + last);
    if (from == std::string::npos || to == std::string::npos) {
        return {};
    }
    return text.substr(from + 1, text.find('\n', to + 1) - from);
}

// The value after `name ` on its line.
std::string Field(const std::string& text, const std::string& name) {
    const size_t at = text.find("\n" + name + " ");
    if (at == std::string::npos) {
        return {};
    }
    const size_t from = at + name.size() + 2;
    return text.substr(from, text.find('\n', from) - from);
}

std::string CicWords(const Entry& e) {
    return std::string("cic ") + (e.kind == 1 ? "--interpolate " : "--decimate ") + e.rate +
           " --stages " + e.stages + " --delay " + e.delay +
           " --data-bits 16 --edge 0.25 --compensate --taps " + e.taps + " --edges " + e.pass +
           "," + e.stop;
}

TEST_F(CompensatorWindow, DesignedThroughTheDialogAsTheCommandLineDesignsIt) {
    const Entry cases[] = {
        {0, "32", "4", "1", "31", "0.2", "0.3"},
        {1, "8", "3", "2", "24", "0.15", "0.35"},
        {0, "5", "5", "1", "63", "0.1", "0.14"},
    };
    for (const Entry& e : cases) {
        SCOPED_TRACE(CicWords(e));
        const size_t messages = host.Messages().size();
        DesignCic(e);
        ASSERT_EQ(host.Messages().size(), messages) << host.Messages().back().text;
        ASSERT_TRUE(doc.HasCicCompensator());
        EXPECT_EQ(doc.m_nCicCompTaps, std::atoi(e.taps));
        const dsp::CicCompensator direct =
            dsp::DesignCicCompensator(doc.CicParams(), doc.CicCompensatorParams());
        ASSERT_EQ(doc.CicCompensatorTaps().size(), direct.taps.size());
        for (size_t k = 0; k < direct.taps.size(); ++k) {
            EXPECT_EQ(doc.CicCompensatorTaps()[k], direct.taps[k]) << k;
        }
        const std::string cli = Cli(CicWords(e));
        // The report (View > Measurements) ends with the command line's compensator lines.
        const std::string lines =
            LinesFromThrough(cli, "compensator-taps", "stopband-attenuation-db");
        ASSERT_FALSE(lines.empty()) << cli;
        const std::string report = commands::CicMeasurementsReport(doc, "\n");
        ASSERT_GE(report.size(), lines.size());
        EXPECT_EQ(report.substr(report.size() - lines.size()), lines);
        ASSERT_TRUE(view.OnCommand(resources::kIdMeasurements));
        ASSERT_EQ(host.Messages().size(), messages + 1);
        EXPECT_EQ(host.Messages().back().text, report);
        // The status text: the ripple and the cascade's figures in the command line's digits.
        const std::string status = host.StatusTexts().back();
        for (const char* name :
             {"compensator-ripple", "passband-ripple-db", "stopband-attenuation-db"}) {
            const std::string value = Field(cli, name);
            ASSERT_FALSE(value.empty()) << name;
            EXPECT_NE(status.find(value), std::string::npos) << name << ": " << status;
        }
    }
    // Unchecked, the next design has none (its entries are kept for the next time).
    DesignCic({0, "32", "4", "1", nullptr, nullptr, nullptr});
    EXPECT_FALSE(doc.HasCicCompensator());
    EXPECT_EQ(doc.m_nCicCompTaps, 63);
    EXPECT_EQ(commands::CicMeasurementsReport(doc, "\n").find("compensator"), std::string::npos);
}

TEST_F(CompensatorWindow, OutOfRangeEntriesAreRefusedWithEveryEntryAsTyped) {
    DesignCic({0, "16", "4", "1", "31", "0.2", "0.3"});
    const struct {
        Entry typed;
        int control;
        const char* message;
    } refused[] = {
        {{0, "16", "4", "1", "3", "0.2", "0.3"},
         ids::kIdcCicCompTaps,
         "The compensator's tap count must be 4 to 380."},
        {{0, "16", "4", "1", "381", "0.2", "0.3"},
         ids::kIdcCicCompTaps,
         "The compensator's tap count must be 4 to 380."},
        {{0, "16", "4", "1", "3x", "0.2", "0.3"},
         ids::kIdcCicCompTaps,
         "The compensator's tap count must be an integer."},
        {{0, "16", "4", "1", "31", "0.3", "0.2"},
         ids::kIdcCicCompStopEdge,
         "The compensator's edges must satisfy 0 < FP < FSTOP < 0.5 (cycles per low-rate "
         "sample)."},
        {{0, "16", "4", "1", "31", "0.2", "0.5"},
         ids::kIdcCicCompStopEdge,
         "The compensator's edges must satisfy 0 < FP < FSTOP < 0.5 (cycles per low-rate "
         "sample)."},
        {{0, "16", "4", "1", "31", "0", "0.3"},
         ids::kIdcCicCompPassEdge,
         "The compensator's edges must satisfy 0 < FP < FSTOP < 0.5 (cycles per low-rate "
         "sample)."},
        {{0, "16", "4", "1", "31", "", "0.3"},
         ids::kIdcCicCompPassEdge,
         "The compensator's edges must be numbers, FP and FSTOP (cycles per low-rate sample)."},
        // Five stages of R DL = 16 droop by more than 40 dB at 0.45 of the low rate.
        {{0, "8", "5", "2", "31", "0.45", "0.48"},
         ids::kIdcCicCompPassEdge,
         "The CIC's droop at the pass-band edge exceeds 40 dB."},
        // The CIC's own entries are checked first.
        {{0, "1", "4", "1", "3", "0.2", "0.3"},
         ids::kIdcCicRate,
         "The rate change must be 2 to 1024."},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.message);
        const COlvexDoc before = doc;
        host.AnswerDialog(Answer(r.typed));
        host.AnswerDialog(DialogAnswer::Cancel(ids::kIddCicParameters));
        ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
        const auto& record = host.Dialogs().back();
        ASSERT_EQ(record.failedChecks.size(), 1u);
        EXPECT_EQ(record.failedChecks[0], r.message);
        EXPECT_EQ(record.closed.GetText(ids::kIdcCicRate), r.typed.rate);
        EXPECT_EQ(record.closed.GetText(ids::kIdcCicCompTaps), r.typed.taps);
        EXPECT_EQ(record.closed.GetText(ids::kIdcCicCompPassEdge), r.typed.pass);
        EXPECT_EQ(record.closed.GetText(ids::kIdcCicCompStopEdge), r.typed.stop);
        EXPECT_EQ(record.closed.GetCheck(ids::kIdcCicCompensate), 1);
        // Nothing of it reached the document.
        EXPECT_EQ(doc.m_nCicRate, before.m_nCicRate);
        EXPECT_EQ(doc.m_nCicCompTaps, before.m_nCicCompTaps);
        EXPECT_EQ(doc.m_dCicCompPassEdge, before.m_dCicCompPassEdge);
        EXPECT_EQ(doc.m_dCicCompStopEdge, before.m_dCicCompStopEdge);
        EXPECT_EQ(doc.m_nCicCompDesigned, before.m_nCicCompDesigned);
    }
    // The entries are enabled only while the box is checked; the dialog opens as the design
    // stands.
    host.AnswerDialog(DialogAnswer::Cancel(ids::kIddCicParameters));
    ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
    const platform::ControlValues& opened = host.Dialogs().back().opened;
    EXPECT_EQ(opened.GetCheck(ids::kIdcCicCompensate), 1);
    EXPECT_EQ(opened.GetText(ids::kIdcCicCompTaps), "31");
    EXPECT_TRUE(opened.IsEnabled(ids::kIdcCicCompPassEdge));
    DesignCic({0, "16", "4", "1", nullptr, nullptr, nullptr});
    host.AnswerDialog(DialogAnswer::Cancel(ids::kIddCicParameters));
    ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
    EXPECT_FALSE(host.Dialogs().back().opened.IsEnabled(ids::kIdcCicCompTaps));
}

TEST_F(CompensatorWindow, UndoRedoAndDesignFilesKeepTheCompensator) {
    DesignCic({0, "32", "4", "1", "31", "0.2", "0.3"});
    const std::vector<double> first(doc.CicCompensatorTaps().begin(),
                                    doc.CicCompensatorTaps().end());
    DesignCic({0, "32", "4", "1", "41", "0.1", "0.25"});
    ASSERT_EQ(doc.m_nCicCompDesigned, 41);
    ASSERT_TRUE(view.OnCommand(resources::kIdEditUndo));
    ASSERT_EQ(doc.m_nCicCompDesigned, 31);
    EXPECT_EQ(doc.m_dCicCompPassEdge, 0.2);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), doc.CicCompensatorTaps().begin()));
    ASSERT_TRUE(view.OnCommand(resources::kIdEditRedo));
    EXPECT_EQ(doc.m_nCicCompDesigned, 41);
    EXPECT_EQ(doc.m_dCicCompStopEdge, 0.25);

    // Saved, opened in the window and saved again: the same bytes, the same taps.
    const fs::path file = dir / "comp.vantrel";
    host.AnswerFileDialog(file.string());
    ASSERT_TRUE(view.OnCommand(resources::kIdFileSaveAs));
    const std::string saved = Read(file);
    EXPECT_NE(saved.find("\"compensatorTaps\": 41"), std::string::npos) << saved;
    const std::vector<double> taps(doc.CicCompensatorTaps().begin(),
                                   doc.CicCompensatorTaps().end());
    DesignCic({0, "32", "4", "1", nullptr, nullptr, nullptr});
    ASSERT_FALSE(doc.HasCicCompensator());
    host.AnswerFileDialog(file.string());
    ASSERT_TRUE(view.OnCommand(resources::kIdFileOpen));
    ASSERT_EQ(doc.m_nCicCompDesigned, 41);
    EXPECT_TRUE(std::equal(taps.begin(), taps.end(), doc.CicCompensatorTaps().begin()));
    const fs::path again = dir / "again.vantrel";
    host.AnswerFileDialog(again.string());
    ASSERT_TRUE(view.OnCommand(resources::kIdFileSaveAs));
    EXPECT_EQ(Read(again), saved);

    // vantrel-cli open prints what cic --compensate prints.
    const std::string opened = Cli("open " + file.string());
    const std::string direct =
        Cli("cic --decimate 32 --stages 4 --delay 1 --data-bits 16 --edge 0.25 --compensate "
            "--taps 41 --edges 0.1,0.25");
    EXPECT_EQ(opened, direct);
    EXPECT_NE(opened.find("compensator-taps 41"), std::string::npos);
    // ... and writes the compensator's taps as cic --compensator writes them.
    Cli("open " + file.string() + " --compensator opened.txt");
    Cli("cic --decimate 32 --stages 4 --compensate --taps 41 --edges 0.1,0.25 --compensator "
        "direct.txt");
    EXPECT_EQ(Read(dir / "opened.txt"), Read(dir / "direct.txt"));
    EXPECT_NE(Read(dir / "opened.txt"), "");

    // A CIC file without a compensator holds no compensator key.
    DesignCic({0, "32", "4", "1", nullptr, nullptr, nullptr});
    const fs::path plain = dir / "plain.vantrel";
    host.AnswerFileDialog(plain.string());
    ASSERT_TRUE(view.OnCommand(resources::kIdFileSaveAs));
    EXPECT_EQ(Read(plain).find("compensator"), std::string::npos);
    // Nor does open write one for it: refused, no file left.
    const std::string refused = Cli("open " + plain.string() + " --compensator none.txt", false);
    EXPECT_NE(refused.find("--compensator FILE needs a CIC design file with a compensator"),
              std::string::npos)
        << refused;
    EXPECT_FALSE(fs::exists(dir / "none.txt"));
}

TEST(CicCompensatorView, TheThreeGainsAtTheLowRate) {
    const struct {
        int rate, stages, delay, taps;
        double pass, stop;
    } cases[] = {
        {32, 4, 1, 31, 0.2, 0.3},
        {8, 3, 2, 24, 0.15, 0.35},
        {100, 6, 1, 61, 0.25, 0.33},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rate) + "/" + std::to_string(c.stages) + "/" +
                     std::to_string(c.taps));
        COlvexDoc doc;
        doc.m_fs = 48000.0;
        doc.m_nCicRate = c.rate;
        doc.m_nCicStages = c.stages;
        doc.m_nCicDelay = c.delay;
        doc.m_bCicDesigned = 1;
        doc.m_bCicCompensate = 1;
        doc.m_nCicCompTaps = c.taps;
        doc.m_dCicCompPassEdge = c.pass;
        doc.m_dCicCompStopEdge = c.stop;
        ASSERT_EQ(doc.DesignCicCompensator(), "");
        const plots::PlotData data = commands::ComputePlot(
            doc, plots::PlotState{plots::PlotMode::kResponse, false, false, false, true});
        ASSERT_EQ(data.response.extraGains.size(), 2u);
        EXPECT_EQ(data.response.settings.fs, 48000.0 / c.rate);
        EXPECT_EQ(data.response.settings.gainLegend, commands::kCascadeCurveLegend);
        const std::vector<double>& cic = data.response.extraGains[0].gainDb;
        const std::vector<double>& comp = data.response.extraGains[1].gainDb;
        EXPECT_EQ(data.response.extraGains[0].legend, commands::kCicCurveLegend);
        EXPECT_EQ(data.response.extraGains[1].legend, commands::kCompensatorCurveLegend);
        const dsp::CicParams p = doc.CicParams();
        const std::span<const double> taps = doc.CicCompensatorTaps();
        for (int i = 0; i < 180; ++i) {
            // The response grid's point i, in cycles per low-rate sample (point 180 lies just
            // above half the low rate).
            const double f = dsp::ResponseOmega(i, false) / (2.0 * M_PI);
            const auto at = static_cast<size_t>(i);
            SCOPED_TRACE(f);
            EXPECT_NEAR(cic[at], std::max(dsp::CicMagnitudeDb(p, f / c.rate), -400.0), 1e-7);
            EXPECT_NEAR(comp[at], 20.0 * std::log10(dsp::FirMagnitude(taps, f)), 1e-7);
            EXPECT_NEAR(data.response.gainDb[at], cic[at] + comp[at], 1e-9);
            // The cascade is flat over the pass band within the ripple the report gives, and
            // down by the attenuation over the stop band.
            if (f <= c.pass) {
                EXPECT_LE(std::fabs(data.response.gainDb[at]), doc.m_dCicCompPassRippleDb + 1e-9);
            } else if (f >= c.stop) {
                EXPECT_LE(data.response.gainDb[at], -doc.m_dCicCompStopAttenDb + 1e-9);
            }
        }
        // The compensator's phase is linear: the cascade's phase at the first point is the CIC's
        // delay plus the compensator's, (N - 1) / 2 low-rate samples.
        const double omega = dsp::ResponseOmega(1, false);
        const double delay = dsp::CicGroupDelay(p) / c.rate + 0.5 * (c.taps - 1);
        EXPECT_NEAR(std::remainder(data.response.phase[1] + omega * delay, 2.0 * M_PI), 0.0, 1e-9);
        // Without the compensator: the CIC alone at the high rate, as before.
        doc.m_bCicCompensate = 0;
        ASSERT_EQ(doc.DesignCicCompensator(), "");
        const plots::PlotData alone = commands::ComputePlot(
            doc, plots::PlotState{plots::PlotMode::kResponse, false, false, false, true});
        EXPECT_TRUE(alone.response.extraGains.empty());
        EXPECT_EQ(alone.response.settings.fs, 48000.0);
        EXPECT_EQ(alone.response.settings.gainLegend, "Gain");
        const commands::CicResponse closed = commands::CicResponseOf(p);
        EXPECT_TRUE(
            std::equal(closed.gainDb.begin(), closed.gainDb.end(), alone.response.gainDb.begin()));
    }
}

TEST_F(CompensatorWindow, CoefficientsSaveAndExportActOnTheCompensator) {
    DesignFir(); // a FIR's taps stand beside the CIC: none of them may leave as the CIC's
    DesignCic({0, "32", "4", "1", "31", "0.2", "0.3"});
    const std::span<const double> taps = doc.CicCompensatorTaps();
    ASSERT_EQ(taps.size(), 31u);

    // Listed: the compensator's 31 taps, Real.
    Coefficients(0, "16", coeffs::kIdcFormatReal);
    ASSERT_TRUE(host.Messages().empty()) << host.Messages().back().text;
    const std::string listed = Output();
    EXPECT_EQ(listed, commands::CicCompensatorReport(doc, "\r\n"));
    EXPECT_EQ(doc.TakeCicCompensatorCoefficients().ShownTaps(), 31);
    EXPECT_NE(listed.find("31"), std::string::npos) << listed;

    // Saved in the Real form: byte for byte the file of cic --compensator.
    const fs::path window = dir / "window.txt";
    SaveCoefficients(window);
    ASSERT_TRUE(fs::exists(window));
    Cli("cic --decimate 32 --stages 4 --delay 1 --data-bits 16 --compensate --taps 31 --edges "
        "0.2,0.3 --compensator compensator.txt");
    EXPECT_EQ(Read(window), Read(dir / "compensator.txt"));
    // vantrel-cli load turns it into hardware: the same literals as the taps quantized.
    const std::string loaded =
        Cli("load " + window.string() +
            " --structure fir --quantize 16 --data-bits 16 --vhdl loaded.vhd");
    EXPECT_TRUE(fs::exists(dir / "loaded.vhd")) << loaded;

    // Every export format, quantized to 16 bits: the compensator's taps, at the low rate.
    Coefficients(1, "16", coeffs::kIdcFormatReal + 2); // Dec
    ASSERT_TRUE(host.Messages().empty()) << host.Messages().back().text;
    EXPECT_EQ(Output(), commands::CicCompensatorReport(doc, "\r\n"));
    EXPECT_NE(Output(), listed);
    const dsp::FilterCoefficients quantized = doc.TakeCicCompensatorCoefficients();
    ASSERT_TRUE(quantized.quantized);
    const std::string centre = std::to_string(quantized.tapIntegers[15]);
    const struct {
        int radio;
        files::ExportFormat format;
        const char* name;
        std::string marks[2]; // what the file holds of the compensator
    } formats[] = {
        {resources::kIdcExportCoe, files::ExportFormat::kCoe, "comp.coe", {centre, "taps: 31"}},
        {resources::kIdcExportMif, files::ExportFormat::kMif, "comp.mif", {"DEPTH=31;", "CIC"}},
        {resources::kIdcExportCsv,
         files::ExportFormat::kCsv,
         "comp.csv",
         {"CIC droop compensator", "fs = 31.25 Hz"}},
        {resources::kIdcExportJson,
         files::ExportFormat::kJson,
         "comp.json",
         {"\"cic-compensator\"", centre}},
        {resources::kIdcExportCHeader,
         files::ExportFormat::kCHeader,
         "comp.h",
         {"CIC droop compensator", "31"}},
    };
    for (const auto& f : formats) {
        SCOPED_TRACE(f.name);
        Export(f.radio, dir / f.name);
        const std::string text = Read(dir / f.name);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text,
                  *files::BuildExport(f.format, quantized,
                                      commands::CicCompensatorExportParametersOf(doc), "comp"));
        for (const std::string& mark : f.marks) {
            EXPECT_NE(text.find(mark), std::string::npos) << mark << "\n" << text;
        }
    }
    // Saved in the Dec form: the coefficient file of a FIR, which load reads back.
    const fs::path dec = dir / "dec.txt";
    SaveCoefficients(dec);
    const std::string back = Cli("load " + dec.string() + " --structure fir");
    // Its lines that are numbers alone: the quantized taps.
    std::vector<double> values;
    std::istringstream lines(back);
    for (std::string line; std::getline(lines, line);) {
        char* end = nullptr;
        const double value = std::strtod(line.c_str(), &end);
        if (!line.empty() && end != nullptr && *end == '\0') {
            values.push_back(value);
        }
    }
    EXPECT_EQ(values, quantized.taps) << back;
}

TEST_F(CompensatorWindow, WithoutACompensatorNothingLeavesAndTheMessageSaysWhatToDo) {
    DesignFir();
    Coefficients(0, "16", coeffs::kIdcFormatReal);
    const std::string firReport = Output();
    DesignCic({0, "32", "4", "1", nullptr, nullptr, nullptr});
    const size_t fileDialogs = host.FileDialogs().size();
    const std::string before = Output();

    // No dialog of their own comes up: Coefficients refuses at once, Save Coefficients and
    // Export after the Save/Load dialog.
    const struct {
        const char* what;
        int saveLoadRadio; // 0: the command is Coefficients
    } commandsRun[] = {
        {"Coefficients", 0},
        {"Save Coefficients", resources::kIdcSaveCoeffs},
        {"Export", resources::kIdcExport},
    };
    for (const auto& c : commandsRun) {
        SCOPED_TRACE(c.what);
        const size_t messages = host.Messages().size();
        if (c.saveLoadRadio == 0) {
            ASSERT_TRUE(view.OnCommand(resources::kIdcCoefficients));
        } else {
            host.AnswerDialog(DialogAnswer::Ok(resources::kIddSaveLoad).Radio(c.saveLoadRadio));
            view.OnCommand(resources::kIdcSaveLoad);
        }
        EXPECT_EQ(host.UnansweredDialogs(), 0);
        ASSERT_EQ(host.Messages().size(), messages + 1);
        EXPECT_EQ(host.Messages().back().text, commands::kNoCicCompensatorText);
        EXPECT_EQ(host.FileDialogs().size(), fileDialogs);
        EXPECT_EQ(Output(), before);
    }
    EXPECT_FALSE(firReport.empty());
    // The commands refuse as well.
    EXPECT_TRUE(commands::CheckCicCompensator(doc).Is(commands::OutcomeKind::kRefused));
    EXPECT_TRUE(commands::Export(
                    doc, {false, files::ExportFormat::kCsv, (dir / "cmd.csv").string(), {}, true})
                    .Is(commands::OutcomeKind::kRefused));
    EXPECT_FALSE(fs::exists(dir / "cmd.csv"));
    EXPECT_TRUE(commands::SaveCicCompensator(doc, true, (dir / "cmd.txt").string())
                    .Is(commands::OutcomeKind::kRefused));
    EXPECT_FALSE(fs::exists(dir / "cmd.txt"));
}

} // namespace
