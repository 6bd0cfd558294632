#include "core/transfer/upload_adoption.h"

namespace veltrane {

namespace {
void showAdopted(Document& document) {
    document.editor().rebuildTree();
    document.editor().expandAll();
    document.editor().notifyProjectChanged(ProjectChange::Replaced);
}
}  // namespace

void adoptSerialUpload(Document& document, const serial::SerialUpload& upload) {
    Project project = document.project();
    ProjectState state = document.state();
    upload.applyTo(project, state);
    state.UploadedProjectPending = true;
    document.project() = std::move(project);
    document.state() = state;
    // File New with an upload pending keeps the records: an untitled, unmodified document.
    document.newDocument();
    showAdopted(document);
}

void adoptEthernetUpload(Document& document, const ethernet::ConfigurationImage& image) {
    // Decoded into copies, so that nothing is half-written if the decoding stops.
    Project project = document.project();
    ProjectState state = document.state();
    ethernet::decodeConfigurationImage(image, project, state);
    document.project() = std::move(project);
    document.state() = state;
    // The records are the gateway's now: nothing before them can be undone into them.
    document.editor().startNewHistory(!state.ProjectModified);
    showAdopted(document);
}

}  // namespace veltrane
