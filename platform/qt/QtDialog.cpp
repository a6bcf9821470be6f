#include "platform/qt/QtDialog.h"

#include <QMessageBox>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

#include "platform/qt/QtDrawContext.h"

namespace platform::qt {

QtDialog::QtDialog(Dialog& dialog, QWidget* parent, QString caption)
    : QDialog(parent), m_dialog(dialog),
      m_controls(new QtTemplateWidget(dialog.Template(), this, true)),
      m_caption(std::move(caption)) {
    const DialogTemplate& shape = dialog.Template();
    setWindowTitle(QString::fromStdString(shape.title));
    // A dialog with a control that grows can be resized (never below its template size); any
    // other keeps its template size.
    const auto grows =
        std::find_if(shape.controls.begin(), shape.controls.end(),
                     [](const auto& c) { return (c.style & kStyleGrowWithDialog) != 0; });
    if (grows == shape.controls.end()) {
        setFixedSize(m_controls->size());
    } else {
        m_controls->GrowWith(grows->id, kIdStatic);
        setMinimumSize(m_controls->size());
        resize(m_controls->size());
    }
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
    m_controls->onClicked = [this](int id) { m_dialog.OnClicked(id, *m_controls); };
    OpenDialog(m_dialog, *m_controls);
    DrawPictures();
}

void QtDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_controls->resize(size());
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
