// vantrel: the window program.
#include "app/qt/OlvexApp.h"

// Fontconfig and Qt's platform plugins keep some allocations until exit; a sanitizer build of
// the program must not report them as leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libQt6\n";
}

int main(int argc, char** argv) {
    COlvexApp app(argc, argv);
    if (!app.InitInstance()) {
        return 1;
    }
    return COlvexApp::exec();
}
