#include "platform/qt/QtDialog.h"

#include <QMessageBox>
#include <QPainter>

#include "platform/qt/QtDrawContext.h"

namespace platform::qt {

QtDialog::QtDialog(Dialog& dialog, QWidget* parent, QString caption)
    : QDialog(parent), m_dialog(dialog), m_controls(new QtTemplateWidget(dialog.Template(), this)),
      m_caption(std::move(caption)) {
    const DialogTemplate& shape = dialog.Template();
    setWindowTitle(QString::fromStdString(shape.title));
    setFixedSize(m_controls->size());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    if (!shape.centered) {
        move(shape.screenPosition.x, shape.screenPosition.y);
    }
    m_controls->onButton = [this](int id) {
        if (id == kIdOk) {
            PressOk();
        } else if (id == kIdCancel) {
            reject();
        } else {
            m_dialog.OnButton(id, *m_controls);
        }
    };
    OpenDialog(m_dialog, *m_controls);
    DrawPictures();
}

void QtDialog::DrawPictures() {
    for (const ControlTemplate& control : m_dialog.Template().controls) {
        PictureWidget* picture =
            control.kind == ControlKind::kPicture ? m_controls->Picture(control.id) : nullptr;
        if (picture == nullptr) {
            continue;
        }
        QPainter painter(&picture->Image());
        painter.setRenderHint(QPainter::Antialiasing);
        QtDrawContext dc(painter);
        dc.SetWindowExt({control.rect.width, control.rect.height});
        const QSize shown = picture->Image().deviceIndependentSize().toSize();
        dc.SetViewportExt({shown.width(), shown.height()});
        m_dialog.DrawPicture(control.id, dc);
    }
}

bool QtDialog::PressOk() {
    const std::optional<ExchangeFailure> failure = AcceptDialog(m_dialog, *m_controls);
    if (failure) {
        QMessageBox::warning(this, m_caption, QString::fromStdString(failure->message));
        m_controls->SetFocus(failure->controlId);
        return false;
    }
    accept();
    return true;
}

} // namespace platform::qt
