// The Edit menu: Undo and Redo of the design. Every command the view routes runs through
// RunRecorded, which keeps the window as it was before when the command changed the design (what
// a design file holds); Undo and Redo restore such a snapshot and redraw.
#pragma once

#include <functional>

#include "app/DesignHistory.h"
#include "app/ui/HandlerBase.h"

class EditMenuHandler : HandlerBase {
public:
    explicit EditMenuHandler(COlvexView& view);

    static bool IsEditMenuCommand(int id);
    void OnEditMenuCommand(int id);
    // Runs one command of the view; a command that changed the design becomes one step.
    void RunRecorded(const std::function<void()>& command);
    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }

private:
    commands::DesignSnapshot TakeSnapshot() const;
    // The document and the form as the snapshot holds them, shown and redrawn.
    void RestoreSnapshot(const commands::DesignSnapshot& snapshot);

    commands::DesignHistory m_history;
};
