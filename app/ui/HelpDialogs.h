// The dialogs of the Help menu: fixed text and one OK button, nothing exchanged. The About
// dialog also draws the application's icon.
#pragma once

#include "platform/Dialog.h"

namespace help {

// A Help menu dialog of any of the help templates.
class CInfoDlg : public platform::Dialog {
public:
    explicit CInfoDlg(const platform::DialogTemplate& shape) : Dialog(shape) {}
    void DoDataExchange(platform::DataExchange& /*exchange*/) override {}
};

// The About dialog draws the application's icon: a low-pass response in a frame.
class CAboutDlg : public CInfoDlg {
public:
    CAboutDlg();
    void DrawPicture(int controlId, platform::DrawContext& dc) override;
};

} // namespace help
