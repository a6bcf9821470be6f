// Design files with a CIC design: its parameters round trip, FIR and IIR files stay exactly as
// they were, and what the CIC dialog refuses a file cannot bring in.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "app/DesignCommands.h"
#include "app/DesignFileCommands.h"
#include "app/OlvexDoc.h"
#include "files/DesignFile.h"
#include "tests/support/ScratchFolder.h"

namespace {

using commands::OutcomeKind;
using Json = nlohmann::ordered_json;

struct CicDesignFileFixture : ::testing::Test {
    support::ScratchFolder folder{"cic-designfile"};
    std::string Write(const std::string& name, const std::string& text) const {
        const std::string path = (folder.Path() / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
};

COlvexDoc CicDocument(bool interpolate, int rate, int stages, int delay, int bits, double edge,
                      bool prune) {
    COlvexDoc doc;
    doc.m_bCicInterpolate = interpolate ? 1 : 0;
    doc.m_nCicRate = rate;
    doc.m_nCicStages = stages;
    doc.m_nCicDelay = delay;
    doc.m_nCicDataBits = bits;
    doc.m_dCicEdge = edge;
    doc.m_bCicPrune = prune ? 1 : 0;
    doc.m_bCicDesigned = 1;
    return doc;
}

commands::FormSettings CicForm() {
    commands::FormSettings form;
    form.structure = COlvexDoc::kCicStructure;
    form.designed = true;
    return form;
}

TEST_F(CicDesignFileFixture, ACicDesignOpensAsItWasSaved) {
    const COlvexDoc cases[] = {
        CicDocument(false, 32, 4, 1, 16, 0.25, false),
        CicDocument(true, 1024, 8, 2, 24, 0.1 + 0.2, false),
        CicDocument(false, 2, 1, 2, 4, 0.5, true),
    };
    for (const COlvexDoc& saved : cases) {
        SCOPED_TRACE(saved.m_nCicRate);
        const std::string path = (folder.Path() / "cic.vantrel").string();
        ASSERT_TRUE(commands::SaveDesign(saved, CicForm(), path).Is(OutcomeKind::kFileWritten));
        COlvexDoc opened;
        const commands::OpenDesignOutcome outcome = commands::OpenDesign(opened, path);
        ASSERT_TRUE(outcome.Is(OutcomeKind::kAccepted)) << outcome.message;
        EXPECT_EQ(outcome.form.structure, COlvexDoc::kCicStructure);
        EXPECT_EQ(opened.m_bCicDesigned, 1);
        EXPECT_EQ(opened.m_bCicInterpolate, saved.m_bCicInterpolate);
        EXPECT_EQ(opened.m_nCicRate, saved.m_nCicRate);
        EXPECT_EQ(opened.m_nCicStages, saved.m_nCicStages);
        EXPECT_EQ(opened.m_nCicDelay, saved.m_nCicDelay);
        EXPECT_EQ(opened.m_nCicDataBits, saved.m_nCicDataBits);
        EXPECT_EQ(opened.m_dCicEdge, saved.m_dCicEdge) << "the edge reads back bit for bit";
        EXPECT_EQ(opened.m_bCicPrune, saved.m_bCicPrune);
        // The FIR beside it keeps its filter type and fs, as a FIR design's file keeps them.
        EXPECT_EQ(opened.m_nShownStructure, 0);
        EXPECT_EQ(opened.m_fs, saved.m_fs);
        // Saved again, the same text.
        EXPECT_EQ(files::WriteDesignText(commands::TakeDesignState(opened, CicForm())),
                  files::WriteDesignText(commands::TakeDesignState(saved, CicForm())));
    }
}

TEST_F(CicDesignFileFixture, FirAndIirFilesHoldNoCicAndStayAsTheyWere) {
    COlvexDoc fir;
    ASSERT_TRUE(commands::DesignFir(fir, commands::FirRequestFromDocument(fir, kLpf))
                    .Is(OutcomeKind::kAccepted));
    for (int structure : {0, 1}) {
        SCOPED_TRACE(structure);
        commands::FormSettings form;
        form.structure = structure;
        const std::string before = files::WriteDesignText(commands::TakeDesignState(fir, form));
        // CIC parameters the document keeps while a FIR or IIR design stands are not written.
        COlvexDoc withCic = fir;
        withCic.m_nCicRate = 100;
        withCic.m_bCicInterpolate = 1;
        const std::string after = files::WriteDesignText(commands::TakeDesignState(withCic, form));
        EXPECT_EQ(after, before);
        EXPECT_FALSE(Json::parse(after).contains("cic"));
        // And such a file opens without touching the document's CIC parameters.
        COlvexDoc opened;
        opened.m_nCicRate = 77;
        ASSERT_TRUE(
            commands::OpenDesign(opened, Write("plain.vantrel", after)).Is(OutcomeKind::kAccepted));
        EXPECT_EQ(opened.m_nCicRate, 77);
        EXPECT_EQ(opened.m_bCicDesigned, 0);
    }
}

TEST_F(CicDesignFileFixture, WhatTheDialogRefusesIsRefusedByField) {
    const std::string good = files::WriteDesignText(
        commands::TakeDesignState(CicDocument(false, 8, 4, 1, 16, 0.25, false), CicForm()));
    const struct {
        const char* pointer;
        Json value;
        const char* expected; // in the message
    } bad[] = {
        {"/cic/rate", 1025, "cic: the rate change must be 2 to 1024"},
        {"/cic/stages", 0, "cic: the stage count must be 1 to 8"},
        {"/cic/delay", 3, "cic: the differential delay must be 1 or 2"},
        {"/cic/dataBits", 25, "cic: the data bit length must be 4 to 24"},
        {"/cic/kind", "resample", "cic.kind: expected decimate or interpolate"},
        {"/cic/edge", 0.0, "cic.edge"},
        {"/cic/edge", 0.75, "cic.edge"},
        {"/cic/rate", 8.5, "cic.rate: expected an integer"},
        {"/cic/prune", 1, "cic.prune: expected true or false"},
        {"/design/structure", 3, "design.structure"},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.pointer);
        Json json = Json::parse(good);
        json[Json::json_pointer(b.pointer)] = b.value;
        COlvexDoc refused;
        refused.m_nCicRate = 5;
        const commands::Outcome outcome =
            commands::OpenDesign(refused, Write("bad.vantrel", json.dump()));
        EXPECT_FALSE(outcome.Is(OutcomeKind::kAccepted));
        EXPECT_NE(outcome.message.find(b.expected), std::string::npos) << outcome.message;
        EXPECT_EQ(refused.m_nCicRate, 5) << "a refused file changes nothing";
    }
    // A pruned interpolator does not exist.
    Json pruned = Json::parse(good);
    pruned["cic"]["kind"] = "interpolate";
    pruned["cic"]["prune"] = true;
    EXPECT_FALSE(
        commands::OpenDesign(*std::make_unique<COlvexDoc>(), Write("pruned.vantrel", pruned.dump()))
            .Is(OutcomeKind::kAccepted));
    // A CIC structure without its parameters, and a part of them, are refused.
    Json missing = Json::parse(good);
    missing.erase("cic");
    COlvexDoc doc;
    EXPECT_NE(commands::OpenDesign(doc, Write("missing.vantrel", missing.dump()))
                  .message.find("cic.kind: missing"),
              std::string::npos);
    Json partial = Json::parse(good);
    partial["cic"].erase("edge");
    EXPECT_NE(commands::OpenDesign(doc, Write("partial.vantrel", partial.dump()))
                  .message.find("cic.edge: missing"),
              std::string::npos);
}

TEST_F(CicDesignFileFixture, TheCompensatorRoundTripsAndItsKeysAreCheckedTogether) {
    COlvexDoc saved = CicDocument(false, 32, 4, 1, 16, 0.25, false);
    saved.m_bCicCompensate = 1;
    saved.m_nCicCompTaps = 27;
    saved.m_dCicCompPassEdge = 0.1 + 0.05;
    saved.m_dCicCompStopEdge = 0.3;
    ASSERT_EQ(saved.DesignCicCompensator(), "");
    const std::string text = files::WriteDesignText(commands::TakeDesignState(saved, CicForm()));
    const Json json = Json::parse(text);
    EXPECT_EQ(json["cic"]["compensatorTaps"], 27);
    COlvexDoc opened;
    ASSERT_TRUE(
        commands::OpenDesign(opened, Write("comp.vantrel", text)).Is(OutcomeKind::kAccepted));
    EXPECT_EQ(opened.m_bCicCompensate, 1);
    EXPECT_EQ(opened.m_dCicCompPassEdge, saved.m_dCicCompPassEdge) << "bit for bit";
    ASSERT_EQ(opened.m_nCicCompDesigned, 27);
    for (int k = 0; k < 27; ++k) {
        EXPECT_EQ(opened.m_aCicCompCoeffs[k], saved.m_aCicCompCoeffs[k]) << k;
    }
    EXPECT_EQ(files::WriteDesignText(commands::TakeDesignState(opened, CicForm())), text);
    // A CIC file without one reads as none, whatever the document held.
    Json without = json;
    for (const char* key : {"compensatorTaps", "compensatorPassEdge", "compensatorStopEdge"}) {
        without["cic"].erase(key);
    }
    ASSERT_TRUE(commands::OpenDesign(opened, Write("without.vantrel", without.dump()))
                    .Is(OutcomeKind::kAccepted));
    EXPECT_EQ(opened.m_bCicCompensate, 0);
    EXPECT_FALSE(opened.HasCicCompensator());

    const struct {
        const char* key;
        Json value; // null: the key left out
        const char* expected;
    } bad[] = {
        {"compensatorTaps", 3, "cic: the compensator's tap count must be 4 to 380"},
        {"compensatorTaps", 381, "cic: the compensator's tap count must be 4 to 380"},
        {"compensatorStopEdge", 0.1, "cic: the compensator's edges must satisfy"},
        {"compensatorStopEdge", 0.5, "cic: the compensator's edges must satisfy"},
        {"compensatorPassEdge", "0.2", "cic.compensatorPassEdge"},
        {"compensatorPassEdge", nullptr, "cic.compensatorPassEdge: missing"},
        {"compensatorTaps", nullptr, "cic.compensatorTaps: missing"},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(std::string(b.key) + " " + b.value.dump());
        Json changed = json;
        if (b.value.is_null()) {
            changed["cic"].erase(b.key);
        } else {
            changed["cic"][b.key] = b.value;
        }
        COlvexDoc refused;
        refused.m_nCicCompTaps = 99;
        const commands::Outcome outcome =
            commands::OpenDesign(refused, Write("bad.vantrel", changed.dump()));
        EXPECT_FALSE(outcome.Is(OutcomeKind::kAccepted));
        EXPECT_NE(outcome.message.find(b.expected), std::string::npos) << outcome.message;
        EXPECT_EQ(refused.m_nCicCompTaps, 99) << "a refused file changes nothing";
    }
}

} // namespace
