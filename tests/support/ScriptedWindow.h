// The window on the scripted desktop, as the window tests drive it: a document, the host that
// plays the dialogs and records what the window shows, and the view wired to the host as the
// frame wires it. A window test's fixture derives from ScriptedWindowTest (started: the fields
// pushed to the form and the first delayed redraw scheduled, as after the frame's start) and
// presses buttons with view.OnCommand or Press.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"

namespace support {

// Whether the window starts as the frame starts it (OnInitialUpdate) or stays unstarted.
enum class Start { kStarted, kUnstarted };

template <class Host = platform::ScriptedHost> struct ScriptedWindowOf {
    COlvexDoc doc;
    Host host{resources::FormTemplate()};
    COlvexView view{doc, host};

    explicit ScriptedWindowOf(Start start = Start::kStarted) {
        host.SetEventSink(&view);
        if (start == Start::kStarted) {
            view.OnInitialUpdate();
        }
    }
    // A button or menu command, as the frame hands it to the view; true when the view took it.
    bool Press(int id) { return view.OnCommand(id); }
};

using ScriptedWindow = ScriptedWindowOf<>;

template <class Host = platform::ScriptedHost>
struct ScriptedWindowTestOf : ::testing::Test, ScriptedWindowOf<Host> {
    explicit ScriptedWindowTestOf(Start start = Start::kStarted) : ScriptedWindowOf<Host>(start) {}
};

using ScriptedWindowTest = ScriptedWindowTestOf<>;

// A folder of this process in the temporary folder, made empty at the start and removed with
// everything in it at the end: ctest runs the cases of one fixture side by side in separate
// processes, so no two share a file.
struct TempFolder {
    std::filesystem::path path;

    explicit TempFolder(const std::string& name)
        : path(std::filesystem::temp_directory_path() /
               ("vantrel-" + name + "-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    operator const std::filesystem::path&() const { return path; }
    std::filesystem::path operator/(const std::string& name) const { return path / name; }
};

} // namespace support
