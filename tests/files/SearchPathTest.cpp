// The template search: a file of the template's name that is no template of the wanted
// structure (VHDL generated into the current folder, a template of the other structure) is
// passed over with a note, and the search goes on along the folders; a file that cannot be read
// is still taken, so that its reason is told.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "files/SearchPath.h"
#include "tests/support/ScratchFolder.h"
#include "vhdl/VhdlText.h"

namespace {

namespace fs = std::filesystem;

TEST(TemplateSearchTest, FilesThatAreNoTemplateOfTheStructureArePassedOver) {
    const support::ScratchFolder scratch("search");
    for (const char* folder : {"current", "other", "templates"}) {
        fs::create_directories(scratch.File(folder));
    }
    // Generated VHDL: the coefficients substituted, no token left.
    scratch.Write("current/firfilter.vhd", "-- generated\nentity firfilter is\nend;\n");
    // A template of the other structure under the FIR name.
    scratch.Write("other/firfilter.vhd", "constant a0 : integer := repa0;\n");
    scratch.Write("templates/firfilter.vhd", "constant h : integer := reph;\n");
    scratch.Write("templates/iirfilter1.vhd", "constant a0 : integer := repa0;\n");
    const std::vector<std::string> folders = {scratch.File("current").string(),
                                              scratch.File("other").string(),
                                              scratch.File("templates").string()};

    struct Row {
        const char* name;
        bool iir;
        const char* found; // folder/name inside the scratch folder, "" for none
        std::vector<std::string> skipped;
    };
    const Row rows[] = {
        {"firfilter",
         false,
         "templates/firfilter.vhd",
         {"current/firfilter.vhd", "other/firfilter.vhd"}},
        {"iirfilter1", true, "templates/iirfilter1.vhd", {}},
        // An IIR template under the FIR name is an IIR template all the same.
        {"firfilter", true, "other/firfilter.vhd", {"current/firfilter.vhd"}},
        {"nofilter", false, "", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + (row.iir ? " IIR" : " FIR"));
        std::vector<std::string> skipped;
        const std::optional<std::string> found = files::SearchAlongPath(
            row.name, ".vhd", folders,
            [&row](const std::string& path) { return vhdl::SearchTakesTemplate(path, row.iir); },
            [&skipped](const std::string& path) { skipped.push_back(path); });
        EXPECT_EQ(found.value_or(""),
                  *row.found == '\0' ? std::string() : scratch.File(row.found).string());
        std::vector<std::string> want;
        for (const std::string& name : row.skipped) {
            want.push_back(scratch.File(name).string());
        }
        EXPECT_EQ(skipped, want);
    }
    EXPECT_EQ(vhdl::SkippedTemplateNote("/w/firfilter.vhd", false),
              "/w/firfilter.vhd is not a FIR template; searching on");
}

TEST(TemplateSearchTest, AnUnreadableFileIsTakenSoItsReasonIsTold) {
    const support::ScratchFolder scratch("search");
    const fs::path file = scratch.Write("firfilter.vhd", "x");
    ::chmod(file.c_str(), 0);
    if (::access(file.c_str(), R_OK) == 0) {
        GTEST_SKIP() << "running with the rights to read any file";
    }
    EXPECT_TRUE(vhdl::SearchTakesTemplate(file.string(), false));
}

} // namespace
