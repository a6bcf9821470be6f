// A widget built from a dialog template: one child widget per control at its template position
// (dialog units times one fixed factor), with the control states readable and writable by id.
// Used for the form of the main window and inside every dialog.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "platform/ControlAccess.h"

class QButtonGroup;

namespace platform::qt {

// A picture control: shows an image that drawing contexts paint into; starts plain white. The
// image has the widget's size in device pixels (twice as many on a screen of ratio 2), so what
// is drawn into it stays crisp; a resize keeps the old picture, stretched, and calls onResized so
// that its owner redraws it at the new size at once.
class PictureWidget : public QWidget {
public:
    PictureWidget(QWidget* parent, QSize size, bool sunken);
    QImage& Image() { return m_image; }

    // The mouse moved over the picture (widget pixels) or left it.
    std::function<void(QPoint at, QSize size)> onMouseMove;
    std::function<void()> onMouseLeave;
    // The picture changed size; the image already has the new size.
    std::function<void()> onResized;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QImage m_image;
    bool m_sunken;
};

class QtTemplateWidget : public QWidget, public ControlAccess {
public:
    // With fitText, a dialog whose texts do not fit their controls at the current font (a larger
    // font, a long reason in a warning) is laid out larger: every control and the dialog grow by
    // one factor, so the texts fit and the controls keep their places relative to each other.
    // Static texts tall enough for two lines wrap at word boundaries.
    QtTemplateWidget(const DialogTemplate& dialog, QWidget* parent, bool fitText = false);
    // The factor the fit applied (1 when the texts fitted the template's own sizes).
    double Scale() const { return m_scale; }

    const DialogTemplate& Template() const { return m_template; }
    QWidget* Control(int id) const;
    PictureWidget* Picture(int id) const;

    // A push button was clicked.
    std::function<void(int id)> onButton;
    // A radio button or check box was clicked.
    std::function<void(int id)> onClicked;
    // The view is repainted: after RequestViewPaint, or when the whole widget is painted
    // (shown, resized, uncovered). Child controls repainting themselves over the form do not
    // count: a radio button's repaint after a click must not run the view's paint handler.
    std::function<void()> onPaint;
    // Schedules a repaint of the whole widget that runs onPaint.
    void RequestViewPaint();
    // Lets the widget grow beyond its template size: `growing` takes all the extra width and
    // most of the extra height; `below` (under it) moves down, widens and takes the rest.
    void GrowWith(int growing, int below);
    // The size at which the controls stand at their template places (the default: the template's
    // own size); growth is measured from it.
    void SetGrowthBase(QSize base);

    std::string GetText(int id) const override;
    void SetText(int id, const std::string& text) override;
    int GetCheck(int id) const override;
    void SetCheck(int id, int check) override;
    int GetSliderPos(int id) const override;
    void SetSliderPos(int id, int pos) override;
    void SetReadOnly(int id, bool readOnly) override;
    void SetEnabled(int id, bool enabled) override;
    void SetFocus(int id) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* Create(const ControlTemplate& control, QButtonGroup*& radioGroup);
    QRect Place(const Rect& rect) const;
    QSize PlacedSize() const;
    // How much larger the controls must be for their texts to fit (1 when they fit).
    double TextFitFactor() const;
    double m_scale = 1.0;
    std::vector<std::pair<const ControlTemplate*, QWidget*>> m_placed;

    DialogTemplate m_template;
    bool m_viewPaintRequested = false;
    int m_growing = kIdStatic;
    int m_below = kIdStatic;
    QSize m_growthBase;
    void LayOutGrowing();
    std::map<int, QWidget*> m_controls;
    std::map<int, QButtonGroup*> m_radioGroups; // radio id -> its group
};

// Size of a template's client area in pixels.
QSize TemplatePixelSize(const DialogTemplate& dialog);

} // namespace platform::qt
