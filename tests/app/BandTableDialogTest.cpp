// The FIR kinds designed on a band table, in the window on the scripted desktop: the kind radio
// of the FIR dialog leads to the table's dialog, whose design is the command line's (the taps
// vantrel-cli prints for the same table), keeps the record's filter type, and whose Cancel
// designs nothing; a bad table is refused with a message naming the band, the focus on the cell
// to correct and every entry kept; rows come and go with their entries.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "dsp/FirDesign.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

namespace fs = std::filesystem;
using platform::DialogAnswer;
namespace ids = design;

constexpr int kTypeRadios[4] = {resources::kIdcLpf, resources::kIdcHpf, resources::kIdcBrf,
                                resources::kIdcBpf};

int TableTemplate(dsp::FirKind kind) {
    return ids::kIddFirBandTable + static_cast<int>(kind) - 1;
}

struct Row {
    const char* from;
    const char* to;
    const char* gain;
    const char* weight;
};

// The rows typed into the table, Add band pressed for each row past the ones it opened with.
DialogAnswer TableAnswer(dsp::FirKind kind, const std::vector<Row>& rows, int openedWith = 1) {
    DialogAnswer answer = DialogAnswer::Ok(TableTemplate(kind));
    for (size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r);
        if (row >= openedWith) {
            answer.Press(ids::kIdcAddBand);
        }
        answer.Text(ids::BandCellId(row, ids::kBandFrom), rows[r].from)
            .Text(ids::BandCellId(row, ids::kBandTo), rows[r].to)
            .Text(ids::BandCellId(row, ids::kBandGain), rows[r].gain)
            .Text(ids::BandCellId(row, ids::kBandWeight), rows[r].weight);
    }
    return answer;
}

// The taps vantrel-cli (built next to this test) prints for the words, one per line with every
// digit a double needs.
std::vector<double> CliTaps(const std::string& words) {
    const fs::path file =
        fs::temp_directory_path() / ("band-table-" + std::to_string(::getpid()) + ".txt");
    const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "vantrel-cli";
    const std::string command =
        cli.string() + " fir " + words + " >" + file.string() + " 2>/dev/null";
    const int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << command;
    std::vector<double> taps;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        char* end = nullptr;
        const double value = std::strtod(line.c_str(), &end);
        if (end != line.c_str() && *end == '\0') {
            taps.push_back(value);
        }
    }
    fs::remove(file);
    return taps;
}

struct BandTableFixture : support::ScriptedWindowTest {
    // FIR Design of the type with the kind chosen and N typed, then the table's answer.
    void Design(int type, dsp::FirKind kind, const char* taps, const DialogAnswer& table) {
        host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + type)
                              .Radio(ids::kIdcFirKind + static_cast<int>(kind))
                              .Text(ids::kIdcTaps, taps));
        host.AnswerDialog(table);
        host.ClickFormRadio(kTypeRadios[type]);
        host.ClickFormRadio(resources::kIdcFir);
        EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
        EXPECT_EQ(host.UnansweredDialogs(), 0);
    }
    // The filter-type design of the LPF dialog as it opens (edges 200 and 250 Hz, RR 10).
    void DesignLowPass() {
        host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + kLpf));
        host.ClickFormRadio(kTypeRadios[kLpf]);
        host.ClickFormRadio(resources::kIdcFir);
        EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
        ASSERT_EQ(doc.FirKind(), dsp::FirKind::kFilterType);
    }
    std::vector<double> Taps() const { return {doc.m_aFirCoeffs, doc.m_aFirCoeffs + doc.m_nTaps}; }
};

