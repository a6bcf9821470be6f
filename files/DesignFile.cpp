// The design file's JSON, through nlohmann-json. Each setting is one row of kFields: its place
// in the document (a JSON pointer) and the member of DesignState it fills. Writing and reading
// walk the same table, so the two cannot drift apart.
#include "files/DesignFile.h"
#include "files/JsonNesting.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <span>
#include <type_traits>
#include <variant>

namespace files {

namespace {

using Json = nlohmann::ordered_json; // fields in the order they are written

// An on/off setting the record keeps as 0/1, written as true/false.
struct Flag {
    int DesignState::*member;
};

using Member = std::variant<int DesignState::*, double DesignState::*, bool DesignState::*,
                            std::string DesignState::*, Flag>;

struct Field {
    const char* pointer; // "/fir/taps"
    Member member;
};

// clang-format off
const Field kFields[] = {
    {"/design/structure",         &DesignState::structure},
    {"/design/type",              &DesignState::filterType},
    {"/design/fs",                &DesignState::fs},
    {"/design/designed",          &DesignState::designed},
    {"/design/bandsKnown",        &DesignState::bandsKnown},
    {"/fir/fc1",                  &DesignState::fc1},
    {"/fir/fc2",                  &DesignState::fc2},
    {"/fir/fc3",                  &DesignState::fc3},
    {"/fir/fc4",                  &DesignState::fc4},
    {"/fir/taps",                 &DesignState::taps},
    {"/fir/evenTaps",             Flag{&DesignState::evenTaps}},
    {"/fir/rr",                   &DesignState::rr},
    {"/fir/multiplier",           &DesignState::multiplier},
    {"/iir/sections",             &DesignState::iirSections},
    {"/iir/rippleDb",             &DesignState::rippleDb},
    {"/iir/fc1",                  &DesignState::iirFc1},
    {"/iir/fc2",                  &DesignState::iirFc2},
    {"/quantization/enabled",     Flag{&DesignState::quantize}},
    {"/quantization/bits",        &DesignState::quantBits},
    {"/quantization/format",      &DesignState::coeffFormat},
    {"/hardware/dataBits",        &DesignState::dataBits},
    {"/hardware/template",        &DesignState::templatePath},
    {"/hardware/architecture",    &DesignState::architecture},
    {"/hardware/multipliers",     &DesignState::multipliers},
    {"/hardware/clockMhz",        &DesignState::clockMhz},
    {"/hardware/language",        &DesignState::language},
    {"/analysis/plotMode",        &DesignState::plotMode},
    {"/analysis/gainRange",       &DesignState::gainRange},
    {"/analysis/responseZoom",    &DesignState::respZoom},
    {"/analysis/responseStart",   &DesignState::respStart},
    {"/analysis/fftRange",        &DesignState::fftMagRange},
    {"/analysis/fftZoom",         &DesignState::fftZoom},
    {"/analysis/fftStart",        &DesignState::fftStart},
    {"/analysis/waveType",        &DesignState::waveType},
    {"/analysis/waveFrequency",   &DesignState::waveFreq},
    {"/analysis/useUserWave",     Flag{&DesignState::useUserWave}},
    {"/analysis/userWave",        &DesignState::userWavePath},
    {"/analysis/waveRange",       &DesignState::waveMagRange},
    {"/analysis/waveZoom",        &DesignState::waveZoom},
    {"/analysis/waveStart",       &DesignState::waveStart},
    {"/analysis/showHardware",    Flag{&DesignState::showHardwareWave}},
};
// clang-format on

// Fields a file may leave out: it then holds their defaults (the files written before them).
// clang-format off
const Field kOptionalFields[] = {
    {"/iir/method",               &DesignState::iirMethod},
    {"/iir/attenDb",              &DesignState::iirAttenDb},
    {"/design/otherType",         &DesignState::otherType},
    {"/design/otherFs",           &DesignState::otherFs},
    {"/design/otherBandsKnown",   Flag{&DesignState::otherBandsKnown}},
};
// Written only for a FIR method other than the Remez exchange (the default they read as).
const Field kFirMethodFields[] = {
    {"/fir/method",               &DesignState::firMethod},
    {"/fir/kaiserBeta",           &DesignState::kaiserBeta},
};
// Written only for a rate change (single rate is what a file without them reads as).
const Field kFirRateFields[] = {
    {"/fir/rate",                 &DesignState::firRate},
    {"/fir/rateFactor",           &DesignState::firRateFactor},
};
// Written only for a CIC design; a CIC file holds every one of them.
const Field kCicFields[] = {
    {"/cic/kind",                 &DesignState::cicKind},
    {"/cic/rate",                 &DesignState::cicRate},
    {"/cic/stages",               &DesignState::cicStages},
    {"/cic/delay",                &DesignState::cicDelay},
    {"/cic/dataBits",             &DesignState::cicDataBits},
    {"/cic/edge",                 &DesignState::cicEdge},
    {"/cic/prune",                Flag{&DesignState::cicPrune}},
    {"/cic/pipeline",             Flag{&DesignState::cicPipeline}},
};
// Written only for a CIC design with a droop compensator; a file holds all of them or none.
const Field kCicCompensatorFields[] = {
    {"/cic/compensatorTaps",      &DesignState::cicCompTaps},
    {"/cic/compensatorPassEdge",  &DesignState::cicCompPassEdge},
    {"/cic/compensatorStopEdge",  &DesignState::cicCompStopEdge},
};
// clang-format on

constexpr const char* kFirKindPointer = "/fir/kind";
constexpr const char* kFirBandsPointer = "/fir/bands";
constexpr const char* kFirTapsPointer = "/coefficients/fir";
constexpr const char* kSectionsPointer = "/coefficients/iir";

// "/fir/taps" -> "fir.taps", as a message names the field.
std::string FieldName(const char* pointer) {
    std::string name = pointer + 1;
    for (char& c : name) {
        c = c == '/' ? '.' : c;
    }
    return name;
}

DesignRead Refusal(const std::string& field, const std::string& problem) {
    DesignRead read;
    read.field = field;
    read.message = field.empty() ? problem : field + ": " + problem;
    return read;
}

// Stores one field; an empty result means stored, else the problem with its value.
std::string ReadField(const Json& value, DesignState& state, const Member& member) {
    return std::visit(
        [&value, &state](auto m) -> std::string {
            using M = decltype(m);
            if constexpr (std::is_same_v<M, Flag>) {
                if (!value.is_boolean()) {
                    return "expected true or false";
                }
                state.*(m.member) = value.get<bool>() ? 1 : 0;
            } else if constexpr (std::is_same_v<M, bool DesignState::*>) {
                if (!value.is_boolean()) {
                    return "expected true or false";
                }
                state.*m = value.get<bool>();
            } else if constexpr (std::is_same_v<M, int DesignState::*>) {
                // An integer that fits an int; 3.0 or 1e3 are numbers, not integers.
                if (!value.is_number_integer()) {
                    return "expected an integer";
                }
                const auto wide = value.get<std::int64_t>();
                if (value.is_number_unsigned() && value.get<std::uint64_t>() > INT32_MAX) {
                    return "integer out of range";
                }
                if (wide < INT32_MIN || wide > INT32_MAX) {
                    return "integer out of range";
                }
                state.*m = static_cast<int>(wide);
            } else if constexpr (std::is_same_v<M, double DesignState::*>) {
                // A number too large for a double reads as infinite, which no setting takes.
                if (!value.is_number() || !std::isfinite(value.get<double>())) {
                    return "expected a finite number";
                }
                state.*m = value.get<double>();
            } else {
                if (!value.is_string()) {
                    return "expected a string";
                }
                state.*m = value.get<std::string>();
            }
            return {};
        },
        member);
}

Json FieldValue(const DesignState& state, const Member& member) {
    return std::visit(
        [&state](auto m) -> Json {
            if constexpr (std::is_same_v<decltype(m), Flag>) {
                return state.*(m.member) != 0;
            } else {
                return state.*m;
            }
        },
        member);
}

// A list of numbers; empty result when every entry is one.
std::string ReadNumbers(const Json& value, std::vector<double>& out) {
    if (!value.is_array()) {
        return "expected a list of numbers";
    }
    out.clear();
    for (const Json& entry : value) {
        if (!entry.is_number() || !std::isfinite(entry.get<double>())) {
            return "expected a list of numbers";
        }
        out.push_back(entry.get<double>());
    }
    return {};
}

// The kind and band table of a band-table FIR design; a file without a kind has neither.
DesignRead ReadFirBandTable(const Json& doc, DesignRead read) {
    const Json::json_pointer kindAt(kFirKindPointer);
    if (!doc.contains(kindAt)) {
        return read;
    }
    const std::string problem = ReadField(doc.at(kindAt), read.state, &DesignState::firKind);
    if (!problem.empty()) {
        return Refusal(FieldName(kFirKindPointer), problem);
    }
    if (read.state.firKind.empty()) {
        return read;
    }
    const Json::json_pointer bandsAt(kFirBandsPointer);
    const std::string expected = "expected 1 to " + std::to_string(kDesignMaxFirBands) +
                                 " bands of four numbers (from, to, gain, weight)";
    if (!doc.contains(bandsAt)) {
        return Refusal(FieldName(kFirBandsPointer), "missing");
    }
    const Json& rows = doc.at(bandsAt);
    if (!rows.is_array() || rows.empty() || rows.size() > static_cast<size_t>(kDesignMaxFirBands)) {
        return Refusal(FieldName(kFirBandsPointer), expected);
    }
    read.state.firBands.clear();
    for (const Json& row : rows) {
        std::vector<double> values;
        if (!ReadNumbers(row, values).empty() || values.size() != 4) {
            return Refusal(FieldName(kFirBandsPointer), expected);
        }
        read.state.firBands.push_back({values[0], values[1], values[2], values[3]});
    }
    return read;
}

DesignRead ReadCoefficients(const Json& doc, DesignRead read) {
    const Json::json_pointer tapsAt(kFirTapsPointer);
    const Json::json_pointer sectionsAt(kSectionsPointer);
    if (!doc.contains(tapsAt)) {
        return Refusal(FieldName(kFirTapsPointer), "missing");
    }
    std::string problem = ReadNumbers(doc.at(tapsAt), read.state.firTaps);
    if (problem.empty() && read.state.firTaps.size() > static_cast<size_t>(kDesignMaxFirTaps)) {
        problem = "more than " + std::to_string(kDesignMaxFirTaps) + " taps";
    }
    if (!problem.empty()) {
        return Refusal(FieldName(kFirTapsPointer), problem);
    }
    if (!doc.contains(sectionsAt)) {
        return Refusal(FieldName(kSectionsPointer), "missing");
    }
    const Json& rows = doc.at(sectionsAt);
    if (!rows.is_array() || rows.size() != static_cast<size_t>(kDesignIirSections)) {
        return Refusal(FieldName(kSectionsPointer),
                       "expected " + std::to_string(kDesignIirSections) +
                           " sections of five numbers (a0 a1 a2 b1 b2)");
    }
    read.state.sections.clear();
    for (const Json& row : rows) {
        std::vector<double> values;
        if (!ReadNumbers(row, values).empty() || values.size() != 5) {
            return Refusal(FieldName(kSectionsPointer),
                           "expected " + std::to_string(kDesignIirSections) +
                               " sections of five numbers (a0 a1 a2 b1 b2)");
        }
        read.state.sections.push_back({values[0], values[1], values[2], values[3], values[4]});
    }
    return read;
}

} // namespace

std::string WriteDesignText(const DesignState& state) {
    Json doc;
    doc["format"] = kDesignFormat;
    doc["version"] = kDesignVersion;
    for (const Field& field : kFields) {
        doc[Json::json_pointer(field.pointer)] = FieldValue(state, field.member);
    }
    for (const Field& field : kOptionalFields) {
        doc[Json::json_pointer(field.pointer)] = FieldValue(state, field.member);
    }
    if (state.firMethod != "remez") {
        for (const Field& field : kFirMethodFields) {
            doc[Json::json_pointer(field.pointer)] = FieldValue(state, field.member);
        }
    }
    if (!state.firRate.empty()) {
        for (const Field& field : kFirRateFields) {
            doc[Json::json_pointer(field.pointer)] = FieldValue(state, field.member);
        }
    }
    if (!state.cicKind.empty()) {
        for (const Field& field : kCicFields) {
            doc[Json::json_pointer(field.pointer)] = FieldValue(state, field.member);
        }
        if (state.cicCompTaps > 0) {
            for (const Field& field : kCicCompensatorFields) {
                doc[Json::json_pointer(field.pointer)] = FieldValue(state, field.member);
            }
        }
    }
    if (!state.firKind.empty()) {
        doc[Json::json_pointer(kFirKindPointer)] = state.firKind;
        Json rows = Json::array();
        for (const std::array<double, 4>& band : state.firBands) {
            rows.push_back(band);
        }
        doc[Json::json_pointer(kFirBandsPointer)] = rows;
    }
    // nlohmann-json writes a double with the shortest digits that read back to the same bits
    // (at most 17 significant digits), so the coefficients survive the round trip exactly.
    doc[Json::json_pointer(kFirTapsPointer)] = state.firTaps;
    Json rows = Json::array();
    for (const DesignSection& section : state.sections) {
        rows.push_back(section);
    }
    doc[Json::json_pointer(kSectionsPointer)] = rows;
    return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

DesignRead ReadDesignText(std::string_view text) {
    if (const std::optional<JsonNestingExcess> deep =
            FindJsonNestingBeyond(text, kDesignMaxNesting)) {
        const std::string problem = "nested more than " + std::to_string(kDesignMaxNesting) +
                                    " levels deep (byte " + std::to_string(deep->byte) + ")";
        return Refusal(deep->field,
                       deep->field.empty() ? "not a design file: " + problem : problem);
    }
    Json doc;
    try {
        doc = Json::parse(text);
    } catch (const Json::parse_error& error) {
        return Refusal("", "not a design file: the JSON is malformed or cut short (byte " +
                               std::to_string(error.byte) + ")");
    } catch (const Json::exception&) {
        // The parser's other refusal: a number beyond the range of a double ("1e999").
        return Refusal("", "not a design file: it holds a number too large to read");
    }
    if (!doc.is_object()) {
        return Refusal("", "not a design file: expected a JSON object");
    }
    if (!doc.contains("format") || !doc["format"].is_string() ||
        doc["format"].get<std::string>() != kDesignFormat) {
        return Refusal("format", std::string("expected \"") + kDesignFormat + "\"");
    }
    if (!doc.contains("version") || !doc["version"].is_number_integer()) {
        return Refusal("version", "expected an integer");
    }
    if (doc["version"].get<std::int64_t>() != kDesignVersion) {
        return Refusal("version", "version " + doc["version"].dump() +
                                      " is not read by this program (it reads version " +
                                      std::to_string(kDesignVersion) + ")");
    }
    DesignRead read;
    for (const Field& field : kFields) {
        const Json::json_pointer at(field.pointer);
        // contains() of a pointer through a non-object (a group given as a number) is false.
        if (!doc.contains(at)) {
            return Refusal(FieldName(field.pointer), "missing");
        }
        const std::string problem = ReadField(doc.at(at), read.state, field.member);
        if (!problem.empty()) {
            return Refusal(FieldName(field.pointer), problem);
        }
    }
    for (const auto& table :
         {std::span<const Field>(kOptionalFields), std::span<const Field>(kFirMethodFields),
          std::span<const Field>(kFirRateFields)}) {
        for (const Field& field : table) {
            const Json::json_pointer at(field.pointer);
            if (!doc.contains(at)) {
                continue;
            }
            const std::string problem = ReadField(doc.at(at), read.state, field.member);
            if (!problem.empty()) {
                return Refusal(FieldName(field.pointer), problem);
            }
        }
    }
    // A CIC design holds all of its fields; another design none of them.
    if (doc.contains(Json::json_pointer("/cic")) || read.state.structure == 2) {
        for (const Field& field : kCicFields) {
            const Json::json_pointer at(field.pointer);
            if (!doc.contains(at)) {
                return Refusal(FieldName(field.pointer), "missing");
            }
            const std::string problem = ReadField(doc.at(at), read.state, field.member);
            if (!problem.empty()) {
                return Refusal(FieldName(field.pointer), problem);
            }
        }
        bool anyCompensator = false;
        for (const Field& field : kCicCompensatorFields) {
            anyCompensator = anyCompensator || doc.contains(Json::json_pointer(field.pointer));
        }
        for (const Field& field : kCicCompensatorFields) {
            const Json::json_pointer at(field.pointer);
            if (!anyCompensator) {
                break;
            }
            if (!doc.contains(at)) {
                return Refusal(FieldName(field.pointer), "missing");
            }
            const std::string problem = ReadField(doc.at(at), read.state, field.member);
            if (!problem.empty()) {
                return Refusal(FieldName(field.pointer), problem);
            }
        }
    }
    read = ReadFirBandTable(doc, read);
    if (!read.message.empty()) {
        return read;
    }
    read = ReadCoefficients(doc, read);
    read.ok = read.message.empty();
    return read;
}

std::vector<std::string> DesignFieldNames() {
    std::vector<std::string> names;
    for (const Field& field : kFields) {
        names.push_back(FieldName(field.pointer));
    }
    for (const Field& field : kOptionalFields) {
        names.push_back(FieldName(field.pointer));
    }
    for (const Field& field : kFirMethodFields) {
        names.push_back(FieldName(field.pointer));
    }
    for (const Field& field : kFirRateFields) {
        names.push_back(FieldName(field.pointer));
    }
    for (const Field& field : kCicFields) {
        names.push_back(FieldName(field.pointer));
    }
    for (const Field& field : kCicCompensatorFields) {
        names.push_back(FieldName(field.pointer));
    }
    names.push_back(FieldName(kFirKindPointer));
    names.push_back(FieldName(kFirBandsPointer));
    names.push_back(FieldName(kFirTapsPointer));
    names.push_back(FieldName(kSectionsPointer));
    return names;
}

} // namespace files
