#include "platform/ControlAccess.h"

#include <algorithm>

namespace platform {

ControlValues::ControlValues(const DialogTemplate& dialog) {
    for (const ControlTemplate& control : dialog.controls) {
        if (control.id == kIdStatic) {
            continue;
        }
        m_texts[control.id] = control.text;
        if (control.kind == ControlKind::kEdit) {
            m_readOnly[control.id] = (control.style & kStyleReadOnly) != 0;
        }
    }
}

std::string ControlValues::GetText(int id) const {
    const auto it = m_texts.find(id);
    return it == m_texts.end() ? std::string() : it->second;
}

void ControlValues::SetText(int id, const std::string& text) {
    m_texts[id] = text;
}

int ControlValues::GetCheck(int id) const {
    const auto it = m_checks.find(id);
    return it == m_checks.end() ? 0 : it->second;
}

void ControlValues::SetCheck(int id, int check) {
    m_checks[id] = check != 0 ? 1 : 0;
}

int ControlValues::GetSliderPos(int id) const {
    const auto it = m_sliders.find(id);
    return it == m_sliders.end() ? kSliderMin : it->second;
}

void ControlValues::SetSliderPos(int id, int pos) {
    m_sliders[id] = std::clamp(pos, kSliderMin, kSliderMax);
}

void ControlValues::SetReadOnly(int id, bool readOnly) {
    m_readOnly[id] = readOnly;
}

bool ControlValues::IsEnabled(int id) const {
    const auto it = m_disabled.find(id);
    return it == m_disabled.end() || !it->second;
}

bool ControlValues::IsReadOnly(int id) const {
    const auto it = m_readOnly.find(id);
    return it != m_readOnly.end() && it->second;
}

void ClickRadio(ControlAccess& controls, const DialogTemplate& dialog, int radioId) {
    // Find the group that holds radioId: walk the template's groups.
    for (const ControlTemplate& control : dialog.controls) {
        if (control.kind != ControlKind::kRadio) {
            continue;
        }
        const std::vector<int> group = dialog.RadioGroup(control.id);
        if (std::find(group.begin(), group.end(), radioId) == group.end()) {
            continue;
        }
        for (int id : group) {
            controls.SetCheck(id, id == radioId ? 1 : 0);
        }
        return;
    }
}

} // namespace platform
