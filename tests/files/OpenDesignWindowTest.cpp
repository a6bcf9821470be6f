// The window's File > Open over design files the reader refuses for what they hold: a value
// nested far past the reader's limit (which overflowed the stack and took unsaved work with it)
// and quantization the Coefficients dialog would refuse. The window says why, as the command
// line does, and keeps the design it had.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "app/DesignFileCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "app/ui/OlvexView.h"
#include "files/DesignFile.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using Json = nlohmann::ordered_json;

struct OpenDesignWindow : support::ScriptedWindowTest {
    support::ScratchFolder dir{"openwindow"};
    std::string PathOf(const std::string& name) const { return (dir / name).string(); }
};

TEST_F(OpenDesignWindow, FilesRefusedForWhatTheyHoldSayWhyAndKeepTheDesign) {
    host.AnswerDialog(platform::DialogAnswer::Ok().Text(design::kIdcTaps, "41"));
    ASSERT_TRUE(view.OnCommand(resources::kIdcDesign));
    const std::string good = files::WriteDesignText(commands::TakeDesignState(doc, {}));
    Json fir = Json::parse(good);
    fir["quantization"] = {{"enabled", true}, {"bits", 32}, {"format", 2}};
    for (Json& tap : fir["coefficients"]["fir"]) {
        tap = 1.0;
    }
    Json iir = Json::parse(good);
    iir["design"]["structure"] = 1;
    iir["quantization"] = {{"enabled", true}, {"bits", 25}, {"format", 0}};
    const size_t depth = 200000;
    const struct {
        const char* name;
        std::string text;
        const char* said;
    } rows[] = {
        {"deep.vantrel",
         good.substr(0, good.rfind('}')) + ", \"notes\": " + std::string(depth, '[') +
             std::string(depth, ']') + "}",
         "notes: nested more than 64 levels deep"},
        {"fir32.vantrel", fir.dump(), "quantization.bits: Decrease the bits for Quantization!!"},
        {"iir25.vantrel", iir.dump(),
         "quantization.bits: In IIR design, the bit length of coefficients can not exceed 24!!"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::ofstream(PathOf(row.name), std::ios::binary) << row.text;
        const size_t messages = host.Messages().size();
        host.AnswerFileDialog(PathOf(row.name));
        view.OnCommand(resources::kIdFileOpen);
        ASSERT_EQ(host.Messages().size(), messages + 1);
        EXPECT_NE(host.Messages().back().text.find(row.said), std::string::npos)
            << host.Messages().back().text;
        EXPECT_EQ(doc.m_nTaps, 41);
        EXPECT_EQ(doc.m_bQuantize, 0);
    }
}

} // namespace
