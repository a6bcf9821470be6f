// Dialog data exchange: the number checks with their standard messages, and the round trips of
// radio groups, check boxes and sliders between members and controls.
#include "platform/DataExchange.h"

#include <gtest/gtest.h>

namespace {

using platform::ControlKind;
using platform::ControlValues;
using platform::DataExchange;
using platform::DialogTemplate;

constexpr int kEditA = 1020;
constexpr int kEditB = 1021;
constexpr int kCheck = 1019;
constexpr int kSlider = 1033;
constexpr int kRadio0 = 1031;
constexpr int kRadio1 = 1032;
constexpr int kRadio2 = 1034;
constexpr int kOther0 = 1040;
constexpr int kOther1 = 1041;

DialogTemplate TestTemplate() {
    DialogTemplate t;
    t.id = 134;
    t.title = "Test";
    t.controls = {
        {kEditA, ControlKind::kEdit, "", {}},
        {kEditB, ControlKind::kEdit, "", {}},
        {kCheck, ControlKind::kCheckBox, "Quantize by", {}},
        {kSlider, ControlKind::kSlider, "", {}},
        {kRadio0, ControlKind::kRadio, "1x", {}, platform::kStyleGroupStart},
        {kRadio1, ControlKind::kRadio, "10x", {}},
        {kRadio2, ControlKind::kRadio, "100x", {}},
        {kOther0, ControlKind::kRadio, "a", {}, platform::kStyleGroupStart},
        {kOther1, ControlKind::kRadio, "b", {}},
    };
    return t;
}

enum class Field { kInt, kIntRange, kDouble };

struct CheckCase {
    const char* entered;
    Field field;
    bool accepted;
    const char* message; // when refused
    double stored;       // when accepted
};

TEST(DataExchange, NumberChecks) {
    const CheckCase cases[] = {
        {"16", Field::kIntRange, true, "", 16},
        {" 4 ", Field::kIntRange, true, "", 4},
        {"32", Field::kIntRange, true, "", 32},
        {"3", Field::kIntRange, false, "Please enter an integer between 4 and 32.", 0},
        {"33", Field::kIntRange, false, "Please enter an integer between 4 and 32.", 0},
        {"-2147483648", Field::kIntRange, false, "Please enter an integer between 4 and 32.", 0},
        {"12.5", Field::kIntRange, false, "Please enter an integer.", 0},
        {"abc", Field::kIntRange, false, "Please enter an integer.", 0},
        {"", Field::kIntRange, false, "Please enter an integer.", 0},
        {"99999999999", Field::kInt, false, "Please enter an integer.", 0},
        // Too large for an int, but an integer: a field with a range names it.
        {"99999999999", Field::kIntRange, false, "Please enter an integer between 4 and 32.", 0},
        {" -99999999999 ", Field::kIntRange, false, "Please enter an integer between 4 and 32.", 0},
        {"+32", Field::kIntRange, true, "", 32},
        {"9999999999x", Field::kIntRange, false, "Please enter an integer.", 0},
        {"-", Field::kIntRange, false, "Please enter an integer.", 0},
        {"-7", Field::kInt, true, "", -7},
        {"1e3", Field::kDouble, true, "", 1000.0},
        {"-0.25", Field::kDouble, true, "", -0.25},
        {"abc", Field::kDouble, false, "Please enter a number.", 0},
        {"1,5", Field::kDouble, false, "Please enter a number.", 0},
        {"nan", Field::kDouble, false, "Please enter a number.", 0},
        {"1e999", Field::kDouble, false, "Please enter a number.", 0},
    };
    const DialogTemplate t = TestTemplate();
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.entered);
        ControlValues controls(t);
        controls.SetText(kEditA, c.entered);
        DataExchange exchange(DataExchange::Direction::kFromControls, controls, t);
        int intValue = 8;
        double doubleValue = 8.0;
        switch (c.field) {
        case Field::kInt:
            exchange.Int(kEditA, intValue);
            break;
        case Field::kIntRange:
            exchange.IntRange(kEditA, intValue, 4, 32);
            break;
        case Field::kDouble:
            exchange.Double(kEditA, doubleValue);
            break;
        }
        const double stored = c.field == Field::kDouble ? doubleValue : intValue;
        if (c.accepted) {
            EXPECT_FALSE(exchange.Failure().has_value());
            EXPECT_EQ(stored, c.stored);
        } else {
            ASSERT_TRUE(exchange.Failure().has_value());
            EXPECT_EQ(exchange.Failure()->message, c.message);
            EXPECT_EQ(exchange.Failure()->controlId, kEditA);
            EXPECT_EQ(controls.Focus(), kEditA);
            EXPECT_EQ(stored, 8.0) << "a refused entry must not reach the member";
        }
    }
}

