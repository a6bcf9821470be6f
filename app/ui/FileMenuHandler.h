// The File menu: New, Open, Save, Save As and the recent designs, each asking first when it
// would drop unsaved changes; the window title that names the design and marks its changes.
#pragma once

#include <string>

#include "app/ui/HandlerBase.h"
#include "files/DesignFile.h"

class FileMenuHandler : HandlerBase {
public:
    // Takes the start's design as the one saved: it has nothing to save.
    explicit FileMenuHandler(COlvexView& view);

    // The File menu's commands (New, Open, Save, Save As, the recent designs).
    static bool IsFileMenuCommand(int id);
    void OnFileMenuCommand(int id);
    // Before the window closes: false when the user cancelled (or a save they asked for failed).
    bool QueryClose();
    // The design as a design file would hold it, and whether it differs from the one last
    // saved or opened (or from the start's defaults).
    files::DesignState CurrentDesign() const;
    bool IsModified() const;
    // "NAME - Vantrel", with "*" after the name while there are unsaved changes.
    std::string WindowTitle() const;
    void UpdateTitle();
    // Opens or saves the design file at path (the recent list takes it); false when refused
    // or not written, with the message shown.
    bool OpenDesignFile(const std::string& path);

private:
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    // A recent design that cannot be opened because it is gone leaves the list.
    void OnOpenRecent(int index);
    bool SaveDesignFile(const std::string& path);

    files::DesignState m_savedDesign; // the design as last saved, opened or started
    std::string m_savedPath;          // where it was saved or opened from (empty: untitled)
};