TEST_F(BandTableFixture, EachKindDesignsTheTapsOfTheCommandLine) {
    const struct {
        dsp::FirKind kind;
        int formType; // the form's type when Design is pressed
        const char* taps;
        std::vector<Row> rows;
        const char* cli;
    } cases[] = {
        {dsp::FirKind::kHilbert,
         kHpf,
         "31",
         {{"50", "450", "1", "1"}},
         "--type hilbert --taps 31 --bands '50,450,1,1'"},
        {dsp::FirKind::kDifferentiator,
         kLpf,
         "32",
         {{"0", "450", "1", "1"}},
         "--type differentiator --taps 32 --edges 0,450"},
        {dsp::FirKind::kMultiband,
         kBpf,
         "61",
         {{"0", "100", "1", "1"}, {"150", "250", "0", "10"}, {"300", "500", "0.5", "1"}},
         "--taps 61 --bands '0,100,1,1;150,250,0,10;300,500,0.5,1'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cli);
        const int typeBefore = doc.m_nFilterType;
        // A multiband table opens with the record's layout (the filter type's two or three
        // bands); the others with one band of the kind.
        const int openedWith = c.kind == dsp::FirKind::kMultiband ? doc.m_nBands : 1;
        Design(c.formType, c.kind, c.taps, TableAnswer(c.kind, c.rows, openedWith));
        ASSERT_TRUE(host.Dialogs().back().failedChecks.empty())
            << host.Dialogs().back().failedChecks[0];
        EXPECT_EQ(doc.FirKind(), c.kind);
        EXPECT_EQ(doc.m_nTaps, std::stoi(c.taps));
        // The record keeps its filter type, and the form shows it.
        EXPECT_EQ(doc.m_nFilterType, typeBefore);
        EXPECT_EQ(host.Form().GetCheck(kTypeRadios[typeBefore]), 1);

        const std::vector<double> cli = CliTaps(c.cli);
        const std::vector<double> window = Taps();
        ASSERT_EQ(cli.size(), window.size());
        for (size_t i = 0; i < cli.size(); ++i) {
            EXPECT_DOUBLE_EQ(window[i], cli[i]) << i;
        }
        // The next FIR dialog opens with the kind, its type fields and requirements off.
        host.AnswerDialog(DialogAnswer::Cancel(ids::kIddFirParameters + typeBefore));
        EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
        const platform::ControlValues& opened = host.Dialogs().back().opened;
        EXPECT_EQ(opened.GetCheck(ids::kIdcFirKind + static_cast<int>(c.kind)), 1);
        EXPECT_FALSE(opened.IsEnabled(ids::kIdcFc1));
        EXPECT_FALSE(opened.IsEnabled(ids::kIdcRR));
        EXPECT_FALSE(opened.IsEnabled(ids::kIdcFirMethod + dsp::kFirKaiser));
        EXPECT_FALSE(opened.IsEnabled(ids::kIdcFromRequirements));
        EXPECT_TRUE(opened.IsEnabled(ids::kIdcTaps));
        EXPECT_TRUE(opened.IsEnabled(ids::kIdcFs));
    }
}

TEST_F(BandTableFixture, TheTableOpensWithTheDesignOfItsKind) {
    // Multiband from a filter-type design: the type's layout in Hz (LPF: pass 0..200 weight 1,
    // stop 250..500 weight RR).
    DesignLowPass();
    Design(kLpf, dsp::FirKind::kMultiband, "41",
           DialogAnswer::Cancel(TableTemplate(dsp::FirKind::kMultiband)));
    const platform::ControlValues& layout = host.Dialogs().back().opened;
    EXPECT_EQ(layout.GetText(ids::kIdcBandCount), "2");
    const char* const expected[2][4] = {{"0", "200", "1", "1"}, {"250", "500", "0", "10"}};
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < ids::kBandTableColumns; ++c) {
            EXPECT_EQ(layout.GetText(ids::BandCellId(r, c)), expected[r][c]) << r << c;
        }
    }
    EXPECT_FALSE(layout.IsEnabled(ids::BandCellId(2, ids::kBandFrom)));
    EXPECT_EQ(layout.GetText(ids::BandCellId(2, ids::kBandFrom)), "");
    // Cancel in the table designed nothing.
    EXPECT_EQ(doc.FirKind(), dsp::FirKind::kFilterType);

    // A Hilbert transformer, designed, then opened again: its own table.
    Design(kLpf, dsp::FirKind::kHilbert, "31",
           TableAnswer(dsp::FirKind::kHilbert, {{"40", "460", "1", "2"}}));
    ASSERT_EQ(doc.FirKind(), dsp::FirKind::kHilbert);
    Design(kLpf, dsp::FirKind::kHilbert, "31",
           DialogAnswer::Cancel(TableTemplate(dsp::FirKind::kHilbert)));
    const platform::ControlValues& own = host.Dialogs().back().opened;
    EXPECT_EQ(own.GetText(ids::BandCellId(0, ids::kBandFrom)), "40");
    EXPECT_EQ(own.GetText(ids::BandCellId(0, ids::kBandWeight)), "2");
    // A differentiator never designed: one band of 0..0.45 fs.
    Design(kLpf, dsp::FirKind::kDifferentiator, "31",
           DialogAnswer::Cancel(TableTemplate(dsp::FirKind::kDifferentiator)));
    const platform::ControlValues& fresh = host.Dialogs().back().opened;
    EXPECT_EQ(fresh.GetText(ids::kIdcBandCount), "1");
    EXPECT_EQ(fresh.GetText(ids::BandCellId(0, ids::kBandFrom)), "0");
    EXPECT_EQ(fresh.GetText(ids::BandCellId(0, ids::kBandTo)), "450");
    EXPECT_EQ(doc.FirKind(), dsp::FirKind::kHilbert) << "Cancel kept the design";
}

