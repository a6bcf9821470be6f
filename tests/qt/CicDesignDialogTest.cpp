// The CIC Design dialog on Qt widgets: an entry out of range keeps the dialog open with the
// filter's own message and every entry as typed; the decimator's options follow the rate radios.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
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
            AnswerNextMessageBox(text);
            return;
        }
        text = box->text();
        box->accept();
    });
}

TEST(CicDesignQtDialog, OutOfRangeIsRefusedAndNothingTypedIsLost) {
    COlvexDoc doc;
    ids::CCicDesignDialog dialog;
    dialog.Fill(doc);
    platform::qt::QtDialog window(dialog, nullptr, "Olvex");
    window.show();
    const int edits[] = {ids::kIdcCicRate, ids::kIdcCicStages, ids::kIdcCicDelay,
                         ids::kIdcCicDataBits, ids::kIdcCicEdge};
    for (int id : edits) {
        ASSERT_NE(Control<QLineEdit>(window, id), nullptr) << id;
    }
    EXPECT_EQ(Control<QLineEdit>(window, ids::kIdcCicRate)->text(), "8");
    auto* interpolate = Control<QRadioButton>(window, ids::kIdcCicKind + 1);
    auto* decimate = Control<QRadioButton>(window, ids::kIdcCicKind);
    auto* prune = Control<QCheckBox>(window, ids::kIdcCicPrune);
    auto* pipeline = Control<QCheckBox>(window, ids::kIdcCicPipeline);
    ASSERT_TRUE(interpolate && decimate && prune && pipeline);
    EXPECT_TRUE(decimate->isChecked());
    EXPECT_TRUE(prune->isEnabled());
    interpolate->click();
    EXPECT_FALSE(prune->isEnabled()) << "pruning is a decimator's";
    EXPECT_FALSE(pipeline->isEnabled());
    decimate->click();
    pipeline->click();
    EXPECT_FALSE(prune->isEnabled()) << "one of the two options at a time";
    pipeline->click();

    const struct {
        int id;
        const char* typed;
        const char* message;
    } refused[] = {
        {ids::kIdcCicRate, "1025", "The rate change must be 2 to 1024."},
        {ids::kIdcCicRate, "x", "The rate change must be an integer."},
        {ids::kIdcCicStages, "9", "The stage count must be 1 to 8."},
        {ids::kIdcCicDelay, "0", "The differential delay must be 1 or 2."},
        {ids::kIdcCicDataBits, "30", "The data bit length must be 4 to 24."},
        {ids::kIdcCicEdge, "0.51",
         "The pass-band edge must be above 0 and at most 0.5 (cycles per sample of the low "
         "rate)."},
    };
    const char* good[] = {"64", "5", "2", "18", "0.2"};
    for (size_t i = 0; i < std::size(edits); ++i) {
        Control<QLineEdit>(window, edits[i])->setText(good[i]);
    }
    for (const auto& r : refused) {
        SCOPED_TRACE(r.typed);
        auto* edit = Control<QLineEdit>(window, r.id);
        const QString kept = edit->text();
        edit->setText(r.typed);
        QString message;
        AnswerNextMessageBox(message);
        EXPECT_FALSE(window.PressOk());
        EXPECT_EQ(message, r.message);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(edit->text(), r.typed);
        for (size_t i = 0; i < std::size(edits); ++i) {
            if (edits[i] != r.id) {
                EXPECT_EQ(Control<QLineEdit>(window, edits[i])->text(), good[i]) << edits[i];
            }
        }
        EXPECT_EQ(dialog.m_nRate, 8) << "nothing is taken from a refused dialog";
        edit->setText(kept);
    }
    EXPECT_TRUE(window.PressOk());
    EXPECT_EQ(dialog.m_nRate, 64);
    EXPECT_EQ(dialog.m_nStages, 5);
    EXPECT_EQ(dialog.m_nDelay, 2);
    EXPECT_EQ(dialog.m_nDataBits, 18);
    EXPECT_EQ(dialog.m_dEdge, 0.2);
    EXPECT_EQ(dialog.m_nKind, 0);
}

} // namespace
