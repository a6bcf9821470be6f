#include "platform/qt/QtTemplateWidget.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSlider>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace platform::qt {

namespace {

QRect ToPixels(const Rect& rect) {
    return {DialogUnitsToPixelsX(rect.x), DialogUnitsToPixelsY(rect.y),
            DialogUnitsToPixelsX(rect.width), DialogUnitsToPixelsY(rect.height)};
}

// The output box keeps "\r\n" line ends in the view's text; the widget shows plain "\n".
QString ToWidgetText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

std::string FromWidgetText(const QString& text) {
    QString stored = text;
    stored.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return stored.toStdString();
}

// A read-only edit looks it: the window's grey instead of the white of a field that takes
// input, and it is left out of the tab order, so a dialog never opens with the focus in it.
// It still takes a click, so its text can be selected and copied.
void ShowReadOnly(QWidget* widget, bool readOnly) {
    auto* line = qobject_cast<QLineEdit*>(widget);
    auto* text = qobject_cast<QPlainTextEdit*>(widget);
    if (line == nullptr && text == nullptr) {
        return;
    }
    if (line != nullptr) {
        line->setReadOnly(readOnly);
    } else {
        text->setReadOnly(readOnly);
    }
    QPalette palette =
        widget->parentWidget() != nullptr ? widget->parentWidget()->palette() : widget->palette();
    if (readOnly) {
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    }
    widget->setPalette(palette);
    widget->setFocusPolicy(readOnly ? Qt::ClickFocus : Qt::StrongFocus);
}

} // namespace

QSize TemplatePixelSize(const DialogTemplate& dialog) {
    return {DialogUnitsToPixelsX(dialog.size.cx), DialogUnitsToPixelsY(dialog.size.cy)};
}

QRect QtTemplateWidget::Place(const Rect& rect) const {
    if (m_scale == 1.0) {
        return ToPixels(rect);
    }
    const QRect home = ToPixels(rect);
    const auto scaled = [this](int pixels) {
        return static_cast<int>(std::lround(pixels * m_scale));
    };
    return {scaled(home.x()), scaled(home.y()), scaled(home.width()), scaled(home.height())};
}

QSize QtTemplateWidget::PlacedSize() const {
    const QSize home = TemplatePixelSize(m_template);
    if (m_scale == 1.0) {
        return home;
    }
    return {static_cast<int>(std::lround(home.width() * m_scale)),
            static_cast<int>(std::lround(home.height() * m_scale))};
}

static QSize TextExtent(const QWidget& widget, const QString& text, int wrapWidth) {
    const QFontMetrics metrics(widget.font());
    if (wrapWidth > 0) {
        return metrics.boundingRect(QRect(0, 0, wrapWidth, QWIDGETSIZE_MAX), Qt::TextWordWrap, text)
            .size();
    }
    return metrics.boundingRect(QRect(), 0, text).size();
}

static QSize NeededTextSize(const QWidget& widget) {
    const QFontMetrics metrics(widget.font());
    const int margin = metrics.averageCharWidth(); // room either side of a button's text
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        return TextExtent(widget, label->text(), label->wordWrap() ? widget.width() : 0);
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
        QString text = button->text();
        text.remove(QLatin1Char('&'));
        const QSize extent = TextExtent(widget, text, 0);
        return {extent.width() + 2 * margin, extent.height()};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        QString text = button->text();
        text.remove(QLatin1Char('&'));
        const QSize extent = TextExtent(widget, text, 0);
        const bool radio = qobject_cast<const QRadioButton*>(&widget) != nullptr;
        const QStyle* style = widget.style();
        const int indicator = style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth
                                                       : QStyle::PM_IndicatorWidth,
                                                 nullptr, &widget);
        const int spacing = style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing
                                                     : QStyle::PM_CheckBoxLabelSpacing,
                                               nullptr, &widget);
        return {indicator + spacing + extent.width(), extent.height()};
    }
    if (const auto* box = qobject_cast<const QGroupBox*>(&widget)) {
        const QSize extent = TextExtent(widget, box->title(), 0);
        return {extent.width() + 2 * margin, 0};
    }
    return {0, 0};
}

double QtTemplateWidget::TextFitFactor() const {
    // A text may reach a little above and below its control: the line spacing of a font holds
    // room over the capitals and under the descenders that the control does not need.
    constexpr double kHeightSlack = 1.4;
    constexpr double kLargest = 3.0;
    double factor = 1.0;
    for (const auto& [control, widget] : m_placed) {
        const QSize needed = NeededTextSize(*widget);
        const QRect home = ToPixels(control->rect);
        if (home.width() <= 0 || home.height() <= 0) {
            continue;
        }
        factor = std::max(factor, static_cast<double>(needed.width()) / home.width());
        factor = std::max(factor, needed.height() / (home.height() * kHeightSlack));
    }
    return std::min(factor, kLargest);
}

namespace {
QImage WhiteImage(QSize size, qreal ratio) {
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    return image;
}
} // namespace

