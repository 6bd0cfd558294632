#pragma once
// One open project: its records, its process-wide values, the editor that shows them, and the
// life cycle (new, open, save). The GUI and the CLI drive the same object.

#include "core/editor/editor.h"
#include "core/interaction/prompter.h"
#include "core/model/project_file.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <string>

namespace veltrane {

class Document {
public:
    explicit Document(Prompter& prompter);
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    Project& project() { return m_project; }
    const Project& project() const { return m_project; }
    ProjectState& state() { return m_state; }
    const ProjectState& state() const { return m_state; }
    Editor& editor() { return m_editor; }
    Prompter& prompter() { return m_prompter; }
    // Every change of the records or of their modified state, for any number of listeners.
    ChangeSignal<ProjectChange>& changes() { return m_editor.projectChanges(); }

    // The file the project was opened from or last saved to; empty for an untitled project.
    const std::string& filePath() const { return m_filePath; }
    // "Modbus" for an untitled project, else the file's name.
    std::string title() const;
    // Where an untitled project came from (the gateway an upload read); empty for any other.
    const std::string& origin() const { return m_origin; }
    // The project no longer belongs to its file: the next Save asks for a name.
    void detachFromFile(std::string origin);

    // File New: a fresh project of the kind given (or the uploaded records when an upload is
    // pending).
    void newDocument(const NewProjectKind& kind = {});
    // File Open: on any failure the message is shown and the open project stays exactly as it was.
    bool openDocument(const std::string& path);
    // True when the last file opened held no project: a zero-length file, which opening accepts
    // and which leaves the records as they were.
    bool openedFileWasEmpty() const { return m_openedEmptyFile; }
    // Makes records read from elsewhere the open project, as opening a file with them would.
    void adoptProject(const LoadedProject& loaded);
    // File Save / Save As: on failure the message is shown and the previous file is intact.
    bool saveDocument(const std::string& path);

private:
    Prompter& m_prompter;
    Project m_project;
    ProjectState m_state;
    Editor m_editor;
    std::string m_filePath;
    std::string m_origin;
    bool m_openedEmptyFile = false;
};

}  // namespace veltrane
