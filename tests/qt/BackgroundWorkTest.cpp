// The Qt desktop's background work (the hardware report's synthesis run): the work runs on
// another thread while the window keeps handling its events, the progress dialog shows the
// work's text, and its Cancel button sets the flag the work stops on.
#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "platform/qt/QtTemplateWidget.h"
#include "platform/qt/QtUiHost.h"
#include "resources/Resources.h"

namespace {

struct BackgroundWork : ::testing::Test {
    QWidget window;
    platform::qt::QtTemplateWidget form{resources::FormTemplate(), &window};
    platform::qt::QtUiHost host{form, window, "Olvex"};
    // Ticks of a window timer while the work runs: the window is not frozen.
    int ticks = 0;
    QTimer ticker;

    BackgroundWork() {
        QObject::connect(&ticker, &QTimer::timeout, [this] { ++ticks; });
        ticker.start(5);
    }
};

TEST_F(BackgroundWork, CancelShowsInTheWorkAndTheWindowKeepsRunning) {
    QString shownText;
    QTimer presser;
    // Presses Cancel once the dialog shows the work's progress text and the window's own timer
    // has ticked ten times meanwhile.
    QObject::connect(&presser, &QTimer::timeout, [&] {
        auto* progress = window.findChild<QProgressDialog*>();
        if (progress == nullptr || progress->labelText() != "Placing and routing" || ticks < 10) {
            return;
        }
        shownText = progress->labelText();
        for (QPushButton* button : progress->findChildren<QPushButton*>()) {
            if (button->text() == "Cancel") {
                button->click();
            }
        }
        presser.stop();
    });
    presser.start(10);
    bool sawCancel = false;
    const bool finished = host.RunInBackground(
        "Hardware report", [&sawCancel](const std::atomic<bool>& cancel,
                                        const std::function<void(const std::string&)>& progress) {
            progress("Placing and routing");
            for (int i = 0; i < 1000 && !cancel; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            sawCancel = cancel;
        });
    EXPECT_FALSE(finished);
    EXPECT_TRUE(sawCancel);
    EXPECT_EQ(shownText, "Placing and routing");
    EXPECT_GE(ticks, 10) << "the window's timer ran while the work did";
}

TEST_F(BackgroundWork, WorkRunsAwayFromTheWindowThreadToItsEnd) {
    std::thread::id workThread;
    const bool finished = host.RunInBackground(
        "Hardware report",
        [&workThread](const std::atomic<bool>&, const std::function<void(const std::string&)>&) {
            workThread = std::this_thread::get_id();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        });
    EXPECT_TRUE(finished);
    EXPECT_NE(workThread, std::this_thread::get_id());
    EXPECT_GT(ticks, 3);
}

} // namespace
