#!/usr/bin/env bash
# PNGs of the window under a virtual X server, for looking at the layout.
# Usage:
#   tools/screenshot.sh [path/to/vantrel] [output.png]      the window just after start
#   tools/screenshot.sh --plots [build-dir] [output-dir]    after a design: the frequency
#       response (quantized caption on), the spectra, the waves, the waves with the hardware
#       output (and a square wave that overflows it), the waves above Nyquist with a long
#       filter, the Coefficients dialog after "Advise...", the VHDL Code dialog with its hardware
#       choice, the FIR and IIR Design dialogs in their requirements mode (and the IIR one with
#       the elliptic method), the filter views of the Plot menu (group delay, pole-zero, impulse
#       and step, FIR and IIR, quantized, one IIR unstable; a CIC's views and its dialog, with a compensator), and the frequency response in the maximized window; response.png is the
#       README's docs/window.png
# Needs xvfb, xauth and the Qt 6 development packages (tools/install-deps.sh installs them); the
# --plots form needs a build with the GUI (the olvex_* libraries of every layer in
# build-dir).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [[ "${1:-}" == "--plots" ]]; then
    build=${2:-build}
    outdir=${3:-/tmp/vantrel-plots}
    mkdir -p "$outdir"
    cat > "$work/plots.cpp" <<'CPP'
#include <QApplication>
#include <QScreen>
#include <QTest>

#include "app/qt/MainFrame.h"
#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "plots/PlotMode.h"
#include "app/ui/DesignDialogs.h"
#include "coeffs/ui/CoeffDialog.h"
#include "vhdl/ui/VhdlDialogs.h"
#include "platform/qt/QtDialog.h"

