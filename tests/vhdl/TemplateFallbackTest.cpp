// The folded and parallel IIR templates are one file for every section count; a user's own
// template under the per-count name those templates once had is still found first, in the
// window as on the command line, and a template whose section blocks are malformed is refused
// with its line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "app/ui/OlvexView.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"
#include "resources/VhdlResources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::DialogAnswer;

struct TemplateFallback : support::ScriptedWindowTest {
    support::ScratchFolder user{"template-fallback-user"};
    support::ScratchFolder installed{"template-fallback-installed"};

    TemplateFallback() {
        host.SetSearchFolders({user.Path().string(), installed.Path().string()});
        doc.m_nIirSections = 3;
        doc.m_bQuantize = 1;
        doc.m_nQuantBits = 8;
        host.ClickFormRadio(resources::kIdcIir);
    }

    std::string Output() { return host.Form().GetText(resources::kIdcOutput); }
    void VhdlCode(int architecture, bool verilog) {
        host.AnswerDialog(
            DialogAnswer::Ok(resources::kIddVhdlSource)
                .Text(resources::kIdcVhdlDataBits, "12")
                .Radio(architecture)
                .Radio(verilog ? resources::kIdcLanguageVerilog : resources::kIdcLanguageVhdl));
        EXPECT_TRUE(view.OnCommand(resources::kIdcVhdlCode));
    }
};

TEST_F(TemplateFallback, AUsersPerCountTemplateIsFoundFirst) {
    const struct {
        const char* name;
        int architecture;
        bool verilog;
        // Files as folder ("user" or "installed") and name, each with a line naming it.
        std::vector<std::pair<const char*, const char*>> files;
        const char* expectedFolder;
        const char* expectedName;
    } cases[] = {
        {"the user's template of the section count",
         resources::kIdcArchFolded,
         false,
         {{"user", "iirfilter3_folded.vhd"}, {"installed", "iirfilter_folded.vhd"}},
         "user",
         "iirfilter3_folded.vhd"},
        {"one of another count is not taken",
         resources::kIdcArchFolded,
         false,
         {{"user", "iirfilter2_folded.vhd"}, {"installed", "iirfilter_folded.vhd"}},
         "installed",
         "iirfilter_folded.vhd"},
        {"the other architecture's is not taken",
         resources::kIdcArchParallel,
         false,
         {{"user", "iirfilter3_folded.vhd"}, {"installed", "iirfilter_parallel.vhd"}},
         "installed",
         "iirfilter_parallel.vhd"},
        {"a Verilog one for Verilog",
         resources::kIdcArchParallel,
         true,
         {{"user", "iirfilter3_parallel.v"},
          {"user", "iirfilter3_parallel.vhd"},
          {"installed", "iirfilter_parallel.v"}},
         "user",
         "iirfilter3_parallel.v"},
        {"the one template of every count alone",
         resources::kIdcArchFolded,
         true,
         {{"installed", "iirfilter_folded.v"}},
         "installed",
         "iirfilter_folded.v"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& folder : {user.Path(), installed.Path()}) {
            for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                std::filesystem::remove(entry.path());
            }
        }
        for (const auto& [folder, name] : c.files) {
            const auto& root = std::string(folder) == "user" ? user.Path() : installed.Path();
            std::ofstream(root / name, std::ios::binary)
                << "-- from " << folder << "/" << name << "\nrepa0 repb2\n";
        }
        view.m_strTemplatePath.clear();
        VhdlCode(c.architecture, c.verilog);
        const auto& root = std::string(c.expectedFolder) == "user" ? user.Path() : installed.Path();
        EXPECT_EQ(view.m_strTemplatePath, (root / c.expectedName).string());
        EXPECT_NE(Output().find(std::string("from ") + c.expectedFolder + "/" + c.expectedName),
                  std::string::npos)
            << Output();
    }
}

// A generated file of the old name (no coefficient token) is passed over like any other.
TEST_F(TemplateFallback, AGeneratedFileOfTheOldNameIsPassedOver) {
    std::ofstream(user.Path() / "iirfilter3_folded.vhd") << "-- generated\nentity iirfilter is\n";
    std::ofstream(installed.Path() / "iirfilter_folded.vhd")
        << "--@SECTION\n-- section @{s} of @{n}: repa0 repb2\n--@END\n";
    VhdlCode(resources::kIdcArchFolded, false);
    EXPECT_EQ(view.m_strTemplatePath, (installed.Path() / "iirfilter_folded.vhd").string());
    EXPECT_NE(Output().find("-- section 3 of 3: "), std::string::npos) << Output();
    EXPECT_EQ(Output().find("@{"), std::string::npos) << Output();
}

// A malformed block is refused in a message box naming the template line; the box keeps what it
// showed and Save VHDL refuses it too, writing nothing.
TEST_F(TemplateFallback, AMalformedBlockIsRefusedWithItsLine) {
    const std::string path = (installed.Path() / "iirfilter_folded.vhd").string();
    std::ofstream(path) << "x\n--@SECTION\nrepa0 repb2\n";
    view.UpdateData(true); // the IIR choice clicked on the form, before the box is pushed back
    view.m_strOutput = "previous text";
    view.UpdateData(false);
    const size_t messages = host.Messages().size();
    VhdlCode(resources::kIdcArchFolded, false);
    ASSERT_EQ(host.Messages().size(), messages + 1);
    EXPECT_EQ(host.Messages().back().text,
              path + " cannot be used: template line 2: the section block opened here has no "
                     "\"--@END\"");
    EXPECT_EQ(Output(), "previous text");

    commands::SaveVhdlRequest save;
    save.headerStructure = 1;
    save.vhdlParamsSet = true;
    save.templatePath = path;
    save.path = (user.Path() / "out.vhd").string();
    const commands::VhdlOutcome saved = commands::SaveVhdl(doc, save);
    EXPECT_TRUE(saved.Is(commands::OutcomeKind::kFileNotWritten));
    EXPECT_NE(saved.message.find("template line 2"), std::string::npos) << saved.message;
    EXPECT_FALSE(std::filesystem::exists(save.path));
}

} // namespace
