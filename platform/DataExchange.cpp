#include "platform/DataExchange.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

#include "files/NumberText.h"

namespace platform {

DataExchange::DataExchange(Direction direction, ControlAccess& controls,
                           const DialogTemplate& dialog)
    : m_direction(direction), m_controls(controls), m_dialog(dialog) {}

void DataExchange::Fail(int id, std::string message) {
    m_failure = ExchangeFailure{id, std::move(message)};
    m_controls.SetFocus(id);
}

void DataExchange::Refuse(int id, std::string message) {
    if (!Stopped()) {
        Fail(id, std::move(message));
    }
}

void DataExchange::Text(int id, std::string& value) {
    if (Stopped()) {
        return;
    }
    if (Saving()) {
        value = m_controls.GetText(id);
    } else {
        m_controls.SetText(id, value);
    }
}

void DataExchange::Int(int id, int& value) {
    IntRange(id, value, INT_MIN, INT_MAX);
}

void DataExchange::IntRange(int id, int& value, int low, int high) {
    if (Stopped()) {
        return;
    }
    if (!Saving()) {
        m_controls.SetText(id, std::to_string(value));
        return;
    }
    int parsed = 0;
    const std::string text = m_controls.GetText(id);
    if (!files::ParseInt(text, parsed)) {
        // Digits beyond the 32-bit range are still an integer: a field with a range says why.
        const bool ranged = low > INT_MIN || high < INT_MAX;
        Fail(id, ranged && files::IsIntegerText(text) ? files::IntRangeMessage(low, high)
                                                      : files::kEnterIntegerMessage);
        return;
    }
    // The member keeps its old value when the entry is out of range: a refused entry never
    // reaches the dialog's members. The full int range (plain Int) refuses nothing here.
    if (parsed < low || parsed > high) {
        Fail(id, files::IntRangeMessage(low, high));
        return;
    }
    value = parsed;
}

void DataExchange::Double(int id, double& value) {
    if (Stopped()) {
        return;
    }
    if (!Saving()) {
        m_controls.SetText(id, files::FormatShownDouble(value));
        return;
    }
    const std::string text = m_controls.GetText(id);
    if (text == files::FormatShownDouble(value)) {
        return; // not edited: the value keeps the digits the field does not show
    }
    double parsed = 0.0;
    if (!files::ParseDouble(text, parsed)) {
        Fail(id, files::kEnterNumberMessage);
        return;
    }
    value = parsed;
}

void DataExchange::UnusedDouble(int id, double& value) {
    if (Stopped()) {
        return;
    }
    if (!Saving()) {
        m_controls.SetText(id, files::FormatShownDouble(value));
        return;
    }
    const std::string text = m_controls.GetText(id);
    if (text == files::FormatShownDouble(value)) {
        return; // not edited
    }
    double parsed = 0.0;
    if (files::ParseDouble(text, parsed)) {
        value = parsed;
    }
}

void DataExchange::Radio(int firstId, int& index) {
    if (Stopped()) {
        return;
    }
    const std::vector<int> group = m_dialog.RadioGroup(firstId);
    const int count = static_cast<int>(group.size());
    if (Saving()) {
        index = -1;
        for (int i = 0; i < count; ++i) {
            if (m_controls.GetCheck(group[static_cast<size_t>(i)]) != 0) {
                index = i;
                break;
            }
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        m_controls.SetCheck(group[static_cast<size_t>(i)], i == index ? 1 : 0);
    }
}

void DataExchange::Check(int id, int& value) {
    if (Stopped()) {
        return;
    }
    if (Saving()) {
        value = m_controls.GetCheck(id);
    } else {
        m_controls.SetCheck(id, value);
    }
}

void DataExchange::Slider(int id, int& position) {
    if (Stopped()) {
        return;
    }
    if (Saving()) {
        position = m_controls.GetSliderPos(id);
    } else {
        m_controls.SetSliderPos(id, std::clamp(position, kSliderMin, kSliderMax));
    }
}

} // namespace platform
