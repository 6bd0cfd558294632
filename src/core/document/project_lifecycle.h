#pragma once
// The file commands of the main window (New, Open, Save, Save As, closing) on top of a Document:
// the save question, the file dialogs and what happens when either is cancelled or a save fails.

#include "core/document/document.h"
#include "core/interaction/file_chooser.h"

#include <string>

namespace veltrane {

class ProjectLifecycle {
public:
    ProjectLifecycle(Document& document, FileChooser& chooser) : m_document(document), m_chooser(chooser) {}

    // Asks "save it or not?" when the project has unsaved changes. True when the caller may go on
    // and discard the project: nothing was changed, the user said No, or the save succeeded.
    // Cancel, a cancelled file dialog and a failed save all keep the project (false), so no work
    // is lost by a slip.
    bool confirmDiscard();

    // File New: the save question, then a new project of the kind given.
    bool newProject(const NewProjectKind& kind = {});
    // Open: asks the file, then the save question, then replaces the project; a failed open leaves
    // it as it was.
    bool openProject();
    // Open a given file (recent files); asks the save question first.
    bool openProject(const std::string& path);
    // Save to the project's file, or Save As for an untitled project.
    bool save();
    bool saveAs();

    // The file that was opened or saved last, for the recent-file list; empty when none.
    const std::string& lastFileUsed() const { return m_lastFile; }

private:
    bool saveTo(const std::string& path);

    Document& m_document;
    FileChooser& m_chooser;
    std::string m_lastFile;
};

// Appends ".chg" when the chosen name has no extension, as the save dialog's default extension does.
std::string withDefaultExtension(const std::string& path);

} // namespace veltrane