namespace {
void Shoot(CMainFrame& frame, const QString& path) {
    frame.View().RedrawPlot();
    QTest::qWait(300);
    const QRect area = frame.frameGeometry();
    QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(path);
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[1]);
    COlvexDoc doc;
    CMainFrame frame(doc);
    frame.ShowAndUpdate();
    QTest::qWaitForWindowExposed(&frame);
    QTest::qWait(300);
    doc.DesignFir(0);
    doc.m_bQuantize = 1;
    doc.m_nQuantBits = 16;
    COlvexView& view = frame.View();
    view.m_bNoDesign = 0;
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kResponse);
    Shoot(frame, dir + "/response.png");
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kSpectra);
    Shoot(frame, dir + "/spectra.png");
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kWaves);
    Shoot(frame, dir + "/waves.png");
    view.m_bShowHardwareWave = 1;
    doc.m_nDataBits = 10;
    Shoot(frame, dir + "/waves-hardware.png");
    doc.m_nWaveType = 1; // square: its ringing overflows the hardware output
    doc.m_dWaveFreq = 20.0;
    Shoot(frame, dir + "/waves-hardware-overflow.png");
    doc.m_nWaveType = 0;
    doc.m_dWaveFreq = 100.0;
    view.m_bShowHardwareWave = 0;
    {
        coeffs::CCoeffDialog coefficients;
        coefficients.m_pDesign = &doc;
        platform::qt::QtDialog dialog(coefficients, &frame, QStringLiteral("Olvex"));
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog)) {
            return 1;
        }
        if (auto* advise = dialog.findChild<QWidget*>(QStringLiteral("control1070"))) {
            QTest::mouseClick(advise, Qt::LeftButton);
        }
        QTest::qWait(300);
        dialog.grab().save(dir + "/coefficients-advise.png");
    }
    {
        vhdl::CVhdlSourceDialog source;
        source.m_nArchitecture = 1; // folded, so the multiplier entry is in use
        platform::qt::QtDialog dialog(source, &frame, QStringLiteral("Olvex"));
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog)) {
            return 1;
        }
        QTest::qWait(200);
        dialog.grab().save(dir + "/vhdl-code.png");
    }
    {
        // The Design dialogs with their "From requirements" mode on.
        design::CFirDesignDialog fir(0, design::FirDialogKind::kParameters);
        fir.Fill(doc, doc.m_nTaps);
        fir.m_bFromRequirements = 1;
        design::CIirDesignDialog iir(2);
        iir.Fill(doc);
        iir.m_bFromRequirements = 1;
        // And the LPF one with the elliptic method, which takes both the ripple and As.
        design::CIirDesignDialog elliptic(0);
        elliptic.Fill(doc);
        elliptic.m_nIirMethod = 3;
        const std::pair<platform::Dialog*, const char*> shots[] = {
            {&fir, "/design-fir-requirements.png"},
            {&iir, "/design-iir-requirements.png"},
            {&elliptic, "/design-iir-elliptic.png"}};
        for (const auto& [shown, name] : shots) {
            platform::qt::QtDialog dialog(*shown, &frame, QStringLiteral("Olvex"));
            dialog.show();
            if (!QTest::qWaitForWindowExposed(&dialog)) {
                return 1;
            }
            QTest::qWait(200);
            dialog.grab().save(dir + name);
        }
    }
    doc.m_dWaveFreq = 700.0;
    doc.m_nTaps = 120;
    Shoot(frame, dir + "/waves-nyquist.png");
    doc.m_dWaveFreq = 100.0;
    doc.m_nTaps = 90;
    // The filter views of the Plot menu: the 90-tap FIR at 8 bits (the ideal gain grey under
    // the quantized red one; ideal and quantized zeros), then an eight-section IIR whose 8-bit
    // coefficients put a section's poles on the unit circle.
    doc.m_nQuantBits = 8;
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kResponse);
    Shoot(frame, dir + "/response-quantized-8bits.png");
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kGroupDelay);
    Shoot(frame, dir + "/groupdelay-fir.png");
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kPoleZero);
    Shoot(frame, dir + "/polezero-fir.png");
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kImpulse);
    Shoot(frame, dir + "/impulse-fir.png");
    view.m_nFirIir = 1;
    view.UpdateData(false);
    doc.m_nQuantBits = 12;
    doc.m_nIirSections = 4;
    doc.m_dIirFc1 = 150.0;
    doc.m_dRippleDb = 1.0;
    doc.DesignIir();
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kGroupDelay);
    Shoot(frame, dir + "/groupdelay-iir.png");
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kImpulse);
    Shoot(frame, dir + "/impulse-iir.png");
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kStep);
    Shoot(frame, dir + "/step-iir.png");
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kPoleZero);
    Shoot(frame, dir + "/polezero-iir.png");
    doc.m_nQuantBits = 8;
    doc.m_nIirSections = 8;
    doc.m_dIirFc1 = 20.0;
    doc.m_dRippleDb = 0.5;
    doc.DesignIir();
    Shoot(frame, dir + "/polezero-iir-unstable.png");
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kStep);
    Shoot(frame, dir + "/step-iir-unstable.png");
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kResponse);
    Shoot(frame, dir + "/response-iir-unstable.png");
    {
        // A CIC decimator by 16, four stages: every view of the Plot menu, and its dialog.
        doc.m_nCicRate = 16;
        doc.m_nCicStages = 4;
        doc.m_bCicDesigned = 1;
        view.m_nFirIir = COlvexDoc::kCicStructure;
        view.UpdateData(false);
        const std::pair<plots::PlotMode, const char*> cic[] = {
            {plots::PlotMode::kResponse, "/cic-response.png"},
            {plots::PlotMode::kGroupDelay, "/cic-groupdelay.png"},
            {plots::PlotMode::kImpulse, "/cic-impulse.png"},
            {plots::PlotMode::kStep, "/cic-step.png"},
            {plots::PlotMode::kPoleZero, "/cic-polezero.png"},
            {plots::PlotMode::kWaves, "/cic-waves.png"}};
        for (const auto& [mode, name] : cic) {
            view.m_nPlotMode = plots::PlotModeNumber(mode);
            Shoot(frame, dir + name);
        }
        // The longest kernel: R 1024, S 8, DL 2 (16377 taps in the impulse response).
        doc.m_nCicRate = 1024;
        doc.m_nCicStages = 8;
        doc.m_nCicDelay = 2;
        view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kResponse);
        Shoot(frame, dir + "/cic-response-1024.png");
        view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kImpulse);
        Shoot(frame, dir + "/cic-impulse-1024.png");
        design::CCicDesignDialog cicDialog;
        cicDialog.Fill(doc);
        platform::qt::QtDialog dialog(cicDialog, &frame, QStringLiteral("Olvex"));
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog)) {
            return 1;
        }
        QTest::qWait(200);
        dialog.grab().save(dir + "/design-cic.png");
        dialog.hide();
        doc.m_nCicDelay = 1;
        // A CIC decimator by 32, four stages, with a 31-tap droop compensator: the CIC's, the
        // compensator's and the cascade's gain at the low rate; the dialog with the box checked.
        doc.m_nCicRate = 32;
        doc.m_nCicStages = 4;
        doc.m_bCicCompensate = 1;
        doc.m_nCicCompTaps = 31;
        doc.m_dCicCompPassEdge = 0.2;
        doc.m_dCicCompStopEdge = 0.3;
        doc.DesignCicCompensator();
        const int quantized = doc.m_bQuantize;
        doc.m_bQuantize = 0;
        view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kResponse);
        Shoot(frame, dir + "/cic-compensator-response.png");
        design::CCicDesignDialog compDialog;
        compDialog.Fill(doc);
        platform::qt::QtDialog compShown(compDialog, &frame, QStringLiteral("Olvex"));
        compShown.show();
        if (!QTest::qWaitForWindowExposed(&compShown)) {
            return 1;
        }
        QTest::qWait(200);
        compShown.grab().save(dir + "/design-cic-compensator.png");
        compShown.hide();
        doc.m_bQuantize = quantized;
        doc.m_bCicCompensate = 0;
        doc.DesignCicCompensator();
    }
    view.m_nFirIir = 0;
    view.UpdateData(false);
    doc.m_nQuantBits = 16;
    doc.m_nIirSections = 2;
    doc.m_dIirFc1 = 200.0;
    doc.m_dRippleDb = 0.3;
    doc.DesignIir();
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kResponse);
    frame.showMaximized();
    QTest::qWait(500);
    // A bare X server has no window manager to maximize the window: fill the screen by hand.
    if (frame.frameGeometry().width() < 800) {
        frame.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
        QTest::qWait(500);
    }
    Shoot(frame, dir + "/response-maximized.png");
    view.OnPlotMouseMove({300, 200}, {frame.Form().Picture(1018)->width(), frame.Form().Picture(1018)->height()});
    Shoot(frame, dir + "/response-maximized-cursor.png");
    return 0;
}
CPP
    # shellcheck disable=SC2046
    g++ -std=c++20 -fPIC -I"$here" "$work/plots.cpp" -o "$work/plots" \
        "$build/libolvex_qt.a" "$build/libolvex_ui.a" "$build/libolvex_resources.a" \
        "$build/libolvex_platform.a" "$build/libolvex_app.a" "$build/libolvex_qtgui.a" \
        "$build/libolvex_engine.a" \
        $(pkg-config --cflags --libs Qt6Widgets Qt6PrintSupport Qt6Svg Qt6Test)
    xvfb-run -a -s "-screen 0 1280x960x24" "$work/plots" "$outdir"
    ls "$outdir"/*.png
    exit 0
fi

program=${1:-build/vantrel}
output=${2:-/tmp/vantrel.png}

# A small grabber: the whole screen into a PNG, after a short wait for the first plot.
cat > "$work/grab.cpp" <<'CPP'
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QTimer::singleShot(100, [&] {
        QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[1]));
        app.quit();
    });
    return app.exec();
}
CPP
# shellcheck disable=SC2046
g++ -std=c++17 -fPIC "$work/grab.cpp" -o "$work/grab" $(pkg-config --cflags --libs Qt6Gui)

cat > "$work/run.sh" <<RUN
#!/bin/sh
"$program" &
pid=\$!
sleep 2
"$work/grab" "$output"
kill \$pid
RUN
chmod +x "$work/run.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$work/run.sh"
echo "$output"
