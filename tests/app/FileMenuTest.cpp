// The File menu on the scripted desktop: New, Open, Save, Save As, the recent designs in the
// profile, the question before unsaved changes are dropped and the title that marks them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "app/ui/OlvexView.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

namespace fs = std::filesystem;
using platform::DialogAnswer;
using platform::SaveChangesAnswer;

struct FileMenuFixture : support::ScriptedWindowTest {
    support::ScratchFolder dir{"filemenu"};

    FileMenuFixture() {}

    std::string PathOf(const std::string& name) const { return (dir / name).string(); }
    // Design with the FIR dialog's values as they stand, tap count changed.
    void Design(int taps) {
        host.AnswerDialog(DialogAnswer::Ok().Text(design::kIdcTaps, std::to_string(taps)));
        ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
        ASSERT_EQ(doc.m_nTaps, taps);
    }
    void SaveAs(const std::string& name) {
        host.AnswerFileDialog(PathOf(name));
        view.OnCommand(resources::kIdFileSaveAs);
    }
    const std::string& Title() const { return host.Titles().back(); }
};

TEST_F(FileMenuFixture, SaveNewAndOpenRestoreTheDesignAndKeepTheRecentList) {
    EXPECT_EQ(view.FileMenu().WindowTitle(), "Untitled - Vantrel");
    Design(61);
    EXPECT_EQ(Title(), "Untitled* - Vantrel");
    const std::vector<double> taps(doc.m_aFirCoeffs, doc.m_aFirCoeffs + 61);

    // Save of an untitled design asks for the name, a second Save does not.
    host.AnswerFileDialog(PathOf("a.vantrel"));
    view.OnCommand(resources::kIdFileSave);
    ASSERT_TRUE(fs::exists(PathOf("a.vantrel")));
    EXPECT_EQ(host.FileDialogs().back().open, false);
    EXPECT_NE(host.FileDialogs().back().flags & platform::kOfnOverwritePrompt, 0u);
    EXPECT_EQ(Title(), "a.vantrel - Vantrel");
    const size_t dialogs = host.FileDialogs().size();
    view.OnCommand(resources::kIdFileSave);
    EXPECT_EQ(host.FileDialogs().size(), dialogs);

    // New: nothing unsaved, so no question; the defaults and the hint.
    view.OnCommand(resources::kIdFileNew);
    EXPECT_TRUE(host.SaveQuestions().empty());
    EXPECT_EQ(doc.m_nTaps, COlvexDoc().m_nTaps);
    EXPECT_EQ(view.m_bNoDesign, 1);
    EXPECT_EQ(Title(), "Untitled - Vantrel");

    // The most recent design opens as it was saved, without designing again.
    view.OnCommand(resources::kIdRecentFirst);
    EXPECT_EQ(view.m_bNoDesign, 0);
    EXPECT_EQ(std::vector<double>(doc.m_aFirCoeffs, doc.m_aFirCoeffs + 61), taps);
    EXPECT_EQ(Title(), "a.vantrel - Vantrel");
    EXPECT_FALSE(view.FileMenu().IsModified());

    // The list: most recent first, each once, at most four.
    for (const char* name : {"b.vantrel", "c.vantrel", "a.vantrel", "d.vantrel", "e.vantrel"}) {
        SaveAs(name);
    }
    const std::vector<std::string> expected = {PathOf("e.vantrel"), PathOf("d.vantrel"),
                                               PathOf("a.vantrel"), PathOf("c.vantrel")};
    EXPECT_EQ(host.RecentFiles(), expected);

    // Open through its dialog.
    host.AnswerFileDialog(PathOf("b.vantrel"));
    view.OnCommand(resources::kIdFileOpen);
    EXPECT_TRUE(host.FileDialogs().back().open);
    EXPECT_EQ(host.RecentFiles().front(), PathOf("b.vantrel"));
    EXPECT_EQ(Title(), "b.vantrel - Vantrel");
}

TEST_F(FileMenuFixture, UnsavedChangesAreAskedAboutBeforeTheyAreDropped) {
    struct Case {
        const char* name;
        SaveChangesAnswer answer;
        std::optional<std::string> saveAs; // the Save As dialog's answer after kSave
        bool newRan;
        bool saved;
    };
    const Case cases[] = {
        {"cancel", SaveChangesAnswer::kCancel, std::nullopt, false, false},
        {"discard", SaveChangesAnswer::kDiscard, std::nullopt, true, false},
        {"save", SaveChangesAnswer::kSave, PathOf("saved.vantrel"), true, true},
        {"save, then cancel the name", SaveChangesAnswer::kSave, std::nullopt, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(PathOf("saved.vantrel"));
        view.OnCommand(resources::kIdFileNew); // a clean start (discarding what the last left)
        Design(41);
        const size_t asked = host.SaveQuestions().size();
        host.AnswerSaveChanges(c.answer);
        if (c.answer == SaveChangesAnswer::kSave) {
            host.AnswerFileDialog(c.saveAs);
        }
        view.OnCommand(resources::kIdFileNew);
        ASSERT_EQ(host.SaveQuestions().size(), asked + 1);
        EXPECT_EQ(host.SaveQuestions().back(), "Save changes to Untitled?");
        EXPECT_EQ(view.m_bNoDesign, c.newRan ? 1 : 0);
        EXPECT_EQ(fs::exists(PathOf("saved.vantrel")), c.saved);
        // Closing asks the same way: Cancel keeps the window open.
        if (!c.newRan) {
            host.AnswerSaveChanges(SaveChangesAnswer::kCancel);
            EXPECT_FALSE(view.FileMenu().QueryClose());
        }
    }
    view.OnCommand(resources::kIdFileNew);
    const size_t asked = host.SaveQuestions().size();
    EXPECT_TRUE(view.FileMenu().QueryClose()) << "nothing unsaved: the window closes at once";
    EXPECT_EQ(host.SaveQuestions().size(), asked);
}

TEST_F(FileMenuFixture, ARefusedFileIsReportedAndChangesNothing) {
    Design(51);
    SaveAs("good.vantrel");
    std::ofstream(PathOf("bad.vantrel")) << "{\"format\": \"vantrel-design\", \"version\": 7}";
    host.AnswerFileDialog(PathOf("bad.vantrel"));
    view.OnCommand(resources::kIdFileOpen);
    ASSERT_FALSE(host.Messages().empty());
    EXPECT_NE(host.Messages().back().text.find("version"), std::string::npos);
    EXPECT_EQ(doc.m_nTaps, 51);
    EXPECT_EQ(view.m_strDesignPath, PathOf("good.vantrel"));
    EXPECT_EQ(host.RecentFiles(), std::vector<std::string>{PathOf("good.vantrel")});
}

} // namespace
