// Reading and writing the state of a dialog's or the form's controls by id. The data exchange
// works on this interface only, so the same exchange code runs on Qt widgets and on the
// scripted backend's control values.
#pragma once

#include <map>
#include <string>

#include "platform/DialogTemplate.h"

namespace platform {

// The slider range a slider control has unless told otherwise.
constexpr int kSliderMin = 0;
constexpr int kSliderMax = 100;

class ControlAccess {
public:
    virtual ~ControlAccess() = default;
    // Edit and static text.
    virtual std::string GetText(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    // Check boxes and radio buttons: 0 clear, 1 set.
    virtual int GetCheck(int id) const = 0;
    virtual void SetCheck(int id, int check) = 0;
    // Slider position, within kSliderMin..kSliderMax.
    virtual int GetSliderPos(int id) const = 0;
    virtual void SetSliderPos(int id, int pos) = 0;
    virtual void SetReadOnly(int id, bool readOnly) = 0;
    // A disabled control shows greyed and takes no input.
    virtual void SetEnabled(int id, bool enabled) = 0;
    // Moves the keyboard focus to a control (after a failed check).
    virtual void SetFocus(int id) = 0;
};

// Control state kept as plain values: the scripted backend's dialogs and form.
class ControlValues : public ControlAccess {
public:
    // Starts from the template's texts, every check clear, sliders at kSliderMin.
    explicit ControlValues(const DialogTemplate& dialog);

    std::string GetText(int id) const override;
    void SetText(int id, const std::string& text) override;
    int GetCheck(int id) const override;
    void SetCheck(int id, int check) override;
    int GetSliderPos(int id) const override;
    void SetSliderPos(int id, int pos) override;
    void SetReadOnly(int id, bool readOnly) override;
    void SetEnabled(int id, bool enabled) override { m_disabled[id] = !enabled; }
    bool IsEnabled(int id) const;
    void SetFocus(int id) override { m_focus = id; }

    bool IsReadOnly(int id) const;
    int Focus() const { return m_focus; }

private:
    std::map<int, std::string> m_texts;
    std::map<int, int> m_checks;
    std::map<int, int> m_sliders;
    std::map<int, bool> m_readOnly;
    std::map<int, bool> m_disabled;
    int m_focus = kIdStatic;
};

// What a click on a radio button does: it becomes the one checked button of its group.
void ClickRadio(ControlAccess& controls, const DialogTemplate& dialog, int radioId);

} // namespace platform
