// Entry point of the widget tests: one QApplication for all of them, on the offscreen platform
// unless the environment names another one.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

// Fontconfig and Qt's platform plugins keep some allocations until exit; the sanitizer build
// must not count them as leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libQt6\n";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    // Listing the tests needs no window system.
    if (::testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }
    // The settings (the recent designs) of each test process live in a folder of its own:
    // ctest runs the cases side by side, and one must not see another's list.
    QTemporaryDir settingsFolder;
    if (settingsFolder.isValid()) {
        setenv("XDG_CONFIG_HOME", settingsFolder.path().toLocal8Bit().constData(), 1);
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
