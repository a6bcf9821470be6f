// Undo and redo of the window's design on the scripted desktop: every command that can replace a
// design (FIR and IIR designs, the IIR dialog's Cancel and refused entries, loads, quantization,
// opening a design file, New) is one step back and forth, a command that changes nothing is no
// step, the steps reach far back, and the title's change mark follows them. Beside them: what
// Save writes after a radio click, and the history alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/DesignFileCommands.h"
#include "app/DesignHistory.h"
#include "app/MeasureCommands.h"
#include "app/VhdlCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "app/ui/OlvexView.h"
#include "coeffs/ui/CoeffDialog.h"
#include "files/DesignFile.h"
#include "files/InputFile.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"
#include "vhdl/VhdlText.h"

namespace {

using platform::DialogAnswer;
namespace ids = design;

constexpr int kTypeRadios[4] = {resources::kIdcLpf, resources::kIdcHpf, resources::kIdcBrf,
                                resources::kIdcBpf};

struct UndoWindow : support::ScriptedWindow {
    support::ScratchFolder dir{"undo"};

    std::string PathOf(const std::string& name) const { return (dir / name).string(); }
    void Select(int type, bool iir) {
        host.ClickFormRadio(kTypeRadios[type]);
        host.ClickFormRadio(iir ? resources::kIdcIir : resources::kIdcFir);
    }
    void Design(const DialogAnswer& answer) {
        host.AnswerDialog(answer);
        ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
        ASSERT_EQ(host.UnansweredDialogs(), 0);
    }
    void DesignFir(int taps) {
        Select(kLpf, false);
        Design(DialogAnswer::Ok().Text(ids::kIdcTaps, std::to_string(taps)));
    }
    void Undo() { ASSERT_TRUE(view.OnCommand(resources::kIdEditUndo)); }
    void Redo() { ASSERT_TRUE(view.OnCommand(resources::kIdEditRedo)); }
    files::DesignState Current() { return view.FileMenu().CurrentDesign(); }
    const std::string& Title() const { return host.Titles().back(); }
    // What the form's radios show: the structure, then the type.
    std::pair<int, int> Radios() {
        const int structure = host.Form().GetCheck(resources::kIdcIir) != 0 ? 1 : 0;
        for (int type = kLpf; type <= kBpf; ++type) {
            if (host.Form().GetCheck(kTypeRadios[type]) != 0) {
                return {structure, type};
            }
        }
        return {structure, -1};
    }
};

struct UndoFixture : ::testing::Test, UndoWindow {};

// Each way a user can lose a design, played on a window holding a designed 61-tap FIR.
struct DestructivePath {
    const char* name;
    std::function<void(UndoWindow&)> act;
    bool changes; // false: the design that stood is kept, so there is no step to undo
    bool opensFile = false;
};

const std::vector<DestructivePath>& DestructivePaths() {
    static const std::vector<DestructivePath> paths{
        {"FIR design", [](UndoWindow& f) { f.DesignFir(33); }, true},
        {"IIR design",
         [](UndoWindow& f) {
             f.Select(kHpf, true);
             f.Design(
                 DialogAnswer::Ok(ids::kIddIirParameters + kHpf).Text(ids::kIdcIirSections, "4"));
         },
         true},
        {"IIR Cancel designs the stored settings",
         [](UndoWindow& f) {
             f.Select(kBpf, true);
             f.Design(DialogAnswer::Cancel(ids::kIddIirParameters + kBpf));
         },
         true},
        {"refused IIR entry designs the stored settings",
         [](UndoWindow& f) {
             f.Select(kBpf, true);
             f.Design(
                 DialogAnswer::Ok(ids::kIddIirParameters + kBpf).Text(ids::kIdcIirSections, "3"));
             EXPECT_EQ(f.host.Warnings().size(), 1u);
         },
         true},
        {"requirements that cannot be met",
         [](UndoWindow& f) {
             f.Select(kLpf, false);
             f.Design(DialogAnswer::Ok(ids::kIddFirParameters + kLpf)
                          .Text(ids::kIdcFc1, "200")
                          .Text(ids::kIdcFc2, "203")
                          .Check(ids::kIdcFromRequirements, 1)
                          .Text(ids::kIdcPassRipple, "0.5")
                          .Text(ids::kIdcStopAttenuation, "80"));
             ASSERT_EQ(f.host.Messages().size(), 1u);
             EXPECT_NE(f.host.Messages()[0].text.find("the best design"), std::string::npos);
         },
         false},
        {"load coefficients",
         [](UndoWindow& f) {
             std::ofstream(f.dir / "c.txt") << "Data is Dec : 1.0 => 32768\n16384\n-32768\n";
             f.host.AnswerDialog(
                 DialogAnswer::Ok(resources::kIddSaveLoad).Radio(resources::kIdcLoadCoeffs));
             f.host.AnswerFileDialog(f.PathOf("c.txt"));
             f.view.OnCommand(resources::kIdcSaveLoad);
             EXPECT_EQ(f.doc.m_nTaps, 2);
         },
         true},
        {"quantization",
         [](UndoWindow& f) {
             f.host.AnswerDialog(DialogAnswer::Ok()
                                     .Check(coeffs::kIdcQuantize, 1)
                                     .Text(coeffs::kIdcQuantBits, "12"));
             f.view.OnCommand(resources::kIdcCoefficients);
             EXPECT_EQ(f.doc.m_bQuantize, 1);
         },
         true},
        {"open a design file",
         [](UndoWindow& f) {
             // Another design, saved, then the first one back: the file holds what is opened.
             COlvexDoc other;
             other.m_nTaps = 21;
             other.DesignFir(kLpf);
             commands::FormSettings form;
             form.designed = true;
             ASSERT_TRUE(commands::SaveDesign(other, form, f.PathOf("o.vantrel"))
                             .Is(commands::OutcomeKind::kFileWritten));
             f.host.AnswerSaveChanges(platform::SaveChangesAnswer::kDiscard);
             f.host.AnswerFileDialog(f.PathOf("o.vantrel"));
             f.view.OnCommand(resources::kIdFileOpen);
             EXPECT_EQ(f.doc.m_nTaps, 21);
             EXPECT_EQ(f.Title(), "o.vantrel - Vantrel");
         },
         true, true},
        {"New",
         [](UndoWindow& f) {
             f.host.AnswerSaveChanges(platform::SaveChangesAnswer::kDiscard);
             f.view.OnCommand(resources::kIdFileNew);
             EXPECT_EQ(f.view.m_bNoDesign, 1);
         },
         true},
    };
    return paths;
}

TEST(UndoTest, EveryDestructivePathIsOneStepBackAndForth) {
    for (const DestructivePath& path : DestructivePaths()) {
        SCOPED_TRACE(path.name);
        UndoWindow f; // each path on a window of its own
        const files::DesignState defaults = f.Current();
        f.DesignFir(61);
        const files::DesignState designed = f.Current();
        const std::vector<double> taps(f.doc.m_aFirCoeffs, f.doc.m_aFirCoeffs + 61);
        const std::pair<int, int> radios = f.Radios();
        EXPECT_EQ(f.Title(), "Untitled* - Vantrel");

        path.act(f);
        const files::DesignState after = f.Current();
        if (!path.changes) {
            EXPECT_EQ(after, designed);
            EXPECT_EQ(f.Radios(), radios);
            f.Undo(); // the step before is the first design
            EXPECT_EQ(f.Current(), defaults);
            continue;
        }
        ASSERT_NE(after, designed);
        const std::pair<int, int> radiosAfter = f.Radios();
        const std::string titleAfter = f.Title();

        // Undo gives back the design with its coefficients and what the form showed.
        f.Undo();
        EXPECT_EQ(f.Current(), designed);
        EXPECT_EQ(std::vector<double>(f.doc.m_aFirCoeffs, f.doc.m_aFirCoeffs + 61), taps);
        EXPECT_EQ(f.doc.m_nTaps, 61);
        EXPECT_EQ(f.Radios(), radios);
        EXPECT_EQ(f.view.m_bNoDesign, 0);
        EXPECT_EQ(f.Title(), "Untitled* - Vantrel");
        // One more: the defaults the window started with, which are saved unless a design
        // file was opened since.
        f.Undo();
        EXPECT_EQ(f.Current(), defaults);
        EXPECT_EQ(f.Title(), path.opensFile ? "Untitled* - Vantrel" : "Untitled - Vantrel");
        EXPECT_FALSE(f.view.EditMenu().CanUndo());

        // Redo makes both changes again.
        f.Redo();
        EXPECT_EQ(f.Current(), designed);
        f.Redo();
        EXPECT_EQ(f.Current(), after);
        EXPECT_EQ(f.Radios(), radiosAfter);
        EXPECT_EQ(f.Title(), titleAfter);
        EXPECT_FALSE(f.view.EditMenu().CanRedo());
    }
}

TEST_F(UndoFixture, ACommandThatChangesNothingIsNoStepAndANewChangeDropsRedo) {
    DesignFir(41);
    // The FIR dialog's Cancel and a second look at the plot change nothing.
    Design(DialogAnswer::Cancel());
    view.OnCommand(resources::kIdcRefreshView);
    Undo();
    EXPECT_EQ(view.m_bNoDesign, 1);
    EXPECT_FALSE(view.EditMenu().CanUndo());
    // Undo and Redo with nothing to take back or make again leave the design alone.
    Undo();
    EXPECT_EQ(view.m_bNoDesign, 1);
    Redo();
    EXPECT_EQ(doc.m_nTaps, 41);
    Redo();
    EXPECT_EQ(doc.m_nTaps, 41);
    Undo();
    DesignFir(51);
    EXPECT_FALSE(view.EditMenu().CanRedo());
    Undo();
    EXPECT_EQ(view.m_bNoDesign, 1);
}

TEST_F(UndoFixture, SixtyDesignsAreUndoneOneByOne) {
    for (int taps = 11; taps < 71; ++taps) {
        DesignFir(taps);
    }
    for (int taps = 69; taps >= 11; --taps) {
        Undo();
        ASSERT_EQ(doc.m_nTaps, taps);
        std::vector<double> again(doc.m_aFirCoeffs, doc.m_aFirCoeffs + taps);
        COlvexDoc reference;
        reference.m_nTaps = taps;
        reference.DesignFir(kLpf);
        EXPECT_EQ(again,
                  std::vector<double>(reference.m_aFirCoeffs, reference.m_aFirCoeffs + taps));
    }
    Undo();
    EXPECT_EQ(view.m_bNoDesign, 1);
    EXPECT_EQ(Title(), "Untitled - Vantrel");
}

TEST_F(UndoFixture, TheChangeMarkFollowsTheStepsAroundASave) {
    DesignFir(31);
    host.AnswerFileDialog(PathOf("a.vantrel"));
    view.OnCommand(resources::kIdFileSaveAs);
    EXPECT_EQ(Title(), "a.vantrel - Vantrel");
    DesignFir(35);
    EXPECT_EQ(Title(), "a.vantrel* - Vantrel");
    Undo();
    EXPECT_EQ(Title(), "a.vantrel - Vantrel"); // back to what the file holds
    // Before the first design the window had no name yet; the file holds another design.
    Undo();
    EXPECT_EQ(Title(), "Untitled* - Vantrel");
    Redo();
    EXPECT_EQ(Title(), "a.vantrel - Vantrel");
    Redo();
    EXPECT_EQ(Title(), "a.vantrel* - Vantrel");
}

// IIR BRF designed, then FIR LPF designed, then the IIR radio clicked: what Save writes, what
// opening the file measures and the VHDL header's words all describe the FIR LPF that stands.
TEST_F(UndoFixture, ARadioClickedWithoutDesigningChangesNothingSaved) {
    host.AnswerSaveChanges(platform::SaveChangesAnswer::kDiscard);
    view.OnCommand(resources::kIdFileNew);
    Select(kBrf, true);
    Design(DialogAnswer::Ok(ids::kIddIirParameters + kBrf).Text(ids::kIdcFs, "2000"));
    ASSERT_EQ(doc.m_nFilterType, kBrf);
    const std::string iirSummary = commands::MeasurementsSummary(doc, true);
    Select(kLpf, false);
    // The FIR dialog offers the fs the IIR was just designed at.
    Design(DialogAnswer::Ok(ids::kIddFirParameters + kLpf).Text(ids::kIdcFs, "1000"));
    ASSERT_EQ(doc.m_nFilterType, kLpf);
    const std::string summary = commands::MeasurementsSummary(doc, false);

    // Shown again, the IIR is measured, plotted and described as the BRF at 2 kHz it is.
    host.ClickFormRadio(resources::kIdcIir);
    view.UpdateData(true); // as every command reads the form
    EXPECT_EQ(doc.m_nFilterType, kBrf);
    EXPECT_EQ(doc.m_fs, 2000.0);
    EXPECT_EQ(commands::MeasurementsSummary(doc, true), iirSummary);
    EXPECT_EQ(commands::HeaderValuesOf(doc, 1).typeWords, "BRF by IIR");
    // Whichever structure the form shows, each keeps its own filter.
    EXPECT_EQ(commands::MeasurementsSummary(doc, false), summary);

    host.AnswerFileDialog(PathOf("b.vantrel"));
    view.OnCommand(resources::kIdFileSaveAs);
    EXPECT_EQ(Title(), "b.vantrel - Vantrel");
    // Nor is a radio clicked after saving a change to the design.
    host.ClickFormRadio(resources::kIdcFir);
    view.UpdateData(true);
    EXPECT_FALSE(view.FileMenu().IsModified());

    const files::DesignRead read =
        files::ReadDesignText(files::ReadInputFile(PathOf("b.vantrel"), 1 << 20).text);
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(read.state.structure, 0);
    EXPECT_EQ(read.state.filterType, kLpf);
    EXPECT_EQ(read.state.fs, 1000.0);
    EXPECT_EQ(read.state.otherType, kBrf);
    EXPECT_EQ(read.state.otherFs, 2000.0);
    EXPECT_EQ(read.state.firTaps,
              std::vector<double>(doc.m_aFirCoeffs, doc.m_aFirCoeffs + doc.m_nTaps));

    // As `vantrel-cli open` restores it.
    COlvexDoc opened;
    const commands::OpenDesignOutcome outcome = commands::OpenDesign(opened, PathOf("b.vantrel"));
    ASSERT_TRUE(outcome.Is(commands::OutcomeKind::kAccepted)) << outcome.message;
    EXPECT_EQ(vhdl::FilterTypeWords(outcome.form.structure, opened.m_nFilterType), "LPF by FIR");
    EXPECT_EQ(commands::MeasurementsSummary(opened, outcome.form.structure == 1), summary);

    // Opened in the window: the radios show the FIR LPF.
    host.AnswerFileDialog(PathOf("b.vantrel"));
    view.OnCommand(resources::kIdFileOpen);
    EXPECT_EQ(Radios(), std::make_pair(0, static_cast<int>(kLpf)));
    // and its IIR, shown, is the BRF at 2 kHz again.
    host.ClickFormRadio(resources::kIdcIir);
    view.UpdateData(true);
    EXPECT_EQ(commands::MeasurementsSummary(doc, true), iirSummary);
    EXPECT_EQ(doc.m_fs, 2000.0);
}

TEST(DesignHistoryTest, KeepsTheNewestStepsUpToItsDepth) {
    commands::DesignHistory history(3);
    const auto snapshot = [](int taps) {
        commands::DesignSnapshot s;
        s.doc.m_nTaps = taps;
        return s;
    };
    for (int taps = 1; taps <= 5; ++taps) {
        history.Record(snapshot(taps));
    }
    EXPECT_EQ(history.UndoSteps(), 3u);
    std::vector<int> back;
    int current = 6;
    while (auto s = history.Undo(snapshot(current))) {
        back.push_back(s->doc.m_nTaps);
        current = s->doc.m_nTaps;
    }
    EXPECT_EQ(back, (std::vector<int>{5, 4, 3}));
    EXPECT_EQ(history.RedoSteps(), 3u);
    const auto forward = history.Redo(snapshot(current));
    ASSERT_TRUE(forward.has_value());
    EXPECT_EQ(forward->doc.m_nTaps, 4);
    history.Record(snapshot(9));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_FALSE(history.Redo(snapshot(1)).has_value());
    EXPECT_GE(commands::DesignHistory::kDefaultDepth, 50u);
}

} // namespace
