// The range rules of the requirements dialogs: Ap and As, and the IIR stop-band edges against the
// cut-offs of each filter type.
#include <gtest/gtest.h>

#include <cmath>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"

namespace {

TEST(Requirements, RangeRules) {
    const struct {
        double ap, as;
        int field; // refused field, or kFieldNone
    } db[] = {
        {0.5, 60, design::kFieldNone}, {20, 200, design::kFieldNone},  {0, 60, design::kFieldAp},
        {20.5, 60, design::kFieldAp},  {NAN, 60, design::kFieldAp},    {3, 3, design::kFieldAs},
        {3, 2, design::kFieldAs},      {0.5, 200.5, design::kFieldAs},
    };
    for (const auto& c : db) {
        const design::RangeRefusal r = design::CheckRequirements(c.ap, c.as);
        EXPECT_EQ(r.Refused() ? r.field : design::kFieldNone, c.field) << c.ap << " " << c.as;
    }
    const struct {
        int type;
        double stop1, stop2;
        int field;
    } edges[] = {
        // cut-offs 200 and 300 Hz, fs 1000 Hz
        {kLpf, 250, 0, design::kFieldNone},    {kLpf, 200, 0, design::kFieldStop},
        {kLpf, 500, 0, design::kFieldStop},    {kHpf, 150, 0, design::kFieldNone},
        {kHpf, 250, 0, design::kFieldStop},    {kBpf, 150, 350, design::kFieldNone},
        {kBpf, 250, 350, design::kFieldStop},  {kBpf, 150, 290, design::kFieldStop2},
        {kBrf, 220, 280, design::kFieldNone},  {kBrf, 180, 280, design::kFieldStop},
        {kBrf, 250, 240, design::kFieldStop2}, {kBrf, 220, 300, design::kFieldStop2},
    };
    for (const auto& c : edges) {
        const design::RangeRefusal r =
            design::CheckIirStopEdges(c.type, 1000.0, 200.0, 300.0, c.stop1, c.stop2);
        EXPECT_EQ(r.Refused() ? r.field : design::kFieldNone, c.field)
            << c.type << " " << c.stop1 << " " << c.stop2;
    }
}

} // namespace
