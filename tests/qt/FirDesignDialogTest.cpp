// The FIR Design dialog and the band table on Qt widgets: the kind and method radios enable the
// fields each is designed with as they are clicked, and the band table's Add band button and
// its check work on the real controls (a bad table keeps the dialog open with its entries).
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <string>

#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "dsp/FirDesign.h"
#include "dsp/FirMethods.h"
#include "platform/qt/QtDialog.h"

namespace {

namespace ids = design;

template <class Widget> Widget* Control(platform::qt::QtDialog& window, int id) {
    return window.Controls().findChild<Widget*>(QStringLiteral("control%1").arg(id));
}

// Presses OK on the message box that the next check failure opens, and keeps its text.
void AnswerNextMessageBox(QString& text) {
    QTimer::singleShot(10, [&text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            AnswerNextMessageBox(text); // not up yet
            return;
        }
        text = box->text();
        box->accept();
    });
}

TEST(FirDesignQtDialog, KindAndMethodEnableTheirFieldsAsClicked) {
    COlvexDoc doc;
    ids::CFirDesignDialog dialog(kLpf, ids::FirDialogKind::kParameters);
    dialog.Fill(doc, doc.m_nTaps);
    platform::qt::QtDialog window(dialog, nullptr, "Olvex");
    window.show();
    auto* requirements = Control<QCheckBox>(window, ids::kIdcFromRequirements);
    ASSERT_NE(requirements, nullptr);
    const auto enabled = [&window](int id) {
        QWidget* widget = Control<QWidget>(window, id);
        EXPECT_NE(widget, nullptr) << id;
        return widget != nullptr && widget->isEnabled();
    };
    const auto click = [&window](int id) {
        auto* button = Control<QAbstractButton>(window, id);
        ASSERT_NE(button, nullptr) << id;
        button->click();
    };
    // Each step clicks one control; then the fields it governs.
    const struct {
        const char* step;
        int clicked; // 0: none (as opened)
        bool rr, beta, taps, edges, method, requirementsBox;
    } steps[] = {
        {"opened: Remez", 0, true, false, true, true, true, true},
        {"Kaiser window", ids::kIdcFirMethod + dsp::kFirKaiser, false, true, true, true, true,
         true},
        {"least squares", ids::kIdcFirMethod + dsp::kFirLeastSquares, true, false, true, true, true,
         true},
        {"Kaiser again", ids::kIdcFirMethod + dsp::kFirKaiser, false, true, true, true, true, true},
        {"from requirements", ids::kIdcFromRequirements, false, false, false, true, true, true},
        {"Hilbert transformer", ids::kIdcFirKind + static_cast<int>(dsp::FirKind::kHilbert), false,
         false, true, false, false, false},
        {"back to the type", ids::kIdcFirKind, false, true, true, true, true, true},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        if (s.clicked != 0) {
            click(s.clicked);
        }
        EXPECT_EQ(enabled(ids::kIdcRR), s.rr);
        EXPECT_EQ(enabled(ids::kIdcKaiserBeta), s.beta);
        EXPECT_EQ(enabled(ids::kIdcTaps), s.taps);
        EXPECT_EQ(enabled(ids::kIdcFc1), s.edges);
        EXPECT_EQ(enabled(ids::kIdcFc2), s.edges);
        EXPECT_EQ(enabled(ids::kIdcFirMethod + dsp::kFirLeastSquares), s.method);
        EXPECT_EQ(enabled(ids::kIdcFromRequirements), s.requirementsBox);
        EXPECT_TRUE(enabled(ids::kIdcFs));
        EXPECT_TRUE(enabled(ids::kIdcMultiplier));
    }
    // The band table's kind turned the requirements mode off.
    EXPECT_FALSE(requirements->isChecked());
    EXPECT_TRUE(window.PressOk());
    EXPECT_EQ(dialog.m_nFirKind, 0);
    EXPECT_EQ(dialog.m_nFirMethod, dsp::kFirKaiser);
    EXPECT_EQ(dialog.m_bFromRequirements, 0);
}

