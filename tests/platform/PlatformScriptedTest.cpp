// The scripted desktop: dialogs answered from a script (with refused entries and a retry),
// the record of warnings, message boxes and file dialogs, and the file search.
#include "platform/scripted/ScriptedHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "files/SearchPath.h"
#include "resources/Resources.h"
#include "tests/support/ScratchFolder.h"

namespace {

using platform::DialogAnswer;
using platform::kIdCancel;
using platform::kIdOk;

constexpr int kBitsEdit = 1020;
constexpr int kQuantizeCheck = 1019;
constexpr int kRealRadio = 1021;
constexpr int kHexRadio = 1024;
constexpr int kNoteEdit = 1025;

class BitsDialog : public platform::Dialog {
public:
    BitsDialog() : Dialog(Shape()) {}
    int m_nBits = 16;
    int m_bQuantize = 0;
    int m_nFormat = 0;
    void DoDataExchange(platform::DataExchange& dx) override {
        dx.Check(kQuantizeCheck, m_bQuantize);
        dx.IntRange(kBitsEdit, m_nBits, 4, 32);
        dx.Radio(kRealRadio, m_nFormat);
    }
    void OnInitDialog(platform::ControlAccess& controls) override {
        controls.SetReadOnly(kNoteEdit, true);
    }

private:
    static platform::DialogTemplate Shape() {
        using platform::ControlKind;
        platform::DialogTemplate t;
        t.id = 134;
        t.title = "Coefficients";
        t.controls = {
            {kQuantizeCheck, ControlKind::kCheckBox, "Quantize by", {}},
            {kBitsEdit, ControlKind::kEdit, "", {}},
            {kRealRadio, ControlKind::kRadio, "Real", {}, platform::kStyleGroupStart},
            {1022, ControlKind::kRadio, "Bin", {}},
            {1023, ControlKind::kRadio, "Dec", {}},
            {kHexRadio, ControlKind::kRadio, "Hex", {}},
            {kNoteEdit, ControlKind::kEdit, "note", {}},
            {kIdOk, ControlKind::kDefaultPushButton, "OK", {}},
            {kIdCancel, ControlKind::kPushButton, "Cancel", {}},
        };
        return t;
    }
};

TEST(ScriptedHost, RefusedEntryThenAGoodOne) {
    platform::ScriptedHost host(resources::FormTemplate());
    host.AnswerDialog(DialogAnswer::Ok(134).Text(kBitsEdit, "40").Check(kQuantizeCheck, 1));
    host.AnswerDialog(DialogAnswer::Ok(134).Text(kBitsEdit, "abc"));
    host.AnswerDialog(DialogAnswer::Ok(134).Text(kBitsEdit, "24").Radio(kHexRadio));
    BitsDialog dialog;
    EXPECT_EQ(host.RunModal(dialog), kIdOk);
    EXPECT_EQ(dialog.m_nBits, 24);
    EXPECT_EQ(dialog.m_bQuantize, 1);
    EXPECT_EQ(dialog.m_nFormat, 3);
    ASSERT_EQ(host.Dialogs().size(), 1u);
    const platform::ShownDialog& shown = host.Dialogs()[0];
    EXPECT_EQ(shown.title, "Coefficients");
    EXPECT_EQ(shown.opened.GetText(kBitsEdit), "16");
    EXPECT_EQ(shown.failedChecks,
              (std::vector<std::string>{"Please enter an integer between 4 and 32.",
                                        "Please enter an integer."}));
    // Each refused OK showed the message in a message box with the application's name.
    ASSERT_EQ(host.Messages().size(), 2u);
    EXPECT_EQ(host.Messages()[0].text, "Please enter an integer between 4 and 32.");
    EXPECT_EQ(host.Messages()[0].caption, "Olvex");
    EXPECT_EQ(host.UnansweredDialogs(), 0);
}

TEST(ScriptedHost, CancelAndScriptFaults) {
    platform::ScriptedHost host(resources::FormTemplate());
    BitsDialog dialog;
    host.AnswerDialog(DialogAnswer::Cancel().Text(kBitsEdit, "8"));
    EXPECT_EQ(host.RunModal(dialog), kIdCancel);
    EXPECT_EQ(dialog.m_nBits, 16) << "Cancel must not exchange";

    // No answer left, an answer meant for another dialog, a control the dialog lacks or one of
    // another kind, typing into a read-only field: each is a fault of the script, not a silent
    // Cancel.
    EXPECT_THROW(host.RunModal(dialog), platform::ScriptError);
    host.AnswerDialog(DialogAnswer::Ok(163));
    EXPECT_THROW(host.RunModal(dialog), platform::ScriptError);
    host.AnswerDialog(DialogAnswer::Ok().Text(9999, "1"));
    EXPECT_THROW(host.RunModal(dialog), platform::ScriptError);
    host.AnswerDialog(DialogAnswer::Ok().Radio(kQuantizeCheck));
    EXPECT_THROW(host.RunModal(dialog), platform::ScriptError);
    host.AnswerDialog(DialogAnswer::Ok().Text(kNoteEdit, "typed"));
    EXPECT_THROW(host.RunModal(dialog), platform::ScriptError);
}

TEST(ScriptedHost, RecordsWarningsFilesAndTimers) {
    platform::ScriptedHost host(resources::FormTemplate());
    host.ShowWarning(137, "Warning!", {"Enable \"Quantize\" for Bin, Dec or Hex!!"});
    host.MessageBox("/tmp/x cannot be opened", "", platform::MessageIcon::kError);
    host.AnswerFileDialog(std::string("/tmp/coeff0.txt"));
    host.AnswerFileDialog(std::nullopt);
    platform::FileDialogRequest save{false, "coeff0.txt", "", "",
                                     platform::kOfnHideReadOnly | platform::kOfnOverwritePrompt};
    EXPECT_EQ(host.RunFileDialog(save), std::optional<std::string>("/tmp/coeff0.txt"));
    EXPECT_EQ(host.RunFileDialog(save), std::nullopt);
    EXPECT_THROW(host.RunFileDialog(save), platform::ScriptError);
    ASSERT_EQ(host.Warnings().size(), 1u);
    EXPECT_EQ(host.Warnings()[0].templateId, 137);
    EXPECT_EQ(host.Messages().at(0).caption, "Olvex");
    EXPECT_EQ(host.FileDialogs().size(), 3u);

    EXPECT_FALSE(host.TickTimer()) << "no timer is running yet";
    host.SetTimer(platform::kViewTimerId, 50);
    host.SetTimer(platform::kViewTimerId, 1000);
    EXPECT_EQ(host.TimerPeriod(platform::kViewTimerId), 1000);
    EXPECT_TRUE(host.TickTimer());
}

TEST(SearchPath, FindsAlongTheFoldersInOrder) {
    namespace fs = std::filesystem;
    const support::ScratchFolder scratch{"search-test"};
    const fs::path& root = scratch.Path();
    fs::create_directories(root / "program");
    fs::create_directories(root / "bin");
    std::ofstream(root / "bin" / "firfilter.vhd") << "x";
    std::ofstream(root / "program" / "iirfilter1.vhd") << "x";
    fs::create_directories(root / "program" / "iirfilter2.vhd"); // a folder is not a file

    const std::vector<std::string> folders = files::SearchFolders(
        (root / "program").string(), "", "/nonexistent::" + (root / "bin").string());
    EXPECT_EQ(folders.size(), 4u);
    EXPECT_EQ(files::SearchAlongPath("firfilter", ".vhd", folders),
              (root / "bin" / "firfilter.vhd").string());
    EXPECT_EQ(files::SearchAlongPath("iirfilter1.vhd", ".vhd", folders),
              (root / "program" / "iirfilter1.vhd").string());
    EXPECT_EQ(files::SearchAlongPath("iirfilter2.vhd", ".vhd", folders), std::nullopt);
    EXPECT_EQ(files::SearchAlongPath("", ".vhd", folders), std::nullopt);
}

// An install under any prefix: the program in <prefix>/bin finds <prefix>/share/vantrel/templates
// from an unrelated current folder, before the folder fixed when the build was configured.
TEST(SearchPath, FindsTheTemplatesOfAnInstallBesideTheProgram) {
    namespace fs = std::filesystem;
    const support::ScratchFolder scratch{"search-prefix-test"};
    const fs::path& root = scratch.Path();
    const fs::path templates = root / "prefix" / "share" / "vantrel" / "templates";
    fs::create_directories(root / "prefix" / "bin");
    fs::create_directories(templates);
    fs::create_directories(root / "configured");
    fs::create_directories(root / "elsewhere");
    std::ofstream(templates / "firfilter.vhd") << "x";
    std::ofstream(root / "configured" / "firfilter.vhd") << "x";
    std::ofstream(root / "configured" / "iirfilter3.vhd") << "x";

    const std::vector<std::string> folders =
        files::SearchFolders((root / "prefix" / "bin").string(), (root / "elsewhere").string(), "",
                             (root / "configured").string());
    const auto found = files::SearchAlongPath("firfilter", ".vhd", folders);
    ASSERT_TRUE(found.has_value());
    EXPECT_TRUE(fs::equivalent(*found, templates / "firfilter.vhd")) << *found;
    EXPECT_EQ(files::SearchAlongPath("iirfilter3", ".vhd", folders),
              (root / "configured" / "iirfilter3.vhd").string());
    // Without a program folder there is nothing to be beside.
    EXPECT_EQ(files::SearchFolders("", "", "", "").size(), 0u);
}

} // namespace
