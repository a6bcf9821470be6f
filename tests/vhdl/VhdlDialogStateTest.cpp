// What the VHDL Code and Save/Load dialogs show for the hardware and the language chosen: the
// Multipliers field takes input only for the architecture that uses it, and the save action
// names the language VHDL Code writes in.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/scripted/ScriptedHost.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "resources/VhdlResources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::DialogAnswer;

struct VhdlDialogStateFixture : support::ScriptedWindowTest {
    support::ScratchFolder dir{"vhdl-dialog-state"};

    VhdlDialogStateFixture() {
        std::ofstream(dir / "firfilter.vhd") << "entity firfilter is -- \"reph  0\"\n";
        host.SetSearchFolders({dir.Path().string()});
        doc.m_nTaps = 4;
        doc.m_aFirCoeffs[0] = 0.25;
        doc.m_bQuantize = 1;
        doc.m_nQuantBits = 8;
        view.UpdateData(false);
    }
    const platform::ShownDialog& LastDialog() const { return host.Dialogs().back(); }
};

TEST_F(VhdlDialogStateFixture, MultipliersFollowTheArchitecture) {
    const struct {
        int stored;  // the document's architecture when the dialog opens
        int clicked; // the radio clicked in the dialog
        bool openedEnabled;
        bool closedEnabled;
    } cases[] = {
        {0, resources::kIdcArchFolded, false, true},   {1, resources::kIdcArchSerial, true, false},
        {1, resources::kIdcArchParallel, true, false}, {2, resources::kIdcArchAuto, false, false},
        {3, resources::kIdcArchFolded, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clicked);
        doc.m_nVhdlArchitecture = c.stored;
        host.AnswerDialog(DialogAnswer::Cancel(resources::kIddVhdlSource).Radio(c.clicked));
        view.OnCommand(resources::kIdcVhdlCode);
        ASSERT_EQ(host.UnansweredDialogs(), 0);
        EXPECT_EQ(LastDialog().opened.IsEnabled(resources::kIdcVhdlMultipliers), c.openedEnabled);
        EXPECT_EQ(LastDialog().closed.IsEnabled(resources::kIdcVhdlMultipliers), c.closedEnabled);
    }
}

TEST_F(VhdlDialogStateFixture, SerialTakesNoMultipliersAndKeepsTheStoredCount) {
    doc.m_nVhdlArchitecture = 0;
    doc.m_nVhdlMultipliers = 3;
    // A user cannot type into the disabled field.
    host.AnswerDialog(
        DialogAnswer::Ok(resources::kIddVhdlSource).Text(resources::kIdcVhdlMultipliers, "5"));
    EXPECT_THROW(view.OnCommand(resources::kIdcVhdlCode), platform::ScriptError);

    // A bad count typed while Folded was chosen is not read once Serial is chosen again.
    host.AnswerDialog(DialogAnswer::Ok(resources::kIddVhdlSource)
                          .Radio(resources::kIdcArchFolded)
                          .Text(resources::kIdcVhdlMultipliers, "0")
                          .Radio(resources::kIdcArchSerial));
    view.OnCommand(resources::kIdcVhdlCode);
    ASSERT_EQ(host.UnansweredDialogs(), 0);
    EXPECT_EQ(LastDialog().result, platform::kIdOk);
    EXPECT_TRUE(LastDialog().failedChecks.empty());
    EXPECT_EQ(doc.m_nVhdlArchitecture, 0);
    EXPECT_EQ(doc.m_nVhdlMultipliers, 3);
}

TEST_F(VhdlDialogStateFixture, FoldedStillRefusesABadCount) {
    doc.m_nVhdlArchitecture = 1;
    host.AnswerDialog(
        DialogAnswer::Ok(resources::kIddVhdlSource).Text(resources::kIdcVhdlMultipliers, "0"));
    host.AnswerDialog(DialogAnswer::Cancel(resources::kIddVhdlSource));
    view.OnCommand(resources::kIdcVhdlCode);
    ASSERT_FALSE(host.Dialogs().empty());
    EXPECT_EQ(host.Dialogs().front().failedChecks.size(), 1u);
    EXPECT_EQ(host.Dialogs().front().result, platform::kIdCancel);
}

TEST_F(VhdlDialogStateFixture, SaveActionNamesTheLanguage) {
    const struct {
        int language;
        const char* label;
    } cases[] = {{0, "Save VHDL"}, {1, "Save Verilog"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        doc.m_nHdlLanguage = c.language;
        host.AnswerDialog(DialogAnswer::Cancel(resources::kIddSaveLoad));
        view.OnCommand(resources::kIdcSaveLoad);
        ASSERT_EQ(host.UnansweredDialogs(), 0);
        EXPECT_EQ(LastDialog().opened.GetText(resources::kIdcSaveVhdl), c.label);
    }
}

} // namespace
