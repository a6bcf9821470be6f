// Undo and redo over whole designs. Every command that changes the design hands the history the
// design as it stood before; Undo gives that back and keeps the present one for Redo. A snapshot
// is the document record with the form's state beside it, so going back restores the coefficients,
// the settings, the user wave's samples and what the form showed, exactly as they were.
//
// A value type with no desktop: the window's view keeps one, and a test can drive one alone.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>

#include "app/OlvexDoc.h"
#include "app/SessionState.h"

namespace commands {

struct DesignSnapshot {
    COlvexDoc doc;
    SessionState form;
    int designStructure = 0; // 0 FIR, 1 IIR: the structure of the design that stands
};

class DesignHistory {
public:
    // Steps kept: the oldest step is dropped beyond this.
    static constexpr size_t kDefaultDepth = 100;

    explicit DesignHistory(size_t depth = kDefaultDepth);

    // A command changed the design; `before` is the design it left. Redo is no longer possible.
    void Record(DesignSnapshot before);
    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    size_t UndoSteps() const { return m_undo.size(); }
    size_t RedoSteps() const { return m_redo.size(); }
    // The design to go back (forward) to, with `current` kept for the opposite direction; empty
    // when there is nothing to undo (redo), and then `current` is not kept.
    std::optional<DesignSnapshot> Undo(DesignSnapshot current);
    std::optional<DesignSnapshot> Redo(DesignSnapshot current);

private:
    static void Push(std::deque<DesignSnapshot>& steps, DesignSnapshot snapshot, size_t depth);

    size_t m_depth;
    std::deque<DesignSnapshot> m_undo; // newest last
    std::deque<DesignSnapshot> m_redo; // newest last
};

} // namespace commands