PictureWidget::PictureWidget(QWidget* parent, QSize size, bool sunken)
    : QWidget(parent), m_image(WhiteImage(size, parent->devicePixelRatioF())), m_sunken(sunken) {
    // The picture paints all of itself, so an update never repaints the form beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void PictureWidget::resizeEvent(QResizeEvent* /*event*/) {
    const qreal ratio = devicePixelRatioF();
    if (m_image.deviceIndependentSize().toSize() == size() && m_image.devicePixelRatio() == ratio) {
        return;
    }
    QImage resized = WhiteImage(size(), ratio);
    QPainter painter(&resized);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF(0, 0), resized.deviceIndependentSize()), m_image);
    painter.end();
    m_image = std::move(resized);
    if (onResized) {
        onResized();
    }
}

void PictureWidget::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove) {
        onMouseMove(event->position().toPoint(), size());
    }
    QWidget::mouseMoveEvent(event);
}

void PictureWidget::leaveEvent(QEvent* event) {
    if (onMouseLeave) {
        onMouseLeave();
    }
    QWidget::leaveEvent(event);
}

void PictureWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(QRectF(rect()), m_image);
    if (m_sunken) {
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(0, 0, width() - 1, 0);
        painter.drawLine(0, 0, 0, height() - 1);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
        painter.drawLine(0, height() - 1, width() - 1, height() - 1);
    }
}

QtTemplateWidget::QtTemplateWidget(const DialogTemplate& dialog, QWidget* parent, bool fitText)
    : QWidget(parent), m_template(dialog) {
    setFixedSize(TemplatePixelSize(dialog));
    QButtonGroup* radioGroup = nullptr;
    for (const ControlTemplate& control : m_template.controls) {
        QWidget* widget = Create(control, radioGroup);
        m_placed.emplace_back(&control, widget);
        if (control.id != kIdStatic) {
            m_controls[control.id] = widget;
        }
    }
    if (fitText) {
        const double factor = TextFitFactor();
        if (factor > 1.0) {
            m_scale = factor;
            setFixedSize(PlacedSize());
            for (const auto& [control, widget] : m_placed) {
                widget->setGeometry(Place(control->rect));
            }
        }
    }
    // Group frames stay behind the controls they frame.
    for (QGroupBox* box : findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
        box->lower();
    }
}

QWidget* QtTemplateWidget::Create(const ControlTemplate& control, QButtonGroup*& radioGroup) {
    QWidget* widget = nullptr;
    const QString text = QString::fromStdString(control.text);
    if (control.kind != ControlKind::kRadio) {
        radioGroup = nullptr;
    }
    switch (control.kind) {
    case ControlKind::kEdit:
        if ((control.style & kStyleMultiLine) != 0) {
            auto* edit = new QPlainTextEdit(this);
            edit->setLineWrapMode(QPlainTextEdit::NoWrap);
            if ((control.style & kStyleScrollBars) != 0) {
                edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
                edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            }
            edit->setPlainText(text);
            widget = edit;
        } else {
            auto* edit = new QLineEdit(text, this);
            widget = edit;
        }
        ShowReadOnly(widget, (control.style & kStyleReadOnly) != 0);
        break;
    case ControlKind::kRadio: {
        auto* radio = new QRadioButton(text, this);
        // Groups follow the template, not the parent widget.
        radio->setAutoExclusive(false);
        if (radioGroup == nullptr || (control.style & kStyleGroupStart) != 0) {
            radioGroup = new QButtonGroup(this);
            radioGroup->setExclusive(true);
        }
        radioGroup->addButton(radio, control.id);
        m_radioGroups[control.id] = radioGroup;
        const int id = control.id;
        QObject::connect(radio, &QRadioButton::clicked, this, [this, id] {
            if (onClicked) {
                onClicked(id);
            }
        });
        widget = radio;
        break;
    }
    case ControlKind::kCheckBox: {
        auto* box = new QCheckBox(text, this);
        const int id = control.id;
        QObject::connect(box, &QCheckBox::clicked, this, [this, id] {
            if (onClicked) {
                onClicked(id);
            }
        });
        widget = box;
        break;
    }
    case ControlKind::kSlider: {
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setRange(kSliderMin, kSliderMax);
        widget = slider;
        break;
    }
    case ControlKind::kStaticText: {
        auto* label = new QLabel(text, this);
        // A text with room for two lines or more wraps, as a static text control does.
        constexpr int kTwoLines = 2;
        label->setWordWrap(ToPixels(control.rect).height() >=
                           kTwoLines * label->fontMetrics().lineSpacing());
        widget = label;
        break;
    }
    case ControlKind::kGroupBox:
        widget = new QGroupBox(text, this);
        break;
    case ControlKind::kPicture:
        widget = new PictureWidget(this, ToPixels(control.rect).size(),
                                   (control.style & kStyleSunken) != 0);
        break;
    case ControlKind::kPushButton:
    case ControlKind::kDefaultPushButton: {
        auto* button = new QPushButton(text, this);
        button->setDefault(control.kind == ControlKind::kDefaultPushButton);
        const int id = control.id;
        QObject::connect(button, &QPushButton::clicked, this, [this, id] {
            if (onButton) {
                onButton(id);
            }
        });
        widget = button;
        break;
    }
    }
    widget->setGeometry(ToPixels(control.rect));
    if ((control.style & kStyleFixedPitch) != 0) {
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPointSizeF(widget->font().pointSizeF());
        widget->setFont(fixed);
    }
    if (control.id != kIdStatic) {
        widget->setObjectName(QStringLiteral("control%1").arg(control.id));
    }
    return widget;
}

