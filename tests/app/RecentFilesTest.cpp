// The File menu's recent designs on the scripted desktop: a design that is gone leaves the list
// when the user picks it; one that is still there but refused stays.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/ui/OlvexView.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

namespace fs = std::filesystem;

struct RecentFiles : support::ScriptedWindowTest {
    support::ScratchFolder dir{"recent"};
    std::string PathOf(const std::string& name) const { return (dir.Path() / name).string(); }
};

TEST_F(RecentFiles, PickingAGoneDesignDropsItAndARefusedOneStays) {
    // a and c are saved designs, b a file that is no design.
    for (const char* name : {"a.vantrel", "c.vantrel"}) {
        host.AnswerFileDialog(PathOf(name));
        view.OnCommand(resources::kIdFileSaveAs);
    }
    std::ofstream(PathOf("b.vantrel")) << "not a design\n";
    host.SetRecentFiles({PathOf("c.vantrel"), PathOf("b.vantrel"), PathOf("a.vantrel")});

    struct Case {
        const char* name;
        bool remove; // the file is deleted before it is picked
        std::vector<std::string> listAfter;
    };
    const Case cases[] = {
        // Refused but present: the list keeps it.
        {"b.vantrel", false, {"c.vantrel", "b.vantrel", "a.vantrel"}},
        // Gone: it leaves the list, the others keep their order.
        {"c.vantrel", true, {"b.vantrel", "a.vantrel"}},
        // Present and good: it opens and moves to the top.
        {"a.vantrel", false, {"a.vantrel", "b.vantrel"}},
    };
    for (const Case& c : cases) {
        if (c.remove) {
            fs::remove(PathOf(c.name));
        }
        const std::vector<std::string> before = host.RecentFiles();
        const auto at = std::find(before.begin(), before.end(), PathOf(c.name));
        ASSERT_NE(at, before.end()) << c.name;
        const size_t messages = host.Messages().size();
        view.OnCommand(resources::kIdRecentFirst + static_cast<int>(at - before.begin()));
        std::vector<std::string> expected;
        for (const std::string& name : c.listAfter) {
            expected.push_back(PathOf(name));
        }
        EXPECT_EQ(host.RecentFiles(), expected) << c.name;
        // A refused or gone design still says why.
        EXPECT_EQ(host.Messages().size() > messages, std::string(c.name) != "a.vantrel") << c.name;
    }
}

} // namespace
