#include "platform/Dialog.h"

namespace platform {

void OpenDialog(Dialog& dialog, ControlAccess& controls) {
    DataExchange exchange(DataExchange::Direction::kToControls, controls, dialog.Template());
    dialog.DoDataExchange(exchange);
    dialog.OnInitDialog(controls);
}

std::optional<ExchangeFailure> AcceptDialog(Dialog& dialog, ControlAccess& controls) {
    DataExchange exchange(DataExchange::Direction::kFromControls, controls, dialog.Template());
    dialog.DoDataExchange(exchange);
    return exchange.Failure();
}

} // namespace platform