TEST_F(BandTableFixture, ABadTableIsRefusedWithEveryEntryKept) {
    const struct {
        const char* name;
        std::vector<Row> rows;
        int cell; // row * 4 + column
        const char* message;
    } cases[] = {
        {"overlapping",
         {{"0", "200", "1", "1"}, {"150", "500", "0", "1"}},
         4 + ids::kBandFrom,
         "Band 2 starts at 150 Hz, inside Band 1 (up to 200 Hz): bands must ascend without "
         "overlapping."},
        {"unsorted",
         {{"300", "500", "0", "1"}, {"0", "200", "1", "1"}},
         4 + ids::kBandFrom,
         "Band 2 starts at 0 Hz, inside Band 1 (up to 500 Hz): bands must ascend without "
         "overlapping."},
        {"beyond fs/2",
         {{"0", "200", "1", "1"}, {"250", "600", "0", "1"}},
         4 + ids::kBandTo,
         "Band 2: To (600 Hz) is beyond fs/2 (500 Hz)."},
        {"below 0",
         {{"-10", "200", "1", "1"}},
         ids::kBandFrom,
         "Band 1: From (-10 Hz) is below 0 Hz."},
        {"empty band",
         {{"0", "200", "1", "1"}, {"300", "300", "0", "1"}},
         4 + ids::kBandTo,
         "Band 2: To (300 Hz) must be above From (300 Hz)."},
        {"zero weight",
         {{"0", "200", "1", "1"}, {"250", "500", "0", "0"}},
         4 + ids::kBandWeight,
         "Band 2: the weight must be above 0."},
        {"not a number", {{"0", "2OO", "1", "1"}}, ids::kBandTo, "Please enter a number."},
    };
    DesignLowPass();
    const COlvexDoc before = doc;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + kLpf)
                              .Radio(ids::kIdcFirKind + static_cast<int>(dsp::FirKind::kHilbert)));
        host.AnswerDialog(TableAnswer(dsp::FirKind::kHilbert, c.rows));
        host.AnswerDialog(DialogAnswer::Cancel(TableTemplate(dsp::FirKind::kHilbert)));
        host.ClickFormRadio(kTypeRadios[kLpf]);
        host.ClickFormRadio(resources::kIdcFir);
        EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
        EXPECT_EQ(host.UnansweredDialogs(), 0);
        const platform::ShownDialog& shown = host.Dialogs().back();
        ASSERT_EQ(shown.failedChecks.size(), 1u);
        EXPECT_EQ(shown.failedChecks[0], c.message);
        EXPECT_EQ(shown.closed.Focus(), ids::kIdcBandCells + c.cell);
        for (size_t r = 0; r < c.rows.size(); ++r) {
            const int row = static_cast<int>(r);
            EXPECT_EQ(shown.closed.GetText(ids::BandCellId(row, ids::kBandFrom)), c.rows[r].from);
            EXPECT_EQ(shown.closed.GetText(ids::BandCellId(row, ids::kBandWeight)),
                      c.rows[r].weight);
        }
        EXPECT_EQ(doc.FirKind(), before.FirKind());
        EXPECT_EQ(Taps(),
                  std::vector<double>(before.m_aFirCoeffs, before.m_aFirCoeffs + before.m_nTaps));
    }
}

