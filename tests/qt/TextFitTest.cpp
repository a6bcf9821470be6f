// Every dialog's texts fit their controls at the default font and at 125 % and 150 %: each
// template is opened through the Qt backend and each static text, button, radio button, check
// box and group title is measured with the font it is drawn in (word-wrapped where the label
// wraps) against the size the backend gave the control. The warnings are measured with the
// reasons the window adds to them.
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/DesignRules.h"
#include "platform/Dialog.h"
#include "platform/qt/QtDialog.h"
#include "resources/AnalysisResources.h"
#include "resources/DesignResources.h"
#include "resources/FilesResources.h"
#include "resources/MeasureBandsResources.h"
#include "resources/Resources.h"
#include "resources/VhdlResources.h"

namespace {

class TemplateOnly : public platform::Dialog {
public:
    using Dialog::Dialog;
    void DoDataExchange(platform::DataExchange& /*exchange*/) override {}
};

// The application font scaled for one test, restored after it.
class ScaledFont {
public:
    explicit ScaledFont(double scale) : m_saved(QApplication::font()) {
        QFont font = m_saved;
        font.setPointSizeF(m_saved.pointSizeF() * scale);
        QApplication::setFont(font);
    }
    ~ScaledFont() { QApplication::setFont(m_saved); }
    ScaledFont(const ScaledFont&) = delete;
    ScaledFont& operator=(const ScaledFont&) = delete;

private:
    QFont m_saved;
};

std::vector<platform::DialogTemplate> EveryTemplate() {
    std::vector<platform::DialogTemplate> all = {
        resources::FreqResponseTemplate(),   resources::InOutWaveTemplate(),
        resources::FftResultTemplate(),      resources::UserWaveHelpTemplate(),
        resources::OnlineHelpTemplate(),     resources::UserCoeffsFormatTemplate(),
        resources::AboutTemplate(),          design::AdjustChoiceTemplate(),
        resources::SaveLoadTemplate(),       resources::ExportTemplate(),
        resources::MeasureBandsTemplate(),   resources::VhdlSourceTemplate(),
        resources::LocateTemplateTemplate(), design::CicDialogTemplate(),
    };
    constexpr int kTypes = 4;
    for (int type = 0; type < kTypes; ++type) {
        for (const design::FirDialogKind kind :
             {design::FirDialogKind::kParameters, design::FirDialogKind::kTapAdjustment,
              design::FirDialogKind::kEdgeAdjustment}) {
            all.push_back(design::FirDialogTemplate(type, kind));
        }
        all.push_back(design::IirDialogTemplate(type));
    }
    for (int kind = 1; kind <= 3; ++kind) { // the FIR kinds on a band table
        all.push_back(design::BandTableTemplate(kind));
    }
    // The warnings the window shows, with the longest reasons it adds.
    const std::vector<std::pair<design::Warning, std::string>> warnings = {
        {design::InvalidCoeffsWarning(), "value 5, '12x', is not a number"},
        {design::MissingHeaderWarning(), "value 1, 'coefficients:', is not a number"},
        {design::InvalidFileNameWarning(), "larger than 4 MiB"},
        {design::InvalidFileNameWarning(), "a FIFO without a writer: not read"},
    };
    for (const auto& [warning, reason] : warnings) {
        std::vector<std::string> lines = warning.lines;
        lines.push_back(reason);
        all.push_back(platform::MakeWarningTemplate(warning.templateId, warning.title, lines));
    }
    return all;
}

QString WithoutMnemonic(QString text) {
    text.remove(QLatin1Char('&'));
    return text;
}

// What does not fit, one line per control; empty when everything fits.
std::vector<std::string> CutOffTexts(const QWidget& dialog) {
    std::vector<std::string> cut;
    const auto report = [&cut](const QWidget& widget, const QString& text, QSize need) {
        cut.push_back(QStringLiteral("'%1' needs %2x%3 in %4x%5")
                          .arg(text)
                          .arg(need.width())
                          .arg(need.height())
                          .arg(widget.width())
                          .arg(widget.height())
                          .toStdString());
    };
    // The line spacing holds room above the capitals and below the descenders; a text may use
    // a little of it beyond the control's edge without losing ink.
    const auto fitsHeight = [](const QFontMetrics& metrics, int textHeight, int height) {
        return textHeight - metrics.leading() <= height + metrics.descent() + metrics.ascent() / 3;
    };
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        const QFontMetrics metrics(label->font());
        const QRect bounds = label->wordWrap()
                                 ? metrics.boundingRect(QRect(0, 0, label->width(), 100000),
                                                        Qt::TextWordWrap, label->text())
                                 : metrics.boundingRect(QRect(), 0, label->text());
        if (bounds.width() > label->width() ||
            !fitsHeight(metrics, bounds.height(), label->height())) {
            report(*label, label->text(), bounds.size());
        }
    }
    for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
        const QFontMetrics metrics(button->font());
        const int need = metrics.horizontalAdvance(WithoutMnemonic(button->text())) +
                         2 * metrics.averageCharWidth();
        if (need > button->width()) {
            report(*button, button->text(), {need, metrics.height()});
        }
    }
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        const bool radio = qobject_cast<const QRadioButton*>(button) != nullptr;
        if (!radio && qobject_cast<const QCheckBox*>(button) == nullptr) {
            continue;
        }
        const QFontMetrics metrics(button->font());
        const QStyle* style = button->style();
        const int need = style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth
                                                  : QStyle::PM_IndicatorWidth,
                                            nullptr, button) +
                         style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing
                                                  : QStyle::PM_CheckBoxLabelSpacing,
                                            nullptr, button) +
                         metrics.horizontalAdvance(WithoutMnemonic(button->text()));
        if (need > button->width() || !fitsHeight(metrics, metrics.height(), button->height())) {
            report(*button, button->text(), {need, metrics.height()});
        }
    }
    for (const QGroupBox* box : dialog.findChildren<QGroupBox*>()) {
        const QFontMetrics metrics(box->font());
        const int need = metrics.horizontalAdvance(box->title()) + 2 * metrics.averageCharWidth();
        if (need > box->width()) {
            report(*box, box->title(), {need, metrics.height()});
        }
    }
    return cut;
}

class TextFit : public ::testing::TestWithParam<double> {};

TEST_P(TextFit, EveryDialogShowsItsTextsWhole) {
    const ScaledFont font(GetParam());
    for (const platform::DialogTemplate& shape : EveryTemplate()) {
        TemplateOnly dialog(shape);
        platform::qt::QtDialog window(dialog, nullptr, "Vantrel");
        // VANTREL_DIALOG_SHOTS names a folder for pictures of the dialogs, to look at.
        if (const char* shots = std::getenv("VANTREL_DIALOG_SHOTS")) {
            window.Controls().grab().save(QStringLiteral("%1/dialog-%2-%3-%4.png")
                                              .arg(QString::fromLocal8Bit(shots))
                                              .arg(shape.id)
                                              .arg(shape.controls.size())
                                              .arg(static_cast<int>(GetParam() * 100)));
        }
        const std::vector<std::string> cut = CutOffTexts(window.Controls());
        std::string listed;
        for (const std::string& line : cut) {
            listed += "\n  " + line;
        }
        EXPECT_TRUE(cut.empty()) << "dialog " << shape.id << " '" << shape.title << "':" << listed;
        // The dialog holds all of its controls.
        for (const QWidget* child :
             window.Controls().findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(window.Controls().rect().contains(child->geometry()))
                << "dialog " << shape.id << ": a control runs past the dialog's edge";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FontScales, TextFit, ::testing::Values(1.0, 1.25, 1.5));

} // namespace
