#include "core/document/document.h"

#include "core/model/project_file.h"
#include "core/strings/strings.h"

namespace veltrane {

Document::Document(Prompter& prompter) : m_prompter(prompter), m_editor(m_project, m_state, prompter) {}

std::string Document::title() const {
    if (m_filePath.empty())
        return tr(Str::DefaultDocumentName);
    const std::size_t slash = m_filePath.find_last_of('/');
    return slash == std::string::npos ? m_filePath : m_filePath.substr(slash + 1);
}

void Document::detachFromFile(std::string origin) {
    m_filePath.clear();
    m_origin = std::move(origin);
}

void Document::newDocument(const NewProjectKind& kind) {
    m_state.ProjectModified = false;
    m_state.ProjectPrepared = m_state.UploadedProjectPending;
    m_filePath.clear();
    m_origin.clear();
    m_editor.initialUpdate(kind);
    m_editor.startNewHistory(true);
    m_editor.notifyProjectChanged(ProjectChange::Replaced);
}

bool Document::openDocument(const std::string& path) {
    const Result<LoadedProject> loaded = readProjectFile(path, m_state);
    if (!loaded) {
        m_prompter.message(loaded.message());
        return false;
    }
    m_filePath = path;
    m_origin.clear();
    m_openedEmptyFile = loaded->emptyFile;
    adoptProject(*loaded);
    return true;
}

void Document::adoptProject(const LoadedProject& loaded) {
    adoptLoadedProject(loaded, m_project, m_state);
    m_editor.rebuildTree();
    m_editor.initialUpdate();
    m_editor.startNewHistory(true);
    m_editor.notifyProjectChanged(ProjectChange::Replaced);
}

bool Document::saveDocument(const std::string& path) {
    if (const Status saved = writeProjectFile(path, m_project, m_state); !saved) {
        m_prompter.message(saved.message());
        return false;
    }
    m_state.ProjectModified = false;
    m_filePath = path;
    m_origin.clear();
    m_editor.markHistorySaved();
    m_editor.notifyProjectChanged(ProjectChange::Saved);
    return true;
}

} // namespace veltrane
