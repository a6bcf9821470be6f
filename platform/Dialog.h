// A dialog: its template plus a small class whose members are exchanged with the controls.
// Running it is the backend's business (UiHost::RunModal); opening (members to controls) and
// accepting (controls to members, with the checks) are the same code for every backend.
#pragma once

#include <optional>

#include "platform/DataExchange.h"
#include "platform/DialogTemplate.h"

namespace platform {

class Dialog {
public:
    explicit Dialog(DialogTemplate dialog) : m_template(std::move(dialog)) {}
    virtual ~Dialog() = default;

    const DialogTemplate& Template() const { return m_template; }

    // The one exchange of this dialog, used in both directions.
    virtual void DoDataExchange(DataExchange& exchange) = 0;
    // After the members went to the controls: read-only fields, changed labels.
    virtual void OnInitDialog(ControlAccess& /*controls*/) {}
    // Draws the contents of a picture control of the template. The context maps the control's
    // size in dialog units onto its pixels, (0, 0) at its top-left.
    virtual void DrawPicture(int /*controlId*/, DrawContext& /*dc*/) {}
    // A push button other than OK and Cancel was pressed: the dialog stays open, and the handler
    // may read and change its controls.
    virtual void OnButton(int /*controlId*/, ControlAccess& /*controls*/) {}
    // A radio button or check box was clicked (its new state is already in the controls): the
    // dialog may enable or disable the controls that depend on it.
    virtual void OnClicked(int /*controlId*/, ControlAccess& /*controls*/) {}

private:
    DialogTemplate m_template;
};

// Opening: members to controls, then OnInitDialog.
void OpenDialog(Dialog& dialog, ControlAccess& controls);
// OK pressed: controls to members. A failure means the dialog stays open; the backend shows the
// failure's message. Members exchanged before the failing control already hold their new
// values, so a command reads the members only after the dialog returned kIdOk.
std::optional<ExchangeFailure> AcceptDialog(Dialog& dialog, ControlAccess& controls);

} // namespace platform