TEST_F(BandTableFixture, RowsComeAndGoWithTheirEntries) {
    // Three rows typed, the third taken out of use and the table designed with two; the third
    // keeps its entries, greyed, for the next Add.
    DesignLowPass();
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + kLpf)
                          .Radio(ids::kIdcFirKind + static_cast<int>(dsp::FirKind::kMultiband)));
    // Opens with the record's two bands; Add band brings the third row.
    host.AnswerDialog(DialogAnswer::Ok(TableTemplate(dsp::FirKind::kMultiband))
                          .Text(ids::BandCellId(0, ids::kBandTo), "150")
                          .Text(ids::BandCellId(1, ids::kBandFrom), "200")
                          .Press(ids::kIdcAddBand)
                          .Text(ids::BandCellId(2, ids::kBandFrom), "999")
                          .Text(ids::BandCellId(2, ids::kBandTo), "x")
                          .Press(ids::kIdcRemoveBand));
    host.ClickFormRadio(kTypeRadios[kLpf]);
    host.ClickFormRadio(resources::kIdcFir);
    EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
    EXPECT_EQ(host.UnansweredDialogs(), 0);
    const platform::ShownDialog& shown = host.Dialogs().back();
    EXPECT_TRUE(shown.failedChecks.empty());
    EXPECT_EQ(shown.closed.GetText(ids::kIdcBandCount), "2");
    EXPECT_FALSE(shown.closed.IsEnabled(ids::BandCellId(2, ids::kBandFrom)));
    EXPECT_EQ(shown.closed.GetText(ids::BandCellId(2, ids::kBandTo)), "x");
    EXPECT_TRUE(shown.closed.IsEnabled(ids::kIdcAddBand));
    ASSERT_EQ(doc.FirKind(), dsp::FirKind::kMultiband);
    ASSERT_EQ(doc.m_nBands, 2);
    EXPECT_DOUBLE_EQ(doc.m_aBandEdges[1] * doc.m_fs, 150.0);
    EXPECT_DOUBLE_EQ(doc.m_aBandEdges[2] * doc.m_fs, 200.0);

    // Eight rows: Add band is disabled; one row: Remove band is.
    DialogAnswer full = DialogAnswer::Cancel(TableTemplate(dsp::FirKind::kMultiband));
    for (int i = 2; i < ids::kBandTableRows; ++i) {
        full.Press(ids::kIdcAddBand);
    }
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + kLpf));
    host.AnswerDialog(full);
    EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
    EXPECT_EQ(host.Dialogs().back().closed.GetText(ids::kIdcBandCount), "8");
    EXPECT_FALSE(host.Dialogs().back().closed.IsEnabled(ids::kIdcAddBand));
    DialogAnswer one = DialogAnswer::Cancel(TableTemplate(dsp::FirKind::kMultiband));
    one.Press(ids::kIdcRemoveBand);
    host.AnswerDialog(DialogAnswer::Ok(ids::kIddFirParameters + kLpf));
    host.AnswerDialog(one);
    EXPECT_TRUE(view.OnCommand(resources::kIdcDesign));
    EXPECT_EQ(host.Dialogs().back().closed.GetText(ids::kIdcBandCount), "1");
    EXPECT_FALSE(host.Dialogs().back().closed.IsEnabled(ids::kIdcRemoveBand));
    EXPECT_EQ(doc.m_nBands, 2) << "Cancel kept the design";
}

} // namespace
