// What every command handler holds: the view it works for (the form's state, the form exchange,
// the redraw and the timer, the status bar, the other handlers), the document and the desktop.
// A handler reaches the view only through the view's public members.
#pragma once

class COlvexDoc;
class COlvexView;
namespace platform {
class UiHost;
}

class HandlerBase {
public:
    explicit HandlerBase(COlvexView& view);

protected:
    COlvexView& m_view;
    COlvexDoc& m_doc;
    platform::UiHost& m_host;
};
