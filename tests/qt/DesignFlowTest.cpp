// The main flow in the window under the offscreen platform: Design opens the FIR dialog with its
// picture drawn, OK designs and puts the prompt into the output box, Coefficients lists the
// report, a design that stopped at the iteration limit says so in the status bar, and the IIR
// dialog's method radios enable the fields of the method clicked.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/CoefficientsCommands.h"
#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/qt/MainFrame.h"
#include "app/ui/DesignDialogs.h"
#include "dsp/Iir.h"
#include "dsp/MeasureReport.h"
#include "platform/qt/QtTemplateWidget.h"
#include "resources/Resources.h"

namespace {

// Acts on the next modal dialog as soon as it is shown (the click that opens it blocks in
// exec()). The polling timer deletes itself after the action.
void OnNextDialog(std::function<void(QDialog&)> action) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(*dialog);
        }
    });
    timer->start(10);
}

void SetField(QDialog& dialog, int id, const QString& text) {
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("control%1").arg(id));
    ASSERT_NE(edit, nullptr) << id;
    edit->setText(text);
}

void PressOk(QDialog& dialog) {
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("control%1").arg(platform::kIdOk));
    ASSERT_NE(ok, nullptr);
    QTest::mouseClick(ok, Qt::LeftButton);
}

struct DesignFlowFixture : ::testing::Test {
    COlvexDoc doc;
    CMainFrame frame{doc};
    DesignFlowFixture() {
        doc.m_fnConsole = [](const std::string&) {};
        frame.ShowAndUpdate();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
    }
    void Click(int id) {
        QWidget* w = frame.Form().Control(id);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, w->height() / 2));
    }
    QString Output() {
        return qobject_cast<QPlainTextEdit*>(frame.Form().Control(resources::kIdcOutput))
            ->toPlainText();
    }
    QString StatusText() { return frame.findChild<QLabel*>("messagePane")->text(); }
};

TEST_F(DesignFlowFixture, DesignThenCoefficients) {
    QString title;
    int pictureInk = 0;
    OnNextDialog([&](QDialog& dialog) {
        title = dialog.windowTitle();
        // The picture at the top is drawn: count its non-white pixels.
        auto* picture = dialog.findChild<platform::qt::PictureWidget*>(
            QStringLiteral("control%1").arg(design::kIdcTypePicture));
        if (picture != nullptr) {
            const QImage& image = picture->Image();
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    pictureInk += image.pixel(x, y) != qRgb(255, 255, 255);
                }
            }
        }
        PressOk(dialog);
    });
    Click(resources::kIdcDesign);
    EXPECT_EQ(title, "FIR Low Pass Filter");
    EXPECT_GT(pictureInk, 500);
    EXPECT_EQ(Output(), "Click 'Coefficients' to get coefficients!!\n");
    EXPECT_EQ(frame.View().m_strOutput, "Click 'Coefficients' to get coefficients!!\r\n");
    EXPECT_EQ(doc.m_nTaps, 90);
    EXPECT_NE(doc.m_aFirCoeffs[45], 0.0);
    // A good design puts its measured bands into the status bar.
    EXPECT_EQ(StatusText().toStdString(), commands::MeasurementsSummary(doc, false));

    OnNextDialog([](QDialog& dialog) { PressOk(dialog); });
    Click(resources::kIdcCoefficients);
    const QStringList lines = Output().split('\n');
    ASSERT_EQ(lines.size(), 92); // header, 90 taps, and the empty piece after the last line end
    EXPECT_EQ(lines[0], "Data is Real : 1.0 => 1.0");
    EXPECT_TRUE(lines[1].startsWith("h[  0] =")) << lines[1].toStdString();
    EXPECT_EQ(frame.View().m_bCoeffsListed, 1);
}

