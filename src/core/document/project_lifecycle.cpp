#include "core/document/project_lifecycle.h"

#include "core/strings/strings.h"

namespace veltrane {

std::string withDefaultExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    if (name >= path.size())
        return path;
    // A leading dot names a hidden file, not an extension.
    const std::size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && dot > name)
        return path;
    return path + tr(Str::FileExtension);
}

bool ProjectLifecycle::confirmDiscard() {
    if (!m_document.state().ProjectModified)
        return true;
    switch (m_document.prompter().askTitled(tr(Str::SaveConfigurationTitle), tr(Str::SaveConfigurationQuestion),
                                            Buttons::YesNoCancel)) {
    case Answer::Yes:
        return save();
    case Answer::No:
        return true;
    default:
        return false;
    }
}

bool ProjectLifecycle::newProject(const NewProjectKind& kind) {
    if (!confirmDiscard())
        return false;
    m_document.newDocument(kind);
    return true;
}

bool ProjectLifecycle::openProject() {
    // The file comes first: cancelling the dialog should not cost a question.
    const std::optional<std::string> path = m_chooser.chooseOpenFile();
    if (!path || path->empty())
        return false;
    return openProject(*path);
}

bool ProjectLifecycle::openProject(const std::string& path) {
    if (!confirmDiscard())
        return false;
    if (!m_document.openDocument(path))
        return false;
    // The old project's changes were saved or deliberately dropped at the question above, so its
    // flag says nothing about the file just opened. A failed open returns before this and keeps
    // the flag with the project it belongs to.
    m_document.state().ProjectModified = false;
    m_document.editor().notifyProjectChanged(ProjectChange::ModifiedCleared);
    m_lastFile = path;
    return true;
}

bool ProjectLifecycle::save() {
    if (m_document.filePath().empty())
        return saveAs();
    return saveTo(m_document.filePath());
}

bool ProjectLifecycle::saveAs() {
    const std::optional<std::string> path = m_chooser.chooseSaveFile(m_document.title());
    if (!path || path->empty())
        return false;
    return saveTo(withDefaultExtension(*path));
}

bool ProjectLifecycle::saveTo(const std::string& path) {
    if (!m_document.saveDocument(path))
        return false;
    m_lastFile = path;
    return true;
}

} // namespace veltrane
