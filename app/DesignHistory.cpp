// The undo and redo steps of the window's design: two bounded stacks of snapshots.
#include "app/DesignHistory.h"

#include <utility>

namespace commands {

DesignHistory::DesignHistory(size_t depth) : m_depth(depth == 0 ? 1 : depth) {}

void DesignHistory::Push(std::deque<DesignSnapshot>& steps, DesignSnapshot snapshot, size_t depth) {
    // The console of the document is the window's, not the step's.
    snapshot.doc.m_fnConsole = nullptr;
    steps.push_back(std::move(snapshot));
    while (steps.size() > depth) {
        steps.pop_front();
    }
}

void DesignHistory::Record(DesignSnapshot before) {
    Push(m_undo, std::move(before), m_depth);
    m_redo.clear();
}

std::optional<DesignSnapshot> DesignHistory::Undo(DesignSnapshot current) {
    if (m_undo.empty()) {
        return std::nullopt;
    }
    DesignSnapshot back = std::move(m_undo.back());
    m_undo.pop_back();
    Push(m_redo, std::move(current), m_depth);
    return back;
}

std::optional<DesignSnapshot> DesignHistory::Redo(DesignSnapshot current) {
    if (m_redo.empty()) {
        return std::nullopt;
    }
    DesignSnapshot forward = std::move(m_redo.back());
    m_redo.pop_back();
    Push(m_undo, std::move(current), m_depth);
    return forward;
}

} // namespace commands
