// The window on the scripted desktop, as the window tests drive it: a document, the host that
// plays the dialogs and records what the window shows, and the view wired to the host as the
// frame wires it. A window test's fixture derives from ScriptedWindowTest (started: the fields
// pushed to the form and the first delayed redraw scheduled, as after the frame's start) and
// presses buttons with view.OnCommand or Press.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "platform/scripted/ScriptedHost.h"
#include "resources/Resources.h"
#include "tests/support/ScratchFolder.h"

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

} // namespace support