TEST_F(DesignFlowFixture, IterationLimitShowsInTheStatusBar) {
    // A low pass whose optimum lies beyond double precision stops at the iteration limit; the
    // window's status bar says so and names the ripple reached against the target.
    Click(resources::kIdcLpf);
    OnNextDialog([](QDialog& dialog) {
        SetField(dialog, design::kIdcFc1, "56");
        SetField(dialog, design::kIdcFc2, "113");
        SetField(dialog, design::kIdcRR, "6.5");
        SetField(dialog, design::kIdcTaps, "252");
        PressOk(dialog);
    });
    Click(resources::kIdcDesign);
    EXPECT_EQ(doc.m_nFilterType, 0);
    ASSERT_EQ(doc.m_bOptimumReached, 0);
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, " Weighted ripple %.4g, target %.4g.",
                  doc.m_dAchievedRipple, doc.m_dTargetRipple);
    EXPECT_EQ(StatusText().toStdString(),
              std::string("Reached maximum iteration count. Results may be bad.") + numbers);
    EXPECT_EQ(Output(), "Click 'Coefficients' to get coefficients!!\n");
}

bool Enabled(QDialog& dialog, int id) {
    auto* widget = dialog.findChild<QWidget*>(QStringLiteral("control%1").arg(id));
    return widget != nullptr && widget->isEnabled();
}

void ClickRadio(QDialog& dialog, int id) {
    auto* radio = dialog.findChild<QRadioButton*>(QStringLiteral("control%1").arg(id));
    ASSERT_NE(radio, nullptr) << id;
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(5, radio->height() / 2));
}

TEST_F(DesignFlowFixture, IirMethodRadiosEnableTheirFieldsAndDesign) {
    Click(resources::kIdcLpf);
    Click(resources::kIdcIir);
    struct Fields {
        bool ripple, atten, requirements;
    };
    std::vector<Fields> seen; // Chebyshev I as opened, then Bessel, Chebyshev II, elliptic
    bool requirementsClearedByBessel = false;
    OnNextDialog([&](QDialog& dialog) {
        const auto record = [&] {
            seen.push_back({Enabled(dialog, design::kIdcRipple),
                            Enabled(dialog, design::kIdcIirAttenuation),
                            Enabled(dialog, design::kIdcFromRequirements)});
        };
        record();
        auto* requirements = dialog.findChild<QAbstractButton*>(
            QStringLiteral("control%1").arg(design::kIdcFromRequirements));
        ASSERT_NE(requirements, nullptr);
        QTest::mouseClick(requirements, Qt::LeftButton, {}, QPoint(5, requirements->height() / 2));
        ClickRadio(dialog, design::kIdcIirMethod + dsp::kIirBessel);
        requirementsClearedByBessel = !requirements->isChecked();
        record();
        ClickRadio(dialog, design::kIdcIirMethod + dsp::kIirCheby2);
        record();
        ClickRadio(dialog, design::kIdcIirMethod + dsp::kIirEllip);
        record();
        SetField(dialog, design::kIdcIirAttenuation, "55");
        PressOk(dialog);
    });
    Click(resources::kIdcDesign);
    ASSERT_EQ(seen.size(), 4u);
    const Fields expected[] = {
        {true, false, true}, {false, false, false}, {false, true, true}, {true, true, true}};
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].ripple, expected[i].ripple);
        EXPECT_EQ(seen[i].atten, expected[i].atten);
        EXPECT_EQ(seen[i].requirements, expected[i].requirements);
    }
    EXPECT_TRUE(requirementsClearedByBessel);
    EXPECT_EQ(doc.m_nIirMethod, dsp::kIirEllip);
    EXPECT_EQ(doc.m_dIirAttenDb, 55.0);
    // The sections are the elliptic ones of the dialog's values, not Chebyshev I's.
    dsp::IirCascade elliptic;
    ASSERT_TRUE(dsp::DesignIirCascade({0, doc.m_nIirSections, doc.m_dRippleDb, doc.m_fs,
                                       doc.m_dIirFc1, doc.m_dIirFc2, dsp::kIirEllip, 55.0},
                                      elliptic));
    for (int j = 0; j < doc.m_nIirSections; ++j) {
        EXPECT_EQ(doc.m_aB1[j], elliptic.b1[static_cast<size_t>(j)]) << j;
        EXPECT_EQ(doc.m_aA1[j], elliptic.a1[static_cast<size_t>(j)]) << j;
    }
    EXPECT_EQ(StatusText().toStdString(), commands::MeasurementsSummary(doc, true));
    EXPECT_TRUE(StatusText().startsWith("Elliptic IIR. Measured: ")) << StatusText().toStdString();
}

} // namespace
