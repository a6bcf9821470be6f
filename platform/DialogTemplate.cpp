#include "platform/DialogTemplate.h"

namespace platform {

const ControlTemplate* DialogTemplate::Find(int controlId) const {
    if (controlId == kIdStatic) {
        return nullptr;
    }
    for (const ControlTemplate& control : controls) {
        if (control.id == controlId) {
            return &control;
        }
    }
    return nullptr;
}

std::vector<int> DialogTemplate::RadioGroup(int firstId) const {
    std::vector<int> group;
    bool inGroup = false;
    for (const ControlTemplate& control : controls) {
        if (!inGroup) {
            if (control.id == firstId && control.kind == ControlKind::kRadio) {
                inGroup = true;
                group.push_back(control.id);
            }
            continue;
        }
        // The group runs over the following radio buttons up to the next group start.
        if (control.kind != ControlKind::kRadio || (control.style & kStyleGroupStart) != 0) {
            break;
        }
        group.push_back(control.id);
    }
    return group;
}

namespace {
// Layout of the generated warning dialogs, in dialog units.
constexpr int kWarningMargin = 10;
constexpr int kWarningLineHeight = 10;
constexpr int kWarningLineGap = 4;
constexpr int kWarningWidth = 200;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
} // namespace

DialogTemplate MakeWarningTemplate(int id, const std::string& title,
                                   const std::vector<std::string>& lines) {
    DialogTemplate dialog;
    dialog.id = id;
    dialog.title = title;
    dialog.centered = true;
    int y = kWarningMargin;
    for (const std::string& line : lines) {
        dialog.controls.push_back(
            {kIdStatic,
             ControlKind::kStaticText,
             line,
             {kWarningMargin, y, kWarningWidth - 2 * kWarningMargin, kWarningLineHeight}});
        y += kWarningLineHeight + kWarningLineGap;
    }
    y += kWarningLineGap;
    dialog.controls.push_back(
        {kIdOk,
         ControlKind::kDefaultPushButton,
         "OK",
         {(kWarningWidth - kButtonWidth) / 2, y, kButtonWidth, kButtonHeight}});
    dialog.size = {kWarningWidth, y + kButtonHeight + kWarningMargin};
    return dialog;
}

} // namespace platform
