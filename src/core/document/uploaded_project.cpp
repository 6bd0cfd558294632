#include "core/document/uploaded_project.h"

namespace veltrane {

void adoptUploadedProject(Document& document, const serial::SerialUpload& upload) {
    Project project = document.project();
    ProjectState state = document.state();
    upload.applyTo(project, state);
    state.UploadedProjectPending = true;
    document.project() = std::move(project);
    document.state() = state;
    // File New with an upload pending keeps the records: an untitled, unmodified document.
    document.newDocument();
    document.editor().rebuildTree();
    document.editor().expandAll();
    document.editor().notifyProjectChanged(ProjectChange::Replaced);
}

}  // namespace veltrane
