// Design files: every field survives writing and reading (the JSON alone, and the record through
// Save Design / Open Design), coefficients bit for bit; every kind of bad file is refused with
// its field named and leaves the record as it was; fields a later version adds are ignored.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "app/AnalysisCommands.h"
#include "app/CoefficientsCommands.h"
#include "app/DesignCommands.h"
#include "app/DesignFileCommands.h"
#include "app/FileCommands.h"
#include "app/OlvexDoc.h"
#include "files/DesignFile.h"

#include "tests/support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;
using commands::OutcomeKind;
using Json = nlohmann::ordered_json;

class DesignFileFixture : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(PathOf(name), std::ios::binary) << text;
        return PathOf(name);
    }

    support::ScratchFolder m_folder{"designfile"};
    const fs::path& m_dir = m_folder.Path();
};

// Every field away from its default, and still inside the dialogs' ranges.
files::DesignState EveryFieldSet() {
    files::DesignState s;
    s.structure = 1;
    s.filterType = 3;
    s.designed = true;
    s.bandsKnown = false;
    s.fs = 48000.5;
    s.fc1 = 1000.25;
    s.fc2 = 2000.5;
    s.fc3 = 6000.75;
    s.fc4 = 7000.125;
    s.taps = 5;
    s.evenTaps = 1;
    s.rr = 3.5;
    s.multiplier = 7;
    s.iirSections = 6;
    s.rippleDb = 0.7;
    s.iirFc1 = 3000.5;
    s.iirFc2 = 9000.25;
    s.iirMethod = "ellip";
    s.iirAttenDb = 55.5;
    s.otherType = 2;
    s.otherFs = 48000.5;
    s.otherBandsKnown = 0;
    s.quantize = 1;
    s.quantBits = 24;
    s.coeffFormat = 3;
    s.dataBits = 18;
    s.templatePath = "/opt/t\xc3\xa9mplates/fir_serial.vhd";
    s.architecture = 1;
    s.multipliers = 9;
    s.clockMhz = 96.5;
    s.language = 1;
    s.plotMode = 5;
    s.gainRange = 80.5;
    s.respZoom = 1;
    s.respStart = 33;
    s.fftMagRange = 70.5;
    s.fftZoom = 1;
    s.fftStart = 44;
    s.waveType = 1;
    s.waveFreq = 1234.5;
    s.useUserWave = 1;
    s.userWavePath = "/data/wave.txt";
    s.waveMagRange = 60.5;
    s.waveZoom = 1;
    s.waveStart = 55;
    s.showHardwareWave = 1;
    s.firRate = "interpolate";
    s.firRateFactor = 5;
    // Values whose shortest decimal form needs all 17 digits, and a subnormal.
    s.firTaps = {0.1 + 0.2, -1.0 / 3.0, 2.0 / 7.0, 4.9e-324, -0.0};
    for (int i = 0; i < files::kDesignIirSections; ++i) {
        s.sections.push_back(
            {1.0 / (i + 3), -2.0 / (i + 7), 1e-17 * i, -1.1 / (i + 1), 0.3 + 1e-16 * i});
    }
    return s;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

TEST(DesignFileTextTest, EveryFieldReadsBackBitIdentical) {
    const files::DesignState written = EveryFieldSet();
    const files::DesignRead read = files::ReadDesignText(files::WriteDesignText(written));
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(read.state, written);
    EXPECT_TRUE(SameBits(read.state.firTaps, written.firTaps));
    EXPECT_TRUE(std::signbit(read.state.firTaps.back()));
    // A fresh state too: the defaults are values like any other.
    EXPECT_EQ(files::ReadDesignText(files::WriteDesignText({})).state, files::DesignState{});
}

TEST_F(DesignFileFixture, SavedRecordsOpenAsTheyWere) {
    // A FIR band-pass design, quantized and shown in hex; an IIR band-stop cascade, quantized;
    // an asymmetric coefficient file loaded without bands.
    struct Case {
        const char* name;
        int structure;
        std::function<void(COlvexDoc&)> make;
    };
    const std::string coeffFile = Write("asym.txt", "Data is Real : 1.0 => 1.0\n 0.5\n-0.25\n"
                                                    " 0.125\n 0.0625\n-0.03125\n 0.3\n");
    const Case cases[] = {
        {"fir", 0,
         [](COlvexDoc& doc) {
             commands::FirDesignRequest fir;
             fir.type = kBpf;
             fir.fc[0] = 150;
             fir.fc[1] = 200;
             fir.fc[2] = 300;
             fir.fc[3] = 350;
             fir.taps = 61;
             fir.multiplier = 2;
             ASSERT_TRUE(commands::DesignFir(doc, fir).Is(OutcomeKind::kAccepted));
             ASSERT_TRUE(commands::Coefficients(doc, {false, 1, 14, 3}).Is(OutcomeKind::kAccepted));
             ASSERT_TRUE(commands::FftAnalysis(doc, {30.0, 1, 20}).Is(OutcomeKind::kAccepted));
         }},
        {"iir", 1,
         [](COlvexDoc& doc) {
             commands::IirDesignRequest iir{kBrf, 4, 0.5, 120.0, 280.0, 1000.0};
             ASSERT_TRUE(commands::DesignIir(doc, iir).Is(OutcomeKind::kAccepted));
             ASSERT_TRUE(commands::Coefficients(doc, {true, 1, 20, 2}).Is(OutcomeKind::kAccepted));
             commands::WaveRequest wave;
             wave.waveType = 1;
             wave.frequency = 33.25;
             ASSERT_TRUE(commands::InOutWave(doc, wave).Is(OutcomeKind::kAccepted));
         }},
        {"loaded", 0,
         [&coeffFile](COlvexDoc& doc) {
             int format = 0;
             ASSERT_TRUE(
                 commands::LoadCoefficients(doc, {false, coeffFile}, format).notices.empty());
             ASSERT_EQ(doc.m_bBandsKnown, 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COlvexDoc saved;
        c.make(saved);
        const commands::FormSettings form{c.structure, 2, true, "/t/fir.vhd", 1};
        const std::string path = PathOf(std::string(c.name) + ".vantrel");
        ASSERT_TRUE(commands::SaveDesign(saved, form, path).Is(OutcomeKind::kFileWritten));

        COlvexDoc opened;
        const commands::OpenDesignOutcome outcome = commands::OpenDesign(opened, path);
        ASSERT_TRUE(outcome.Is(OutcomeKind::kAccepted)) << outcome.message;
        EXPECT_EQ(commands::TakeDesignState(opened, outcome.form),
                  commands::TakeDesignState(saved, form));
        // The coefficients that leave the design are the same bits: nothing was designed again.
        const bool iir = c.structure == 1;
        const dsp::FilterCoefficients a = opened.TakeCoefficients(iir, false);
        const dsp::FilterCoefficients b = saved.TakeCoefficients(iir, false);
        EXPECT_TRUE(SameBits(a.taps, b.taps));
        ASSERT_EQ(a.sections.size(), b.sections.size());
        if (!a.sections.empty()) {
            EXPECT_EQ(std::memcmp(a.sections.data(), b.sections.data(),
                                  a.sections.size() * sizeof(dsp::Section)),
                      0);
        }
        EXPECT_EQ(commands::CoefficientReport(opened, iir, "\n"),
                  commands::CoefficientReport(saved, iir, "\n"));
    }
}

TEST_F(DesignFileFixture, BadFilesAreRefusedByFieldAndChangeNothing) {
    COlvexDoc source;
    commands::FirDesignRequest fir;
    fir.taps = 31;
    ASSERT_TRUE(commands::DesignFir(source, fir).Is(OutcomeKind::kAccepted));
    const std::string good = files::WriteDesignText(commands::TakeDesignState(source, {}));

    struct Case {
        const char* name;
        std::function<std::string()> text;
        const char* named; // what the message must hold
    };
    const auto edited = [&good](std::function<void(Json&)> edit) {
        return [&good, edit] {
            Json doc = Json::parse(good);
            edit(doc);
            return doc.dump();
        };
    };
    const Case cases[] = {
        {"another format", edited([](Json& d) { d["format"] = "other-design"; }), "format"},
        {"another version", edited([](Json& d) { d["version"] = 2; }), "version"},
        {"missing field", edited([](Json& d) { d["design"].erase("fs"); }), "design.fs: missing"},
        {"missing group", edited([](Json& d) { d.erase("analysis"); }), "analysis.plotMode"},
        {"wrong type: text", edited([](Json& d) { d["fir"]["rr"] = "10"; }), "fir.rr: expected"},
        {"wrong type: fraction", edited([](Json& d) { d["fir"]["taps"] = 31.5; }), "fir.taps"},
        {"wrong type: flag", edited([](Json& d) { d["quantization"]["enabled"] = 1; }),
         "quantization.enabled"},
        {"out of range: fs", edited([](Json& d) { d["design"]["fs"] = 0; }), "design.fs: Please"},
        {"unknown method", edited([](Json& d) { d["iir"]["method"] = "chebyshev"; }),
         "iir.method: Please choose"},
        {"wrong type: method", edited([](Json& d) { d["iir"]["method"] = 2; }),
         "iir.method: expected a string"},
        {"out of range: attenuation", edited([](Json& d) { d["iir"]["attenDb"] = -3; }),
         "iir.attenDb: Please"},
        {"out of range: bits", edited([](Json& d) { d["quantization"]["bits"] = 40; }),
         "quantization.bits: Please enter an integer between 4 and 32."},
        {"out of range: slider", edited([](Json& d) { d["analysis"]["waveStart"] = 101; }),
         "analysis.waveStart"},
        {"out of range: sections", edited([](Json& d) { d["iir"]["sections"] = 9; }),
         "iir.sections"},
        {"out of range: ripple", edited([](Json& d) { d["iir"]["rippleDb"] = 25; }),
         "iir.rippleDb"},
        {"edge order", edited([](Json& d) { d["fir"]["fc2"] = 100; }), "fir: "},
        {"tap count", edited([](Json& d) { d["coefficients"]["fir"].erase(0); }),
         "coefficients.fir"},
        {"sections", edited([](Json& d) { d["coefficients"]["iir"].erase(0); }),
         "coefficients.iir"},
        {"cut short", [&good] { return good.substr(0, good.size() / 2); }, "cut short"},
        {"not an object", [] { return std::string("[1, 2]"); }, "not a design file"},
        // Nesting is refused before the JSON is built: 200,000 levels in a field the reader
        // ignores overflowed the stack of the JSON library's copy.
        {"nested deep in an ignored field",
         [&good] {
             const size_t depth = 200000;
             return good.substr(0, good.rfind('}')) +
                    ", \"export\": {\"x\": " + std::string(depth, '[') + std::string(depth, ']') +
                    "}}";
         },
         "export.x: nested more than 64 levels deep (byte "},
        {"nested deep at the top", [] { return std::string(65, '[') + std::string(65, ']'); },
         "not a design file: nested more than 64 levels deep (byte 64)"},
        // The Coefficients dialog's bit-length rules, for the structure the file stands in.
        {"taps overflow 32 bits", edited([](Json& d) {
             d["quantization"] = {{"enabled", true}, {"bits", 32}, {"format", 2}};
             for (Json& tap : d["coefficients"]["fir"]) {
                 tap = 1.0;
             }
         }),
         "quantization.bits: Decrease the bits for Quantization!!"},
        {"K times the taps overflow", edited([](Json& d) {
             d["quantization"] = {{"enabled", true}, {"bits", 31}, {"format", 2}};
             d["coefficients"]["fir"][0] = 0.75;
             d["fir"]["multiplier"] = 3;
         }),
         "quantization.bits: Decrease the bits for Quantization!!"},
        {"IIR beyond 24 bits", edited([](Json& d) {
             d["design"]["structure"] = 1;
             d["quantization"] = {{"enabled", true}, {"bits", 25}, {"format", 0}};
         }),
         "quantization.bits: In IIR design, the bit length of coefficients can not exceed 24!!"},
        {"number too large",
         [&good] {
             std::string text = good;
             return text.replace(text.find("\"rr\": ") + 6, 4, "1e999");
         },
         "number too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COlvexDoc doc;
        commands::IirDesignRequest iir;
        ASSERT_TRUE(commands::DesignIir(doc, iir).Is(OutcomeKind::kAccepted));
        const files::DesignState before = commands::TakeDesignState(doc, {1, 0, true, "", 0});
        const commands::OpenDesignOutcome outcome =
            commands::OpenDesign(doc, Write("bad.vantrel", c.text()));
        EXPECT_TRUE(outcome.Is(OutcomeKind::kFileNotRead));
        EXPECT_NE(outcome.message.find(c.named), std::string::npos) << outcome.message;
        EXPECT_EQ(commands::TakeDesignState(doc, {1, 0, true, "", 0}), before);
    }
}

// An elliptic design opens with its method and As; the same file without them (as files were
// written before there was a method) opens as a Chebyshev I design with the default As.
TEST_F(DesignFileFixture, IirMethodKeptAndOlderFilesOpenAsChebyshev) {
    COlvexDoc source;
    commands::IirDesignRequest iir = commands::IirRequestFromDocument(source, kLpf);
    iir.method = dsp::kIirEllip;
    iir.attenDb = 62.5;
    iir.sections = 3;
    ASSERT_TRUE(commands::DesignIir(source, iir).Is(OutcomeKind::kAccepted));
    const std::string text = files::WriteDesignText(commands::TakeDesignState(source, {}));
    COlvexDoc opened;
    ASSERT_TRUE(
        commands::OpenDesign(opened, Write("ellip.vantrel", text)).Is(OutcomeKind::kAccepted));
    EXPECT_EQ(opened.m_nIirMethod, dsp::kIirEllip);
    EXPECT_EQ(opened.m_dIirAttenDb, 62.5);
    EXPECT_EQ(opened.m_aB1[2], source.m_aB1[2]);

    Json older = Json::parse(text);
    older["iir"].erase("method");
    older["iir"].erase("attenDb");
    COlvexDoc before;
    before.m_nIirMethod = dsp::kIirButter;
    ASSERT_TRUE(commands::OpenDesign(before, Write("older.vantrel", older.dump()))
                    .Is(OutcomeKind::kAccepted));
    EXPECT_EQ(before.m_nIirMethod, dsp::kIirCheby1);
    EXPECT_EQ(before.m_dIirAttenDb, 40.0);
    EXPECT_EQ(before.m_aB1[2], source.m_aB1[2]); // the sections as stored
}

// A Kaiser-window design opens with its method and beta; a Remez design is written without the
// two fields, so its file reads as files did before there was a choice, and opens as Remez.
TEST_F(DesignFileFixture, FirMethodKeptAndRemezFilesUnchanged) {
    COlvexDoc source;
    commands::FirDesignRequest fir = commands::FirRequestFromDocument(source, kBpf);
    fir.method = dsp::kFirKaiser;
    fir.beta = 6.25;
    fir.taps = 40;
    ASSERT_TRUE(commands::DesignFir(source, fir).Is(OutcomeKind::kAccepted));
    const std::string text = files::WriteDesignText(commands::TakeDesignState(source, {}));
    COlvexDoc opened;
    ASSERT_TRUE(
        commands::OpenDesign(opened, Write("kaiser.vantrel", text)).Is(OutcomeKind::kAccepted));
    EXPECT_EQ(opened.m_nFirMethod, dsp::kFirKaiser);
    EXPECT_EQ(opened.m_dKaiserBeta, 6.25);
    EXPECT_EQ(opened.m_aFirCoeffs[7], source.m_aFirCoeffs[7]);

    Json bad = Json::parse(text);
    bad["fir"]["kaiserBeta"] = 51;
    COlvexDoc refused;
    const commands::Outcome badBeta =
        commands::OpenDesign(refused, Write("bad.vantrel", bad.dump()));
    EXPECT_FALSE(badBeta.Is(OutcomeKind::kAccepted));
    EXPECT_EQ(refused.m_nFirMethod, dsp::kFirRemez);

    COlvexDoc remez;
    ASSERT_TRUE(commands::DesignFir(remez, commands::FirRequestFromDocument(remez, kLpf))
                    .Is(OutcomeKind::kAccepted));
    const Json written = Json::parse(files::WriteDesignText(commands::TakeDesignState(remez, {})));
    EXPECT_FALSE(written["fir"].contains("method"));
    EXPECT_FALSE(written["fir"].contains("kaiserBeta"));
    Json older = Json::parse(text);
    older["fir"].erase("method");
    older["fir"].erase("kaiserBeta");
    COlvexDoc before;
    before.m_nFirMethod = dsp::kFirLeastSquares;
    ASSERT_TRUE(commands::OpenDesign(before, Write("older.vantrel", older.dump()))
                    .Is(OutcomeKind::kAccepted));
    EXPECT_EQ(before.m_nFirMethod, dsp::kFirRemez);
    EXPECT_EQ(before.m_aFirCoeffs[7], source.m_aFirCoeffs[7]); // the taps as stored
}

TEST_F(DesignFileFixture, RateKeptAndSingleRateFilesUnchanged) {
    COlvexDoc source;
    ASSERT_TRUE(commands::DesignFir(source, commands::FirRequestFromDocument(source, kLpf))
                    .Is(OutcomeKind::kAccepted));
    const std::string single = files::WriteDesignText(commands::TakeDesignState(source, {}));
    EXPECT_FALSE(Json::parse(single)["fir"].contains("rate"));
    EXPECT_FALSE(Json::parse(single)["fir"].contains("rateFactor"));
    // A factor kept by the dialog while single rate is chosen is not written either.
    source.m_nRateFactor = 12;
    EXPECT_EQ(files::WriteDesignText(commands::TakeDesignState(source, {})), single);

    const struct {
        int kind;
        int factor;
        const char* name;
    } rates[] = {{COlvexDoc::kDecimate, 8, "decimate"},
                 {COlvexDoc::kInterpolate, 64, "interpolate"},
                 {COlvexDoc::kDecimate, 2, "decimate"}};
    for (const auto& r : rates) {
        SCOPED_TRACE(r.factor);
        source.m_nRateKind = r.kind;
        source.m_nRateFactor = r.factor;
        const std::string text = files::WriteDesignText(commands::TakeDesignState(source, {}));
        const Json json = Json::parse(text);
        EXPECT_EQ(json["fir"]["rate"], r.name);
        EXPECT_EQ(json["fir"]["rateFactor"], r.factor);
        COlvexDoc opened;
        ASSERT_TRUE(
            commands::OpenDesign(opened, Write("rate.vantrel", text)).Is(OutcomeKind::kAccepted));
        EXPECT_EQ(opened.m_nRateKind, r.kind);
        EXPECT_EQ(opened.m_nRateFactor, r.factor);
        // Without the rate the same file is a single-rate design with the same taps, whatever
        // the document held before.
        Json older = json;
        older["fir"].erase("rate");
        older["fir"].erase("rateFactor");
        EXPECT_EQ(older.dump(2) + "\n", single);
        COlvexDoc before;
        before.m_nRateKind = COlvexDoc::kInterpolate;
        before.m_nRateFactor = 4;
        ASSERT_TRUE(commands::OpenDesign(before, Write("older.vantrel", older.dump()))
                        .Is(OutcomeKind::kAccepted));
        EXPECT_EQ(before.m_nRateKind, COlvexDoc::kSingleRate);
        EXPECT_EQ(before.m_aFirCoeffs[7], source.m_aFirCoeffs[7]);
    }
    // Values the dialog refuses are refused by field, and the document is left alone.
    const struct {
        const char* rate;
        int factor;
        const char* field;
    } bad[] = {{"decimate", 65, "fir.rateFactor"},
               {"interpolate", 1, "fir.rateFactor"},
               {"resample", 4, "fir.rate"}};
    for (const auto& b : bad) {
        SCOPED_TRACE(b.field + std::string(" ") + b.rate);
        Json json = Json::parse(single);
        json["fir"]["rate"] = b.rate;
        json["fir"]["rateFactor"] = b.factor;
        COlvexDoc refused;
        refused.m_nTaps = 33;
        const commands::Outcome outcome =
            commands::OpenDesign(refused, Write("bad.vantrel", json.dump()));
        EXPECT_FALSE(outcome.Is(OutcomeKind::kAccepted));
        EXPECT_NE(outcome.message.find(b.field), std::string::npos) << outcome.message;
        EXPECT_EQ(refused.m_nTaps, 33);
        EXPECT_EQ(refused.m_nRateKind, COlvexDoc::kSingleRate);
    }
}

TEST_F(DesignFileFixture, FieldsOfLaterVersionsAreIgnored) {
    COlvexDoc source;
    Json doc = Json::parse(files::WriteDesignText(commands::TakeDesignState(source, {})));
    doc["design"]["language"] = "verilog";
    doc["export"] = {{"format", "coe"}};
    // Nesting up to the reader's limit is read: the document and "export" are two levels, the
    // lists the other 62.
    Json deep = 1;
    for (int level = 2; level < files::kDesignMaxNesting; ++level) {
        deep = Json::array({deep});
    }
    doc["export"]["deep"] = deep;
    COlvexDoc opened;
    EXPECT_TRUE(commands::OpenDesign(opened, Write("later.vantrel", doc.dump()))
                    .Is(OutcomeKind::kAccepted));
}

// The bit-length rules refuse only what the Coefficients dialog refuses: taps that fit, an IIR
// at 24 bits and values that would overflow with quantization off all open.
TEST_F(DesignFileFixture, QuantizationWithinTheRulesOpens) {
    COlvexDoc source;
    const Json good = Json::parse(files::WriteDesignText(commands::TakeDesignState(source, {})));
    const std::function<void(Json&)> edits[] = {
        [](Json& d) {
            d["quantization"] = {{"enabled", true}, {"bits", 32}, {"format", 2}};
            d["coefficients"]["fir"][0] = 0.99;
        },
        [](Json& d) {
            d["design"]["structure"] = 1;
            d["quantization"] = {{"enabled", true}, {"bits", 24}, {"format", 0}};
        },
        [](Json& d) {
            d["quantization"] = {{"enabled", false}, {"bits", 32}, {"format", 0}};
            d["coefficients"]["fir"][0] = 5000.0;
        },
    };
    for (const auto& edit : edits) {
        Json doc = good;
        edit(doc);
        COlvexDoc opened;
        const commands::OpenDesignOutcome outcome =
            commands::OpenDesign(opened, Write("fits.vantrel", doc.dump()));
        EXPECT_TRUE(outcome.Is(OutcomeKind::kAccepted)) << outcome.message;
    }
}

} // namespace
