// Dialog data exchange: one function per dialog moves its members to the controls (when the
// dialog opens) and back (when OK is pressed), with the number and range checks on the way
// back. The first failed check stops the exchange and keeps its standard message; the dialog
// then stays open with the focus on the offending control.
#pragma once

#include <optional>
#include <string>

#include "files/NumberText.h"
#include "platform/ControlAccess.h"

namespace platform {

struct ExchangeFailure {
    int controlId = kIdStatic;
    std::string message;
};

class DataExchange {
public:
    enum class Direction { kToControls, kFromControls };

    DataExchange(Direction direction, ControlAccess& controls, const DialogTemplate& dialog);

    bool Saving() const { return m_direction == Direction::kFromControls; }
    const std::optional<ExchangeFailure>& Failure() const { return m_failure; }

    // Each exchange does nothing once a check has failed.
    void Text(int id, std::string& value);
    void Int(int id, int& value);
    // An int that must lie in low..high when read back.
    void IntRange(int id, int& value, int low, int high);
    void Double(int id, double& value);
    // A number the dialog does not use as it stands (the sine frequency beside a user wave): a
    // well-formed entry is read, anything else keeps the value; it never fails.
    void UnusedDouble(int id, double& value);
    // The index of the checked button of the radio group starting at firstId; -1 when none is
    // checked. Setting an index outside the group clears every button.
    void Radio(int firstId, int& index);
    void Check(int id, int& value);
    void Slider(int id, int& position);
    // A dialog's own check on a value it has just read: the exchange fails with this message,
    // as a standard check does (the dialog stays open, the focus goes to the control).
    void Refuse(int id, std::string message);

private:
    bool Stopped() const { return m_failure.has_value(); }
    void Fail(int id, std::string message);

    Direction m_direction;
    ControlAccess& m_controls;
    const DialogTemplate& m_dialog;
    std::optional<ExchangeFailure> m_failure;
};

} // namespace platform