TEST(DataExchange, FirstFailureStopsTheExchange) {
    const DialogTemplate t = TestTemplate();
    ControlValues controls(t);
    controls.SetText(kEditA, "x");
    controls.SetText(kEditB, "5");
    DataExchange exchange(DataExchange::Direction::kFromControls, controls, t);
    int a = 1;
    int b = 1;
    exchange.IntRange(kEditA, a, 4, 32);
    exchange.IntRange(kEditB, b, 4, 32);
    ASSERT_TRUE(exchange.Failure().has_value());
    EXPECT_EQ(exchange.Failure()->controlId, kEditA);
    EXPECT_EQ(b, 1);
}

TEST(DataExchange, RoundTrips) {
    const DialogTemplate t = TestTemplate();
    struct Values {
        int radio;
        int other;
        int check;
        int slider;
        double number;
    };
    const Values cases[] = {{0, 1, 0, 0, 1000.0}, {2, 0, 1, 100, 0.3}, {1, 1, 1, 50, -1e-7}};
    for (const Values& v : cases) {
        ControlValues controls(t);
        Values in = v;
        DataExchange toControls(DataExchange::Direction::kToControls, controls, t);
        toControls.Radio(kRadio0, in.radio);
        toControls.Radio(kOther0, in.other);
        toControls.Check(kCheck, in.check);
        toControls.Slider(kSlider, in.slider);
        toControls.Double(kEditA, in.number);
        // Exactly one button of each group is checked.
        EXPECT_EQ(controls.GetCheck(kRadio0) + controls.GetCheck(kRadio1) +
                      controls.GetCheck(kRadio2),
                  1);
        Values out{-5, -5, -5, -5, -5.0};
        DataExchange fromControls(DataExchange::Direction::kFromControls, controls, t);
        fromControls.Radio(kRadio0, out.radio);
        fromControls.Radio(kOther0, out.other);
        fromControls.Check(kCheck, out.check);
        fromControls.Slider(kSlider, out.slider);
        fromControls.Double(kEditA, out.number);
        EXPECT_EQ(out.radio, v.radio);
        EXPECT_EQ(out.other, v.other);
        EXPECT_EQ(out.check, v.check);
        EXPECT_EQ(out.slider, v.slider);
        EXPECT_EQ(out.number, v.number);
    }
}

TEST(DataExchange, EditTextsAndLimits) {
    EXPECT_EQ(files::FormatDialogDouble(1000.0), "1000");
    EXPECT_EQ(files::FormatDialogDouble(0.3), "0.3");
    EXPECT_EQ(files::FormatDialogDouble(250.5), "250.5");

    const DialogTemplate t = TestTemplate();
    ControlValues controls(t);
    // A slider never leaves its default range 0..100.
    int position = 150;
    DataExchange toControls(DataExchange::Direction::kToControls, controls, t);
    toControls.Slider(kSlider, position);
    EXPECT_EQ(controls.GetSliderPos(kSlider), 100);
    // No button checked reads as -1; an index outside the group clears the group.
    int none = 7;
    toControls.Radio(kRadio0, none);
    int read = 0;
    DataExchange fromControls(DataExchange::Direction::kFromControls, controls, t);
    fromControls.Radio(kRadio0, read);
    EXPECT_EQ(read, -1);
}

TEST(DataExchange, ClickingARadioStaysInItsGroup) {
    const DialogTemplate t = TestTemplate();
    ControlValues controls(t);
    platform::ClickRadio(controls, t, kOther1);
    platform::ClickRadio(controls, t, kRadio2);
    platform::ClickRadio(controls, t, kRadio1);
    EXPECT_EQ(controls.GetCheck(kRadio1), 1);
    EXPECT_EQ(controls.GetCheck(kRadio2), 0);
    EXPECT_EQ(controls.GetCheck(kOther1), 1);
    EXPECT_EQ(t.RadioGroup(kRadio0), (std::vector<int>{kRadio0, kRadio1, kRadio2}));
    EXPECT_TRUE(t.RadioGroup(kEditA).empty());
}

} // namespace