void QtTemplateWidget::GrowWith(int growing, int below) {
    m_growing = growing;
    m_below = below;
    setMinimumSize(PlacedSize());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void QtTemplateWidget::SetGrowthBase(QSize base) {
    m_growthBase = base;
    LayOutGrowing();
}

void QtTemplateWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOutGrowing();
}

void QtTemplateWidget::LayOutGrowing() {
    QWidget* growing = Control(m_growing);
    QWidget* below = Control(m_below);
    if (growing == nullptr) {
        return;
    }
    // Extra room over the template size: the plot takes all the width and three quarters of the
    // height; the box under it the rest of the height.
    constexpr int kGrowingShare = 3;
    constexpr int kShares = 4;
    const QSize base = m_growthBase.isValid() ? m_growthBase : PlacedSize();
    const QSize extra = (size() - base).expandedTo(QSize(0, 0));
    const int growHeight =
        below == nullptr ? extra.height() : extra.height() * kGrowingShare / kShares;
    for (const ControlTemplate& control : m_template.controls) {
        const QRect home = Place(control.rect);
        if (control.id == m_growing) {
            growing->setGeometry(home.adjusted(0, 0, extra.width(), growHeight));
        } else if (control.id == m_below && below != nullptr) {
            below->setGeometry(home.translated(0, growHeight)
                                   .adjusted(0, 0, extra.width(), extra.height() - growHeight));
        }
    }
}

void QtTemplateWidget::RequestViewPaint() {
    m_viewPaintRequested = true;
    update();
}

void QtTemplateWidget::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    const bool wholeWidget = QRegion(rect()).subtracted(event->region()).isEmpty();
    if (!m_viewPaintRequested && !wholeWidget) {
        return;
    }
    m_viewPaintRequested = false;
    if (onPaint) {
        onPaint();
    }
}

QWidget* QtTemplateWidget::Control(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

PictureWidget* QtTemplateWidget::Picture(int id) const {
    return dynamic_cast<PictureWidget*>(Control(id));
}

std::string QtTemplateWidget::GetText(int id) const {
    QWidget* widget = Control(id);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        return FromWidgetText(edit->toPlainText());
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return edit->text().toStdString();
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text().toStdString();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text().toStdString();
    }
    return {};
}

void QtTemplateWidget::SetText(int id, const std::string& text) {
    QWidget* widget = Control(id);
    const QString shown = ToWidgetText(text);
    // Unchanged text is left alone: setting it would repaint the form, and a repaint of the
    // form pushes the view fields again.
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        if (edit->toPlainText() != shown) {
            edit->setPlainText(shown);
        }
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        if (line->text() != shown) {
            line->setText(shown);
        }
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text() != shown) {
            label->setText(shown);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (button->text() != shown) {
            button->setText(shown);
        }
    }
}

int QtTemplateWidget::GetCheck(int id) const {
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    return button != nullptr && button->isChecked() ? 1 : 0;
}

void QtTemplateWidget::SetCheck(int id, int check) {
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    if (button == nullptr || button->isChecked() == (check != 0)) {
        return;
    }
    const auto group = m_radioGroups.find(id);
    if (group == m_radioGroups.end()) {
        button->setChecked(check != 0);
        return;
    }
    // An exclusive group cannot clear its checked button; the exchange may ask for that.
    group->second->setExclusive(false);
    button->setChecked(check != 0);
    group->second->setExclusive(true);
}

int QtTemplateWidget::GetSliderPos(int id) const {
    auto* slider = qobject_cast<QSlider*>(Control(id));
    return slider == nullptr ? kSliderMin : slider->value();
}

void QtTemplateWidget::SetSliderPos(int id, int pos) {
    if (auto* slider = qobject_cast<QSlider*>(Control(id))) {
        slider->setValue(pos);
    }
}

void QtTemplateWidget::SetReadOnly(int id, bool readOnly) {
    ShowReadOnly(Control(id), readOnly);
}

void QtTemplateWidget::SetEnabled(int id, bool enabled) {
    if (QWidget* widget = Control(id)) {
        widget->setEnabled(enabled);
    }
}

void QtTemplateWidget::SetFocus(int id) {
    QWidget* widget = Control(id);
    if (widget == nullptr) {
        return;
    }
    widget->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->selectAll();
    }
}

} // namespace platform::qt
