// A modal QDialog built from a dialog template and driven by the dialog's data exchange: the
// members go to the controls when it opens; OK runs the checks and keeps the dialog open with
// the check's message when one fails.
#pragma once

#include <QDialog>

#include "platform/Dialog.h"
#include "platform/qt/QtTemplateWidget.h"

namespace platform::qt {

class QtDialog : public QDialog {
public:
    // caption: the title of the check message boxes (the application's name).
    QtDialog(Dialog& dialog, QWidget* parent, QString caption);

    QtTemplateWidget& Controls() { return *m_controls; }
    // Presses OK: runs the checks; true when the dialog was accepted.
    bool PressOk();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Lets the dialog draw each of its picture controls.
    void DrawPictures();

    Dialog& m_dialog;
    QtTemplateWidget* m_controls;
    QString m_caption;
};

} // namespace platform::qt