TEST(FirDesignQtDialog, BandTableRefusesAnOverlapAndKeepsTheEntries) {
    COlvexDoc doc;
    ids::CBandTableDialog dialog(static_cast<int>(dsp::FirKind::kHilbert));
    dialog.Fill(doc, 1000.0);
    platform::qt::QtDialog window(dialog, nullptr, "Olvex");
    window.show();
    EXPECT_EQ(window.windowTitle(), "FIR Hilbert Transformer");
    auto* count = Control<QLineEdit>(window, ids::kIdcBandCount);
    auto* add = Control<QPushButton>(window, ids::kIdcAddBand);
    auto* remove = Control<QPushButton>(window, ids::kIdcRemoveBand);
    ASSERT_TRUE(count && add && remove);
    EXPECT_EQ(count->text(), "1");
    EXPECT_FALSE(remove->isEnabled());
    auto* from2 = Control<QLineEdit>(window, ids::BandCellId(1, ids::kBandFrom));
    ASSERT_NE(from2, nullptr);
    EXPECT_FALSE(from2->isEnabled());
    EXPECT_EQ(Control<QLineEdit>(window, ids::BandCellId(0, ids::kBandFrom))->text(), "50");
    EXPECT_EQ(Control<QLineEdit>(window, ids::BandCellId(0, ids::kBandTo))->text(), "450");

    add->click();
    EXPECT_EQ(count->text(), "2");
    EXPECT_TRUE(from2->isEnabled());
    EXPECT_TRUE(remove->isEnabled());
    const char* const row[ids::kBandTableColumns] = {"400", "480", "1", "1"};
    for (int c = 0; c < ids::kBandTableColumns; ++c) {
        Control<QLineEdit>(window, ids::BandCellId(1, c))->setText(row[c]);
    }
    QString message;
    AnswerNextMessageBox(message);
    EXPECT_FALSE(window.PressOk());
    EXPECT_EQ(message, "Band 2 starts at 400 Hz, inside Band 1 (up to 450 Hz): bands must ascend "
                       "without overlapping.");
    EXPECT_TRUE(window.isVisible()) << "the dialog stays open";
    EXPECT_EQ(from2->text(), "400");
    EXPECT_EQ(Control<QLineEdit>(window, ids::BandCellId(1, ids::kBandTo))->text(), "480");

    from2->setText("455");
    EXPECT_TRUE(window.PressOk());
    EXPECT_EQ(dialog.m_nBands, 2);
    EXPECT_EQ(dialog.m_aFrom[1], 455.0);
    EXPECT_EQ(dialog.m_aTo[1], 480.0);
}

TEST(FirDesignQtDialog, TheRateFactorIsRefusedOutOfRangeAndNothingTypedIsLost) {
    COlvexDoc doc;
    ids::CFirDesignDialog dialog(kLpf, ids::FirDialogKind::kParameters);
    dialog.Fill(doc, doc.m_nTaps);
    platform::qt::QtDialog window(dialog, nullptr, "Olvex");
    window.show();
    auto* factor = Control<QLineEdit>(window, ids::kIdcRateFactor);
    auto* single = Control<QRadioButton>(window, ids::kIdcRateKind + COlvexDoc::kSingleRate);
    auto* decimate = Control<QRadioButton>(window, ids::kIdcRateKind + COlvexDoc::kDecimate);
    auto* interpolate = Control<QRadioButton>(window, ids::kIdcRateKind + COlvexDoc::kInterpolate);
    ASSERT_TRUE(factor && single && decimate && interpolate);
    EXPECT_TRUE(single->isChecked()) << "single rate by default";
    EXPECT_FALSE(factor->isEnabled());
    decimate->click();
    EXPECT_TRUE(factor->isEnabled());
    Control<QLineEdit>(window, ids::kIdcTaps)->setText("61");
    Control<QLineEdit>(window, ids::kIdcFc1)->setText("40");
    Control<QLineEdit>(window, ids::kIdcFc2)->setText("80");
    // Each refused entry keeps the dialog open with every field as typed.
    const struct {
        int radio;
        const char* typed;
        const char* message;
    } refused[] = {
        {COlvexDoc::kDecimate, "65", "Decimate by: the factor must be an integer from 2 to 64."},
        {COlvexDoc::kDecimate, "1", "Decimate by: the factor must be an integer from 2 to 64."},
        {COlvexDoc::kInterpolate, "4.5",
         "Interpolate by: the factor must be an integer from 2 to 64."},
        {COlvexDoc::kInterpolate, "",
         "Interpolate by: the factor must be an integer from 2 to 64."},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.typed);
        Control<QRadioButton>(window, ids::kIdcRateKind + r.radio)->click();
        factor->setText(r.typed);
        QString message;
        AnswerNextMessageBox(message);
        EXPECT_FALSE(window.PressOk());
        EXPECT_EQ(message, r.message);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(factor->text(), r.typed);
        EXPECT_EQ(Control<QLineEdit>(window, ids::kIdcTaps)->text(), "61");
        EXPECT_EQ(Control<QLineEdit>(window, ids::kIdcFc1)->text(), "40");
        EXPECT_TRUE(Control<QRadioButton>(window, ids::kIdcRateKind + r.radio)->isChecked());
    }
    factor->setText("8");
    decimate->click();
    EXPECT_TRUE(window.PressOk());
    EXPECT_EQ(dialog.m_nRateKind, COlvexDoc::kDecimate);
    EXPECT_EQ(dialog.m_nRateFactor, 8);
    EXPECT_EQ(dialog.m_nTaps, 61);
}

TEST(FirDesignQtDialog, SingleRateLeavesABadFactorAlone) {
    COlvexDoc doc;
    doc.m_nRateFactor = 16;
    ids::CFirDesignDialog dialog(kLpf, ids::FirDialogKind::kParameters);
    dialog.Fill(doc, doc.m_nTaps);
    platform::qt::QtDialog window(dialog, nullptr, "Olvex");
    window.show();
    auto* factor = Control<QLineEdit>(window, ids::kIdcRateFactor);
    ASSERT_NE(factor, nullptr);
    EXPECT_EQ(factor->text(), "16");
    factor->setText("500");
    EXPECT_TRUE(window.PressOk()) << "the disabled factor is not checked";
    EXPECT_EQ(dialog.m_nRateKind, COlvexDoc::kSingleRate);
    EXPECT_EQ(dialog.m_nRateFactor, 16);
}

} // namespace
