// Undo and Redo: snapshots of the document and the form around each command of the view, kept
// by commands::DesignHistory, and their restoring as opening a design restores one.
#include "app/ui/EditMenuHandler.h"

#include <optional>
#include <utility>

#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "resources/Resources.h"

EditMenuHandler::EditMenuHandler(COlvexView& view) : HandlerBase(view) {}

bool EditMenuHandler::IsEditMenuCommand(int id) {
    return id == resources::kIdEditUndo || id == resources::kIdEditRedo;
}

void EditMenuHandler::OnEditMenuCommand(int id) {
    const std::optional<commands::DesignSnapshot> restored = id == resources::kIdEditUndo
                                                                 ? m_history.Undo(TakeSnapshot())
                                                                 : m_history.Redo(TakeSnapshot());
    if (restored) {
        RestoreSnapshot(*restored);
    }
}

void EditMenuHandler::RunRecorded(const std::function<void()>& command) {
    commands::DesignSnapshot before = TakeSnapshot();
    const files::DesignState designBefore = m_view.FileMenu().CurrentDesign();
    command();
    files::DesignState designAfter = m_view.FileMenu().CurrentDesign();
    // New coefficients (a coefficient file loaded, say) belong to the structure the command
    // worked on.
    if (designAfter.firTaps != designBefore.firTaps ||
        designAfter.sections != designBefore.sections ||
        designAfter.filterType != designBefore.filterType) {
        m_view.m_nDesignStructure = m_view.m_nFirIir;
        designAfter = m_view.FileMenu().CurrentDesign();
    }
    // A command that left the design as it was (a Cancel, a Save, the same plot again) is no
    // step.
    if (!(designAfter == designBefore)) {
        m_history.Record(std::move(before));
    }
}

commands::DesignSnapshot EditMenuHandler::TakeSnapshot() const {
    commands::DesignSnapshot snapshot;
    snapshot.doc = m_doc;
    snapshot.doc.m_fnConsole = nullptr;
    snapshot.form = static_cast<const commands::SessionState&>(m_view);
    snapshot.designStructure = m_view.m_nDesignStructure;
    return snapshot;
}

void EditMenuHandler::RestoreSnapshot(const commands::DesignSnapshot& snapshot) {
    auto console = std::move(m_doc.m_fnConsole);
    m_doc = snapshot.doc;
    m_doc.m_fnConsole = std::move(console);
    static_cast<commands::SessionState&>(m_view) = snapshot.form;
    m_view.m_nDesignStructure = snapshot.designStructure;
    m_doc.ShowStructure(m_view.m_nFirIir);
    // As after opening a design: the coefficients and the hardware are asked for again.
    m_view.m_bCoeffsListed = 0;
    m_view.m_bVhdlParamsSet = 0;
    m_view.m_bRedrawPending = 1;
    m_view.UpdateData(false);
    m_view.Coefficients().ShowCoeffPrompt();
    m_view.RedrawPlot();
    m_view.ScheduleRedraw(COlvexView::kCommandRedrawMs);
    if (m_view.m_bNoDesign == 0) {
        m_view.Measure().ShowMeasurementSummary();
    } else {
        m_host.SetStatusText(resources::LoadString(resources::kIdsIdleMessage));
    }
}
